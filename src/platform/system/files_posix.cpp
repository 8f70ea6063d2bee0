#include "files.h"

#include "platform/text/text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>

namespace platform {

namespace {

// File names are bytes here; the desktop's are UTF-8.
std::string nativePath(std::u16string_view path)
{
    return toUtf8(path);
}

} // namespace

bool fileExists(std::u16string_view path)
{
    struct stat status = {};
    return stat(nativePath(path).c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool pathExists(std::u16string_view path)
{
    struct stat status = {};
    return stat(nativePath(path).c_str(), &status) == 0;
}

InputFile::InputFile(std::u16string_view path)
{
    // Opened without waiting, then asked what it is: a pipe put at the path after a check would block here.
    const int fd = open(nativePath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat status = {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        return;
    }
    m_handle = fd;
    m_open = true;
}

InputFile::~InputFile()
{
    if (m_open)
        close(int(m_handle));
}

std::size_t InputFile::read(char *into, std::size_t size)
{
    if (!m_open)
        return 0;
    for (;;) {
        const ssize_t n = ::read(int(m_handle), into, size);
        if (n >= 0)
            return std::size_t(n);
        if (errno != EINTR) {
            m_failed = true;
            return 0;
        }
    }
}

} // namespace platform
