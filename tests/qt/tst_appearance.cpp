#include "testing.h"

#include <QAccessible>
#include <QApplication>
#include <QFontDatabase>
#include <QHash>
#include <QImage>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>

#include <cmath>

// What a user sees, measured from the pixels of the real window: contrast, colours, where the ink of the
// captions falls.
class TestAppearance : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void readableAfterResults_data();
    void readableAfterResults();
    void captionsClearTheirBoxes_data();
    void captionsClearTheirBoxes();
    void timeUpIsExposedToScreenReaders();
};

namespace {

// WCAG 2 relative luminance and contrast ratio.
double luminance(const QColor &colour)
{
    const auto linear
        = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF())
        + 0.0722 * linear(colour.blueF());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

struct Shown {
    QColor background; // the commonest colour
    double contrast = 1; // of the ink that stands out most from it
};

// The inside of a control as the window draws it, without its frame.
Shown shownInside(Form1 &form, const platform::Control &control)
{
    const QImage image = windowOf(form).grab(pixelGeometry(control).adjusted(4, 4, -4, -4)).toImage();
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    Shown shown;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            shown.background = QColor(it.key());
        }
    }
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        shown.contrast = std::max(shown.contrast, contrast(QColor(it.key()), shown.background));
    return shown;
}

QPalette darkPalette()
{
    QPalette dark(QColor(0x35, 0x35, 0x35), QColor(0x20, 0x20, 0x20));
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        dark.setColor(group, QPalette::WindowText, QColor(0xEE, 0xEE, 0xEE));
        dark.setColor(group, QPalette::Text, QColor(0xEE, 0xEE, 0xEE));
        dark.setColor(group, QPalette::ButtonText, QColor(0xEE, 0xEE, 0xEE));
    }
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    return dark;
}

// The columns and rows of an image that hold ink: pixels that stand out from the background by at least the
// given contrast (any other colour, by default).
struct InkExtent {
    QList<int> columns;
    int top = -1;
    int bottom = -1;
};

InkExtent inkOf(const QImage &image, const QColor &background, double least = 1)
{
    InkExtent ink;
    for (int x = 0; x < image.width(); ++x) {
        bool any = false;
        for (int y = 0; y < image.height(); ++y) {
            const QColor colour = image.pixelColor(x, y);
            if (colour == background || contrast(colour, background) < least)
                continue;
            any = true;
            ink.top = ink.top < 0 ? y : std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
        }
        if (any)
            ink.columns.append(x);
    }
    return ink;
}

} // namespace

// The font the window's Song face list finds first here; the system's fonts are out of sight (fonts.conf).
const QString UMing = QStringLiteral("/usr/share/fonts/truetype/arphic/uming.ttc");

void TestAppearance::init()
{
    if (QFontDatabase::addApplicationFont(UMing) < 0)
        QSKIP("AR PL UMing is not installed");
}

void TestAppearance::cleanup()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(QApplication::style()->standardPalette());
    QFontDatabase::removeAllApplicationFonts();
}

// Locked answers, green marks and the score after Results

void TestAppearance::readableAfterResults_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<bool>("dark");
    QTest::newRow("Fusion") << "Fusion" << false;
    QTest::newRow("Fusion, dark palette") << "Fusion" << true;
    QTest::newRow("Windows") << "Windows" << false;
    QTest::newRow("Windows, dark palette") << "Windows" << true;
    QTest::newRow("Adwaita") << "Adwaita" << false;
    QTest::newRow("Adwaita-Dark") << "Adwaita-Dark" << false;
}

