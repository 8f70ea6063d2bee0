#pragma once

// What a screen reader reads of a window through MSAA, as NVDA and JAWS read the system's controls: the
// driver reads the program's windows in its own process with it, the screen reader's client from another.

#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <optional>
#include <string>

namespace msaa {

// A text a screen reader is told, or why it is told none.
struct Read {
    std::optional<std::wstring> text;
    std::string why;
};

inline std::string hex(HRESULT result)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(result));
    return text;
}

// The window's client as MSAA hands it to a screen reader; the caller releases it. IAccessible's interface is
// taken by __uuidof: oleacc's library and the uuid library both define IID_IAccessible.
inline HRESULT object(HWND hwnd, IAccessible **object)
{
    *object = nullptr;
    const HRESULT result = AccessibleObjectFromWindow(
        hwnd, DWORD(OBJID_CLIENT), __uuidof(IAccessible), reinterpret_cast<void **>(object));
    return SUCCEEDED(result) && !*object ? E_POINTER : result;
}

inline VARIANT self()
{
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
}

enum class What { Name, Description };

inline Read read(HWND hwnd, What what)
{
    IAccessible *accessible = nullptr;
    if (const HRESULT got = object(hwnd, &accessible); FAILED(got))
        return {std::nullopt, "AccessibleObjectFromWindow answers " + hex(got)};
    // The call first, then its text: as one call's arguments, their order is the compiler's.
    BSTR text = nullptr;
    const HRESULT result = what == What::Name ? accessible->get_accName(self(), &text)
                                              : accessible->get_accDescription(self(), &text);
    accessible->Release();
    Read answer;
    if (SUCCEEDED(result) || result == DISP_E_MEMBERNOTFOUND) // S_FALSE, no text or no such property: nothing
        answer.text = text ? std::wstring(text, SysStringLen(text)) : L"";
    else
        answer.why = std::string(what == What::Name ? "get_accName" : "get_accDescription") + " answers "
            + hex(result);
    SysFreeString(text);
    return answer;
}

// Why the names and descriptions a program annotates its windows with reach no screen reader, tried once on a
// window of this process's own; empty where they do. Wine keeps none: its IAccPropServices answers E_NOTIMPL.
// COM is ready on the calling thread.
inline const std::string &annotationsMissing()
{
    static const std::string missing = [] {
        const HWND own = CreateWindowExW(
            0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        IAccPropServices *services = nullptr;
        HRESULT got = CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
            IID_IAccPropServices, reinterpret_cast<void **>(&services));
        std::string why;
        if (FAILED(got)) {
            why = "CoCreateInstance(CLSID_AccPropServices) answers " + hex(got);
        } else {
            wchar_t name[] = L"annotated";
            got = services->SetHwndPropStr(own, DWORD(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME, name);
            if (FAILED(got))
                why = "IAccPropServices::SetHwndPropStr answers " + hex(got)
                    + ", so no annotation reaches a client";
            else if (read(own, What::Name).text != L"annotated")
                why = "a name annotated with IAccPropServices::SetHwndPropStr is not what get_accName "
                      "answers";
            services->Release();
        }
        DestroyWindow(own);
        return why;
    }();
    return missing;
}

} // namespace msaa
