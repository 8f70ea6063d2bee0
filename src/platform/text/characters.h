#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Character `position` (counting from 1) of text, as a reader counts characters: an extended grapheme
// cluster, so a character beyond the BMP, a letter with its combining marks or an emoji with its modifier
// is one character. The empty string when text has fewer characters or position is below 1.
std::u16string characterAt(std::u16string_view text, int position);

// The number of UTF-16 code units of the grapheme cluster that begins text; 0 for empty text.
std::size_t graphemeLength(std::u16string_view text);

} // namespace platform
