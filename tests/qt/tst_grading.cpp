#include "testing.h"

#include <QListWidget>
#include <QTest>

class TestGrading : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void grades_data();
    void grades();
    void resultsTwiceGivesTheSame();
    void noKeyScoresNothing();
    void noBoxesScoreNothing();
    void gradeAgainWithAnotherCount_data();
    void gradeAgainWithAnotherCount();
};

namespace {

// Prepares boxes for the given answers, runs an exam through Hand in and presses Results.
void sitExam(TestForm &test, const QStringList &answers)
{
    test.show();
    type(test->Text1, QString::number(answers.size()));
    click(test->Command1);
    click(test->Command3);
    for (int i = 0; i < answers.size(); ++i)
        if (!answers[i].isEmpty())
            type(test->Text2[i + 1], answers[i]);
    click(test->Command4);
    click(test->Command2);
}

QString greenBoxes(const Form1 &form)
{
    QStringList green;
    for (int i = 1; i < form.Text2.count(); ++i)
        if (form.Text2[i].backColor() == Form1::Green)
            green.append(QString::number(i));
    return green.join(QLatin1Char(' '));
}

} // namespace

void TestGrading::grades_data()
{
    QTest::addColumn<QStringList>("key");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("score");
    QTest::addColumn<QString>("green");

    QTest::newRow("ABCDA: A, b, nothing, D, A scores 3")
        << QStringList{u"ABCDA"_qs} << QStringList{u"A"_qs, u"b"_qs, u""_qs, u"D"_qs, u"A"_qs} << "3"
        << "1 4 5";
    QTest::newRow("a trailing space or a second letter is wrong")
        << QStringList{u"ABCDA"_qs} << QStringList{u"A "_qs, u"BC"_qs, u"C"_qs, u"D"_qs, u"A"_qs} << "3"
        << "3 4 5";
    QTest::newRow("question 5 reads character 5 of line 1, question 6 character 1 of line 2")
        << QStringList{u"xxxxE"_qs, u"Fxxxx"_qs}
        << QStringList{u""_qs, u""_qs, u""_qs, u""_qs, u"E"_qs, u"F"_qs} << "2"
        << "5 6";
    QTest::newRow("a short key line leaves questions 3 to 5 unscorable")
        << QStringList{u"AB"_qs, u"CCCCC"_qs}
        << QStringList{u"A"_qs, u"B"_qs, u""_qs, u""_qs, u""_qs, u"C"_qs} << "3"
        << "1 2 6";
    QTest::newRow("characters after the fifth are not graded")
        << QStringList{u"ABCDAZZZ"_qs} << QStringList{u"A"_qs, u"B"_qs, u"C"_qs, u"D"_qs, u"A"_qs, u"Z"_qs}
        << "5"
        << "1 2 3 4 5";
    QTest::newRow("Chinese answers") << QStringList{u"甲乙丙丁戊"_qs}
                                     << QStringList{u"甲"_qs, u"乙"_qs, u"甲"_qs, u""_qs, u"戊"_qs} << "3"
                                     << "1 2 5";
    // One answer is one character as the reader sees it, however many UTF-16 units it takes.
    QTest::newRow("a character beyond the BMP is one answer")
        << QStringList{u"\U00020000BCDE"_qs}
        << QStringList{u"\U00020000"_qs, u"B"_qs, u"C"_qs, u"D"_qs, u"E"_qs} << "5"
        << "1 2 3 4 5";
    QTest::newRow("a letter and its combining mark are one answer")
        << QStringList{u"e\u0301BCDE"_qs} << QStringList{u"e\u0301"_qs, u"B"_qs, u"C"_qs, u"D"_qs, u"E"_qs}
        << "5"
        << "1 2 3 4 5";
    QTest::newRow("the letter without its mark is wrong; no normalisation")
        << QStringList{u"e\u0301\u00E9CDE"_qs}
        << QStringList{u"e"_qs, u"e\u0301"_qs, u"C"_qs, u"D"_qs, u"E"_qs} << "3"
        << "3 4 5";
    QTest::newRow("an emoji with a skin-tone modifier is one answer")
        << QStringList{u"\U0001F44D\U0001F3FDBCDE"_qs}
        << QStringList{u"\U0001F44D\U0001F3FD"_qs, u"B"_qs, u"C"_qs, u"D"_qs, u"E"_qs} << "5"
        << "1 2 3 4 5";
    QTest::newRow("questions past the key never score")
        << QStringList{u"AAAAA"_qs} << QStringList{u"A"_qs, u""_qs, u""_qs, u""_qs, u""_qs, u"A"_qs} << "1"
        << "1";
}

