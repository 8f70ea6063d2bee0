#include "support.h"

// Whole exams through the real window, as a user takes them.

TEST_CASE("the road of one exam")
{
    TestForm test;
    test.show();
    Form1 &form = *test;
    CHECK(phaseOf(form) == "Prepare Start count minutes");

    click(form.Command1); // 130 questions
    REQUIRE(form.Text2.count() == 131);
    // Columns of ten, 400 twips square, at 15 twips a pixel (96 DPI): box 1 at 600, 400; box 10 at 600, 4000;
    // box 11 at 1400, 400; box 130 at 10200, 4000.
    for (int question = 1; question <= 130; ++question) {
        CAPTURE(question);
        const RECT shown = rectIn(test.hwnd(), windowOf(form.Text2[question]));
        const RECT expected = twipsRect(
            (question - 1) / 10 * 800 + 600, question % 10 == 0 ? 4000 : question % 10 * 400, 400, 400);
        CHECK(EqualRect(&shown, &expected));
    }
    CHECK(phaseOf(form) == "Prepare Start count minutes boxes");

    test.services.now = 5000;
    click(form.Command3); // 130 minutes
    CHECK(form.TotalSeconds == 7800);
    CHECK(phaseOf(form) == "HandIn clock boxes");
    const std::pair<int, std::u16string_view> typed[] = {{1, u"A"}, {2, u"b"}, {4, u"D"}, {5, u"A"}};
    for (const auto &[box, answer] : typed)
        type(form.Text2[box], answer);

    tick(test, 800);
    CHECK(textOf(windowOf(form.Label4)) == u"2:9:59");
    tick(test, 1600);
    CHECK(textOf(windowOf(form.Label4)) == u"2:9:58");

    click(form.Command4);
    CHECK(textOf(windowOf(form.Label4)) == u" 请检查结果 ");
    CHECK(phaseOf(form) == "Results");

    // ABCDA answered A, b, nothing, D, A: 3, with boxes 1, 4 and 5 green, 2 and 3 white, read from pixels.
    click(form.Command2);
    CHECK(textOf(windowOf(form.Text3)) == u"3");
    for (int box = 1; box <= 5; ++box) {
        CAPTURE(box);
        CHECK(shownInside(windowOf(form.Text2[box])).background
            == (box == 1 || box == 4 || box == 5 ? RGB(0, 255, 0) : RGB(255, 255, 255)));
    }
    CHECK(phaseOf(form) == "Results Restart key");

    click(form.Command5);
    CHECK(phaseOf(form) == "Prepare Start count minutes");
}

TEST_CASE("the time-out")
{
    TestForm test;
    test.show();
    Form1 &form = *test;
    type(form.Text1, u"5");
    click(form.Command1);
    type(form.Text2[0], u"0");
    click(form.Command3);
    tick(test, 800);

    CHECK_FALSE(IsWindowVisible(windowOf(form.Label4)));
    for (int box = 1; box <= 5; ++box)
        CHECK_FALSE(IsWindowEnabled(windowOf(form.Text2[box])));
    CHECK(phaseOf(form) == "HandIn");
    // "时间到！停止答题.", nine characters of 12 pixels, at the top-left where the bar was, and still there
    // after a repaint; nothing beyond it.
    for (int repaint = 0; repaint < 2; ++repaint) {
        CAPTURE(repaint);
        CHECK(shownInside(test.hwnd(), {0, 0, 100, 12}).contrast > 10);
    }
    CHECK(shownInside(test.hwnd(), {120, 0, 500, 20}).contrast == 1);
}
