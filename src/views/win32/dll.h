#pragma once

// The system's DLLs that the program loads itself, when it first needs them.

#include <windows.h>

namespace views::win32 {

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

} // namespace views::win32
