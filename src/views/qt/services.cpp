#include "services.h"

#include "text.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace views::qt {

void Services::messageBox(std::u16string_view text, std::u16string_view title)
{
    QMessageBox box(QMessageBox::NoIcon, toQString(title), toQString(text), QMessageBox::Ok);
    box.exec();
}

bool Services::openUrl(std::u16string_view address)
{
    return QDesktopServices::openUrl(QUrl(toQString(address)));
}

void Services::beep()
{
    QApplication::beep();
}

} // namespace views::qt
