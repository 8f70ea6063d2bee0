#pragma once

// What the core's tests share: texts shown readably when a check fails, and a scratch directory.

#include <doctest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

using Lines = std::vector<std::u16string>;
namespace fs = std::filesystem;

namespace doctest {

template <> struct StringMaker<std::u16string> {
    static String convert(const std::u16string &text)
    {
        std::string shown = "u\"";
        for (const char16_t c : text) {
            if (c >= 0x20 && c < 0x7F) {
                shown += static_cast<char>(c);
            } else {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
                shown += escaped;
            }
        }
        return (shown + '"').c_str();
    }
};

template <> struct StringMaker<Lines> {
    static String convert(const Lines &lines)
    {
        String shown = "{";
        for (const auto &line : lines)
            shown += StringMaker<std::u16string>::convert(line) + " ";
        return shown + "}";
    }
};

} // namespace doctest

// A fresh directory under the system's temporary one, removed with everything in it.
struct TempDir {
    TempDir()
    {
        std::random_device random;
        for (std::error_code error; !fs::create_directory(path, error);)
            path = fs::temp_directory_path() / ("quillmark-test-" + std::to_string(random()));
    }
    ~TempDir()
    {
        std::error_code error;
        fs::remove_all(path, error);
    }
    fs::path path;
};

inline void writeFile(const fs::path &path, std::string_view bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
