#include "files.h"

#include "wide.h"

#include <windows.h>

#include <string>

namespace platform {

bool fileExists(std::u16string_view path)
{
    // Opened, not only looked at: a link counts as what it leads to, and a device is no file.
    const HANDLE file = CreateFileW(wide(path).c_str(), FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION information{};
    const bool regular = GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &information)
        && !(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    CloseHandle(file);
    return regular;
}

bool pathExists(std::u16string_view path)
{
    return GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

InputFile::InputFile(std::u16string_view path)
{
    const HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        return;
    }
    m_handle = reinterpret_cast<std::intptr_t>(file);
    m_open = true;
}

InputFile::~InputFile()
{
    if (m_open)
        CloseHandle(reinterpret_cast<HANDLE>(m_handle));
}

std::size_t InputFile::read(char *into, std::size_t size)
{
    DWORD n = 0;
    const auto wanted = DWORD(size > 0x10000000 ? 0x10000000 : size);
    if (!m_open)
        return 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(m_handle), into, wanted, &n, nullptr)) {
        m_failed = true;
        return 0;
    }
    return n;
}

} // namespace platform
