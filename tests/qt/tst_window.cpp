#include "testing.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QImage>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QTest>

class TestWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstState_data();
    void firstState();
    void window();
    void timeBar();
    void clockIsOff();
    void keyboardOrder();
    void surfaceTextSurvivesRepaints();
    void arrayElementsCopyElementZeroHidden();
    void arrayElementsHaveWidgetsOnlyInView();
    void resizeKeepsTheFocus_data();
    void resizeKeepsTheFocus();
    void resizeKeepsComposedText();
    void contextMenuActsOnItsBox();
    void arrayIndicesAre16Bit();
};

namespace {

struct Shown {
    const platform::Control *control;
    QString text; // as the widget shows it
};

Shown find(const Form1 &form, const QString &name)
{
    const auto text = [](const platform::Control &control) -> QString {
        const QWidget *widget = widgetOf(control);
        if (auto *edit = qobject_cast<const QLineEdit *>(widget))
            return edit->text();
        if (auto *label = qobject_cast<const QLabel *>(widget))
            return label->text();
        if (auto *button = qobject_cast<const QAbstractButton *>(widget))
            return button->text();
        return {};
    };
    const std::pair<const char *, const platform::Control *> controls[] = {
        {"List1", &form.List1},
        {"Text1", &form.Text1},
        {"Command1", &form.Command1},
        {"Text2(0)", &form.Text2[0]},
        {"Label1(0)", &form.Label1[0]},
        {"Label2", &form.Label2},
        {"Command2", &form.Command2},
        {"Text3", &form.Text3},
        {"Label3", &form.Label3},
        {"Command3", &form.Command3},
        {"Label4", &form.Label4},
        {"Command4", &form.Command4},
        {"Command5", &form.Command5},
    };
    for (const auto &[controlName, control] : controls)
        if (name == QLatin1String(controlName))
            return {control, text(*control)};
    qFatal("no control %s", qPrintable(name));
}

} // namespace

// The window as it first shows

void TestWindow::firstState_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("visible");

    QTest::newRow("List1") << "List1" << QRect(12960, 240, 1575, 4560) << "" << true << false;
    QTest::newRow("Text1") << "Text1" << QRect(2280, 4920, 615, 375) << "130" << true << true;
    QTest::newRow("Command1") << "Command1" << QRect(360, 4800, 975, 615) << u"准备做题"_qs << true << true;
    QTest::newRow("Text2(0)") << "Text2(0)" << QRect(3600, 4920, 615, 375) << "130" << true << true;
    QTest::newRow("Label1(0)") << "Label1(0)" << QRect(1560, 5040, 735, 495) << u"题目数"_qs << true << true;
    QTest::newRow("Label2") << "Label2" << QRect(3120, 5040, 1695, 255) << u"时间         分钟 n"_qs << true
                            << true;
    QTest::newRow("Command2") << "Command2" << QRect(9240, 4920, 1095, 495) << u"结果"_qs << false << true;
    QTest::newRow("Text3") << "Text3" << QRect(11160, 4920, 1215, 375) << "0" << false << true;
    QTest::newRow("Label3") << "Label3" << QRect(10560, 5040, 495, 495) << u"得分"_qs << true << true;
    QTest::newRow("Command3") << "Command3" << QRect(5040, 4560, 1095, 975) << u"开始考试"_qs << true << true;
    QTest::newRow("Label4") << "Label4" << QRect(240, 0, 7695, 375) << " " << true << true;
    QTest::newRow("Command4") << "Command4" << QRect(7320, 4920, 1215, 495) << u"交卷"_qs << false << true;
    QTest::newRow("Command5") << "Command5" << QRect(12720, 4920, 975, 375) << u"重新开始"_qs << false
                              << true;
}

