#include "testing.h"

// Whole exams through the window, as a user takes them.

TEST_CASE("the road of one exam")
{
    TestForm test(keyFileBytes({"ABCDA", "BBBBB"}));
    test.show();
    Form1 &form = *test;
    CHECK(test.view->items(form.List1).size() == 33);
    CHECK(phaseOf(test) == Ready);

    prepare(test); // 130 questions
    REQUIRE(form.Text2.count() == 131);
    // Columns of ten, 400 twips square: box 1 at 600, 400; box 10 at 600, 4000; box 11 at 1400, 400; box 130
    // at 10200, 4000.
    for (int question = 1; question <= 130; ++question) {
        CAPTURE(question);
        const platform::TextBox &box = form.Text2[question];
        CHECK(box.left() == float((question - 1) / 10 * 800 + 600));
        CHECK(box.top() == float(question % 10 == 0 ? 4000 : question % 10 * 400));
    }
    CHECK(phaseOf(test) == ReadyWithSheet);

    test.services.now = 5000;
    start(test); // 130 minutes
    CHECK(form.TotalSeconds == 7800);
    CHECK(form.StartTick == 5000);
    CHECK(form.Label4.width() == 8000.0f);
    CHECK(phaseOf(test) == Running);

    // ABCDA answered A, b, nothing, D, A.
    const std::pair<int, std::u16string_view> typed[] = {{1, u"A"}, {2, u"b"}, {4, u"D"}, {5, u"A"}};
    for (const auto &[box, answer] : typed)
        typeInto(test, box, answer);
    CHECK(tick(test, 800));
    CHECK(test.view->text(form.Label4) == u"2:9:59");
    CHECK(tick(test, 1600));
    CHECK(test.view->text(form.Label4) == u"2:9:58");

    handIn(test);
    CHECK(test.view->text(form.Label4) == u" 请检查结果 ");
    CHECK(phaseOf(test) == HandedIn);
    typeInto(test, 3, u"C"); // locked: nothing is typed
    CHECK(form.Text2[3].text().empty());

    // 3, with boxes 1, 4 and 5 green and 2 and 3 white; the key beside the sheet.
    results(test);
    CHECK(test.view->text(form.Text3) == u"3");
    for (int box = 1; box <= 5; ++box) {
        CAPTURE(box);
        CHECK(test.view->background(form.Text2[box])
            == (box == 1 || box == 4 || box == 5 ? Form1::Green : Form1::White));
    }
    CHECK(test.view->items(form.List1).at(1) == u"BBBBB");
    CHECK(phaseOf(test) == Graded);

    restart(test);
    CHECK(phaseOf(test) == Ready);
}

TEST_CASE("every action from every phase")
{
    // Each phase reached on a sheet of five, then one action; a disabled button delivers no click.
    const std::vector<std::u16string> toRunning{u"Prepare", u"Start"};
    const std::vector<std::u16string> toHandedIn{u"Prepare", u"Start", u"HandIn"};
    const std::vector<std::u16string> toGraded{u"Prepare", u"Start", u"HandIn", u"Results"};
    const struct {
        const char *from;
        std::vector<std::u16string> road;
        std::u16string action;
        std::string phase; // afterwards
    } rows[] = {
        {"Ready", {}, u"Prepare", ReadyWithSheet}, {"Ready", {}, u"Start", "HandIn clock"},
        {"Ready", {}, u"HandIn", Ready}, {"Ready", {}, u"Results", Ready}, {"Ready", {}, u"Restart", Ready},
        {"Ready", {u"Prepare"}, u"Prepare", ReadyWithSheet}, {"Running", toRunning, u"Prepare", Running},
        {"Running", toRunning, u"Start", Running}, {"Running", toRunning, u"HandIn", HandedIn},
        {"Running", toRunning, u"Results", Running}, {"Running", toRunning, u"Restart", Running},
        {"Running", toRunning, u"time-out", "HandIn"}, {"HandedIn", toHandedIn, u"Prepare", HandedIn},
        {"HandedIn", toHandedIn, u"Start", HandedIn}, {"HandedIn", toHandedIn, u"HandIn", HandedIn},
        {"HandedIn", toHandedIn, u"Results", Graded}, {"HandedIn", toHandedIn, u"Restart", HandedIn},
        {"Graded", toGraded, u"Prepare", Graded}, {"Graded", toGraded, u"Start", Graded},
        {"Graded", toGraded, u"HandIn", Graded}, {"Graded", toGraded, u"Results", Graded},
        {"Graded", toGraded, u"Restart", Ready}, // the finished exam's boxes stay locked
    };
    for (const auto &row : rows) {
        INFO(std::string(row.from));
        CAPTURE(row.action);
        TestForm test;
        test.show();
        Form1 &form = *test;
        type(test, form.Text1, u"5");
        const auto act = [&](std::u16string_view action) {
            const std::pair<std::u16string_view, const platform::CommandButton *> buttons[]
                = {{u"Prepare", &form.Command1}, {u"Results", &form.Command2}, {u"Start", &form.Command3},
                    {u"HandIn", &form.Command4}, {u"Restart", &form.Command5}};
            for (const auto &[name, button] : buttons)
                if (name == action)
                    click(test, *button);
            if (action == u"time-out")
                CHECK(tick(test, 130 * 60 * 1000));
        };
        for (const auto &action : row.road)
            act(action);
        act(row.action);
        CHECK(phaseOf(test) == row.phase);
    }
}

