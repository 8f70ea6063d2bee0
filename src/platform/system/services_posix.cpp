#include "services.h"

#include "platform/text/text.h"

#include <ctime>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace platform {

std::int32_t SystemServices::tickCount()
{
    // What GetTickCount counts: milliseconds since the system started, sleep included.
    timespec now{};
#ifdef CLOCK_BOOTTIME
    clock_gettime(CLOCK_BOOTTIME, &now);
#else
    clock_gettime(CLOCK_MONOTONIC, &now);
#endif
    const auto ms = std::uint64_t(now.tv_sec) * 1000u + std::uint64_t(now.tv_nsec) / 1'000'000u;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(ms));
}

bool SystemServices::startProgram(std::u16string_view commandLine)
{
    // The shell reads the command line as a command line and leaves the program running in the background as
    // it exits, so that the program is nobody's child to wait for; false when the shell cannot run.
    std::string line = toUtf8(commandLine) + " &";
    char shell[] = "sh";
    char option[] = "-c";
    char *arguments[] = {shell, option, line.data(), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, "/bin/sh", nullptr, nullptr, arguments, environ) != 0)
        return false;
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::u16string SystemServices::programDirectory()
{
    // Where the program's file is, links followed: a link to it on the PATH finds the key beside the program.
    // As long as it is: a buffer that fills may have cut it.
    std::string path(256, '\0');
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
        if (length <= 0)
            return {};
        if (size_t(length) < path.size()) {
            path.resize(size_t(length));
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t separator = path.find_last_of('/');
    return fromUtf8(separator == 0 ? "/" : std::string_view(path).substr(0, separator));
}

} // namespace platform
