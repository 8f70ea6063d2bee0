#include "qtdriver.h"

#include "window/startup.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QImage>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTest>

// What only the Qt view can show: its window's icon and pixels, the bar's font, what screen readers are told,
// input methods, context menus, undo, and the real timer.

TEST_CASE("the window's icon")
{
    TestForm test;
    test.show();
    const QIcon icon = windowOf(test).windowIcon();
    for (const int size : {16, 32, 48}) {
        CAPTURE(size);
        CHECK(icon.availableSizes().contains(QSize(size, size)));
        // The pixels of the shipped PNG at that size, as a pixmap holds them.
        const QPixmap png(QStringLiteral(QUILLMARK_ASSETS "/quillmark-%1.png").arg(size));
        CHECK(icon.pixmap(size).toImage() == png.toImage());
    }
}

TEST_CASE("the time bar: SimSun 18 pt, red as the user sees it")
{
    TestForm test;
    test.show();
    QWidget *bar = widgetOf(test->Label4);
    const QFont font = bar->font();
    CHECK(font.families().value(0) == QStringLiteral("宋体"));
    CHECK(font.pointSizeF() == 18.0);
    CHECK(font.weight() == QFont::Normal);
    CHECK_FALSE((font.italic() || font.underline() || font.strikeOut()));
    const QImage image = bar->grab().toImage();
    CHECK(image.pixelColor(image.width() - 2, image.height() / 2) == QColor(Qt::red));
}

TEST_CASE("the printed line survives repaints")
{
    TestForm test;
    test.show();
    QWidget &window = windowOf(test);
    const auto inkAtTopLeft = [&window] {
        const QImage image = window.grab(QRect(0, 0, 15, 15)).toImage();
        const QColor background = window.palette().color(QPalette::Window);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) != background)
                    return true;
        return false;
    };
    CHECK_FALSE(inkAtTopLeft());
    test->print(u"时间到！停止答题.");
    window.repaint();
    CHECK(inkAtTopLeft());
    window.repaint();
    CHECK(inkAtTopLeft());
}

TEST_CASE("answer boxes are editable text to a screen reader")
{
    TestForm test;
    test.show();
    prepare(test, u"12");
    QAccessibleInterface *box = QAccessible::queryAccessibleInterface(widgetOf(test->Text2[12]));
    REQUIRE(box);
    CHECK(box->role() == QAccessible::EditableText);
}

TEST_CASE("a widget handed on carries no undo history")
{
    TestForm test(keyFileBytes({"ABCDA"}));
    test.show();
    prepare(test, u"2");
    type(test, test->Text2[1], u"A");
    click(test, test->Command1);
    QWidget *edit = widgetOf(test->Text2[1]);
    edit->setFocus();
    QTest::keySequence(edit, QKeySequence::Undo);
    edit = widgetOf(test->Text2[2]);
    edit->setFocus();
    QTest::keySequence(edit, QKeySequence::Undo);
    CHECK(answers(*test) == Lines{u"", u""});
}

// Resizing while the user types: box 15 of 20 lies at x = 1400 twips, 93 pixels, so a window 90 pixels wide
// leaves it out of view.

namespace {

void sheetOfTwenty(TestForm &test, bool start)
{
    test.show();
    prepare(test, u"20");
    if (start)
        click(test, test->Command3);
}

} // namespace

TEST_CASE("a resize keeps composed text and the undo history")
{
    TestForm test;
    sheetOfTwenty(test, true);
    Form1 &form = *test;
    type(test, form.Text2[15], u"A");
    QWidget *const edit = widgetOf(form.Text2[15]);
    QTest::keyClick(edit, Qt::Key_Home); // ends the typing that one undo takes back
    QTest::keyClick(edit, Qt::Key_End);
    QInputMethodEvent composing(QStringLiteral("ni"), {});
    QCoreApplication::sendEvent(edit, &composing);

    resize(test, 90, 390);
    CHECK(widgetOf(form.Text2[15]) == edit);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("你"));
    QCoreApplication::sendEvent(edit, &commit);
    CHECK(form.Text2[15].text() == u"A你");

    // Undo survives narrowing and widening.
    resize(test, 1035, 390);
    QTest::keySequence(edit, QKeySequence::Undo);
    CHECK(form.Text2[15].text() == u"A");
    checkControls(test);
}

TEST_CASE("a context menu acts on its own box")
{
    TestForm test;
    sheetOfTwenty(test, false);
    Form1 &form = *test;
    type(test, form.Text2[15], u"A");
    QWidget *const edit = widgetOf(form.Text2[15]);
    QGuiApplication::clipboard()->setText(QStringLiteral("C"));
    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(2, 2), edit->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(edit, &request);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    REQUIRE(menu);

    // A window manager may resize the window while the menu is open; boxes come into view and take widgets.
    windowOf(test).resize(90, 600);
    test.view->settle();
    const QList<QAction *> actions = menu->actions();
    const auto paste = std::find_if(actions.begin(), actions.end(),
        [](const QAction *action) { return action->text().startsWith(QStringLiteral("&Paste")); });
    REQUIRE(paste != actions.end());
    (*paste)->trigger();
    menu->close();
    CHECK(form.Text2[15].text() == u"AC");
    CHECK(answers(form)[14] == u"AC");
    checkControls(test);

    // A new sheet while the menu is open: the menu goes with the old box's widget, which no new box gets.
    QCoreApplication::sendEvent(edit, &request);
    CHECK(QApplication::activePopupWidget());
    const QPointer<QWidget> old = edit;
    click(test, form.Command1);
    CHECK_FALSE(old);
    CHECK_FALSE(QApplication::activePopupWidget());
    CHECK(answers(form) == Lines(20));
}

TEST_CASE("the browser starts after the first paint")
{
    TestForm test;
    windowOf(test).show();
    CHECK(test.services.urls.empty());
    CHECK(QTest::qWaitFor([&test] { return !test.services.urls.empty(); }));
    CHECK(test.services.urls == Lines{std::u16string(MakerAddress)});
    CHECK(test.services.programs.empty());
}

TEST_CASE("the real timer ticks the clock")
{
    // The one check on real time: the enabled timer delivers its tick to the countdown.
    TestForm test;
    test.show();
    click(test, test->Command3);
    test.services.now = test->StartTick + 800;
    CHECK(QTest::qWaitFor([&test] { return test->Label4.caption() == u"2:9:59"; }, 3000));
}
