#include "testing.h"

#include <QTest>

// Whole exams through the window, as a user takes them.
class TestExam : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void roadOfOneExam();
    void phases();
    void timeOutThenHandIn();
    void nextExamAfterATimeOutHasItsClock();
    void restartKeepsTheLastSheetInView();
};

void TestExam::roadOfOneExam()
{
    TestForm test(keyFileBytes({u"ABCDA"_qs, u"BBBBB"_qs}));
    test.show();
    Form1 &form = *test;
    QCOMPARE(form.List1.count(), 33);
    QCOMPARE(phaseOf(form), Ready);

    click(form.Command1); // 130 questions
    QCOMPARE(form.Text2.count(), 131);
    QCOMPARE(form.Text2[130].left(), 10200.0f);
    QCOMPARE(phaseOf(form), ReadyWithSheet);

    test.services.now = 5000;
    click(form.Command3); // 130 minutes
    QCOMPARE(form.TotalSeconds, 7800.0);
    QCOMPARE(form.StartTick, 5000);
    QCOMPARE(form.Label4.width(), 8000.0f);
    QCOMPARE(phaseOf(form), Running);

    for (const auto &[box, answer] :
        {std::pair{1, u"A"_qs}, {2, u"B"_qs}, {5, u"A"_qs}, {6, u"B"_qs}, {7, u"C"_qs}})
        type(form.Text2[box], answer);
    QVERIFY(tick(test, 800));
    QCOMPARE(form.Label4.caption(), u"2:9:59"_qs);
    QVERIFY(tick(test, 1600));
    QCOMPARE(form.Label4.caption(), u"2:9:58"_qs);

    click(form.Command4);
    QCOMPARE(form.Label4.caption(), u" 请检查结果 "_qs);
    QCOMPARE(phaseOf(form), HandedIn);
    type(form.Text2[3], QStringLiteral("C")); // locked: nothing is typed
    QCOMPARE(form.Text2[3].text(), QString());

    click(form.Command2);
    QCOMPARE(form.Text3.text(), u"4"_qs);
    QCOMPARE(shownBackground(form.Text2[1]), QColor(Qt::green));
    QCOMPARE(shownBackground(form.Text2[7]), QColor(Qt::white));
    QCOMPARE(phaseOf(form), Graded);

    click(form.Command5);
    QCOMPARE(phaseOf(form), Ready);
}

void TestExam::phases()
{
    // Each action's row, checked on the buttons a user can press; disabled buttons deliver no click.
    TestForm test;
    test.show();
    Form1 &form = *test;
    QCOMPARE(phaseOf(form), Ready);
    click(form.Command2); // disabled: nothing happens
    click(form.Command4);
    click(form.Command5);
    QCOMPARE(phaseOf(form), Ready);
    click(form.Command1);
    QCOMPARE(phaseOf(form), ReadyWithSheet);
    click(form.Command1);
    QCOMPARE(phaseOf(form), ReadyWithSheet);
    click(form.Command3);
    QCOMPARE(phaseOf(form), Running);
    click(form.Command1);
    click(form.Command3);
    QCOMPARE(phaseOf(form), Running);
    click(form.Command4);
    QCOMPARE(phaseOf(form), HandedIn);
    click(form.Command2);
    QCOMPARE(phaseOf(form), Graded);
    click(form.Command2);
    QCOMPARE(phaseOf(form), Graded);
    click(form.Command5);
    QCOMPARE(phaseOf(form), Ready);
}

void TestExam::timeOutThenHandIn()
{
    TestForm test;
    test.show();
    Form1 &form = *test;
    type(form.Text1, QStringLiteral("5"));
    click(form.Command1);
    type(form.Text2[0], QStringLiteral("1"));
    click(form.Command3);
    type(form.Text2[1], QStringLiteral("A"));
    QVERIFY(tick(test, 60000));
    QVERIFY(!form.Label4.isVisible());
    QCOMPARE(phaseOf(form), QStringLiteral("HandIn"));
    QCOMPARE(form.Text2[1].text(), u"A"_qs);

    click(form.Command4);
    QCOMPARE(phaseOf(form), HandedIn);
    QCOMPARE(form.Label4.caption(), u" 请检查结果 "_qs);
    QVERIFY(!form.Label4.isVisible());
}

void TestExam::nextExamAfterATimeOutHasItsClock()
{
    TestForm test;
    test.show();
    Form1 &form = *test;
    type(form.Text2[0], QStringLiteral("0"));
    click(form.Command3);
    QVERIFY(tick(test, 800));
    QVERIFY(!form.Label4.isVisible());
    QCOMPARE(form.Label4.alignment(), 1);
    click(form.Command4);
    click(form.Command2);
    click(form.Command5);

    type(form.Text2[0], QStringLiteral("1"));
    click(form.Command3);
    QVERIFY(form.Label4.isVisible());
    QVERIFY(widgetOf(form.Label4)->isVisible());
    QVERIFY(tick(test, 800));
    QCOMPARE(form.Label4.caption(), u"0:0:59"_qs);
    QCOMPARE(form.Label4.alignment(), 0); // back to the left on a wide bar
    QVERIFY(tick(test, 60000));
    QVERIFY(!form.Label4.isVisible());
    QCOMPARE(form.printedLines().size(), 2);
}

void TestExam::restartKeepsTheLastSheetInView()
{
    TestForm test(keyFileBytes({u"ABCDA"_qs}));
    test.show();
    Form1 &form = *test;
    type(form.Text1, QStringLiteral("2"));
    click(form.Command1);
    click(form.Command3);
    type(form.Text2[1], QStringLiteral("A"));
    QVERIFY(tick(test, 800));
    click(form.Command4);
    click(form.Command2);
    click(form.Command5);

    QCOMPARE(form.Text3.text(), u"1"_qs);
    QCOMPARE(shownBackground(form.Text2[1]), QColor(Qt::green));
    QVERIFY(!widgetOf(form.Text2[1])->isEnabled());
    QCOMPARE(form.Label4.caption(), u" 请检查结果 "_qs);
    QVERIFY(!widgetOf(form.List1)->isVisible());
    QVERIFY(!form.Command2.isEnabled());

    // Start without a new Prepare: the old boxes stay locked.
    click(form.Command3);
    QCOMPARE(phaseOf(form), QStringLiteral("HandIn clock"));
}

QTEST_MAIN(TestExam)
#include "tst_exam.moc"
