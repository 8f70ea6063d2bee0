#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

class QIODevice;

namespace platform {

// Bounds that keep a huge, binary or endless input from exhausting memory or stalling the caller.
inline constexpr qsizetype MaxLineBytes = 4096; // bytes kept of one line; the rest of the line is skipped
inline constexpr qsizetype MaxLineChars = 1024; // UTF-16 units kept of one decoded line
inline constexpr qint64 MaxScanBytes = qint64(64) << 20; // bytes read at most, skipped ones included

// A regular file, or a link to one, exists at path.
bool fileExists(const QString &path);

// Anything (file, directory, device) exists at path.
bool pathExists(const QString &path);

// Reads the first maxLines lines of the text file at path, with the file open only during the call.
//
// A UTF-8 or UTF-16 byte-order mark selects that encoding; otherwise the text is UTF-8 when valid as such and
// GBK (decoded as GB18030) when not. CR LF, LF and a lone CR each end a line. Returns the lines read, fewer
// than maxLines when the input ends, cannot be read, or is not a regular file.
QStringList readTextLines(const QString &path, int maxLines);

// The same over a device already open for reading.
QStringList readTextLines(QIODevice &device, int maxLines);

// The same over bytes in memory.
QStringList decodeTextLines(QByteArrayView bytes, int maxLines);

// GB18030 (a superset of GBK) decoded by Qt where Qt has the codec (builds with ICU), and by the system where
// it has not (code page 54936 on Windows, iconv elsewhere). Invalid bytes become U+FFFD; an incomplete
// character at the end is dropped, as Qt's codec drops it.
QString decodeGb18030(QByteArrayView bytes);

// For tests: decode GB18030 through the system even where Qt has the codec.
void setSystemGb18030(bool on);

} // namespace platform