void TestAppearance::readableAfterResults()
{
    QFETCH(QString, style);
    QFETCH(bool, dark);
    if (!QStyleFactory::keys().contains(style))
        QSKIP("style not installed");
    QApplication::setStyle(QStyleFactory::create(style));
    QApplication::setPalette(dark ? darkPalette() : QApplication::style()->standardPalette());

    // ABCDA answered A, b, nothing, D, A: boxes 1, 4 and 5 green, 2 and 3 white, the score 3.
    TestForm test(keyFileBytes({u"ABCDA"_qs}));
    test.show();
    type(test->Text1, QStringLiteral("5"));
    click(test->Command1);
    const Shown count = shownInside(*test, test->Text1); // typed text, still editable
    click(test->Command3);
    for (const auto &[box, answer] : {std::pair{1, u"A"_qs}, {2, u"b"_qs}, {4, u"D"_qs}, {5, u"A"_qs}})
        type(test->Text2[box], answer);
    click(test->Command4);
    click(test->Command2);

    const Shown right = shownInside(*test, test->Text2[1]);
    const Shown wrong = shownInside(*test, test->Text2[2]);
    const Shown score = shownInside(*test, test->Text3);
    QCOMPARE(right.background, QColor(Qt::green));
    QCOMPARE(wrong.background, QColor(Qt::white));
    QCOMPARE(score.background, QColor(Qt::white));
    QCOMPARE(count.background, QColor(Qt::white));
    qInfo("contrast: count %.2f, locked green %.2f, locked white %.2f, score %.2f", count.contrast,
        right.contrast, wrong.contrast, score.contrast);
    QVERIFY2(right.contrast >= 4.5, qPrintable(QString::number(right.contrast)));
    QVERIFY2(wrong.contrast >= 4.5, qPrintable(QString::number(wrong.contrast)));
    QVERIFY2(score.contrast >= 4.5, qPrintable(QString::number(score.contrast)));
    QVERIFY2(count.contrast >= 4.5, qPrintable(QString::number(count.contrast)));
}

// The captions with other CJK fonts: the window's Song face is stood in for by the font under test.

void TestAppearance::captionsClearTheirBoxes_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("AR PL UMing") << UMing;
    QTest::newRow("WenQuanYi Micro Hei") << "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";
    QTest::newRow("Noto Sans CJK") << "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc";
    QTest::newRow("Noto Serif CJK") << "/usr/share/fonts/opentype/noto/NotoSerifCJK-Regular.ttc";
}

void TestAppearance::captionsClearTheirBoxes()
{
    QFETCH(QString, file);
    // The only font there is: the window's families are matched to it, or fall back on it.
    QFontDatabase::removeAllApplicationFonts();
    const int id = QFontDatabase::addApplicationFont(file);
    if (id < 0)
        QSKIP("font not installed");
    TestForm test;
    test.show();
    QVERIFY2(QFontDatabase::applicationFontFamilies(id).contains(QFontInfo(test.window->font()).family()),
        qPrintable(QFontInfo(test.window->font()).family()));

    // 时间 ends left of the minutes box, 分钟 begins right of it.
    QWidget *caption = widgetOf(test->Label2);
    const QImage image = caption->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    const QRect box = widgetOf(test->Text2[0])->geometry().translated(-caption->pos());
    const InkExtent ink = inkOf(image, caption->palette().color(QPalette::Window));
    int leftEnd = -1;
    int rightStart = -1;
    for (const int column : ink.columns) {
        const double x = column / ratio;
        if (x < box.center().x())
            leftEnd = column;
        else if (rightStart < 0)
            rightStart = column;
    }
    QVERIFY2(leftEnd >= 0 && leftEnd / ratio < box.left(), qPrintable(QString::number(leftEnd / ratio)));
    QVERIFY2(rightStart / ratio > box.left() + box.width(), qPrintable(QString::number(rightStart / ratio)));

    // The bar's captions lie wholly inside the bar: no stroke reaches its first or last row, as a stroke cut
    // off by the edge would. (At 18 pt the glyphs' ink is as tall as the bar but one row, so the faint edge
    // of an antialiased stroke may touch it.)
    for (const QString &text : {QStringLiteral("2:9:59"), QStringLiteral(" 请检查结果 ")}) {
        test->Label4.setCaption(platform::qt::toU16String(text));
        const QImage bar = widgetOf(test->Label4)->grab().toImage();
        const InkExtent barInk = inkOf(bar, QColor(Qt::red), 2);
        QVERIFY(barInk.top >= 0);
        QVERIFY2(barInk.top >= 1 && barInk.bottom <= bar.height() - 2,
            qPrintable(QStringLiteral("%1: ink rows %2 to %3 of %4")
                           .arg(text)
                           .arg(barInk.top)
                           .arg(barInk.bottom)
                           .arg(bar.height())));
    }
}

// A screen reader learns what the window draws

void TestAppearance::timeUpIsExposedToScreenReaders()
{
    TestForm test;
    test.show();
    type(test->Text2[0], QStringLiteral("0"));
    click(test->Command3);
    tick(test, 800);
    // What AT-SPI reads as the window's description. (Offscreen, Qt sends no accessibility events to
    // observe.)
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(test.window.get());
    QCOMPARE(window->text(QAccessible::Description), u"时间到！停止答题."_qs);
}

QTEST_MAIN(TestAppearance)
#include "tst_appearance.moc"
