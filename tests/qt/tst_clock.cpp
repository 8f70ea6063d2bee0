#include "testing.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

class TestClock : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void start();
    void countdown_data();
    void countdown();
    void handInBetweenTicks();
    void narrowBarSkipsTheTick();
    void refusedMinutes_data();
    void refusedMinutes();
    void largestMinutes();
    void realTimerTicks();
};

namespace {

void start(TestForm &test, const QString &minutes, qint32 startTick = 1000)
{
    type(test->Text2[0], minutes);
    test.services.now = startTick;
    click(test->Command3);
}

} // namespace

void TestClock::start()
{
    TestForm test;
    test.show();
    ::start(test, QStringLiteral("130"), 123456);
    QCOMPARE(test->TotalSeconds, 7800.0);
    QCOMPARE(test->StartTick, 123456);
    QCOMPARE(test->Label4.width(), 8000.0f);
    QCOMPARE(test->Label4.caption(), u" "_qs); // until the first tick
    QVERIFY(test->Timer1.isEnabled());
    QCOMPARE(widgetOf(test->Label4)->width(), qRound((240 + 8000) / 15.0) - 16);
}

// The countdown: each row starts an exam, then ticks at the given milliseconds after Start.

void TestClock::countdown_data()
{
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<qint32>("startTick");
    QTest::addColumn<QList<qint64>>("ticks");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<float>("width");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<bool>("timedOut");

    const QList<qint64> first{800};
    // R = 7800 - 0, H = 7799 = 2 h 9 min 59 s.
    QTest::newRow("2:9:59 at 800 ms") << "130" << 1000 << first << "2:9:59" << 8000.0f << 0 << false;
    // R = 7799: width 7799 / 7800 * 8000.
    QTest::newRow("2:9:58 at 1600 ms") << "130" << 1000 << QList<qint64>{800, 1600} << "2:9:58"
                                       << float(7799.0 / 7800.0 * 8000) << 0 << false;
    // E = 0.8 > 0: width 1; H = -1: -1 \ 3600 = 0, -1 mod 3600 = -1, -1 \ 60 = 0, -1 mod 60 = -1.
    QTest::newRow("minutes 0 time out at once") << "0" << 1000 << first << "0:0:-1" << 1.0f << 1 << true;
    QTest::newRow("minutes 1 first tick") << "1" << 1000 << first << "0:0:59" << 8000.0f << 0 << false;
    // At 59.2 s R = 1 (width 133.3); at 60 s R = 0, E = 60 = T: width 0, caption 0:0:-1, time-out.
    QTest::newRow("minutes 1 times out at 60 s")
        << "1" << 1000 << QList<qint64>{800, 59200, 60000} << "0:0:-1" << 0.0f << 1 << true;
    QTest::newRow("minutes 1 at 59.2 s")
        << "1" << 1000 << QList<qint64>{800, 59200} << "0:0:0" << float(1.0 / 60.0 * 8000) << 0 << false;
    // T = 30.6. At 30.7 s: E > T, width 1; R = 0.6, H = -0.4 rounds to 0: caption 0:0:0, no time-out yet.
    QTest::newRow("minutes 0.51 at 30.7 s")
        << "0.51" << 1000 << QList<qint64>{30700} << "0:0:0" << 1.0f << 1 << false;
    // Next tick: the bar (1) is skipped, R = 30.6 - 31 <= 0: time-out.
    QTest::newRow("minutes 0.51 next tick")
        << "0.51" << 1000 << QList<qint64>{30700, 31500} << "0:0:0" << 1.0f << 1 << true;
    // T = 8040. R = 1: width 8000 / 8040 < 1, caption 0:0:0; later ticks skip the bar until R <= 0.
    QTest::newRow("minutes 134 at R = 1") << "134" << 1000 << QList<qint64>{8039000, 8039800} << "0:0:0"
                                          << float(1.0 / 8040.0 * 8000) << 1 << false;
    QTest::newRow("minutes 134 times out") << "134" << 1000 << QList<qint64>{8039000, 8039800, 8040600}
                                           << "0:0:0" << float(1.0 / 8040.0 * 8000) << 1 << true;
    // R = 7800 - 7900 = -100, H = -101: 0 h, -101 mod 3600 = -101, -101 \ 60 = -1, -101 mod 60 = -41.
    QTest::newRow("long pause") << "130" << 1000 << QList<qint64>{800, 7900000} << "0:-1:-41" << 1.0f << 1
                                << true;
    // The 32-bit tick count passes from 2^31 - 1 to -2^31 between Start and the tick.
    QTest::newRow("across the sign change of the counter")
        << "130" << 2147483647 - 100 << first << "2:9:59" << 8000.0f << 0 << false;
    QTest::newRow("across the wrap of the counter")
        << "130" << -100 << first << "2:9:59" << 8000.0f << 0 << false;
    // R = 7800 - 7700 = 100: width 100 / 7800 * 8000 = 102.6 > 100 stays left; R = 97: 99.5, right.
    QTest::newRow("left above 100 twips")
        << "130" << 1000 << QList<qint64>{7700000} << "0:1:39" << float(100.0 / 7800.0 * 8000) << 0 << false;
    QTest::newRow("right at 100 twips or less")
        << "130" << 1000 << QList<qint64>{7703000} << "0:1:36" << float(97.0 / 7800.0 * 8000) << 1 << false;
}

