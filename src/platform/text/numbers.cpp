#include "numbers.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace platform {

namespace {

// std::from_chars for a double, on a text whose grammar is checked already. libc++ before 20 (Emscripten's)
// has none: there strtod does it, in the C locale that a program starts in.
std::from_chars_result parseDouble(const char *first, const char *last, double &value)
{
#if defined(_LIBCPP_VERSION) && _LIBCPP_VERSION < 200000
    const std::string text(first, last);
    char *end = nullptr;
    errno = 0;
    const double parsed = std::strtod(text.c_str(), &end);
    const char *stop = first + (end - text.c_str());
    if (errno == ERANGE)
        return {stop, std::errc::result_out_of_range};
    value = parsed;
    return {stop, std::errc{}};
#else
    return std::from_chars(first, last, value);
#endif
}

// Chinese input methods type full-width forms; they mean the same number.
char16_t asciiTwin(char16_t c)
{
    if (c >= u'０' && c <= u'９')
        return char16_t(u'0' + (c - u'０'));
    switch (c) {
    case u'＋':
        return u'+';
    case u'－':
        return u'-';
    case u'．':
        return u'.';
    default:
        return c;
    }
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// White space as a text box's user may type it around a number: ASCII's, the ideographic space of Chinese
// input methods, and the other spaces and line separators of Unicode.
bool isSpace(char16_t c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680
        || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F
        || c == 0x3000;
}

std::u16string_view trimmed(std::u16string_view text)
{
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::optional<double> numericValue(std::u16string_view text)
{
    text = trimmed(text);
    std::string ascii;
    ascii.reserve(text.size());
    for (const char16_t ch : text) {
        const char16_t c = asciiTwin(ch);
        if (c > 0x7f)
            return std::nullopt;
        ascii.push_back(char(c));
    }

    // Check the grammar here: from_chars alone would also take "inf", "nan" and hexadecimal forms.
    const size_t n = ascii.size();
    size_t i = 0;
    const bool negative = i < n && ascii[i] == '-';
    if (i < n && (ascii[i] == '+' || ascii[i] == '-'))
        ++i;
    const size_t mantissa = i;
    size_t intDigits = 0;
    size_t fracDigits = 0;
    for (; i < n && isDigit(ascii[i]); ++i)
        ++intDigits;
    if (i < n && ascii[i] == '.')
        for (++i; i < n && isDigit(ascii[i]); ++i)
            ++fracDigits;
    if (intDigits + fracDigits == 0)
        return std::nullopt;
    long long exponent = 0;
    if (i < n && (ascii[i] == 'e' || ascii[i] == 'E')) {
        ++i;
        const bool negativeExponent = i < n && ascii[i] == '-';
        if (i < n && (ascii[i] == '+' || ascii[i] == '-'))
            ++i;
        const size_t expStart = i;
        for (; i < n && isDigit(ascii[i]); ++i)
            exponent = std::min(exponent * 10 + (ascii[i] - '0'), 1'000'000'000LL);
        if (i == expStart)
            return std::nullopt;
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != n)
        return std::nullopt;

    double value = 0;
    const char *first = ascii.data() + mantissa;
    const char *last = ascii.data() + n;
    const auto [end, error] = parseDouble(first, last, value);
    if (error == std::errc::result_out_of_range) {
        // Out of range either way: tell an overflow (no number) from an underflow (zero) by the decimal
        // exponent of the first significant digit.
        long long leading = -1;
        long long position = 0;
        for (const char *p = first; p != last && *p != 'e' && *p != 'E'; ++p) {
            if (*p == '.')
                continue;
            if (*p != '0') {
                leading = position;
                break;
            }
            ++position;
        }
        if (leading < 0 || exponent + (static_cast<long long>(intDigits) - 1 - leading) >= 0)
            return std::nullopt;
        value = 0;
    } else if (error != std::errc() || end != last) {
        return std::nullopt;
    }
    if (!std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

std::optional<std::int32_t> toInt32(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    double rounded = std::round(value);
    if (std::fabs(value - std::trunc(value)) == 0.5)
        rounded = 2.0 * std::round(value / 2.0);
    if (rounded < double(INT_MIN) || rounded > double(INT_MAX))
        return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

std::optional<std::int32_t> intDiv(double a, double b)
{
    const auto x = toInt32(a);
    const auto y = toInt32(b);
    if (!x || !y || *y == 0 || (*x == INT_MIN && *y == -1))
        return std::nullopt;
    return *x / *y;
}

std::optional<std::int32_t> intMod(double a, double b)
{
    const auto x = toInt32(a);
    const auto y = toInt32(b);
    if (!x || !y || *y == 0)
        return std::nullopt;
    if (*y == -1) // INT_MIN % -1 is undefined in C++; the remainder is 0 for every a.
        return 0;
    return *x % *y;
}

std::u16string numberText(double value)
{
    char digits[32];
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(value));
    else
        std::snprintf(digits, sizeof digits, "%.15g", value);
    return std::u16string(digits, digits + std::char_traits<char>::length(digits));
}

} // namespace platform
