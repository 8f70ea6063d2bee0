#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// What a decoder puts where the input holds no character.
inline constexpr char16_t ReplacementCharacter = u'\uFFFD';

constexpr bool isHighSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

constexpr bool isLowSurrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The code point at text[index] and how many UTF-16 units it takes; an unpaired surrogate stands for itself.
struct CodePoint {
    char32_t value;
    std::size_t length;
};
CodePoint codePointAt(std::u16string_view text, std::size_t index);

// Appends a code point as UTF-16: one unit, or a surrogate pair beyond the Basic Multilingual Plane.
void appendUtf16(std::u16string &text, char32_t codePoint);

// Each maximal ill-formed subsequence becomes one U+FFFD, as the Unicode standard recommends and browsers do.
std::u16string fromUtf8(std::string_view bytes);

bool isValidUtf8(std::string_view bytes);

// An unpaired surrogate becomes U+FFFD: the result is always valid UTF-8.
std::string toUtf8(std::u16string_view text);

} // namespace platform
