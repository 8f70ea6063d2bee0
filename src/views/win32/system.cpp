#include "system.h"

#include <objbase.h>

namespace views::win32 {

std::wstring textOf(HWND hwnd)
{
    std::wstring text(size_t(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(hwnd, text.data(), int(text.size()))));
    return text;
}

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

namespace {

IAccPropServices *annotations()
{
    static IAccPropServices *const services = [] {
        IAccPropServices *created = nullptr;
        const auto create = systemFunction<decltype(&CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
        if (!useCom() || !create
            || FAILED(create(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                reinterpret_cast<void **>(&created))))
            return static_cast<IAccPropServices *>(nullptr);
        return created;
    }();
    return services;
}

// UI Automation's live setting, as an annotation: the SDK's LiveSetting_Property_GUID, which mingw-w64 lacks.
constexpr GUID LiveSettingProperty
    = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr long Polite = 1;
// EVENT_OBJECT_LIVEREGIONCHANGED, which the headers give Windows 8 and later only: Windows 7 ignores it.
constexpr DWORD LiveRegionChanged = 0x8019;

} // namespace

void annotate(HWND hwnd, const MSAAPROPID &property, std::u16string_view text)
{
    IAccPropServices *services = annotations();
    if (!services)
        return;
    if (text.empty())
        services->ClearHwndProps(hwnd, DWORD(OBJID_CLIENT), CHILDID_SELF, &property, 1);
    else
        services->SetHwndPropStr(hwnd, DWORD(OBJID_CLIENT), CHILDID_SELF, property, wide(text).c_str());
}

void announceChange(HWND hwnd)
{
    if (IAccPropServices *services = annotations()) {
        VARIANT setting{};
        setting.vt = VT_I4;
        setting.lVal = Polite;
        services->SetHwndProp(hwnd, DWORD(OBJID_CLIENT), CHILDID_SELF, LiveSettingProperty, setting);
    }
    NotifyWinEvent(LiveRegionChanged, hwnd, OBJID_CLIENT, CHILDID_SELF);
}

} // namespace views::win32
