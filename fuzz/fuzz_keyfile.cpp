// Arbitrary bytes as the answer key file: reading must stay within its bounds and agree with the same bytes
// read from memory.
#include "platform/system/textfile.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

namespace fs = std::filesystem;

// The key file in a directory of its own under the system's temporary one, removed when the run ends.
struct KeyFile {
    KeyFile()
    {
        std::random_device random;
        for (std::error_code error; !fs::create_directory(dir, error);)
            dir = fs::temp_directory_path() / ("quillmark-fuzz-" + std::to_string(random()));
        path = (dir / u"答案.txt").u16string();
    }
    ~KeyFile()
    {
        std::error_code error;
        fs::remove_all(dir, error);
    }
    fs::path dir;
    std::u16string path;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const KeyFile key;

    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    {
        std::ofstream file(fs::path(key.path), std::ios::binary | std::ios::trunc);
        if (!file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !file.flush())
            std::abort();
    }

    const auto lines = platform::readTextLines(key.path, 34);
    if (lines.size() > 34)
        std::abort();
    for (const auto &line : lines)
        if (line.size() > platform::MaxLineChars || line.find_first_of(u"\r\n") != std::u16string::npos)
            std::abort();
    if (platform::decodeTextLines(bytes, 34) != lines)
        std::abort();
    // Fewer lines asked for are as many of the same lines. (Not always the same text: the encoding is decided
    // over all the lines read, so a later invalid byte can turn UTF-8 lines into GBK.)
    if (platform::decodeTextLines(bytes, 2).size() != std::min<std::size_t>(lines.size(), 2))
        std::abort();
    return 0;
}
