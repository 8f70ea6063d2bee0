#include "platform/system/services.h"
#include "views/win32/system.h"
#include "views/win32/window.h"
#include "window/form1.h"

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

namespace {

using views::win32::wide;

// The system's services, with what its user interface and shell give: a message box, the browser, the beep.
class WindowsServices final : public platform::SystemServices {
public:
    void messageBox(std::u16string_view text, std::u16string_view title) override
    {
        MessageBoxW(nullptr, wide(text).c_str(), wide(title).c_str(), MB_OK);
    }
    bool openUrl(std::u16string_view address) override
    {
        // The shell, and the COM its handlers may want, are loaded here, after the first paint, not with the
        // program.
        const auto shellExecute
            = views::win32::systemFunction<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
        if (!shellExecute)
            return false;
        views::win32::useCom();
        const auto result
            = shellExecute(nullptr, L"open", wide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return reinterpret_cast<INT_PTR>(result) > 32;
    }
    void beep() override { MessageBeep(MB_OK); }
};

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show)
{
    // The common controls of the manifest's version 6. COM, for the names that screen readers read and for
    // the shell, waits until one of them is needed (system.h): nothing before the first paint wants it.
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    WindowsServices services;
    Form1 form(services);
    views::win32::Window window(form);
    window.show(show);
    return views::win32::Window::run();
}
