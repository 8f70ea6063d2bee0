#include "platform/services.h"
#include "views/win32/window.h"
#include "window/form1.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show)
{
    // COM for the names that screen readers read; the common controls of the manifest's version 6.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    platform::SystemServices services;
    Form1 form(services);
    views::win32::Window window(form);
    window.show(show);
    return views::win32::Window::run();
}
