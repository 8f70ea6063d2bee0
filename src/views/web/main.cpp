#include "platform/system/services.h"
#include "views/web/library.h"
#include "views/web/window.h"
#include "window/form1.h"

namespace {

// The system's services, with what it gives through the page: its alert, a new tab, a tone.
class PageServices final : public platform::SystemServices {
public:
    // A browser titles its alert with the page's address; the page carries the window's title. alert() blocks
    // until the user dismisses it.
    void messageBox(std::u16string_view text, std::u16string_view) override
    {
        qm_alert(text.data(), int(text.size()));
    }
    bool openUrl(std::u16string_view address) override
    {
        return qm_open(address.data(), int(address.size())) != 0;
    }
    void beep() override { qm_beep(); }
};

} // namespace

// The page's program: it starts once the page has the key (pre.js), shows the window and returns; the window
// then lives as long as the page, answering its events.
int main()
{
    static PageServices services;
    static Form1 form(services);
    static views::web::Window window(form);
    window.show();
    return 0;
}
