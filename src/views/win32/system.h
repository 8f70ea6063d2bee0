#pragma once

// What the view takes from Windows beyond its plain API.

#include "platform/system/wide.h"

#include <windows.h>

#include <oleacc.h>

#include <string>
#include <string_view>

namespace views::win32 {

using platform::fromWide;
using platform::wide;

// A window's text, as the system holds it.
std::wstring textOf(HWND hwnd);

// A function of one of the system's DLLs, found at run time; nullptr where the system has none. For what
// later versions of Windows add (the program still starts on Windows 7), and for the DLLs that only what
// comes after the first paint needs, COM and the shell: each is loaded the first time one of its functions is
// asked for, not with the program, and stays.
FARPROC systemProcedure(const wchar_t *dll, const char *name);

template <class Function> Function systemFunction(const wchar_t *dll, const char *name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(systemProcedure(dll, name)));
}

// COM on the window's thread, the only one that asks for it, apartment-threaded as the shell and the
// accessibility annotations want it; ole32 is loaded the first time. False where ole32 cannot be loaded.
bool useCom();

// Tells screen readers a property of a window (its name, its description) through the system's accessibility
// annotations, or takes back what they were told (an empty text); nothing where the system has none. COM
// comes with the first of them, an answer box or the time-out's notice, long after the first paint.
void annotate(HWND hwnd, const MSAAPROPID &property, std::u16string_view text);

// Makes a window a polite live region and tells screen readers that it changed: they read out its name and
// its text (Windows 8 and later; nothing before).
void announceChange(HWND hwnd);

} // namespace views::win32
