#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The value of a box's text read as a decimal number: optional white space (U+3000 included) around an
// optional sign, digits with an optional decimal point and fraction, and an optional exponent. Full-width
// digits, signs and point count as their ASCII twins. Anything else, an empty text, or a value too large for
// a double is no number; a value too small for one reads as zero.
std::optional<double> numericValue(std::u16string_view text);

// The whole number nearest to value, a half going to the even neighbour; no value when that falls outside the
// 32-bit signed range or value is not finite.
std::optional<std::int32_t> toInt32(double value);

// a \ b: both operands through toInt32, then the quotient truncated toward zero. No value when an operand
// fails, b rounds to 0, or the quotient leaves the range.
std::optional<std::int32_t> intDiv(double a, double b);

// a mod b: both operands through toInt32, then the remainder with the sign of a. No value when an operand
// fails or b rounds to 0.
std::optional<std::int32_t> intMod(double a, double b);

// Plain decimal text: no leading zeros, a minus sign when negative, no decimal point for whole values.
std::u16string numberText(double value);

} // namespace platform
