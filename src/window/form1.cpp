#include "form1.h"

#include "clock/countdown.h"
#include "grading/results.h"
#include "phases.h"
#include "sheet/prepare.h"
#include "startup.h"

#include <QFile>
#include <QFontDatabase>
#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <cstdio>

namespace {

// SimSun where it is installed; elsewhere another Song (Ming) face. Its half-width spaces are what open the
// gap in "时间         分钟 n" that the minutes box fills (labels give the spaces of other faces that width).
QFont songFont(qreal pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
        QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW"),
        QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Source Han Serif SC"),
        QStringLiteral("AR PL SungtiL GB")});
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

// Without a CJK font every caption shows as boxes. Says why, once, where a user who starts the program from a
// terminal looks; the program runs on.
void warnWithoutChineseFont()
{
    static const bool checked = [] {
        if (QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty())
            std::fputs("quillmark: no font on this system can show Chinese text; install one (on Debian: "
                       "fonts-arphic-uming)\n",
                stderr);
        return true;
    }();
    Q_UNUSED(checked);
}

} // namespace

Form1::Form1(platform::Services &services)
    : m_services(services)
{
    warnWithoutChineseFont();
    setCaption(ApplicationTitle);
    setFont(songFont(9));
    setClientSize(15525, 5850);
    // The icon's pixels as raw RGBA: an image reader, even told the format, loads every image-format plug-in
    // (and libjpeg) first, a millisecond on the way to the window.
    QIcon icon;
    for (const int size : {16, 32, 48}) {
        QFile file(QStringLiteral(":/quillmark/quillmark-%1.rgba").arg(size));
        if (!file.open(QIODevice::ReadOnly) || file.size() != qint64(size) * size * 4)
            continue;
        const QByteArray pixels = file.readAll();
        const QImage image(reinterpret_cast<const uchar *>(pixels.constData()), size, size,
            qsizetype(size) * 4, QImage::Format_RGBA8888);
        icon.addPixmap(QPixmap::fromImage(image)); // a deep copy: pixels may go
    }
    setWindowIcon(icon);

    List1.move(12960, 240, 1575, 4560);
    List1.setVisible(false);

    Text1.move(2280, 4920, 615, 375);
    Text1.setText(QStringLiteral("130"));

    Command1.move(360, 4800, 975, 615);
    Command1.setCaption(QStringLiteral("准备做题"));

    Text2[0].move(3600, 4920, 615, 375);
    Text2[0].setText(QStringLiteral("130"));

    Label1[0].move(1560, 5040, 735, 495);
    Label1[0].setCaption(QStringLiteral("题目数"));

    Label2.move(3120, 5040, 1695, 255);
    Label2.setCaption(QStringLiteral("时间         分钟 n"));

    Command2.move(9240, 4920, 1095, 495);
    Command2.setCaption(QStringLiteral("结果"));
    Command2.setEnabled(false);

    Text3.move(11160, 4920, 1215, 375);
    Text3.setText(QStringLiteral("0"));
    Text3.setEnabled(false);

    Label3.move(10560, 5040, 495, 495);
    Label3.setCaption(QStringLiteral("得分"));

    Command3.move(5040, 4560, 1095, 975);
    Command3.setCaption(QStringLiteral("开始考试"));

    Label4.move(240, 0, 7695, 375);
    Label4.setCaption(QStringLiteral(" "));
    Label4.setBackColor(Red);
    Label4.setAlignment(platform::Label::LeftJustify);
    Label4.setFont(songFont(18));

    Command4.move(7320, 4920, 1215, 495);
    Command4.setCaption(QStringLiteral("交卷"));
    Command4.setEnabled(false);

    Command5.move(12720, 4920, 975, 375);
    Command5.setCaption(QStringLiteral("重新开始"));
    Command5.setEnabled(false);

    Timer1.setInterval(800);
    Timer1.setEnabled(false);

    setTabOrder({&List1, &Text1, &Command1, &Text2[0], &Label1[0], &Label2, &Command2, &Text3, &Label3,
        &Command3, &Label4, &Command4, &Command5});
    Text2.setTabAnchor(Command5);
    Text2.setAccessibleNames(QStringLiteral("第 %1 题"));
    Text2.setEnterMovesToNext(true);

    Command1.onClick([this] { Command1_Click(*this); });
    Command2.onClick([this] { Command2_Click(*this); });
    Command3.onClick([this] { Command3_Click(*this); });
    Command4.onClick([this] { Command4_Click(*this); });
    Command5.onClick([this] { Command5_Click(*this); });
    Timer1.onTimer([this] { Timer1_Timer(*this); });
}

Form1::~Form1() = default;

void Form1::load()
{
    Form_Load(*this);
}

void Form1::firstPainted()
{
    m_services.windowPainted();
}
