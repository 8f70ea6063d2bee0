#include "services.h"

#include "page.h"

namespace views::web {

void Services::messageBox(std::u16string_view text, std::u16string_view)
{
    // A browser titles its alert with the page's address; the page carries the window's title. alert()
    // blocks until the user dismisses it.
    qm_alert(text.data(), int(text.size()));
}

bool Services::openUrl(std::u16string_view address)
{
    return qm_open(address.data(), int(address.size())) != 0;
}

void Services::beep()
{
    qm_beep();
}

} // namespace views::web
