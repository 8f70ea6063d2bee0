#include "qtdriver.h"

#include "platform/text/numbers.h"

#include <QElapsedTimer>
#include <QTest>

#include <algorithm>

#ifdef __GLIBC__
#include <malloc.h>
#endif

// Prepare on a sheet of the same size: the teardown of the old sheet, the new sheet, and the repaint that
// shows it.
class BenchSheet : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { checkEveryAction = false; }
    void prepare_data();
    void prepare();
    void firstSheet();
    void memoryPerBox();
};

namespace {

// Bytes of heap in use (glibc), 0 where unknown.
qint64 heapInUse()
{
#ifdef __GLIBC__
    return qint64(mallinfo2().uordblks);
#else
    return 0;
#endif
}

} // namespace

void BenchSheet::prepare_data()
{
    QTest::addColumn<int>("boxes");
    QTest::newRow("165") << 165;
    QTest::newRow("1000") << 1000;
    QTest::newRow("32767") << 32767;
}

void BenchSheet::prepare()
{
    QFETCH(int, boxes);
    TestForm test;
    test.show();
    type(test, test->Text1, platform::numberText(boxes));
    click(test, test->Command1);
    QBENCHMARK
    {
        click(test, test->Command1);
        windowOf(test).repaint();
    }
    QCOMPARE(test->Text2.count(), boxes + 1);
}

void BenchSheet::firstSheet()
{
    // The first Prepare in a fresh window, when no widget of an earlier sheet can be reused: the median of
    // nine.
    QList<qint64> nanoseconds;
    for (int run = 0; run < 9; ++run) {
        TestForm test;
        test.show();
        type(test, test->Text1, u"165");
        QElapsedTimer timer;
        timer.start();
        click(test, test->Command1);
        windowOf(test).repaint();
        nanoseconds.append(timer.nsecsElapsed());
    }
    std::sort(nanoseconds.begin(), nanoseconds.end());
    qInfo("first sheet of 165 boxes, painted: %.1f ms", double(nanoseconds[4]) / 1e6);
}

void BenchSheet::memoryPerBox()
{
    TestForm test;
    test.show();
    type(test, test->Text1, u"200");
    click(test, test->Command1); // the boxes in view, with their widgets
    const qint64 before = heapInUse();
    type(test, test->Text1, u"32767");
    click(test, test->Command1);
    for (int i = 1; i <= 32767; ++i)
        test->Text2[i].setText(u"A");
    const qint64 after = heapInUse();
    qInfo("heap for 32567 boxes beyond the first 200, each holding one answer: %lld KiB, %.0f bytes a box "
          "and its number",
        (after - before) / 1024, double(after - before) / 32567);
}

QTEST_MAIN(BenchSheet)
#include "bench_sheet.moc"