void TestGrading::grades()
{
    QFETCH(QStringList, key);
    QFETCH(QStringList, answers);
    QFETCH(QString, score);
    QFETCH(QString, green);

    TestForm test(keyFileBytes(key));
    sitExam(test, answers);
    QCOMPARE(test->Text3.text(), score);
    QCOMPARE(greenBoxes(*test), green);
    for (int i = 1; i <= answers.size(); ++i)
        QCOMPARE(shownBackground(test->Text2[i]),
            test->Text2[i].backColor() == Form1::Green ? QColor(Qt::green) : QColor(Qt::white));
    QVERIFY(widgetOf(test->List1)->isVisible());
    QCOMPARE(qobject_cast<QListWidget *>(widgetOf(test->List1))->item(0)->text(), key[0]);
}

void TestGrading::resultsTwiceGivesTheSame()
{
    TestForm test(keyFileBytes({u"ABCDA"_qs}));
    sitExam(test, {u"A"_qs, u"b"_qs, u""_qs, u"D"_qs, u"A"_qs});
    click(test->Command2);
    QCOMPARE(test->Text3.text(), u"3"_qs);
    QCOMPARE(greenBoxes(*test), u"1 4 5"_qs);
    QVERIFY(test->Command2.isEnabled());
}

void TestGrading::noKeyScoresNothing()
{
    TestForm test(std::nullopt);
    sitExam(test, {u"A"_qs, u"B"_qs});
    QCOMPARE(test->Text3.text(), u"0"_qs);
    QCOMPARE(greenBoxes(*test), QString());
}

void TestGrading::noBoxesScoreNothing()
{
    TestForm test;
    test.show();
    click(test->Command3);
    click(test->Command4);
    click(test->Command2);
    QCOMPARE(test->Text3.text(), u"0"_qs);
    QVERIFY(test->Command5.isEnabled());
}

// Restart, change the count, and sit the exam again on the same (locked) sheet.
void TestGrading::gradeAgainWithAnotherCount_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("score");
    QTest::addColumn<QString>("green");

    // Nothing whitened, nothing tested: the colours of the first grading stay.
    QTest::newRow("a count that is no number grades nothing") << QStringList{u"A"_qs, u"B"_qs} << "abc"
                                                              << "0"
                                                              << "1 2";
    QTest::newRow("a lower count leaves the rest alone") << QStringList{u"A"_qs, u"B"_qs, u"C"_qs} << "1"
                                                         << "1"
                                                         << "1 2 3";
    QTest::newRow("a huge count stops at the last box") << QStringList{u"A"_qs, u"B"_qs} << "1e300"
                                                        << "2"
                                                        << "1 2";
}

void TestGrading::gradeAgainWithAnotherCount()
{
    QFETCH(QStringList, answers);
    QFETCH(QString, count);
    QFETCH(QString, score);
    QFETCH(QString, green);

    TestForm test(keyFileBytes({u"ABCDA"_qs}));
    sitExam(test, answers);
    click(test->Command5);
    type(test->Text1, count);
    click(test->Command3);
    click(test->Command4);
    click(test->Command2);
    QCOMPARE(test->Text3.text(), score);
    QCOMPARE(greenBoxes(*test), green);
    QVERIFY(test->List1.isVisible() && test->Command5.isEnabled() && !test->Command4.isEnabled());
}

QTEST_MAIN(TestGrading)
#include "tst_grading.moc"
