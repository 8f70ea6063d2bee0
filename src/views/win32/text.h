#pragma once

#include "platform/text/text.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace views::win32 {

using platform::wide;

// A window's text, as the system holds it.
inline std::wstring textOf(HWND hwnd)
{
    std::wstring text(size_t(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(hwnd, text.data(), int(text.size()))));
    return text;
}

} // namespace views::win32
