#include "qtdriver.h"

#include "clock/countdown.h"
#include "grading/results.h"

#include <QTest>

// The work of one clock tick and of one grading on a full sheet of 165 questions.
class BenchExam : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { checkEveryAction = false; }
    void tick();
    void grade();
};

namespace {

void sit(TestForm &test)
{
    test.show();
    type(test, test->Text1, u"165");
    click(test, test->Command1);
    for (int i = 1; i <= 165; ++i)
        test->Text2[i].setText(i % 2 ? u"A" : u"B");
}

} // namespace

void BenchExam::tick()
{
    TestForm test;
    sit(test);
    click(test, test->Command3);
    qint64 elapsed = 0;
    QBENCHMARK
    {
        elapsed += 800;
        ::tick(test, elapsed % 7'000'000);
    }
    QVERIFY(test->Timer1.isEnabled());
}

void BenchExam::grade()
{
    TestForm test;
    sit(test);
    click(test, test->Command3);
    click(test, test->Command4);
    QBENCHMARK
    {
        test->deliver([&test] { Command2_Click(*test); });
    }
    QVERIFY(test->Text3.text() != u"0");
}

QTEST_MAIN(BenchExam)
#include "bench_exam.moc"
