#include "testing.h"

#ifdef _WIN32
#include <windows.h>
#elif defined(__linux__)
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#if defined(__linux__)
namespace {

// The calling thread's capabilities, through the system call itself: no library for two words.
bool capabilities(unsigned (&effective)[2], bool set)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    if (!set) {
        effective[0] = data[0].effective;
        effective[1] = data[1].effective;
        return true;
    }
    data[0].effective = effective[0];
    data[1].effective = effective[1];
    return syscall(SYS_capset, &header, data) == 0;
}

} // namespace
#endif

Unreadable::Unreadable(const fs::path &file)
    : m_file(file)
{
#ifdef _WIN32
    const HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    m_handle = held == INVALID_HANDLE_VALUE ? nullptr : held;
    m_locked = m_handle != nullptr;
#elif defined(__linux__)
    if (chmod(file.c_str(), 0) != 0 || !capabilities(m_savedCapabilities, false))
        return;
    unsigned without[2] = {m_savedCapabilities[0], m_savedCapabilities[1]};
    without[0] &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    if (!capabilities(without, true))
        return;
    // Checked by opening it: access() asks with the capabilities root is permitted, not those it has.
    const int fd = open(file.c_str(), O_RDONLY);
    m_locked = fd < 0;
    if (fd >= 0)
        close(fd);
#endif
}

Unreadable::~Unreadable()
{
#ifdef _WIN32
    if (m_handle)
        CloseHandle(m_handle);
#elif defined(__linux__)
    capabilities(m_savedCapabilities, true);
    chmod(m_file.c_str(), 0600);
#endif
}
