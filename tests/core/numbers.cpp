#include "platform/text/numbers.h"

#include <doctest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

using platform::intDiv;
using platform::intMod;
using platform::numericValue;
using platform::toInt32;

namespace {

// Text as a test names it: UTF-8 in the source, UTF-16 in the program.
std::u16string u16(std::string_view ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

} // namespace

TEST_CASE("text that reads as a number")
{
    const struct {
        const char *name;
        std::u16string text;
        double value;
    } rows[] = {
        {"whole", u"130", 130},
        {"fraction", u"0.51", 0.51},
        {"leading point", u".5", 0.5},
        {"trailing point", u"5.", 5},
        {"plus sign", u"+7", 7},
        {"minus sign", u"-3.25", -3.25},
        {"exponent", u"1.5e3", 1500},
        {"capital exponent with sign", u"25E-1", 2.5},
        {"spaces around", u"  42\t", 42},
        {"ideographic spaces around", u"\u3000134\u3000", 134},
        {"full-width digits", u"１３０", 130},
        {"full-width sign and point", u"－０．５", -0.5},
        {"leading zeros", u"007", 7},
        {"largest double", u"1.7976931348623157e308", std::numeric_limits<double>::max()},
        {"underflow reads as zero", u"1e-400", 0},
        {"long underflow without exponent", u"0." + std::u16string(400, u'0') + u"1", 0},
    };
    for (const auto &row : rows) {
        CAPTURE(row.name);
        const auto value = numericValue(row.text);
        REQUIRE(value.has_value());
        CHECK(*value == row.value);
    }
}

TEST_CASE("text that is no number")
{
    const std::u16string rows[] = {u"", u"   ", u"abc", u"12a", u"1e400", std::u16string(400, u'9'),
        std::u16string(400, u'9') + u"e-5", u"nan", u"inf", u"0x10", u",", u"1,5", u".", u"-", u"+-1", u"1e",
        u"1 0", u"十"};
    for (const auto &text : rows) {
        CAPTURE(std::string(text.begin(), text.end()));
        CHECK(!numericValue(text).has_value());
    }
}

TEST_CASE("negative zero keeps its sign")
{
    const auto value = numericValue(u"-0");
    REQUIRE(value.has_value());
    CHECK(*value == 0.0);
    CHECK(std::signbit(*value));
}

TEST_CASE("rounding into the 32-bit range")
{
    const struct {
        double value;
        std::int32_t expected;
    } rows[] = {
        {2.5, 2}, // half to even, down
        {3.5, 4}, // half to even, up
        {-2.5, -2}, {29.6, 30}, {2147483647.0, 2147483647}, {2147483647.4, 2147483647},
        {-2147483648.0, std::numeric_limits<std::int32_t>::min()},
        {-2147483648.5, std::numeric_limits<std::int32_t>::min()}, // the half goes to even
    };
    for (const auto &row : rows) {
        CAPTURE(row.value);
        CHECK(toInt32(row.value) == row.expected);
    }
}

TEST_CASE("integer division and remainder")
{
    const struct {
        const char *name;
        double a, b;
        std::int32_t quotient, remainder;
    } rows[] = {
        {"7799 s: 2 h", 7799, 3600, 2, 599},
        {"-1 \\ 3600 = 0, -1 mod 60 = -1", -1, 3600, 0, -1},
        {"-101 s", -101, 60, -1, -41},
        {"negative divisor", 7, -2, -3, 1},
        {"operands rounded first: 10 \\ 2, 10 mod 2", 9.5, 2.5, 5, 0},
    };
    for (const auto &row : rows) {
        CAPTURE(row.name);
        CHECK(intDiv(row.a, row.b) == row.quotient);
        CHECK(intMod(row.a, row.b) == row.remainder);
    }
}

TEST_CASE("integer operations that fail")
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    CHECK(!intDiv(1, 0).has_value());
    CHECK(!intMod(1, 0.4).has_value()); // 0.4 rounds to 0
    CHECK(!intDiv(2147483648.0, 1).has_value());
    CHECK(!intMod(-2147483649.0, 7).has_value());
    CHECK(!intDiv(nan, 1).has_value());
    CHECK(!intDiv(-2147483648.0, -1).has_value());
    CHECK(intMod(-2147483648.0, -1) == 0);
}

TEST_CASE("numbers as text")
{
    const struct {
        double value;
        const char *text;
    } rows[] = {{0.0, "0"}, {-0.0, "0"}, {3.0, "3"}, {-41.0, "-41"}, {0.5, "0.5"}};
    for (const auto &row : rows) {
        CAPTURE(row.text);
        CHECK(platform::numberText(row.value) == u16(row.text));
    }
}