void TestClock::countdown()
{
    QFETCH(QString, minutes);
    QFETCH(qint32, startTick);
    QFETCH(QList<qint64>, ticks);
    QFETCH(QString, caption);
    QFETCH(float, width);
    QFETCH(int, alignment);
    QFETCH(bool, timedOut);

    TestForm test;
    test.show();
    type(test->Text1, QStringLiteral("3"));
    click(test->Command1);
    ::start(test, minutes, startTick);
    for (const qint64 elapsed : ticks)
        QVERIFY2(tick(test, elapsed), "the clock stopped early");

    QCOMPARE(test->Label4.caption(), caption);
    QCOMPARE(test->Label4.width(), width);
    QCOMPARE(test->Label4.alignment(), alignment);
    QCOMPARE(qobject_cast<QLabel *>(widgetOf(test->Label4))->text(), caption);
    QCOMPARE(test->Label4.isVisible(), !timedOut);
    QCOMPARE(test->Timer1.isEnabled(), !timedOut);
    QCOMPARE(test->printedLines(), timedOut ? QStringList{u"时间到！停止答题."_qs} : QStringList{});
    for (int i = 1; i <= 3; ++i)
        QCOMPARE(widgetOf(test->Text2[i])->isEnabled(), !timedOut);
    // The time-out leaves the buttons as they were: Hand in is still the way on.
    QVERIFY(test->Command4.isEnabled());
    QVERIFY(!test->Command2.isEnabled());
}

void TestClock::handInBetweenTicks()
{
    TestForm test;
    test.show();
    ::start(test, QStringLiteral("130"));
    QVERIFY(tick(test, 800));
    QVERIFY(tick(test, 1600));
    click(test->Command4);
    QCOMPARE(test->Label4.caption(), u" 请检查结果 "_qs);
    QCOMPARE(test->Label4.width(), float(7799.0 / 7800.0 * 8000));
    QVERIFY(test->Label4.isVisible());
    QVERIFY(!tick(test, 2400));
}

void TestClock::narrowBarSkipsTheTick()
{
    // Once the bar is 1 twip or less, ticks change neither its width nor its caption.
    TestForm test;
    test.show();
    ::start(test, QStringLiteral("0.51"));
    QVERIFY(tick(test, 30700));
    test->Label4.setCaption(u"x");
    QVERIFY(tick(test, 30710));
    QCOMPARE(test->Label4.caption(), u"x"_qs);
    QCOMPARE(test->Label4.width(), 1.0f);
}

void TestClock::refusedMinutes_data()
{
    addNotANumberRows();
    // 35792 minutes are 2147520000 ms, more than the 2^31 - 1 ms the tick difference can hold.
    QTest::newRow("longer than the clock measures") << "35792";
    QTest::newRow("just past the clock's limit") << "35791.3942";
    // 35791394.2 minutes are 2147483652 s, past the 32-bit range.
    QTest::newRow("seconds past the 32-bit range") << "35791394.2";
    QTest::newRow("far past it") << "1e300";
    QTest::newRow("far below it") << "-1e300";
}

void TestClock::refusedMinutes()
{
    QFETCH(QString, text);
    const QString &minutes = text;
    TestForm test;
    test.show();
    type(test->Text1, QStringLiteral("5"));
    click(test->Command1);
    type(test->Text2[1], QStringLiteral("A"));
    ::start(test, minutes);

    QCOMPARE(test.services.beeps, 1);
    QVERIFY(!test->Timer1.isEnabled());
    QVERIFY(test->Command1.isEnabled() && test->Command3.isEnabled() && !test->Command4.isEnabled());
    QVERIFY(test->Text1.isEnabled() && test->Text2[0].isEnabled());
    QCOMPARE(test->TotalSeconds, 0.0);
    QCOMPARE(test->Label4.width(), 7695.0f);
    QCOMPARE(test->Text2[1].text(), u"A"_qs);
    auto *edit = qobject_cast<QLineEdit *>(widgetOf(test->Text2[0]));
    QCOMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(edit->selectedText(), minutes);
}

void TestClock::largestMinutes()
{
    // 35791 minutes are 2147460 s, 2147460000 ms: the clock counts them and times out at the end.
    TestForm test;
    test.show();
    ::start(test, QStringLiteral("35791"));
    QVERIFY(test->Timer1.isEnabled());
    QVERIFY(tick(test, 800));
    QCOMPARE(test->Label4.caption(), u"596:30:59"_qs); // 2147459 s
    QVERIFY(tick(test, 2147459000));
    QCOMPARE(test->Label4.caption(), u"0:0:0"_qs);
    QVERIFY(test->Label4.isVisible());
    QVERIFY(tick(test, 2147460000));
    QVERIFY(!test->Label4.isVisible());
    QCOMPARE(test->printedLines(), QStringList{u"时间到！停止答题."_qs});
}

void TestClock::realTimerTicks()
{
    // The one check on real time: the enabled timer delivers its tick to the countdown.
    TestForm test;
    test.show();
    ::start(test, QStringLiteral("130"));
    test.services.now = test->StartTick + 800;
    QTRY_COMPARE_WITH_TIMEOUT(toQString(test->Label4.caption()), u"2:9:59"_qs, 3000);
}

QTEST_MAIN(TestClock)
#include "tst_clock.moc"
