#pragma once

#include "files.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Bounds that keep a huge, binary or endless input from exhausting memory or stalling the caller.
inline constexpr std::size_t MaxLineBytes = 4096; // bytes kept of one line; the rest of the line is skipped
inline constexpr std::size_t MaxLineChars = 1024; // UTF-16 units kept of one decoded line
inline constexpr std::uint64_t MaxScanBytes = std::uint64_t(64)
    << 20; // bytes read at most, skipped ones included

// Reads the first maxLines lines of the text file at path, with the file open only during the call.
//
// A UTF-8 or UTF-16 byte-order mark selects that encoding; otherwise the text is UTF-8 when valid as such and
// GBK (decoded as GB18030) when not. CR LF, LF and a lone CR each end a line. Returns the lines read, fewer
// than maxLines when the input ends, cannot be read, or is not a regular file.
std::vector<std::u16string> readTextLines(std::u16string_view path, int maxLines);

// The same over bytes in memory.
std::vector<std::u16string> decodeTextLines(std::string_view bytes, int maxLines);

} // namespace platform
