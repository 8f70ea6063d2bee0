#include "gb18030.h"

#include <cerrno>
#include <iconv.h>

namespace platform {

namespace {

constexpr char16_t Replacement = u'\uFFFD';

// Without a converter keep what is ASCII and mark every other byte as undecodable.
std::u16string asciiOnly(std::string_view bytes)
{
    std::u16string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text += byte < 0x80 ? char16_t(byte) : Replacement;
    }
    return text;
}

} // namespace

std::u16string decodeGb18030(std::string_view bytes)
{
    if (bytes.empty())
        return {};
    const iconv_t converter = iconv_open("UTF-16LE", "GB18030");
    // NOLINTNEXTLINE(performance-no-int-to-ptr): (iconv_t)-1 is how iconv_open says it failed
    if (converter == reinterpret_cast<iconv_t>(-1))
        return asciiOnly(bytes);

    std::string in(bytes); // iconv takes non-const input
    char *inPos = in.data();
    std::size_t inLeft = in.size();
    std::u16string text;
    text.reserve(bytes.size());
    char out[4096];
    for (;;) {
        char *outPos = out;
        std::size_t outLeft = sizeof out;
        const bool failed
            = iconv(converter, &inPos, &inLeft, &outPos, &outLeft) == static_cast<std::size_t>(-1);
        const int error = failed ? errno : 0;
        // Assembled byte by byte so that the host's byte order does not matter.
        for (const char *p = out; p + 1 < outPos; p += 2)
            text += char16_t(static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1]) << 8);
        if (error == E2BIG)
            continue;
        if (error != EILSEQ || inLeft == 0)
            break; // done, or EINVAL: an incomplete character at the end, dropped
        // U+FFFD for the invalid byte, then on with the next.
        text += Replacement;
        ++inPos;
        --inLeft;
    }
    iconv_close(converter);
    return text;
}

bool systemDecodesGb18030()
{
    // A four-byte character (U+20000) is what GBK alone lacks.
    static const bool full = decodeGb18030("\x95\x32\x82\x36") == u"\U00020000";
    return full;
}

} // namespace platform
