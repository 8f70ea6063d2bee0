#pragma once

#include <string>
#include <string_view>

namespace platform {

// Each maximal ill-formed subsequence becomes one U+FFFD, as the Unicode standard recommends and browsers do.
std::u16string fromUtf8(std::string_view bytes);

bool isValidUtf8(std::string_view bytes);

// An unpaired surrogate becomes U+FFFD: the result is always valid UTF-8.
std::string toUtf8(std::u16string_view text);

} // namespace platform
