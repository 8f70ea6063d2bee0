#include "text.h"

namespace platform {

namespace {

// The length of the well-formed sequence starting at `pos`, or, when there is none, the length of the maximal
// ill-formed subsequence there (at least 1), negated.
int sequenceAt(std::string_view bytes, std::size_t pos, char32_t &code)
{
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byteAt(pos);
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    int length = 0;
    unsigned char low = 0x80; // the second byte's range narrows for some leads (overlongs, surrogates)
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return -1;
    }
    for (int i = 1; i < length; ++i) {
        const std::size_t at = pos + std::size_t(i);
        if (at >= bytes.size())
            return -i;
        const unsigned char c = byteAt(at);
        if (c < (i == 1 ? low : 0x80) || c > (i == 1 ? high : 0xBF))
            return -i;
        code = code << 6 | (c & 0x3Fu);
    }
    return length;
}

} // namespace

CodePoint codePointAt(std::u16string_view text, std::size_t index)
{
    const char16_t unit = text[index];
    if (isHighSurrogate(unit) && index + 1 < text.size() && isLowSurrogate(text[index + 1]))
        return {0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(text[index + 1]) - 0xDC00), 2};
    return {unit, 1};
}

void appendUtf16(std::u16string &text, char32_t codePoint)
{
    if (codePoint < 0x10000) {
        text += char16_t(codePoint);
    } else {
        codePoint -= 0x10000;
        text += char16_t(0xD800 + (codePoint >> 10));
        text += char16_t(0xDC00 + (codePoint & 0x3FF));
    }
}

std::u16string fromUtf8(std::string_view bytes)
{
    std::u16string text;
    text.reserve(bytes.size());
    for (std::size_t pos = 0; pos < bytes.size();) {
        char32_t code = 0;
        const int n = sequenceAt(bytes, pos, code);
        if (n > 0) {
            appendUtf16(text, code);
            pos += std::size_t(n);
        } else {
            text += ReplacementCharacter;
            pos += std::size_t(-n);
        }
    }
    return text;
}

bool isValidUtf8(std::string_view bytes)
{
    for (std::size_t pos = 0; pos < bytes.size();) {
        char32_t code = 0;
        const int n = sequenceAt(bytes, pos, code);
        if (n < 0)
            return false;
        pos += std::size_t(n);
    }
    return true;
}

std::string toUtf8(std::u16string_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    const auto put = [&bytes](unsigned value) { bytes += static_cast<char>(value); };
    for (std::size_t i = 0; i < text.size();) {
        const CodePoint point = codePointAt(text, i);
        i += point.length;
        const char32_t code = isHighSurrogate(point.value) || isLowSurrogate(point.value)
            ? ReplacementCharacter
            : point.value;
        if (code < 0x80) {
            put(code);
        } else if (code < 0x800) {
            put(0xC0 | code >> 6);
            put(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            put(0xE0 | code >> 12);
            put(0x80 | (code >> 6 & 0x3F));
            put(0x80 | (code & 0x3F));
        } else {
            put(0xF0 | code >> 18);
            put(0x80 | (code >> 12 & 0x3F));
            put(0x80 | (code >> 6 & 0x3F));
            put(0x80 | (code & 0x3F));
        }
    }
    return bytes;
}

} // namespace platform
