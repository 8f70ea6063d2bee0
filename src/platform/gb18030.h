#pragma once

#include <string>
#include <string_view>

namespace platform {

// GB18030 (a superset of GBK) decoded by the system (iconv, or Windows' code pages): invalid bytes become
// U+FFFD, one per byte skipped, and an incomplete character at the end is dropped.
std::u16string decodeGb18030(std::string_view bytes);

// Whether the system decodes the whole of GB18030; false where it has only GBK (code page 936), as Wine 8.
bool systemDecodesGb18030();

} // namespace platform