void TestWindow::firstState()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QFETCH(QString, text);
    QFETCH(bool, enabled);
    QFETCH(bool, visible);

    TestForm test;
    test.show();
    const Shown shown = find(*test, name);
    const platform::Control &control = *shown.control;

    QCOMPARE(control.left(), float(twips.x()));
    QCOMPARE(control.top(), float(twips.y()));
    QCOMPARE(control.width(), float(twips.width()));
    QCOMPARE(control.height(), float(twips.height()));
    QCOMPARE(shown.text, text);
    QCOMPARE(control.isEnabled(), enabled);
    QCOMPARE(control.isVisible(), visible);

    // On screen at 15 twips a pixel.
    QWidget *widget = widgetOf(control);
    QVERIFY(widget);
    const int left = qRound(twips.x() / 15.0);
    const int top = qRound(twips.y() / 15.0);
    QCOMPARE(widget->geometry(),
        QRect(left, top, qRound((twips.x() + twips.width()) / 15.0) - left,
            qRound((twips.y() + twips.height()) / 15.0) - top));
    QCOMPARE(widget->isEnabled(), enabled);
    QCOMPARE(widget->isVisible(), visible);
}

void TestWindow::window()
{
    TestForm test;
    test.show();
    QCOMPARE(test.window->windowTitle(), u"QuillmarkV1.0"_qs);
    QCOMPARE(test.window->size(), QSize(1035, 390));
    const QList<QSize> sizes = test.window->windowIcon().availableSizes();
    for (const int size : {16, 32, 48}) {
        QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
        // The pixels of the shipped PNG at that size, as a pixmap holds them.
        const QPixmap png(QStringLiteral(QUILLMARK_ASSETS "/quillmark-%1.png").arg(size));
        QCOMPARE(test.window->windowIcon().pixmap(size).toImage(), png.toImage());
    }
    // The score box takes no typing.
    type(test->Text3, QStringLiteral("5"));
    QCOMPARE(test->Text3.text(), u"0"_qs);
}

void TestWindow::timeBar()
{
    TestForm test;
    test.show();
    const platform::Label &bar = test->Label4;
    QCOMPARE(bar.backColor(), std::optional<platform::Colour>(0x0000FF));
    QCOMPARE(bar.alignment(), int(platform::Label::LeftJustify));
    const QFont font = widgetOf(bar)->font();
    QCOMPARE(font.families().value(0), u"宋体"_qs);
    QCOMPARE(font.pointSizeF(), 18.0);
    QCOMPARE(font.weight(), QFont::Normal);
    QVERIFY(!font.italic() && !font.underline() && !font.strikeOut());
    // Red as the user sees it.
    const QImage image = widgetOf(bar)->grab().toImage();
    QCOMPARE(image.pixelColor(image.width() - 2, image.height() / 2), QColor(Qt::red));
}

void TestWindow::clockIsOff()
{
    TestForm test;
    test.show();
    QVERIFY(!test->Timer1.isEnabled());
    QCOMPARE(test->Timer1.interval(), 800);
    QCOMPARE(test->TotalSeconds, 0.0);
    QCOMPARE(test->StartTick, 0);
}

void TestWindow::keyboardOrder()
{
    TestForm test;
    test.show();
    const QList<const platform::Control *> expected{&test->List1, &test->Text1, &test->Command1,
        &test->Text2[0], &test->Command2, &test->Text3, &test->Command3, &test->Command4, &test->Command5};
    QWidget *widget = widgetOf(test->List1);
    for (const platform::Control *control : expected) {
        QCOMPARE(widget, widgetOf(*control));
        do
            widget = widget->nextInFocusChain();
        while (!(widget->focusPolicy() & Qt::TabFocus));
    }
    // Pressing Tab from the count box reaches Prepare.
    widgetOf(test->Text1)->setFocus();
    QTest::keyClick(widgetOf(test->Text1), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), widgetOf(test->Command1));
}

