#pragma once

// The program's text as Windows' wide strings, which are UTF-16 too: copied unit for unit, a lone surrogate
// included, never converted. For Windows alone: the system's files and services there, and the Windows view.

#include <string>
#include <string_view>

namespace platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 code units");

inline std::wstring wide(std::u16string_view text)
{
    return std::wstring(text.begin(), text.end());
}

inline std::u16string fromWide(std::wstring_view text)
{
    return std::u16string(text.begin(), text.end());
}

} // namespace platform
