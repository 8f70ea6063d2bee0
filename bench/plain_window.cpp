// The reference for the start-up benchmark: Quillmark's window at start, written plainly with Qt widgets (the
// same fourteen controls, texts, fonts and places, and so the same pixels), with none of the program's own
// layers. With --work it also does Quillmark's start-up work the straightforward way: the icon from its
// files, the maker's page opened before the window shows, the key file read into the list.
#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStringDecoder>
#include <QUrl>

namespace {

QRect pixels(int left, int top, int width, int height)
{
    const auto px = [](double twips) { return qRound(twips / 15); };
    return QRect(px(left), px(top), px(left + width) - px(left), px(top + height) - px(top));
}

QFont songFont(qreal pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
        QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW"),
        QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Source Han Serif SC"),
        QStringLiteral("AR PL SungtiL GB")});
    font.setPointSizeF(pointSize);
    return font;
}

template <class T> T *place(QWidget *window, const QString &text, const QRect &geometry, bool enabled = true)
{
    auto *widget = new T(text, window);
    widget->setGeometry(geometry);
    widget->setEnabled(enabled);
    return widget;
}

QLabel *label(QWidget *window, const QString &text, const QRect &geometry)
{
    auto *label = place<QLabel>(window, text, geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const bool work = app.arguments().contains(QStringLiteral("--work"));

    QWidget window;
    window.setWindowTitle(QStringLiteral("QuillmarkV1.0"));
    window.setFont(songFont(9));
    window.resize(1035, 390);
    if (work) {
        QIcon icon;
        for (const int size : {16, 32, 48})
            icon.addFile(
                QStringLiteral("%1/quillmark-%2.png").arg(QStringLiteral(QUILLMARK_ASSETS)).arg(size));
        window.setWindowIcon(icon);
        QDesktopServices::openUrl(QUrl(QStringLiteral("https://quillmark.example")));
    }

    auto *list = new QListWidget(&window);
    list->setGeometry(pixels(12960, 240, 1575, 4560));
    list->hide();
    if (work) {
        QFile key(QStringLiteral(QUILLMARK_KEY));
        if (key.open(QIODevice::ReadOnly)) {
            QStringDecoder decoder("GB18030");
            const QStringList lines = QString(decoder(key.readAll())).split(QStringLiteral("\r\n"));
            list->addItems(lines.mid(1, 33));
        }
    }
    label(&window, QStringLiteral("题目数"), pixels(1560, 5040, 735, 495));
    label(&window, QStringLiteral("时间         分钟 n"), pixels(3120, 5040, 1695, 255));
    label(&window, QStringLiteral("得分"), pixels(10560, 5040, 495, 495));
    auto *bar = label(&window, QStringLiteral(" "), pixels(240, 0, 7695, 375));
    bar->setFont(songFont(18));
    bar->setAutoFillBackground(true);
    QPalette red = bar->palette();
    red.setColor(QPalette::Window, Qt::red);
    bar->setPalette(red);
    place<QLineEdit>(&window, QStringLiteral("130"), pixels(2280, 4920, 615, 375));
    place<QLineEdit>(&window, QStringLiteral("130"), pixels(3600, 4920, 615, 375));
    place<QLineEdit>(&window, QStringLiteral("0"), pixels(11160, 4920, 1215, 375), false);
    place<QPushButton>(&window, QStringLiteral("准备做题"), pixels(360, 4800, 975, 615));
    place<QPushButton>(&window, QStringLiteral("结果"), pixels(9240, 4920, 1095, 495), false);
    place<QPushButton>(&window, QStringLiteral("开始考试"), pixels(5040, 4560, 1095, 975));
    place<QPushButton>(&window, QStringLiteral("交卷"), pixels(7320, 4920, 1215, 495), false);
    place<QPushButton>(&window, QStringLiteral("重新开始"), pixels(12720, 4920, 975, 375), false);
    window.show();
    return QApplication::exec();
}
