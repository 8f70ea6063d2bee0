#pragma once

#include <string>
#include <string_view>

namespace platform {

// GB18030 (a superset of GBK) decoded by the system (iconv, or Windows' code pages): invalid bytes become
// U+FFFD, one per byte skipped, and an incomplete character at the end is dropped. The system's converter is
// made once, for all the lines of a file.
class Gb18030Decoder {
public:
    Gb18030Decoder();
    Gb18030Decoder(const Gb18030Decoder &) = delete;
    Gb18030Decoder &operator=(const Gb18030Decoder &) = delete;
    ~Gb18030Decoder();

    std::u16string operator()(std::string_view bytes);

private:
    [[maybe_unused]] void *m_converter = nullptr; // iconv's; Windows and the browser need none
};

inline std::u16string decodeGb18030(std::string_view bytes)
{
    return Gb18030Decoder()(bytes);
}

// Whether the system decodes the whole of GB18030; false where it has only GBK (code page 936), as Wine 8.
bool systemDecodesGb18030();

} // namespace platform
