#include "services.h"

#include "wide.h"

#include <windows.h>

#include <string>

namespace platform {

std::int32_t SystemServices::tickCount()
{
    return static_cast<std::int32_t>(GetTickCount());
}

bool SystemServices::startProgram(std::u16string_view commandLine)
{
    // CreateProcess resolves an unquoted path with spaces the way the command line means it.
    std::wstring line = wide(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(
            nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

std::u16string SystemServices::programDirectory()
{
    // As long as the path is: a buffer that fills may have cut it (Windows' longest path is 32767 units).
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t separator = path.find_last_of(L"\\/");
    return fromWide(std::wstring_view(path).substr(0, separator == std::wstring::npos ? 0 : separator));
}

} // namespace platform
