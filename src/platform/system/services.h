#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

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

// Services whose program launches wait for the window's first paint. Starting a program forks the whole
// process, which would delay the window by several milliseconds; the browser's own window takes far longer to
// appear. A message box starts what waits first, so launches keep their place before it; whatever still waits
// starts when this object goes.
class LaunchesAfterFirstPaint final : public Services {
public:
    explicit LaunchesAfterFirstPaint(Services &services)
        : m_services(services)
    {
    }
    ~LaunchesAfterFirstPaint() override { startWaiting(); }

    // The window has painted: starts what waits, and from now on starts at once.
    void windowPainted();

    std::int32_t tickCount() override { return m_services.tickCount(); }
    void messageBox(std::u16string_view text, std::u16string_view title) override;
    // True when started, or when waiting to start.
    bool startProgram(std::u16string_view commandLine) override;
    bool openUrl(std::u16string_view address) override;
    std::u16string programDirectory() override { return m_services.programDirectory(); }
    void beep() override { m_services.beep(); }

private:
    // Starts now once the window has painted, else keeps start waiting.
    bool launch(std::function<bool()> start);
    void startWaiting();

    Services &m_services;
    std::vector<std::function<bool()>> m_waiting;
    bool m_painted = false;
};

} // namespace platform
