#include "platform/services.h"

#include "page.h"

namespace platform {

std::int32_t SystemServices::tickCount()
{
    return qm_tickCount();
}

void SystemServices::messageBox(std::u16string_view text, std::u16string_view)
{
    // A browser titles its alert with the page's address; the page carries the window's title.
    qm_alert(text.data(), int(text.size()));
}

bool SystemServices::startProgram(std::u16string_view)
{
    return false; // a page starts no program
}

bool SystemServices::openUrl(std::u16string_view address)
{
    return qm_open(address.data(), int(address.size())) != 0;
}

std::u16string SystemServices::programDirectory()
{
    // As long as the page's address makes it: its length first.
    std::u16string directory(size_t(qm_directory(nullptr, 0)), u'\0');
    qm_directory(directory.data(), int(directory.size()) + 1);
    return directory;
}

void SystemServices::beep()
{
    qm_beep();
}

} // namespace platform
