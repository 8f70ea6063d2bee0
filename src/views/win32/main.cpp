#include "platform/services.h"
#include "views/win32/services.h"
#include "views/win32/window.h"
#include "window/form1.h"

#include <windows.h>

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show)
{
    // The common controls of the manifest's version 6. COM, for the names that screen readers read and for
    // the shell, waits until one of them is needed (views/win32/system.h): nothing before the first paint
    // wants it.
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    views::win32::Services toolkit;
    platform::SystemServices services(toolkit);
    Form1 form(services);
    views::win32::Window window(form);
    window.show(show);
    return views::win32::Window::run();
}
