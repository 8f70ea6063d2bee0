#pragma once

#include "platform/system/services.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Services whose program launches wait for the window's first paint. Starting a program forks the whole
// process, which would delay the window by several milliseconds; the browser's own window takes far longer to
// appear. A message box starts what waits first, so launches keep their place before it; whatever still waits
// starts when this object goes.
class LaunchesAfterFirstPaint final : public platform::Services {
public:
    explicit LaunchesAfterFirstPaint(platform::Services &services)
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

    platform::Services &m_services;
    std::vector<std::function<bool()>> m_waiting;
    bool m_painted = false;
};