void TestWindow::surfaceTextSurvivesRepaints()
{
    TestForm test;
    test.show();
    const auto inkAtTopLeft = [&test] {
        const QImage image = test.window->grab(QRect(0, 0, 15, 15)).toImage();
        const QColor background = test.window->palette().color(QPalette::Window);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) != background)
                    return true;
        return false;
    };
    QVERIFY(!inkAtTopLeft());
    test->print(u"时间到！停止答题.");
    test.window->repaint();
    QVERIFY(inkAtTopLeft());
    test.window->repaint();
    QVERIFY(inkAtTopLeft());
    QCOMPARE(test->printedLines(), QStringList{u"时间到！停止答题."_qs});
}

// Control arrays

void TestWindow::arrayElementsCopyElementZeroHidden()
{
    TestForm test;
    test.show();
    Form1 &form = *test;
    form.Text2[0].setBackColor(0x123456);
    form.Text2[0].setEnabled(false);
    QVERIFY(form.Text2.create(1));
    const platform::TextBox &copy = form.Text2[1];
    QCOMPARE(copy.text(), u"130"_qs);
    QCOMPARE(copy.backColor(), platform::Colour(0x123456));
    QVERIFY(!copy.isEnabled());
    QVERIFY(!copy.isVisible());
    QCOMPARE(copy.left(), 3600.0f);
    QCOMPARE(copy.width(), 615.0f);
    QCOMPARE(form.Text2.count(), 2);
    QVERIFY(!form.Text2.create(1));
    QVERIFY(!form.Text2.destroy(0));
    QVERIFY(form.Text2.destroy(1));
    QVERIFY(!form.Text2.at(1));
    QCOMPARE(form.Text2.count(), 1);
}

void TestWindow::arrayElementsHaveWidgetsOnlyInView()
{
    TestForm test;
    test.show();
    Form1 &form = *test;
    form.deliver([&form] {
        form.Text2.create(1);
        form.Text2[1].setVisible(true);
        form.Text2[1].move(20000, 400, 400, 400); // right of the client area
        form.Text2.create(2);
        form.Text2[2].setVisible(true);
        form.Text2[2].move(600, 400, 400, 400);
    });
    QVERIFY(!widgetOf(form.Text2[1]));
    QVERIFY(widgetOf(form.Text2[2]));
    QCOMPARE(widgetOf(form.Text2[2])->geometry(), QRect(40, 27, 27, 26));

    // Widening the window brings the first box in; typing reaches its text.
    windowOf(form).resize(1500, 390);
    QVERIFY(widgetOf(form.Text2[1]));
    type(form.Text2[1], QStringLiteral("B"));
    QCOMPARE(form.Text2[1].text(), u"B"_qs);

    // Narrowing keeps the widget while the user works in it, and drops it, keeping the answer, once the focus
    // has gone elsewhere.
    windowOf(form).resize(1035, 390);
    QVERIFY(widgetOf(form.Text2[1]));
    widgetOf(form.Text1)->setFocus();
    settle(form);
    QVERIFY(!widgetOf(form.Text2[1]));
    QCOMPARE(form.Text2[1].text(), u"B"_qs);
    windowOf(form).resize(1500, 390);
    QCOMPARE(qobject_cast<QLineEdit *>(widgetOf(form.Text2[1]))->text(), u"B"_qs);
}

// Resizing while the user types: box 15 of 20 lies at x = 1400 twips, 93 pixels, so a window 90 pixels wide
// leaves it out of view.

namespace {

void sheetOfTwenty(TestForm &test, bool start)
{
    test.show();
    type(test->Text1, QStringLiteral("20"));
    click(test->Command1);
    if (start)
        click(test->Command3);
}

// Keys as the keyboard sends them: to the focus widget.
void keys(const QString &text)
{
    QTest::keyClicks(QApplication::focusWidget(), text);
}

} // namespace

void TestWindow::resizeKeepsTheFocus_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("phase");
    QTest::newRow("Ready") << false << ReadyWithSheet;
    QTest::newRow("Running") << true << Running;
}

