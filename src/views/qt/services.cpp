#include "platform/services.h"

#include "text.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

#include <ctime>

namespace platform {

using views::qt::toQString;
using views::qt::toU16String;

std::int32_t SystemServices::tickCount()
{
    // What GetTickCount counts: milliseconds since the system started, sleep included.
    timespec now{};
#ifdef CLOCK_BOOTTIME
    clock_gettime(CLOCK_BOOTTIME, &now);
#else
    clock_gettime(CLOCK_MONOTONIC, &now);
#endif
    const auto ms = quint64(now.tv_sec) * 1000u + quint64(now.tv_nsec) / 1'000'000u;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(ms));
}

void SystemServices::messageBox(std::u16string_view text, std::u16string_view title)
{
    QMessageBox box(QMessageBox::NoIcon, toQString(title), toQString(text), QMessageBox::Ok);
    box.exec();
}

bool SystemServices::startProgram(std::u16string_view commandLine)
{
    QStringList arguments = QProcess::splitCommand(toQString(commandLine));
    if (arguments.isEmpty())
        return false;
    const QString program = arguments.takeFirst();
    return QProcess::startDetached(program, arguments);
}

bool SystemServices::openUrl(std::u16string_view address)
{
    return QDesktopServices::openUrl(QUrl(toQString(address)));
}

std::u16string SystemServices::programDirectory()
{
    return toU16String(QCoreApplication::applicationDirPath());
}

void SystemServices::beep()
{
    QApplication::beep();
}

} // namespace platform
