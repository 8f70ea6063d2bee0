#include "textfile.h"

#include "files.h"
#include "gb18030.h"
#include "platform/text/text.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>

namespace platform {

namespace {

constexpr std::size_t ChunkBytes = std::size_t(64) * 1024;

enum class Encoding { Utf8, Utf16LE, Utf16BE, Legacy };

// Fills `into` with up to `size` bytes; 0 at the end of the input.
using Reader = std::function<std::size_t(char *into, std::size_t size)>;

// Splits a byte stream into lines of 1-byte or 2-byte code units, keeping at most MaxLineBytes of each line
// and reading at most MaxScanBytes in all.
class LineSplitter {
public:
    explicit LineSplitter(Reader read)
        : m_read(std::move(read))
    {
    }

    // Reads the first chunk to find a byte-order mark, consuming it, or UTF-16 that has none.
    Encoding detectEncoding()
    {
        fill(3);
        const auto starts = [this](std::string_view mark) {
            return std::string_view(m_buffer).substr(m_pos).starts_with(mark);
        };
        if (starts("\xEF\xBB\xBF")) {
            m_pos += 3;
            return Encoding::Utf8;
        }
        if (starts("\xFF\xFE") || starts("\xFE\xFF")) {
            const bool little = m_buffer[m_pos] == '\xFF';
            m_pos += 2;
            m_unit = 2;
            m_bigEndian = !little;
            return little ? Encoding::Utf16LE : Encoding::Utf16BE;
        }
        if (const auto bigEndian = unmarkedUtf16()) {
            m_unit = 2;
            m_bigEndian = *bigEndian;
            return *bigEndian ? Encoding::Utf16BE : Encoding::Utf16LE;
        }
        return Encoding::Legacy;
    }

    struct Line {
        std::string bytes;
        bool cut = false;
    };

    // The next line without its end; no value once the input (or the scan budget) is exhausted.
    std::optional<Line> next()
    {
        Line line;
        bool any = false;
        while (fill(m_unit)) {
            any = true;
            if (m_unit == 1) {
                const char *begin = m_buffer.data() + m_pos;
                const char *end = m_buffer.data() + m_buffer.size();
                const char *stop = findLineEnd(begin, end);
                keep(line, begin, std::size_t(stop - begin));
                m_pos += std::size_t(stop - begin);
                if (stop == end)
                    continue;
            } else {
                const char16_t u = unitAt(m_pos);
                if (u != u'\r' && u != u'\n') {
                    keep(line, m_buffer.data() + m_pos, 2);
                    m_pos += 2;
                    continue;
                }
            }
            const bool cr = unitAt(m_pos) == u'\r';
            m_pos += m_unit;
            if (cr && fill(m_unit) && unitAt(m_pos) == u'\n')
                m_pos += m_unit;
            return line;
        }
        // A trailing odd byte of UTF-16 text ends up here; the decoder turns it into a replacement character.
        if (available() > 0) {
            keep(line, m_buffer.data() + m_pos, available());
            m_pos = m_buffer.size();
            any = true;
        }
        if (!any)
            return std::nullopt;
        return line;
    }

private:
    std::size_t available() const { return m_buffer.size() - m_pos; }

    // Some tools save UTF-16 without a mark. GBK and UTF-8 text has no NUL byte, where UTF-16 has one in each
    // ASCII character; so a first chunk with a NUL byte that reads, in one byte order, as code units with a
    // line end and no NUL is UTF-16 of that order (true when big-endian). Anything else stays bytes.
    std::optional<bool> unmarkedUtf16() const
    {
        const std::string_view sample = std::string_view(m_buffer).substr(m_pos);
        if (sample.find('\0') == std::string_view::npos)
            return std::nullopt;
        for (const bool bigEndian : {false, true}) {
            bool lineEnd = false;
            bool nul = false;
            for (std::size_t i = 0; i + 1 < sample.size() && !nul; i += 2) {
                const auto b0 = static_cast<unsigned char>(sample[i]);
                const auto b1 = static_cast<unsigned char>(sample[i + 1]);
                const auto unit = bigEndian ? char16_t(b0 << 8 | b1) : char16_t(b1 << 8 | b0);
                lineEnd = lineEnd || unit == u'\r' || unit == u'\n';
                nul = unit == 0;
            }
            if (lineEnd && !nul)
                return bigEndian;
        }
        return std::nullopt;
    }

    // Makes at least `need` bytes available if the input has them; false when it has not.
    bool fill(std::size_t need)
    {
        while (available() < need) {
            if (m_scanned >= MaxScanBytes || m_atEnd)
                return false;
            m_buffer.erase(0, m_pos);
            m_pos = 0;
            const auto want = std::size_t(std::min<std::uint64_t>(ChunkBytes, MaxScanBytes - m_scanned));
            const std::size_t kept = m_buffer.size();
            m_buffer.resize(kept + want);
            const std::size_t got = m_read(m_buffer.data() + kept, want);
            m_buffer.resize(kept + got);
            if (got == 0) {
                m_atEnd = true;
                return false;
            }
            m_scanned += got;
        }
        return true;
    }