void TestWindow::resizeKeepsTheFocus()
{
    QFETCH(bool, running);
    QFETCH(QString, phase);
    TestForm test;
    sheetOfTwenty(test, running);
    Form1 &form = *test;
    type(form.Text2[15], QStringLiteral("A"));
    QWidget *const edit = widgetOf(form.Text2[15]);

    windowOf(form).resize(90, 390);
    checkControls(form);
    QCOMPARE(QApplication::focusWidget(), edit);
    keys(QStringLiteral("B "));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(form.Text2[15].text(), u"AB  "_qs);
    QCOMPARE(phaseOf(form), phase);
    QCOMPARE(form.Text1.text(), u"20"_qs);

    windowOf(form).resize(1035, 390);
    checkControls(form);
    QCOMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(answers(form).join(QString()), u"AB  "_qs);
}

void TestWindow::resizeKeepsComposedText()
{
    TestForm test;
    sheetOfTwenty(test, true);
    Form1 &form = *test;
    type(form.Text2[15], QStringLiteral("A"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home); // ends the typing that one undo takes back
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
    QWidget *const edit = widgetOf(form.Text2[15]);
    QInputMethodEvent composing(QStringLiteral("ni"), {});
    QCoreApplication::sendEvent(edit, &composing);

    windowOf(form).resize(90, 390);
    QCOMPARE(widgetOf(form.Text2[15]), edit);
    QInputMethodEvent commit;
    commit.setCommitString(u"你"_qs);
    QCoreApplication::sendEvent(edit, &commit);
    QCOMPARE(form.Text2[15].text(), u"A你"_qs);

    // Undo survives narrowing and widening.
    windowOf(form).resize(1035, 390);
    QTest::keySequence(QApplication::focusWidget(), QKeySequence::Undo);
    QCOMPARE(form.Text2[15].text(), u"A"_qs);
    checkControls(form);

    // Once the user leaves the box out of view, its widget goes and its text stays.
    windowOf(form).resize(90, 390);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    checkControls(form);
    QVERIFY(!widgetOf(form.Text2[15]));
    windowOf(form).resize(1035, 390);
    checkControls(form);
    QCOMPARE(qobject_cast<QLineEdit *>(widgetOf(form.Text2[15]))->text(), u"A"_qs);
}

void TestWindow::contextMenuActsOnItsBox()
{
    TestForm test;
    sheetOfTwenty(test, false);
    Form1 &form = *test;
    type(form.Text2[15], QStringLiteral("A"));
    QWidget *const edit = widgetOf(form.Text2[15]);
    QGuiApplication::clipboard()->setText(QStringLiteral("C"));
    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(2, 2), edit->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(edit, &request);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu);

    // A window manager may resize the window while the menu is open; boxes come into view and take widgets.
    windowOf(form).resize(90, 600);
    settle(form);
    const QList<QAction *> actions = menu->actions();
    const auto paste = std::find_if(actions.begin(), actions.end(),
        [](const QAction *action) { return action->text().startsWith(QStringLiteral("&Paste")); });
    QVERIFY(paste != actions.end());
    (*paste)->trigger();
    menu->close();
    QCOMPARE(form.Text2[15].text(), u"AC"_qs);
    QCOMPARE(answers(form).join(QString()), u"AC"_qs);
    checkControls(form);

    // A new sheet while the menu is open: the menu goes with the old box's widget, which no new box gets.
    QCoreApplication::sendEvent(edit, &request);
    QVERIFY(QApplication::activePopupWidget());
    const QPointer<QWidget> old = edit;
    click(form.Command1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!old);
    QVERIFY(!QApplication::activePopupWidget());
    QCOMPARE(answers(form).join(QString()), QString());
}

void TestWindow::arrayIndicesAre16Bit()
{
    TestForm test;
    QVERIFY(test->Label1.create(32767));
    QVERIFY(!test->Label1.create(32768));
    QVERIFY(!test->Label1.create(-1));
    QCOMPARE(test->Label1.count(), 2);
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
