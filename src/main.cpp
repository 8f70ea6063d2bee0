#include "window/form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(QUILLMARK_NAME));
    QApplication::setApplicationVersion(QStringLiteral(QUILLMARK_VERSION));
    Form1 form;
    form.show();
    return QApplication::exec();
}
