#include "services.h"

#include "system.h"
#include "text.h"

#include <windows.h>

#include <shellapi.h>

namespace views::win32 {

void Services::messageBox(std::u16string_view text, std::u16string_view title)
{
    MessageBoxW(nullptr, wide(text).c_str(), wide(title).c_str(), MB_OK);
}

bool Services::openUrl(std::u16string_view address)
{
    // The shell, and the COM its handlers may want, are loaded here, after the first paint, not with the
    // program.
    const auto shellExecute = systemFunction<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
    if (!shellExecute)
        return false;
    useCom();
    const auto result
        = shellExecute(nullptr, L"open", wide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void Services::beep()
{
    MessageBeep(MB_OK);
}

} // namespace views::win32
