#include "platform/qt/services.h"
#include "platform/qt/window.h"
#include "window/form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(QUILLMARK_NAME));
    QApplication::setApplicationVersion(QStringLiteral(QUILLMARK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(QUILLMARK_APP_ID)); // matches the window to its launcher
    platform::qt::SystemServices services;
    Form1 form(services);
    platform::qt::Window window(form);
    window.show();
    return QApplication::exec();
}
