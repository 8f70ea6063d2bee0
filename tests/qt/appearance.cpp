#include "qtdriver.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHash>
#include <QImage>
#include <QStyle>
#include <QStyleFactory>

// What a user sees, measured from the pixels of the real window: contrast, colours, where the ink of the
// captions falls.

namespace {

struct Shown {
    QColor background; // the commonest colour
    double contrast = 1; // of the ink that stands out most from it
};

// The inside of a control as the window draws it, without its frame.
Shown shownInside(TestForm &test, const platform::Control &control)
{
    const QImage image = windowOf(test).grab(widgetOf(control)->geometry().adjusted(4, 4, -4, -4)).toImage();
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
        shown.contrast
            = std::max(shown.contrast, contrast(toColour(QColor(it.key())), toColour(shown.background)));
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
            if (colour == background || contrast(toColour(colour), toColour(background)) < least)
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

// The font the window's Song face list finds first here; the system's fonts are out of sight (fonts.conf).
const QString UMing = QStringLiteral("/usr/share/fonts/truetype/arphic/uming.ttc");

// Each case with only the fonts it loads, and the style and palette it sets put back afterwards.
struct Fonts {
    Fonts() { QFontDatabase::removeAllApplicationFonts(); }
    ~Fonts()
    {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(QApplication::style()->standardPalette());
        QFontDatabase::removeAllApplicationFonts();
    }
    Fonts(const Fonts &) = delete;
    Fonts &operator=(const Fonts &) = delete;
};

} // namespace

TEST_CASE("locked answers, green marks and the score stay readable after Results")
{
    const struct {
        const char *style;
        bool dark;
    } rows[] = {{"Fusion", false}, {"Fusion", true}, {"Windows", false}, {"Windows", true},
        {"Adwaita", false}, {"Adwaita-Dark", false}};
    for (const auto &[style, dark] : rows) {
        INFO(std::string(style));
        CAPTURE(dark);
        const Fonts fonts;
        if (QFontDatabase::addApplicationFont(UMing) < 0) {
            skipped("AR PL UMing is not installed");
            continue;
        }
        if (!QStyleFactory::keys().contains(QLatin1String(style))) {
            skipped((std::string("the style is not installed: ") + style).c_str());
            continue;
        }
        QApplication::setStyle(QStyleFactory::create(QLatin1String(style)));
        QApplication::setPalette(dark ? darkPalette() : QApplication::style()->standardPalette());

        // ABCDA answered A, b, nothing, D, A: boxes 1, 4 and 5 green, 2 and 3 white, the score 3.
        TestForm test(keyFileBytes({"ABCDA"}));
        test.show();
        prepare(test, u"5");
        const Shown count = shownInside(test, test->Text1); // typed text, still editable
        click(test, test->Command3);
        for (const auto &[box, answer] :
            {std::pair{1, u"A"}, std::pair{2, u"b"}, std::pair{4, u"D"}, std::pair{5, u"A"}})
            type(test, test->Text2[box], answer);
        click(test, test->Command4);
        click(test, test->Command2);

        const Shown right = shownInside(test, test->Text2[1]);
        const Shown wrong = shownInside(test, test->Text2[2]);
        const Shown score = shownInside(test, test->Text3);
        CHECK(right.background == QColor(Qt::green));
        CHECK(wrong.background == QColor(Qt::white));
        CHECK(score.background == QColor(Qt::white));
        CHECK(count.background == QColor(Qt::white));
        MESSAGE("contrast: count " << count.contrast << ", locked green " << right.contrast
                                   << ", locked white " << wrong.contrast << ", score " << score.contrast);
        CHECK(right.contrast >= 4.5);
        CHECK(wrong.contrast >= 4.5);
        CHECK(score.contrast >= 4.5);
        CHECK(count.contrast >= 4.5);
    }
}

TEST_CASE("captions clear their boxes and stay inside the bar, whatever CJK face stands in")
{
    // The window's Song face is stood in for by the font under test, the only font there is.
    for (const char *file :
        {"/usr/share/fonts/truetype/arphic/uming.ttc", "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc",
            "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc",
            "/usr/share/fonts/opentype/noto/NotoSerifCJK-Regular.ttc"}) {
        INFO(std::string(file));
        const Fonts fonts;
        const int id = QFontDatabase::addApplicationFont(QLatin1String(file));
        if (id < 0) {
            skipped((std::string("the font is not installed: ") + file).c_str());
            continue;
        }
        TestForm test;
        test.show();
        const QString family = QFontInfo(windowOf(test).font()).family();
        CHECK(QFontDatabase::applicationFontFamilies(id).contains(family));

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
        CHECK(leftEnd >= 0);
        CHECK(leftEnd / ratio < box.left());
        CHECK(rightStart / ratio > box.left() + box.width());

        // The bar's captions lie wholly inside the bar: no stroke reaches its first or last row, as a stroke
        // cut off by the edge would. (At 18 pt the glyphs' ink is as tall as the bar but one row, so the
        // faint edge of an antialiased stroke may touch it.)
        for (const std::u16string_view text : {u"2:9:59", u" 请检查结果 "}) {
            CAPTURE(std::u16string(text));
            test->Label4.setCaption(text);
            const QImage bar = widgetOf(test->Label4)->grab().toImage();
            const InkExtent barInk = inkOf(bar, QColor(Qt::red), 2);
            CHECK(barInk.top >= 1);
            CHECK(barInk.bottom <= bar.height() - 2);
        }
    }
}
