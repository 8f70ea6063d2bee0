#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The path of a file named name in directory: joined with the system's separator, unless the directory (a
// root such as / or C:\) ends in one already.
std::u16string joinPath(std::u16string_view directory, std::u16string_view name);

// A regular file, or a link to one, exists at path.
bool fileExists(std::u16string_view path);

// Anything (file, directory, device) exists at path.
bool pathExists(std::u16string_view path);

// A regular file at path that the program can open and read: one held open by another program without
// sharing, or refused by the system, is not.
bool fileReadable(std::u16string_view path);

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
    // A read failed: the file is there, but its bytes could not be had.
    bool failed() const { return m_failed; }

private:
    std::intptr_t m_handle = -1; // the system's: a descriptor, or a HANDLE
    bool m_open = false;
    bool m_failed = false;
};

inline bool fileReadable(std::u16string_view path)
{
    InputFile file(path);
    char first = 0;
    file.read(&first, 1);
    return file.isOpen() && !file.failed();
}

} // namespace platform
