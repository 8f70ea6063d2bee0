#include "testing.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

class TestSheet : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void grid_data();
    void grid();
    void newBoxesAreEmptyWhiteAndEnabled();
    void boxLiesOverItsNumber();
    void prepareTwiceEmptiesTheSheet();
    void countZeroClearsTheSheet();
    void newSheetCarriesNothingOver();
    void countsBeyondTheKeyAndTheWindow();
    void fractionalAndNegativeCounts_data();
    void fractionalAndNegativeCounts();
    void refusedCountKeepsTheSheet_data();
    void refusedCountKeepsTheSheet();
    void largestSheet();
    void tabAndEnterWalkTheBoxes();
    void boxesAreNamedForScreenReaders();
};

namespace {

void prepare(TestForm &test, const QString &count)
{
    type(test->Text1, count);
    click(test->Command1);
}

} // namespace

// Layout

void TestSheet::grid_data()
{
    QTest::addColumn<int>("question");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");

    QTest::newRow("box 1") << 1 << 600 << 400;
    QTest::newRow("box 9") << 9 << 600 << 3600;
    QTest::newRow("box 10 closes the column") << 10 << 600 << 4000;
    QTest::newRow("box 11 opens the next") << 11 << 1400 << 400;
    QTest::newRow("box 130") << 130 << 10200 << 4000; // column 12: 12 * 800 + 600
}

void TestSheet::grid()
{
    QFETCH(int, question);
    QFETCH(int, left);
    QFETCH(int, top);

    TestForm test;
    test.show();
    prepare(test, QStringLiteral("130"));
    QCOMPARE(test->Text2.count(), 131);
    QCOMPARE(test->Label1.count(), 131);

    const platform::TextBox &box = test->Text2[question];
    QCOMPARE(box.left(), float(left));
    QCOMPARE(box.top(), float(top));
    QCOMPARE(box.width(), 400.0f);
    QCOMPARE(box.height(), 400.0f);
    const platform::Label &number = test->Label1[question];
    QCOMPARE(number.left(), float(left - 300));
    QCOMPARE(number.top(), float(top));
    QCOMPARE(number.width(), 400.0f);
    QCOMPARE(number.caption(), QString::number(question));

    QVERIFY(widgetOf(box) && widgetOf(box)->isVisible());
    QCOMPARE(widgetOf(box)->pos(), QPoint(qRound(left / 15.0), qRound(top / 15.0)));
    QCOMPARE(qobject_cast<QLabel *>(widgetOf(number))->text(), QString::number(question));
}

void TestSheet::newBoxesAreEmptyWhiteAndEnabled()
{
    TestForm test;
    test.show();
    prepare(test, QStringLiteral("3"));
    for (int i = 1; i <= 3; ++i) {
        const platform::TextBox &box = test->Text2[i];
        QCOMPARE(box.text(), QString());
        QVERIFY(widgetOf(box)->isEnabled());
        QCOMPARE(shownBackground(box), QColor(Qt::white));
        QCOMPARE(test->Label1[i].alignment(), test->Label1[0].alignment());
        QCOMPARE(widgetOf(test->Label1[i])->font(), widgetOf(test->Label1[0])->font());
    }
}

void TestSheet::boxLiesOverItsNumber()
{
    TestForm test;
    test.show();
    prepare(test, QStringLiteral("1"));
    // Twips 600 to 700 across, where label 1 (300 to 700) and box 1 (600 to 1000) overlap.
    const QPoint overlap(qRound(650 / 15.0), qRound(600 / 15.0));
    QCOMPARE(test.window->childAt(overlap), widgetOf(test->Text2[1]));
}

void TestSheet::prepareTwiceEmptiesTheSheet()
{
    TestForm test;
    test.show();
    prepare(test, QStringLiteral("12"));
    type(test->Text2[1], QStringLiteral("A"));
    type(test->Text2[12], QStringLiteral("B"));
    click(test->Command1);
    QCOMPARE(test->Text2.count(), 13);
    QCOMPARE(test->Text2[1].text(), QString());
    QCOMPARE(test->Text2[12].text(), QString());
    QCOMPARE(test->Text2[12].left(), 1400.0f);
    QCOMPARE(test->Text2[12].top(), 800.0f);
}

void TestSheet::countZeroClearsTheSheet()
{
    TestForm test;
    test.show();
    prepare(test, QStringLiteral("130"));
    prepare(test, QStringLiteral("0"));
    QCOMPARE(test->Text2.count(), 1);
    QCOMPARE(test->Label1.count(), 1);
    const QList<QLineEdit *> edits = test.window->findChildren<QLineEdit *>();
    const auto shown
        = std::count_if(edits.begin(), edits.end(), [](const QLineEdit *e) { return e->isVisible(); });
    QCOMPARE(shown, 3); // the count, minutes and score boxes
}

