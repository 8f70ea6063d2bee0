#include "gb18030.h"

#include "platform/text/text.h"

#include <cerrno>
#include <iconv.h>

namespace platform {

namespace {

// Without a converter keep what is ASCII and mark every other byte as undecodable.
std::u16string asciiOnly(std::string_view bytes)
{
    std::u16string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text += byte < 0x80 ? char16_t(byte) : ReplacementCharacter;
    }
    return text;
}

// (iconv_t)-1 is how iconv_open says it failed.
bool opened(iconv_t converter)
{
    // NOLINTNEXTLINE(performance-no-int-to-ptr)
    return converter != reinterpret_cast<iconv_t>(-1);
}

} // namespace

Gb18030Decoder::Gb18030Decoder()
    : m_converter(iconv_open("UTF-16LE", "GB18030"))
{
}

Gb18030Decoder::~Gb18030Decoder()
{
    if (opened(m_converter))
        iconv_close(m_converter);
}

std::u16string Gb18030Decoder::operator()(std::string_view bytes)
{
    if (bytes.empty())
        return {};
    const iconv_t converter = m_converter;
    if (!opened(converter))
        return asciiOnly(bytes);
    // Each text starts afresh: nothing cut off at the end of the last one carries over.
    iconv(converter, nullptr, nullptr, nullptr, nullptr);

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
        text += ReplacementCharacter;
        ++inPos;
        --inLeft;
    }
    return text;
}

bool systemDecodesGb18030()
{
    // A four-byte character (U+20000) is what GBK alone lacks.
    static const bool full = decodeGb18030("\x95\x32\x82\x36") == u"\U00020000";
    return full;
}

} // namespace platform
