#include "platform/services.h"
#include "views/qt/services.h"
#include "views/qt/window.h"
#include "window/form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(QUILLMARK_NAME));
    QApplication::setApplicationVersion(QStringLiteral(QUILLMARK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(QUILLMARK_APP_ID)); // matches the window to its launcher
    views::qt::Services toolkit;
    platform::SystemServices services(toolkit);
    Form1 form(services);
    views::qt::Window window(form);
    window.show();
    return QApplication::exec();
}
