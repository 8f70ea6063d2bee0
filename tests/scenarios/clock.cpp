#include "testing.h"

// The exam clock: Start, the ticks, the time-out.

TEST_CASE("Start fixes the length and the start, and widens the bar")
{
    TestForm test;
    test.show();
    startAt(test, u"130", 123456);
    CHECK(test->TotalSeconds == 7800);
    CHECK(test->StartTick == 123456);
    CHECK(test->Label4.width() == 8000.0f);
    CHECK(test.view->text(test->Label4) == u" "); // until the first tick
    CHECK(test->Timer1.isEnabled());
    // From 240 to 8240 twips: 16 to 549.3 pixels.
    CHECK(test.view->rect(test->Label4) == platform::PixelRect{16, 0, 533, 25});
}

TEST_CASE("Hand in between two ticks stops the clock")
{
    TestForm test;
    test.show();
    startAt(test, u"130");
    CHECK(tick(test, 800));
    CHECK(tick(test, 1600));
    handIn(test);
    CHECK(test.view->text(test->Label4) == u" 请检查结果 ");
    CHECK(test->Label4.width() == 7998.974f); // 7799 / 7800 * 8000
    CHECK(test.view->visible(test->Label4));
    CHECK_FALSE(tick(test, 2400));
}

TEST_CASE("a bar of 1 twip or less skips the tick")
{
    TestForm test;
    test.show();
    startAt(test, u"0.51");
    CHECK(tick(test, 30700));
    test->Label4.setCaption(u"x");
    CHECK(tick(test, 30710));
    CHECK(test.view->text(test->Label4) == u"x");
    CHECK(test->Label4.width() == 1.0f);
}

TEST_CASE("the longest exam the clock counts")
{
    // 35791 minutes are 2147460 s, 2147460000 ms: the clock counts them and times out at the end.
    TestForm test;
    test.show();
    startAt(test, u"35791");
    CHECK(test->Timer1.isEnabled());
    CHECK(tick(test, 800));
    CHECK(test.view->text(test->Label4) == u"596:30:59"); // 2147459 s
    CHECK(tick(test, 2147459000));
    CHECK(test.view->text(test->Label4) == u"0:0:0");
    CHECK(test.view->visible(test->Label4));
    CHECK(tick(test, 2147460000));
    CHECK_FALSE(test.view->visible(test->Label4));
    CHECK(test->printedLines() == Lines{u"时间到！停止答题."});
}
