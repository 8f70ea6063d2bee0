#include "platform/system/services.h"
#include "views/qt/text.h"
#include "views/qt/window.h"
#include "window/form1.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace {

// The system's services, with what it gives through Qt: its message box, its desktop services and its beep.
class QtServices final : public platform::SystemServices {
public:
    void messageBox(std::u16string_view text, std::u16string_view title) override
    {
        QMessageBox box(
            QMessageBox::NoIcon, views::qt::toQString(title), views::qt::toQString(text), QMessageBox::Ok);
        box.exec();
    }
    bool openUrl(std::u16string_view address) override
    {
        return QDesktopServices::openUrl(QUrl(views::qt::toQString(address)));
    }
    void beep() override { QApplication::beep(); }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(QUILLMARK_NAME));
    QApplication::setApplicationVersion(QStringLiteral(QUILLMARK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(QUILLMARK_APP_ID)); // matches the window to its launcher
    QtServices services;
    Form1 form(services);
    views::qt::Window window(form);
    window.show();
    return QApplication::exec();
}
