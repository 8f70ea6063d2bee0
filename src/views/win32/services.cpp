#include "platform/services.h"
#include "system.h"
#include "text.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace platform {

using views::win32::wide;

std::int32_t SystemServices::tickCount()
{
    return static_cast<std::int32_t>(GetTickCount());
}

void SystemServices::messageBox(std::u16string_view text, std::u16string_view title)
{
    MessageBoxW(nullptr, wide(text).c_str(), wide(title).c_str(), MB_OK);
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

bool SystemServices::openUrl(std::u16string_view address)
{
    // The shell, and the COM its handlers may want, are loaded here, after the first paint, not with the
    // program.
    const auto shellExecute
        = views::win32::systemFunction<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
    if (!shellExecute)
        return false;
    views::win32::useCom();
    const auto result
        = shellExecute(nullptr, L"open", wide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

std::u16string SystemServices::programDirectory()
{
    // Room for the longest path Windows has, not only MAX_PATH.
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), DWORD(path.size())));
    const size_t separator = path.find_last_of(L"\\/");
    return std::u16string(
        path.begin(), separator == std::wstring::npos ? path.begin() : path.begin() + long(separator));
}

void SystemServices::beep()
{
    MessageBeep(MB_OK);
}

} // namespace platform
