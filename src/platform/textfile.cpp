#include "textfile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <cerrno>
#include <iconv.h>
#endif

namespace platform {

namespace {

constexpr qint64 ChunkBytes = qint64(64) * 1024;

bool systemGb18030Forced = false;

#ifdef Q_OS_WIN
QString systemGb18030(QByteArrayView bytes)
{
    // Code page 54936 is GB18030; without MB_ERR_INVALID_CHARS invalid bytes become U+FFFD.
    constexpr UINT Gb18030 = 54936;
    if (bytes.isEmpty())
        return {};
    const int n = MultiByteToWideChar(Gb18030, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(size_t(n), L'\0');
    MultiByteToWideChar(Gb18030, 0, bytes.data(), int(bytes.size()), wide.data(), n);
    return QString::fromStdWString(wide);
}
#else
QString systemGb18030(QByteArrayView bytes)
{
    const iconv_t converter = iconv_open("UTF-8", "GB18030");
    // NOLINTNEXTLINE(performance-no-int-to-ptr): (iconv_t)-1 is how iconv_open says it failed
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        // No decoder at all: keep what is ASCII, and mark every other byte as undecodable.
        QString text;
        for (const char c : bytes)
            text.append(uchar(c) < 0x80 ? QChar(QLatin1Char(c)) : QChar(QChar::ReplacementCharacter));
        return text;
    }
    QByteArray in = bytes.toByteArray();
    // Each input byte gives at most three bytes of UTF-8 (U+FFFD for an invalid one); four-byte GB18030
    // characters give at most four.
    QByteArray out(in.size() * 3 + 4, Qt::Uninitialized);
    char *inPos = in.data();
    size_t inLeft = size_t(in.size());
    char *outPos = out.data();
    size_t outLeft = size_t(out.size());
    while (inLeft > 0) {
        if (iconv(converter, &inPos, &inLeft, &outPos, &outLeft) != size_t(-1))
            break;
        if (errno != EILSEQ)
            break; // EINVAL: an incomplete character at the end, dropped
        // U+FFFD for the invalid byte, then on with the next.
        for (const char byte : {'\xEF', '\xBF', '\xBD'})
            *outPos++ = byte;
        outLeft -= 3;
        ++inPos;
        --inLeft;
    }
    iconv_close(converter);
    return QString::fromUtf8(out.constData(), outPos - out.constData());
}
#endif

// GB18030 through Qt's codec where Qt has one, else through the system; made once for all the lines of a
// file.
class Gb18030Decoder {
public:
    QString operator()(QByteArrayView bytes)
    {
        return m_qt.isValid() ? QString(m_qt(bytes)) : systemGb18030(bytes);
    }

private:
    QStringDecoder m_qt
        = systemGb18030Forced ? QStringDecoder() : QStringDecoder("GB18030", QStringDecoder::Flag::Stateless);
};

enum class Encoding { Utf8, Utf16LE, Utf16BE, Legacy };

// Splits a byte stream into lines of 1-byte or 2-byte code units, keeping at most MaxLineBytes of each line
// and reading at most MaxScanBytes in all.
class LineSplitter {
public:
    explicit LineSplitter(QIODevice &device)
        : m_device(device)
    {
    }

    // Reads up to three bytes to find a byte-order mark, consuming it.
    Encoding detectEncoding()
    {
        fill(3);
        const auto starts = [this](const char *mark, qsizetype n) {
            return available() >= n && std::memcmp(m_buffer.constData() + m_pos, mark, size_t(n)) == 0;
        };
        if (starts("\xEF\xBB\xBF", 3)) {
            m_pos += 3;
            return Encoding::Utf8;
        }
        if (starts("\xFF\xFE", 2) || starts("\xFE\xFF", 2)) {
            const bool little = m_buffer[m_pos] == '\xFF';
            m_pos += 2;
            m_unit = 2;
            m_bigEndian = !little;
            return little ? Encoding::Utf16LE : Encoding::Utf16BE;
        }
        return Encoding::Legacy;
    }

    struct Line {
        QByteArray bytes;
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
                const char *begin = m_buffer.constData() + m_pos;
                const char *end = m_buffer.constData() + m_buffer.size();
                const char *stop = findLineEnd(begin, end);
                keep(line, begin, stop - begin);
                m_pos += stop - begin;
                if (stop == end)
                    continue;
            } else {
                const char16_t u = unitAt(m_pos);
                if (u != u'\r' && u != u'\n') {
                    keep(line, m_buffer.constData() + m_pos, 2);
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
            keep(line, m_buffer.constData() + m_pos, available());
            m_pos = m_buffer.size();
            any = true;
        }
        if (!any)
            return std::nullopt;
        return line;
    }

private:
    qsizetype available() const { return m_buffer.size() - m_pos; }

