#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace platform {

// A regular file, or a link to one, exists at path.
bool fileExists(std::u16string_view path);

// Anything (file, directory, device) exists at path.
bool pathExists(std::u16string_view path);

// A regular file open for reading, closed when this goes. Not open when path names nothing, a directory, a
// device or a pipe (which could block or never end), or when the system refuses.
class InputFile {
public:
    explicit InputFile(std::u16string_view path);
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;
    ~InputFile();

    bool isOpen() const { return m_open; }
    // Reads up to size bytes; 0 at the end or on a failure.
    std::size_t read(char *into, std::size_t size);

private:
    std::intptr_t m_handle = -1; // the system's: a descriptor, or a HANDLE
    bool m_open = false;
};

} // namespace platform
