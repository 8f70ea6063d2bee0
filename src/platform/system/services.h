#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

#ifdef _WIN32
inline constexpr bool OnWindows = true;
#else
inline constexpr bool OnWindows = false;
#endif

// What the program takes from the system beyond its window: time, messages, other programs and its own
// directory. The handlers reach these through one object that each view provides, so tests can substitute a
// fake.
class Services {
public:
    Services(const Services &) = delete;
    Services &operator=(const Services &) = delete;
    virtual ~Services() = default;

    // Milliseconds from a clock that keeps counting while the machine sleeps, as a 32-bit value that wraps.
    virtual std::int32_t tickCount() = 0;

    // Shows text in a modal message titled title, with one OK button and no icon, and returns only once the
    // user has dismissed it: the handler that shows it goes on from there (the load tests for the key again).
    // A toolkit whose dialogs do not block runs its own event loop until the dialog is dismissed, as Qt's
    // QDialog::exec() does; a page has alert(), which blocks.
    virtual void messageBox(std::u16string_view text, std::u16string_view title) = 0;

    // Starts a program from a command line, without waiting for it; false when it could not be started.
    virtual bool startProgram(std::u16string_view commandLine) = 0;

    // Opens an address in the user's default web browser; false when that failed.
    virtual bool openUrl(std::u16string_view address) = 0;

    // The folder that holds the program's executable.
    virtual std::u16string programDirectory() = 0;

    // The platform's short sound for an input that was refused.
    virtual void beep() = 0;

protected:
    Services() = default;
};

// The system's half of the services: the clock, other programs and the program's folder from the system
// itself (services_posix.cpp, services_windows.cpp, services_web.cpp). A view completes them with what the
// system gives through its toolkit, the message box, the browser and the beep: one interface, which the
// handlers and the tests' fake both take, and no forwarding between two.
class SystemServices : public Services {
public:
    std::int32_t tickCount() override;
    bool startProgram(std::u16string_view commandLine) override;
    std::u16string programDirectory() override;

protected:
    SystemServices() = default;
};

} // namespace platform
