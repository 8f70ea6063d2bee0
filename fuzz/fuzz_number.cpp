// Arbitrary text as a number typed into a box, and the integer operations on whatever it gives.
#include "platform/text/numbers.h"
#include "platform/text/text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkIntegerOperations(double a, double b)
{
    const auto q = platform::intDiv(a, b);
    const auto r = platform::intMod(a, b);
    const auto x = platform::toInt32(a);
    const auto y = platform::toInt32(b);
    check(q.has_value() == (x && y && *y != 0 && !(*x == INT32_MIN && *y == -1)));
    check(r.has_value() == (x && y && *y != 0));
    if (q && r) {
        check(std::int64_t(*q) * *y + *r == *x);
        check(*r == 0 || (*r < 0) == (*x < 0));
        check(std::llabs(*r) < std::llabs(*y));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The same bytes as UTF-8 and as UTF-16, so full-width and other non-ASCII forms turn up.
    const std::u16string utf8
        = platform::fromUtf8(std::string_view(reinterpret_cast<const char *>(data), size));
    std::u16string utf16(size / 2, u'\0');
    std::memcpy(utf16.data(), data, size / 2 * 2);

    for (const std::u16string &text : {utf8, utf16}) {
        const auto value = platform::numericValue(text);
        if (!value)
            continue;
        check(std::isfinite(*value));
        // White space around a number never changes it.
        const auto spaced = platform::numericValue(u" \u3000" + text + u"\t");
        check(spaced && (*spaced == *value || (std::isnan(*spaced) && std::isnan(*value))));
        checkIntegerOperations(*value, 1000);
        checkIntegerOperations(*value * 60, 3600);
        checkIntegerOperations(3600, *value);
        check(!platform::numberText(*value).empty());
    }
    return 0;
}
