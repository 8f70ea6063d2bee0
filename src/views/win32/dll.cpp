#include "dll.h"

#include <objbase.h>

namespace views::win32 {

FARPROC systemProcedure(const wchar_t *dll, const char *name)
{
    HMODULE module = GetModuleHandleW(dll);
    if (!module) {
        // From the system's folder alone; Windows 7 without its 2011 loader update refuses the flag, and
        // then finds the system's own copy of these known DLLs by itself.
        module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!module && GetLastError() == ERROR_INVALID_PARAMETER)
            module = LoadLibraryW(dll);
    }
    return module ? GetProcAddress(module, name) : nullptr;
}

bool useCom()
{
    static const bool loaded = [] {
        const auto initialize = systemFunction<decltype(&CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
        // Already initialised on this thread, in whichever mode, COM serves all the same: the result decides
        // nothing.
        if (initialize)
            initialize(nullptr, COINIT_APARTMENTTHREADED);
        return initialize != nullptr;
    }();
    return loaded;
}

} // namespace views::win32