    char16_t unitAt(std::size_t pos) const
    {
        const auto b0 = static_cast<unsigned char>(m_buffer[pos]);
        if (m_unit == 1)
            return b0;
        const auto b1 = static_cast<unsigned char>(m_buffer[pos + 1]);
        return m_bigEndian ? char16_t(b0 << 8 | b1) : char16_t(b1 << 8 | b0);
    }

    static const char *findLineEnd(const char *begin, const char *end)
    {
        const auto n = std::size_t(end - begin);
        const auto *cr = static_cast<const char *>(std::memchr(begin, '\r', n));
        const auto *lf
            = static_cast<const char *>(std::memchr(begin, '\n', cr ? std::size_t(cr - begin) : n));
        return lf ? lf : cr ? cr : end;
    }

    static void keep(Line &line, const char *data, std::size_t n)
    {
        const std::size_t room = MaxLineBytes - line.bytes.size();
        if (n > room) {
            line.cut = true;
            n = room;
        }
        line.bytes.append(data, n);
    }

    Reader m_read;
    std::string m_buffer;
    std::size_t m_pos = 0;
    std::uint64_t m_scanned = 0;
    bool m_atEnd = false;
    std::size_t m_unit = 1;
    bool m_bigEndian = false;
};

// A line cut at MaxLineBytes may end inside a UTF-8 sequence; that tail says nothing about the encoding.
std::string_view withoutIncompleteUtf8Tail(std::string_view bytes)
{
    const std::size_t n = bytes.size();
    for (std::size_t back = 1; back <= 3 && back <= n; ++back) {
        const auto c = static_cast<unsigned char>(bytes[n - back]);
        if ((c & 0xC0) == 0x80)
            continue;
        const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return length > back ? bytes.substr(0, n - back) : bytes;
    }
    return bytes;
}

bool allValidUtf8(const std::vector<LineSplitter::Line> &lines)
{
    return std::all_of(lines.begin(), lines.end(), [](const LineSplitter::Line &line) {
        return isValidUtf8(line.cut ? withoutIncompleteUtf8Tail(line.bytes) : std::string_view(line.bytes));
    });
}

// Unpaired surrogates pass through as they are; a trailing odd byte becomes U+FFFD.
std::u16string fromUtf16(std::string_view bytes, bool bigEndian)
{
    std::u16string text;
    text.reserve(bytes.size() / 2 + 1);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
        text += bigEndian ? char16_t(b0 << 8 | b1) : char16_t(b1 << 8 | b0);
    }
    if (bytes.size() % 2 != 0)
        text += ReplacementCharacter;
    return text;
}

std::u16string cutToBound(std::u16string text)
{
    if (text.size() <= MaxLineChars)
        return text;
    std::size_t n = MaxLineChars;
    if (isHighSurrogate(text[n - 1]))
        --n;
    text.resize(n);
    return text;
}

std::vector<std::u16string> readLines(Reader read, int maxLines)
{
    LineSplitter splitter(std::move(read));
    const Encoding encoding = splitter.detectEncoding();
    std::vector<LineSplitter::Line> raw;
    while (int(raw.size()) < maxLines) {
        auto line = splitter.next();
        if (!line)
            break;
        raw.push_back(std::move(*line));
    }

    // One encoding for the whole file: without a byte-order mark (or UTF-16's NULs), UTF-8 when every line is
    // valid as such, GBK when not.
    std::optional<Gb18030Decoder> gbk;
    if (encoding == Encoding::Legacy && !allValidUtf8(raw))
        gbk.emplace();
    std::vector<std::u16string> lines;
    lines.reserve(raw.size());
    for (const auto &line : raw) {
        std::u16string text = gbk           ? (*gbk)(line.bytes)
            : encoding == Encoding::Utf16LE ? fromUtf16(line.bytes, false)
            : encoding == Encoding::Utf16BE ? fromUtf16(line.bytes, true)
                                            : fromUtf8(line.bytes);
        lines.push_back(cutToBound(std::move(text)));
    }
    return lines;
}

} // namespace

std::vector<std::u16string> readTextLines(std::u16string_view path, int maxLines)
{
    InputFile file(path);
    if (!file.isOpen())
        return {};
    return readLines([&file](char *into, std::size_t size) { return file.read(into, size); }, maxLines);
}

std::vector<std::u16string> decodeTextLines(std::string_view bytes, int maxLines)
{
    return readLines(
        [&bytes](char *into, std::size_t size) {
            const std::size_t n = std::min(size, bytes.size());
            if (n > 0)
                std::memcpy(into, bytes.data(), n);
            bytes.remove_prefix(n);
            return n;
        },
        maxLines);
}

} // namespace platform