TEST_CASE("the time-out locks the sheet and Hand in leads on")
{
    TestForm test;
    test.show();
    Form1 &form = *test;
    prepare(test, u"5");
    type(test, form.Text2[0], u"1");
    start(test);
    typeInto(test, 1, u"A");
    CHECK(tick(test, 60000));
    CHECK_FALSE(test.view->visible(form.Label4));
    for (int box = 1; box <= 5; ++box)
        CHECK_FALSE(test.view->enabled(form.Text2[box]));
    CHECK(phaseOf(test) == "HandIn");
    CHECK(form.Text2[1].text() == u"A");
    // Screen readers read the notice as the window's description.
    CHECK_SHOWN(test.view->description(), u"时间到！停止答题.");

    handIn(test);
    CHECK(phaseOf(test) == HandedIn);
    CHECK(form.Label4.caption() == u" 请检查结果 ");
    CHECK_FALSE(test.view->visible(form.Label4));
}

TEST_CASE("the exam after a time-out has its clock again")
{
    TestForm test;
    test.show();
    Form1 &form = *test;
    type(test, form.Text2[0], u"0");
    start(test);
    CHECK(tick(test, 800));
    CHECK_FALSE(form.Label4.isVisible());
    CHECK(form.Label4.alignment() == platform::Label::RightJustify);
    handIn(test);
    results(test);
    restart(test);

    type(test, form.Text2[0], u"1");
    start(test);
    CHECK(test.view->visible(form.Label4));
    CHECK(tick(test, 800));
    CHECK(test.view->text(form.Label4) == u"0:0:59");
    CHECK(form.Label4.alignment() == platform::Label::LeftJustify); // back to the left on a wide bar
    CHECK(tick(test, 60000));
    CHECK_FALSE(test.view->visible(form.Label4));
    CHECK(form.printedLines().size() == 2);
}

TEST_CASE("Restart keeps the last sheet, score and bar in view")
{
    TestForm test(keyFileBytes({"ABCDA"}));
    test.show();
    Form1 &form = *test;
    prepare(test, u"2");
    start(test);
    typeInto(test, 1, u"A");
    CHECK(tick(test, 800));
    handIn(test);
    results(test);
    restart(test);

    CHECK(test.view->text(form.Text3) == u"1");
    CHECK(test.view->background(form.Text2[1]) == Form1::Green);
    CHECK_FALSE(test.view->enabled(form.Text2[1]));
    CHECK(test.view->text(form.Label4) == u" 请检查结果 ");
    CHECK_FALSE(test.view->visible(form.List1));
    CHECK_FALSE(test.view->enabled(form.Command2));

    // Start without a new Prepare: the old boxes stay locked.
    start(test);
    CHECK(phaseOf(test) == "HandIn clock");
}
