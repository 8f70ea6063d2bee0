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
    char16_t directory[1024];
    return std::u16string(directory, size_t(qm_directory(directory, 1024)));
}

void SystemServices::beep()
{
    qm_beep();
}

} // namespace platform
