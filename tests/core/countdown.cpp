#include "testing.h"

// The clock's arithmetic, row by row, through the view with no toolkit: each view runs the exam's road and
// the clock's edge cases in the scenarios.

TEST_CASE("the countdown")
{
    // Each row starts an exam on a sheet of three, then ticks at the given milliseconds after Start.
    const struct {
        const char *name;
        std::u16string minutes;
        std::int32_t startTick;
        std::vector<std::int64_t> ticks;
        std::u16string caption;
        float width;
        int alignment;
        bool timedOut;
    } rows[] = {
        // R = 7800 - 0, H = 7799 = 2 h 9 min 59 s.
        {"2:9:59 at 800 ms", u"130", 1000, {800}, u"2:9:59", 8000, 0, false},
        // R = 7799: width 7799 / 7800 * 8000 = 7998.974.
        {"2:9:58 at 1600 ms", u"130", 1000, {800, 1600}, u"2:9:58", 7998.974f, 0, false},
        // E = 0.8 > 0: width 1; H = -1: -1 \ 3600 = 0, -1 mod 3600 = -1, -1 \ 60 = 0, -1 mod 60 = -1.
        {"minutes 0 time out at once", u"0", 1000, {800}, u"0:0:-1", 1, 1, true},
        {"minutes 1 first tick", u"1", 1000, {800}, u"0:0:59", 8000, 0, false},
        // At 59.2 s R = 1 (width 133.3); at 60 s R = 0, E = 60 = T: width 0, caption 0:0:-1, time-out.
        {"minutes 1 times out at 60 s", u"1", 1000, {800, 59200, 60000}, u"0:0:-1", 0, 1, true},
        {"minutes 1 at 59.2 s", u"1", 1000, {800, 59200}, u"0:0:0", 133.33333f, 0, false},
        // T = 30.6. At 30.7 s: E > T, width 1; R = 0.6, H = -0.4 rounds to 0: caption 0:0:0, no time-out yet.
        {"minutes 0.51 at 30.7 s", u"0.51", 1000, {30700}, u"0:0:0", 1, 1, false},
        // Next tick: the bar (1) is skipped, R = 30.6 - 31 <= 0: time-out.
        {"minutes 0.51 next tick", u"0.51", 1000, {30700, 31500}, u"0:0:0", 1, 1, true},
        // T = 8040. R = 1: width 8000 / 8040 = 0.995 < 1, caption 0:0:0; later ticks skip the bar until R <=
        // 0.
        {"minutes 134 at R = 1", u"134", 1000, {8039000, 8039800}, u"0:0:0", 0.99502487f, 1, false},
        {"minutes 134 times out", u"134", 1000, {8039000, 8039800, 8040600}, u"0:0:0", 0.99502487f, 1, true},
        // R = 7800 - 7900 = -100, H = -101: 0 h, -101 mod 3600 = -101, -101 \ 60 = -1, -101 mod 60 = -41.
        {"a long pause", u"130", 1000, {800, 7900000}, u"0:-1:-41", 1, 1, true},
        // The 32-bit tick count passes from 2^31 - 1 to -2^31, and from -1 to 0, between Start and the tick.
        {"across the sign change of the counter", u"130", 2147483647 - 100, {800}, u"2:9:59", 8000, 0, false},
        {"across the wrap of the counter", u"130", -100, {800}, u"2:9:59", 8000, 0, false},
        // R = 7800 - 7700 = 100: width 100 / 7800 * 8000 = 102.6 > 100 stays left; R = 97: 99.5, right.
        {"left above 100 twips", u"130", 1000, {7700000}, u"0:1:39", 102.5641f, 0, false},
        {"right at 100 twips or less", u"130", 1000, {7703000}, u"0:1:36", 99.48718f, 1, false},
        // T = 240, R = 240 - 237 = 3: width 3 / 240 * 8000 = 100, not above 100: right.
        {"right at exactly 100 twips", u"4", 1000, {237000}, u"0:0:2", 100, 1, false},
    };
    for (const auto &row : rows) {
        INFO(std::string(row.name));
        TestForm test;
        test.show();
        prepare(test, u"3");
        startAt(test, row.minutes, row.startTick);
        for (const std::int64_t elapsed : row.ticks)
            CHECK_MESSAGE(tick(test, elapsed), "the clock stopped early");

        CHECK(test->Label4.caption() == row.caption);
        CHECK(test->Label4.width() == row.width);
        CHECK(test->Label4.alignment() == row.alignment);
        CHECK(test.view->text(test->Label4) == row.caption);
        CHECK(test.view->visible(test->Label4) == !row.timedOut);
        CHECK(test->Timer1.isEnabled() == !row.timedOut);
        CHECK(test->printedLines() == (row.timedOut ? Lines{u"时间到！停止答题."} : Lines{}));
        for (int i = 1; i <= 3; ++i)
            CHECK(test.view->enabled(test->Text2[i]) == !row.timedOut);
        // The time-out leaves the buttons as they were: Hand in is still the way on.
        CHECK(test.view->enabled(test->Command4));
        CHECK_FALSE(test.view->enabled(test->Command2));
    }
}

TEST_CASE("minutes the clock cannot count are refused")
{
    std::vector<std::pair<const char *, std::u16string>> rows = notANumberTexts();
    // 35792 minutes are 2147520000 ms, more than the 2^31 - 1 ms the tick difference can hold.
    rows.emplace_back("longer than the clock measures", u"35792");
    rows.emplace_back("just past the clock's limit", u"35791.3942");
    // 35791394.2 minutes are 2147483652 s, past the 32-bit range.
    rows.emplace_back("seconds past the 32-bit range", u"35791394.2");
    rows.emplace_back("far past it", u"1e300");
    rows.emplace_back("far below it", u"-1e300");
    for (const auto &row : rows) {
        const std::u16string &minutes = row.second;
        INFO(std::string(row.first));
        TestForm test;
        test.show();
        prepare(test, u"5");
        typeInto(test, 1, u"A");
        startAt(test, minutes);

        CHECK(test.services.beeps == 1);
        CHECK(phaseOf(test) == ReadyWithSheet);
        CHECK(test->TotalSeconds == 0);
        CHECK(test->Label4.width() == 7695.0f);
        CHECK(test->Text2[1].text() == u"A");
        // The minutes box has the focus with its text selected, for a correction.
        CHECK(test.view->focused() == &test->Text2[0]);
        CHECK(test.view->selectedText(test->Text2[0]) == minutes);
    }
}