void TestSheet::newSheetCarriesNothingOver()
{
    // The new boxes may be shown by the old boxes' widgets: none of the old answer, colour or lock may show.
    TestForm test(keyFileBytes({u"ABCDA"_qs}));
    test.show();
    prepare(test, QStringLiteral("2"));
    click(test->Command3);
    type(test->Text2[1], QStringLiteral("A"));
    click(test->Command4);
    click(test->Command2);
    click(test->Command5);
    QCOMPARE(shownBackground(test->Text2[1]), QColor(Qt::green));

    click(test->Command1);
    const platform::TextBox &box = test->Text2[1];
    auto *edit = qobject_cast<QLineEdit *>(widgetOf(box));
    QVERIFY(edit->isEnabled());
    QCOMPARE(edit->text(), QString());
    QCOMPARE(shownBackground(box), QColor(Qt::white));
    edit->setFocus();
    QTest::keySequence(edit, QKeySequence::Undo);
    QCOMPARE(box.text(), QString());
    type(test->Text2[2], QStringLiteral("B"));
    QCOMPARE(test->Text2[1].text(), QString());
    QCOMPARE(test->Text2[2].text(), u"B"_qs);
}

void TestSheet::countsBeyondTheKeyAndTheWindow()
{
    TestForm test;
    test.show();
    prepare(test, QStringLiteral("300"));
    QCOMPARE(test->Text2.count(), 301);
    // Column 16 begins under the key list; column 19 lies past the window's right edge.
    QCOMPARE(test->Text2[161].left(), 13400.0f);
    QCOMPARE(test->Text2[300].left(), 29 * 800 + 600.0f);
    QVERIFY(!widgetOf(test->Text2[300]));
    // The window grows: the far boxes get widgets, in the keyboard order after their neighbours.
    test.window->resize(2000, 390);
    QVERIFY(widgetOf(test->Text2[300]));
    QCOMPARE(widgetOf(test->Text2[299])->nextInFocusChain(), widgetOf(test->Text2[300]));
}

void TestSheet::fractionalAndNegativeCounts_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<int>("boxes");

    QTest::newRow("3.7 lays out 3") << "3.7" << 3;
    QTest::newRow("0.5 lays out none") << "0.5" << 0;
    QTest::newRow("-0") << "-0" << 0;
    QTest::newRow("negative") << "-5" << 0;
    QTest::newRow("full-width") << u"１２"_qs << 12;
    QTest::newRow("exponent") << "1.2e1" << 12;
    QTest::newRow("huge negative") << "-1e300" << 0;
}

void TestSheet::fractionalAndNegativeCounts()
{
    QFETCH(QString, count);
    QFETCH(int, boxes);
    TestForm test;
    test.show();
    prepare(test, QStringLiteral("20"));
    prepare(test, count);
    QCOMPARE(test->Text2.count(), boxes + 1);
    QCOMPARE(test.services.beeps, 0);
}

void TestSheet::refusedCountKeepsTheSheet_data()
{
    addNotANumberRows();
    QTest::newRow("above the element limit") << "32768";
    QTest::newRow("far above it") << "1e9";
}

void TestSheet::refusedCountKeepsTheSheet()
{
    QFETCH(QString, text);
    const QString &count = text;
    TestForm test;
    test.show();
    prepare(test, QStringLiteral("12"));
    type(test->Text2[3], QStringLiteral("C"));
    prepare(test, count);

    QCOMPARE(test->Text2.count(), 13);
    QCOMPARE(test->Text2[3].text(), u"C"_qs);
    QCOMPARE(test.services.beeps, 1);
    auto *edit = qobject_cast<QLineEdit *>(widgetOf(test->Text1));
    QCOMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(edit->selectedText(), count);
    QVERIFY(test->Command1.isEnabled() && test->Command3.isEnabled());
}

void TestSheet::largestSheet()
{
    TestForm test;
    test.show();
    prepare(test, QStringLiteral("32767"));
    QCOMPARE(test->Text2.count(), 32768);
    QCOMPARE(test->Label1[32767].caption(), u"32767"_qs);
    QCOMPARE(test->Text2[32767].left(), 3276 * 800 + 600.0f);
    // Only the boxes in view are widgets.
    QVERIFY(test.window->findChildren<QLineEdit *>().size() < 400);
    prepare(test, QStringLiteral("1"));
    QCOMPARE(test->Text2.count(), 2);
}

// Keyboard and screen readers

void TestSheet::tabAndEnterWalkTheBoxes()
{
    TestForm test;
    test.show();
    test.window->activateWindow();
    prepare(test, QStringLiteral("3"));

    // The boxes follow the buttons: Tab from Start (the last enabled button) reaches box 1.
    widgetOf(test->Command3)->setFocus();
    QTest::keyClick(widgetOf(test->Command3), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), widgetOf(test->Text2[1]));

    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("A"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), widgetOf(test->Text2[2]));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("B"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("C"));
    QCOMPARE(test->Text2[1].text(), u"A"_qs);
    QCOMPARE(test->Text2[2].text(), u"B"_qs);
    QCOMPARE(test->Text2[3].text(), u"C"_qs);

    // Enter in the last box stays there.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), widgetOf(test->Text2[3]));
}

void TestSheet::boxesAreNamedForScreenReaders()
{
    TestForm test;
    test.show();
    prepare(test, QStringLiteral("12"));
    QAccessibleInterface *box = QAccessible::queryAccessibleInterface(widgetOf(test->Text2[12]));
    QVERIFY(box);
    QCOMPARE(box->text(QAccessible::Name), u"第 12 题"_qs);
    QCOMPARE(box->role(), QAccessible::EditableText);
}

QTEST_MAIN(TestSheet)
#include "tst_sheet.moc"
