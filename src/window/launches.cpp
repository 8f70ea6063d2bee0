#include "launches.h"

#include <utility>

void LaunchesAfterFirstPaint::windowPainted()
{
    m_painted = true;
    startWaiting();
}

void LaunchesAfterFirstPaint::messageBox(std::u16string_view text, std::u16string_view title)
{
    startWaiting();
    m_services.messageBox(text, title);
}

bool LaunchesAfterFirstPaint::startProgram(std::u16string_view commandLine)
{
    return launch([this, line = std::u16string(commandLine)] { return m_services.startProgram(line); });
}

bool LaunchesAfterFirstPaint::openUrl(std::u16string_view address)
{
    return launch([this, url = std::u16string(address)] { return m_services.openUrl(url); });
}

bool LaunchesAfterFirstPaint::launch(std::function<bool()> start)
{
    if (m_painted)
        return start();
    m_waiting.push_back(std::move(start));
    return true;
}

void LaunchesAfterFirstPaint::startWaiting()
{
    for (const auto &launch : std::exchange(m_waiting, {}))
        launch();
}
