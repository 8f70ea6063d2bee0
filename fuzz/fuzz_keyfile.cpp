// Arbitrary bytes as the answer key file: reading must stay within its bounds and agree with the same bytes
// read from memory.
#include "platform/textfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/quillmark-fuzz-XXXXXX"));
    static const QString path = dir.filePath(QStringLiteral("答案.txt"));

    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), bytes.size()) != bytes.size())
            std::abort();
    }

    const QStringList lines = platform::readTextLines(path, 34);
    if (lines.size() > 34)
        std::abort();
    for (const QString &line : lines)
        if (line.size() > platform::MaxLineChars || line.contains(QLatin1Char('\n'))
            || line.contains(QLatin1Char('\r')))
            std::abort();
    if (platform::decodeTextLines(bytes, 34) != lines)
        std::abort();
    // Fewer lines asked for are as many of the same lines. (Not always the same text: the encoding is decided
    // over all the lines read, so a later invalid byte can turn UTF-8 lines into GBK.)
    if (platform::decodeTextLines(bytes, 2).size() != lines.mid(0, 2).size())
        std::abort();
    return 0;
}
