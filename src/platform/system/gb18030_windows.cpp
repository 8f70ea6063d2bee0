#include "gb18030.h"

#include "platform/text/text.h"

#include <windows.h>

namespace platform {

namespace {

constexpr UINT Gb18030 = 54936;
constexpr UINT Gbk = 936; // the ANSI code page of a Chinese Windows

// Converts exactly one character; false when the system rejects the bytes.
bool convertOne(UINT codePage, std::string_view character, std::u16string &text)
{
    wchar_t wide[4];
    const int n = MultiByteToWideChar(
        codePage, MB_ERR_INVALID_CHARS, character.data(), static_cast<int>(character.size()), wide, 4);
    const bool pair = n == 2 && isHighSurrogate(char32_t(wide[0])) && isLowSurrogate(char32_t(wide[1]));
    if (n != 1 && !pair)
        return false;
    for (int i = 0; i < n; ++i)
        text += static_cast<char16_t>(wide[i]);
    return true;
}

// 54936 where the system has it; Wine 8, for one, has only 936.
UINT codePage()
{
    static const UINT page = [] {
        std::u16string probe;
        return IsValidCodePage(Gb18030) && convertOne(Gb18030, "\x95\x32\x82\x36", probe)
                && probe == u"\U00020000"
            ? Gb18030
            : Gbk;
    }();
    return page;
}

bool isDigit(unsigned char byte)
{
    return byte >= 0x30 && byte <= 0x39;
}

} // namespace

// The code page is the system's, chosen once for the process.
Gb18030Decoder::Gb18030Decoder() = default;
Gb18030Decoder::~Gb18030Decoder() = default;

std::u16string Gb18030Decoder::operator()(std::string_view bytes)
{
    // The characters are cut out here rather than by the system so that which bytes count as invalid, and
    // which as an incomplete character at the end, is decided as glibc's iconv decides it.
    const UINT page = codePage();
    std::u16string text;
    text.reserve(bytes.size());
    for (std::size_t pos = 0; pos < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[pos]);
        if (lead < 0x80) {
            text += char16_t(lead);
            ++pos;
            continue;
        }
        if (lead == 0x80 || lead == 0xFF) {
            text += ReplacementCharacter;
            ++pos;
            continue;
        }
        // A digit after the lead byte means the four-byte form, whatever follows: iconv, too, drops such a
        // start at the end as incomplete before it looks at the third byte.
        std::size_t length = 2;
        if (page == Gb18030 && pos + 1 < bytes.size() && isDigit(static_cast<unsigned char>(bytes[pos + 1])))
            length = 4;
        if (bytes.size() - pos < length)
            break;
        if (convertOne(page, bytes.substr(pos, length), text)) {
            pos += length;
        } else {
            text += ReplacementCharacter;
            ++pos;
        }
    }
    return text;
}

bool systemDecodesGb18030()
{
    return codePage() == Gb18030;
}

} // namespace platform
