#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace views::win32 {

// The program's text is UTF-16, as Windows' wide strings are: this copies it without converting.
inline std::wstring wide(std::u16string_view text)
{
    return std::wstring(text.begin(), text.end());
}

// A window's text, as the system holds it.
inline std::wstring textOf(HWND hwnd)
{
    std::wstring text(size_t(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(hwnd, text.data(), int(text.size()))));
    return text;
}

} // namespace views::win32
