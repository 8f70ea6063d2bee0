#include "gb18030.h"

#include <emscripten/emscripten.h>

// In a page the system's decoder is the browser's: the Encoding Standard's gb18030, which Chinese Windows'
// GBK is a part of. Its invalid bytes become U+FFFD; a character cut off at the end waits for more bytes that
// never come, and is dropped. Each byte gives at most one UTF-16 unit, and a NUL follows them.
// clang-format off
EM_JS(int, quillmark_decode_gb18030, (const char *bytes, int length, char16_t *into), {
    var text = new TextDecoder("gb18030").decode(HEAPU8.subarray(bytes, bytes + length), {stream: true});
    quillmarkStore(text, into, text.length);
    return text.length;
});
// clang-format on

namespace platform {

Gb18030Decoder::Gb18030Decoder() = default;

Gb18030Decoder::~Gb18030Decoder() = default;

std::u16string Gb18030Decoder::operator()(std::string_view bytes)
{
    std::u16string text(bytes.size(), u'\0');
    text.resize(size_t(quillmark_decode_gb18030(bytes.data(), int(bytes.size()), text.data())));
    return text;
}

bool systemDecodesGb18030()
{
    return true;
}

} // namespace platform
