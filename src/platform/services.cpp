#include "services.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

#include <utility>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <ctime>
#endif

namespace platform {

namespace {

class SystemServices final : public Services {
public:
    qint32 tickCount() override
    {
#ifdef Q_OS_WIN
        return static_cast<qint32>(GetTickCount());
#else
        timespec now{};
#ifdef CLOCK_BOOTTIME
        clock_gettime(CLOCK_BOOTTIME, &now);
#else
        clock_gettime(CLOCK_MONOTONIC, &now);
#endif
        const auto ms = quint64(now.tv_sec) * 1000u + quint64(now.tv_nsec) / 1'000'000u;
        return static_cast<qint32>(static_cast<quint32>(ms));
#endif
    }

    void messageBox(const QString &text, const QString &title) override
    {
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok);
        box.exec();
    }

    bool startProgram(const QString &commandLine) override
    {
#ifdef Q_OS_WIN
        // CreateProcess resolves an unquoted path with spaces the way the command line means it.
        std::wstring line = commandLine.toStdWString();
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
#else
        QStringList arguments = QProcess::splitCommand(commandLine);
        if (arguments.isEmpty())
            return false;
        const QString program = arguments.takeFirst();
        return QProcess::startDetached(program, arguments);
#endif
    }

    bool openUrl(const QString &address) override
    {
        return QDesktopServices::openUrl(QUrl(address));
    }

    QString programDirectory() override
    {
        return QCoreApplication::applicationDirPath();
    }

    void beep() override
    {
        QApplication::beep();
    }
};

} // namespace

Services &systemServices()
{
    static SystemServices services;
    return services;
}

void LaunchesAfterFirstPaint::windowPainted()
{
    m_painted = true;
    startWaiting();
}

void LaunchesAfterFirstPaint::messageBox(const QString &text, const QString &title)
{
    startWaiting();
    m_services.messageBox(text, title);
}

bool LaunchesAfterFirstPaint::startProgram(const QString &commandLine)
{
    return launch([this, commandLine] { return m_services.startProgram(commandLine); });
}

bool LaunchesAfterFirstPaint::openUrl(const QString &address)
{
    return launch([this, address] { return m_services.openUrl(address); });
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

} // namespace platform
