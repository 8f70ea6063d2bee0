#pragma once

#include <string>
#include <string_view>

namespace views::win32 {

// The program's text is UTF-16, as Windows' wide strings are: this copies it without converting.
inline std::wstring wide(std::u16string_view text)
{
    return std::wstring(text.begin(), text.end());
}

} // namespace views::win32