    // Makes at least `need` bytes available if the input has them; false when it has not.
    bool fill(qsizetype need)
    {
        while (available() < need) {
            if (m_scanned >= MaxScanBytes || m_atEnd)
                return false;
            m_buffer.remove(0, m_pos);
            m_pos = 0;
            const QByteArray chunk = m_device.read(std::min(ChunkBytes, MaxScanBytes - m_scanned));
            if (chunk.isEmpty()) {
                m_atEnd = true;
                return false;
            }
            m_scanned += chunk.size();
            m_buffer += chunk;
        }
        return true;
    }

    char16_t unitAt(qsizetype pos) const
    {
        const auto b0 = uchar(m_buffer[pos]);
        if (m_unit == 1)
            return b0;
        const auto b1 = uchar(m_buffer[pos + 1]);
        return m_bigEndian ? char16_t(b0 << 8 | b1) : char16_t(b1 << 8 | b0);
    }

    static const char *findLineEnd(const char *begin, const char *end)
    {
        const auto n = size_t(end - begin);
        const auto *cr = static_cast<const char *>(std::memchr(begin, '\r', n));
        const auto *lf = static_cast<const char *>(std::memchr(begin, '\n', cr ? size_t(cr - begin) : n));
        return lf ? lf : cr ? cr : end;
    }

    static void keep(Line &line, const char *data, qsizetype n)
    {
        const qsizetype room = MaxLineBytes - line.bytes.size();
        if (n > room) {
            line.cut = true;
            n = room;
        }
        if (n > 0)
            line.bytes.append(data, n);
    }

    QIODevice &m_device;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    qint64 m_scanned = 0;
    bool m_atEnd = false;
    int m_unit = 1;
    bool m_bigEndian = false;
};

// A line cut at MaxLineBytes may end inside a UTF-8 sequence; that tail says nothing about the encoding.
QByteArrayView withoutIncompleteUtf8Tail(QByteArrayView bytes)
{
    const qsizetype n = bytes.size();
    for (qsizetype back = 1; back <= 3 && back <= n; ++back) {
        const auto c = uchar(bytes[n - back]);
        if ((c & 0xC0) == 0x80)
            continue;
        const qsizetype length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return length > back ? bytes.first(n - back) : bytes;
    }
    return bytes;
}

bool isValidUtf8(const std::vector<LineSplitter::Line> &lines)
{
    return std::all_of(lines.begin(), lines.end(), [](const LineSplitter::Line &line) {
        return (line.cut ? withoutIncompleteUtf8Tail(line.bytes) : QByteArrayView(line.bytes)).isValidUtf8();
    });
}

QString cutToBound(QString text)
{
    if (text.size() <= MaxLineChars)
        return text;
    qsizetype n = MaxLineChars;
    if (text.at(n - 1).isHighSurrogate())
        --n;
    text.truncate(n);
    return text;
}

} // namespace

bool fileExists(const QString &path)
{
    return QFileInfo(path).isFile();
}

bool pathExists(const QString &path)
{
    return QFileInfo::exists(path);
}

QStringList readTextLines(QIODevice &device, int maxLines)
{
    LineSplitter splitter(device);
    const Encoding encoding = splitter.detectEncoding();
    std::vector<LineSplitter::Line> raw;
    while (int(raw.size()) < maxLines) {
        auto line = splitter.next();
        if (!line)
            break;
        raw.push_back(std::move(*line));
    }

    // One encoding for the whole file: without a byte-order mark, UTF-8 when every line is valid as such, GBK
    // when not.
    std::optional<Gb18030Decoder> gbk;
    if (encoding == Encoding::Legacy && !isValidUtf8(raw))
        gbk.emplace();
    QStringDecoder decoder(encoding == Encoding::Utf16LE ? QStringDecoder::Utf16LE
            : encoding == Encoding::Utf16BE              ? QStringDecoder::Utf16BE
                                                         : QStringDecoder::Utf8,
        QStringDecoder::Flag::Stateless);

    QStringList lines;
    lines.reserve(qsizetype(raw.size()));
    for (const auto &line : raw)
        lines.append(cutToBound(gbk ? (*gbk)(line.bytes) : QString(decoder(line.bytes))));
    return lines;
}

QStringList readTextLines(const QString &path, int maxLines)
{
    // Devices, pipes and directories hold no text to read here: a pipe would block and a device may never
    // end.
    if (!fileExists(path))
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    return readTextLines(file, maxLines);
}

QString decodeGb18030(QByteArrayView bytes)
{
    return Gb18030Decoder()(bytes);
}

void setSystemGb18030(bool on)
{
    systemGb18030Forced = on;
}

QStringList decodeTextLines(QByteArrayView bytes, int maxLines)
{
    QByteArray copy = bytes.toByteArray();
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return readTextLines(buffer, maxLines);
}

} // namespace platform
