#include "testing.h"

#include "platform/forms/controlarray.h"

// The window as it first shows, its keyboard order, and its run-time controls as the window changes size.

TEST_CASE("the first state")
{
    TestForm test;
    test.show();
    const Form1 &form = *test;
    const struct {
        const platform::Control *control;
        int left, top, width, height;
        std::u16string text;
        bool enabled;
        bool visible;
    } rows[] = {
        {&form.List1, 12960, 240, 1575, 4560, u"", true, false},
        {&form.Text1, 2280, 4920, 615, 375, u"130", true, true},
        {&form.Command1, 360, 4800, 975, 615, u"准备做题", true, true},
        {&form.Text2[0], 3600, 4920, 615, 375, u"130", true, true},
        {&form.Label1[0], 1560, 5040, 735, 495, u"题目数", true, true},
        {&form.Label2, 3120, 5040, 1695, 255, u"时间         分钟 n", true, true},
        {&form.Command2, 9240, 4920, 1095, 495, u"结果", false, true},
        {&form.Text3, 11160, 4920, 1215, 375, u"0", false, true},
        {&form.Label3, 10560, 5040, 495, 495, u"得分", true, true},
        {&form.Command3, 5040, 4560, 1095, 975, u"开始考试", true, true},
        {&form.Label4, 240, 0, 7695, 375, u" ", true, true},
        {&form.Command4, 7320, 4920, 1215, 495, u"交卷", false, true},
        {&form.Command5, 12720, 4920, 975, 375, u"重新开始", false, true},
    };
    // 15 twips a pixel at 96 DPI, and every twips value above a multiple of 15.
    REQUIRE(test.view->dpi() == 96);
    for (const auto &row : rows) {
        CAPTURE(row.text);
        const platform::Control &control = *row.control;
        CHECK(test.view->rect(control)
            == platform::PixelRect{row.left / 15, row.top / 15, row.width / 15, row.height / 15});
        if (control.kind() != platform::Control::Kind::ListBox)
            CHECK(test.view->text(control) == row.text);
        CHECK(test.view->enabled(control) == row.enabled);
        CHECK(test.view->visible(control) == row.visible);
    }
    CHECK(test.view->items(form.List1).size() == 33); // loaded, hidden
}

TEST_CASE("the window")
{
    TestForm test;
    test.show();
    CHECK(test.view->title() == u"QuillmarkV1.0");
    // 15525 by 5850 twips, 15 twips a pixel at 96 DPI.
    REQUIRE(test.view->dpi() == 96);
    CHECK(test.view->clientSize() == platform::PixelSize{1035, 390});
    // The score box takes no typing.
    type(test, test->Text3, u"5");
    CHECK(test->Text3.text() == u"0");
}

TEST_CASE("the time bar is red, and no clock runs before the first Start")
{
    TestForm test;
    test.show();
    CHECK(test.view->background(test->Label4) == Form1::Red);
    CHECK(test.view->text(test->Label4) == u" ");
    CHECK_FALSE(test.view->tick());
}

TEST_CASE("the keyboard order")
{
    // List1 is hidden and Text3, Results, Hand in and Restart are locked at the start: Tab skips them.
    TestForm test;
    test.show();
    Form1 &form = *test;
    test.view->focus(form.Text1);
    const platform::Control *const expected[]
        = {&form.Command1, &form.Text2[0], &form.Command3, &form.Text1, &form.Command1};
    for (const platform::Control *control : expected) {
        press(test, Driver::Key::Tab);
        CHECK(test.view->focused() == control);
    }
    press(test, Driver::Key::BackTab);
    CHECK(test.view->focused() == &form.Text1);

    // After Results every control is in the order, the key list among them.
    prepare(test, u"2");
    start(test);
    handIn(test);
    results(test);
    test.view->focus(form.Command2);
    press(test, Driver::Key::Tab);
    CHECK(test.view->focused() == &form.Command5);
    press(test, Driver::Key::BackTab);
    press(test, Driver::Key::BackTab); // past the count and the buttons, locked since Start
    CHECK(test.view->focused() == &form.List1);
}

TEST_CASE("the focus when the window is activated again")
{
    // Back where the user left it, selection and all; where that box has been locked since, on the first
    // control that takes the focus, Hand in.
    TestForm test;
    test.show();
    prepare(test, u"5");
    start(test, u"1");
    typeInto(test, 3, u"AB");
    test.view->activate();
    CHECK(test.view->focused() == &test->Text2[3]);
    CHECK(test.view->selectedText(test->Text2[3]).empty());

    CHECK(tick(test, 60000)); // the time-out locks every box
    test.view->activate();
    CHECK(test.view->focused() == &test->Command4);
}

TEST_CASE("run-time controls have natives only in view")
{
    TestForm test;
    test.show();
    Form1 &form = *test;
    form.deliver([&form] {
        form.Text2.create(1);
        form.Text2[1].setVisible(true);
        form.Text2[1].move(17000, 400, 400, 400); // right of the client area, at 1133 pixels
        form.Text2.create(2);
        form.Text2[2].setVisible(true);
        form.Text2[2].move(600, 400, 400, 400);
    });
    checkControls(test);
    CHECK_FALSE(test.view->shown(form.Text2[1]));
    CHECK(test.view->shown(form.Text2[2]));
    // 600, 400, 400 by 400 twips: 40, 26.7, 66.7 and 53.3 pixels.
    CHECK(test.view->rect(form.Text2[2]) == platform::PixelRect{40, 27, 27, 26});

    // Widening the window brings the first box in; typing reaches its text.
    resize(test, 1200, 390);
    CHECK(test.view->shown(form.Text2[1]));
    typeInto(test, 1, u"B");
    CHECK(form.Text2[1].text() == u"B");

    // Narrowing keeps the native while the user works in it, and drops it, keeping the answer, once the focus
    // has gone elsewhere.
    resize(test, 1035, 390);
    CHECK(test.view->shown(form.Text2[1]));
    test.view->focus(form.Text1);
    checkControls(test);
    CHECK_FALSE(test.view->shown(form.Text2[1]));
    CHECK(form.Text2[1].text() == u"B");
    resize(test, 1200, 390);
    CHECK(test.view->text(form.Text2[1]) == u"B");
}

TEST_CASE("a resize keeps the focus and the typing in their box")
{
    // Box 15 of 20 lies at y = 2000 twips, 133 pixels: a client area 100 pixels high leaves it out of view.
    for (const bool running : {false, true}) {
        CAPTURE(running);
        TestForm test;
        test.show();
        Form1 &form = *test;
        prepare(test, u"20");
        if (running)
            start(test);
        typeInto(test, 15, u"A");

        resize(test, 1035, 100);
        CHECK(test.view->focused() == &form.Text2[15]);
        CHECK(test.view->shown(form.Text2[15]));
        CHECK(phaseOf(test) == (running ? Running : ReadyWithSheet));
        CHECK(form.Text1.text() == u"20");

        resize(test, 1035, 390);
        CHECK(test.view->focused() == &form.Text2[15]);
        CHECK(answers(form).at(14) == u"A");

        // Once the user leaves it out of view, its native goes and its text stays.
        resize(test, 1035, 100);
        press(test, Driver::Key::Tab);
        CHECK_FALSE(test.view->shown(form.Text2[15]));
        resize(test, 1035, 390);
        CHECK(test.view->text(form.Text2[15]) == u"A");
    }
}
