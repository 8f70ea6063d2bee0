#include "testing.h"

#include "platform/forms/controlarray.h"
#include "platform/text/numbers.h"
#include "platform/text/text.h"

// The answer sheet: its layout, the keyboard through it, and sheets larger than the window.

// Layout

TEST_CASE("the grid")
{
    TestForm test;
    test.show();
    prepare(test, u"130");
    CHECK(test->Text2.count() == 131);
    CHECK(test->Label1.count() == 131);
    // On the screen, at 15 twips a pixel, each edge at its nearest pixel: box 11 from 1400/15 = 93.3 to
    // 1800/15 = 120 across and from 400/15 = 26.7 to 800/15 = 53.3 down, its number from 1100/15 = 73.3; box
    // 21 from 2200/15 = 146.7 to 2600/15 = 173.3, 26 wide, where a box's size in whole pixels would be 27.
    REQUIRE(test.view->dpi() == 96);
    const struct {
        int question;
        int left;
        int top;
        platform::PixelRect box;
        platform::PixelRect number;
    } rows[] = {
        {1, 600, 400, {40, 27, 27, 26}, {20, 27, 27, 26}},
        {9, 600, 3600, {40, 240, 27, 27}, {20, 240, 27, 27}},
        {10, 600, 4000, {40, 267, 27, 26}, {20, 267, 27, 26}},
        {11, 1400, 400, {93, 27, 27, 26}, {73, 27, 27, 26}},
        {21, 2200, 400, {147, 27, 26, 26}, {127, 27, 26, 26}},
        {130, 10200, 4000, {680, 267, 27, 26}, {660, 267, 27, 26}},
    };
    for (const auto &row : rows) {
        const auto &[question, left, top, boxRect, numberRect] = row;
        CAPTURE(row.question);
        const platform::TextBox &box = test->Text2[question];
        CHECK(box.left() == float(left));
        CHECK(box.top() == float(top));
        CHECK(box.width() == 400.0f);
        CHECK(box.height() == 400.0f);
        const platform::Label &number = test->Label1[question];
        CHECK(number.left() == float(left - 300));
        CHECK(number.top() == float(top));
        CHECK(number.width() == 400.0f);
        CHECK(test.view->text(number) == platform::fromUtf8(std::to_string(question)));
        CHECK(test.view->rect(box) == boxRect);
        CHECK(test.view->rect(number) == numberRect);
        CHECK(test.view->visible(box));
    }
}

TEST_CASE("new boxes are empty, white and open; their numbers look like the count's caption")
{
    TestForm test;
    test.show();
    prepare(test, u"3");
    for (int i = 1; i <= 3; ++i) {
        CAPTURE(i);
        CHECK(test.view->text(test->Text2[i]).empty());
        CHECK(test.view->enabled(test->Text2[i]));
        CHECK(test.view->background(test->Text2[i]) == Form1::White);
        CHECK(test->Label1[i].alignment() == platform::Label::LeftJustify);
        CHECK(test->Label1[i].font() == nullptr); // the window's, as the count's caption has
    }
}

TEST_CASE("a box lies over its number")
{
    TestForm test;
    test.show();
    prepare(test, u"1");
    // Pixels 40 to 46 across (twips 600 to 700), where number 1 (20 to 46) and box 1 (40 to 66) overlap; 600
    // twips down is pixel 40.
    REQUIRE(test.view->dpi() == 96);
    CHECK(test.view->controlAt(43, 40) == &test->Text2[1]);
    CHECK(test.view->controlAt(27, 40) == &test->Label1[1]);
}

TEST_CASE("Prepare twice empties the sheet")
{
    TestForm test;
    test.show();
    prepare(test, u"12");
    typeInto(test, 1, u"A");
    typeInto(test, 12, u"B");
    prepare(test);
    CHECK(test->Text2.count() == 13);
    CHECK(test.view->text(test->Text2[1]).empty());
    CHECK(test.view->text(test->Text2[12]).empty());
    CHECK(test->Text2[12].left() == 1400.0f);
    CHECK(test->Text2[12].top() == 800.0f);
}

TEST_CASE("a count of 0 clears the sheet")
{
    TestForm test;
    test.show();
    prepare(test, u"130");
    prepare(test, u"0");
    CHECK(test->Text2.count() == 1);
    CHECK(test->Label1.count() == 1);
    // Where box 1 was, 800 by 600 twips: nothing.
    REQUIRE(test.view->dpi() == 96);
    CHECK(test.view->controlAt(53, 40) == nullptr);
}

TEST_CASE("a new sheet carries nothing over from the last")
{
    // The new boxes may be shown by the old boxes' natives: none of the old answer, colour or lock may show.
    TestForm test(keyFileBytes({"ABCDA"}));
    test.show();
    sitExam(test, {u"A", u""});
    results(test);
    restart(test);
    CHECK(test.view->background(test->Text2[1]) == Form1::Green);

    prepare(test);
    CHECK(test.view->enabled(test->Text2[1]));
    CHECK(test.view->text(test->Text2[1]).empty());
    CHECK(test.view->background(test->Text2[1]) == Form1::White);
    for (const auto &[box, name] : {std::pair(1, u"第 1 题"), std::pair(2, u"第 2 题")}) {
        CHECK(test.view->selectedText(test->Text2[box]).empty());
        CHECK_SHOWN(test.view->accessibleName(test->Text2[box]), name);
    }
    typeInto(test, 2, u"B");
    CHECK(answers(*test) == Lines{u"", u"B"});
}

TEST_CASE("a refused count beeps, selects itself and keeps the sheet")
{
    std::vector<std::pair<const char *, std::u16string>> rows = notANumberTexts();
    rows.emplace_back("above the element limit", u"32768");
    rows.emplace_back("far above it", u"1e9");
    for (const auto &row : rows) {
        const std::u16string &count = row.second;
        INFO(std::string(row.first));
        TestForm test;
        test.show();
        prepare(test, u"12");
        typeInto(test, 3, u"C");
        prepare(test, count);
        CHECK(test->Text2.count() == 13);
        CHECK(test.view->text(test->Text2[3]) == u"C");
        CHECK(test.services.beeps == 1);
        CHECK(test.view->focused() == &test->Text1);
        CHECK(test.view->selectedText(test->Text1) == count);
        CHECK(phaseOf(test) == ReadyWithSheet);
    }
}

// Sheets larger than the window

TEST_CASE("a sheet beyond the key and the window")
{
    TestForm test;
    test.show();
    prepare(test, u"300");
    CHECK(test->Text2.count() == 301);
    // Column 16 begins under the key list; column 19 lies past the window's right edge.
    CHECK(test->Text2[161].left() == 13400.0f);
    CHECK(test->Text2[300].left() == 29 * 800 + 600.0f);
    CHECK_FALSE(test.view->shown(test->Text2[300]));
    // The window grows (as far as a screen of 1280 pixels lets it): the far boxes get natives, and the
    // keyboard reaches them in order.
    CHECK_FALSE(test.view->shown(test->Text2[220]));
    resize(test, 1200, 390);
    CHECK(test.view->shown(test->Text2[220]));
    test.view->focus(test->Text2[219]);
    press(test, Driver::Key::Tab);
    CHECK(test.view->focused() == &test->Text2[220]);
}

TEST_CASE("a sheet of 32767 boxes has natives only for those in view")
{
    TestForm test;
    test.show();
    const int before = test.view->nativeControls();
    prepare(test, u"32767");
    REQUIRE(test->Text2.count() == 32768);
    CHECK(test->Label1[32767].caption() == u"32767");
    CHECK(test->Text2[32767].left() == 3276 * 800 + 600.0f);
    // Columns 0 to 18 of ten boxes lie in the 1035 pixels of the window (15525 twips), and the numbers of one
    // more: 390 natives.
    REQUIRE(test.view->dpi() == 96);
    CHECK(test.view->nativeControls() - before == 390);
    // 1200 pixels (18000 twips) show 22 columns of boxes (the last at 17400 twips) and 23 of numbers.
    resize(test, 1200, 600);
    CHECK(test.view->nativeControls() - before == 450);
    CHECK(test.view->shown(test->Text2[220]));
    CHECK_FALSE(test.view->shown(test->Text2[221]));
    prepare(test, u"1");
    CHECK(test->Text2.count() == 2);
    CHECK(test.view->nativeControls() - before <= 450); // the spares wait for the next sheet
}

// The keyboard

TEST_CASE("Tab and Enter walk the boxes in question order")
{
    TestForm test;
    test.show();
    prepare(test, u"12");
    // The boxes follow the buttons: Tab from Start (the last enabled button) reaches box 1.
    test.view->focus(test->Command3);
    for (int box = 1; box <= 12; ++box) {
        CAPTURE(box);
        press(test, Driver::Key::Tab);
        CHECK(test.view->focused() == &test->Text2[box]);
    }
    // Shift+Tab walks back.
    press(test, Driver::Key::BackTab);
    CHECK(test.view->focused() == &test->Text2[11]);

    test.view->focus(test->Text2[9]);
    press(test, Driver::Key::Enter);
    CHECK(test.view->focused() == &test->Text2[10]);
    typeInto(test, 10, u"C");
    press(test, Driver::Key::Enter);
    CHECK(test.view->focused() == &test->Text2[11]); // into the next column
    CHECK(test->Text2[10].text() == u"C");
    test.view->focus(test->Text2[12]);
    press(test, Driver::Key::Enter); // the last box keeps the focus
    CHECK(test.view->focused() == &test->Text2[12]);
}

TEST_CASE("Tab and Enter with Control, Alt or Meta are the system's")
{
    // From box 3 of 12: the program moves on only for Tab, Shift+Tab and Enter, Shift held or not.
    using Key = Driver::Key;
    const platform::Modifiers none;
    const platform::Modifiers shift{.shift = true};
    const platform::Modifiers control{.control = true};
    const platform::Modifiers alt{.alt = true};
    const platform::Modifiers meta{.meta = true};
    const struct {
        const char *name;
        Key key;
        platform::Modifiers modifiers;
        int focus; // the box that has it afterwards
    } rows[] = {
        {"Tab", Key::Tab, none, 4},
        {"Shift+Tab", Key::Tab, shift, 2},
        {"Control+Tab", Key::Tab, control, 3},
        {"Alt+Tab", Key::Tab, alt, 3},
        {"Meta+Tab", Key::Tab, meta, 3},
        {"Enter", Key::Enter, none, 4},
        {"Shift+Enter", Key::Enter, shift, 4},
        {"Control+Enter", Key::Enter, control, 3},
        {"Alt+Enter", Key::Enter, alt, 3},
        {"Meta+Enter", Key::Enter, meta, 3},
    };
    TestForm test;
    test.show();
    prepare(test, u"12");
    for (const auto &row : rows) {
        INFO(std::string(row.name));
        test.view->focus(test->Text2[3]);
        press(test, row.key, row.modifiers);
        CHECK(test.view->focused() == &test->Text2[row.focus]);
    }
}

TEST_CASE("every box is reached by the keyboard, in view or not")
{
    // 300 questions: box 190 is the last in view at the window's first size; 191 lies beyond its right edge.
    for (const Driver::Key key : {Driver::Key::Tab, Driver::Key::Enter}) {
        INFO(std::string(key == Driver::Key::Tab ? "Tab" : "Enter"));
        TestForm test;
        test.show();
        prepare(test, u"300");
        start(test);
        typeInto(test, 190, u"A");
        press(test, key);
        CHECK(test.view->focused() == &test->Text2[191]);
        CHECK(test.view->shown(test->Text2[191])); // while it has the focus, unseen
        typeInto(test, 191, u"B");
        CHECK(test->Text2[191].text() == u"B");
        press(test, key);
        CHECK(test.view->focused() == &test->Text2[192]);
        CHECK_FALSE(test.view->shown(test->Text2[191]));
        handIn(test);
        results(test);
        CHECK(answers(*test).at(190) == u"B");
    }
}

TEST_CASE("an answer typed out of view is graded")
{
    // A window 250 pixels wide (3750 twips) shows the first four columns; box 41, at 3800 twips, lies beyond.
    TestForm test(
        keyFileBytes({"AAAAA", "AAAAA", "AAAAA", "AAAAA", "AAAAA", "AAAAA", "AAAAA", "AAAAA", "AAAAA"}));
    test.show();
    prepare(test, u"50");
    resize(test, 250, 390);
    start(test);
    typeInto(test, 40, u"A");
    press(test, Driver::Key::Enter);
    CHECK(test.view->focused() == &test->Text2[41]);
    typeInto(test, 41, u"A");
    press(test, Driver::Key::Tab);
    handIn(test);
    results(test);
    CHECK(greenBoxes(*test) == "40 41");
    CHECK(test.view->text(test->Text3) == u"2");
}

namespace {

// A form with an array of boxes that asks nothing of Enter.
class PlainBoxes final : public platform::Form {
public:
    PlainBoxes()
    {
        setClientSize(6000, 3000);
        Anchor.move(100, 100, 1000, 400);
        Boxes[0].move(100, 600, 1000, 400);
        Boxes.setTabAnchor(Anchor);
        for (int i = 1; i <= 2; ++i) {
            Boxes.create(i);
            Boxes[i].move(100, float(600 + 500 * i), 1000, 400);
            Boxes[i].setVisible(true);
        }
    }

    platform::CommandButton Anchor{*this};
    platform::ControlArray<platform::TextBox> Boxes{*this};
};

} // namespace

TEST_CASE("Enter stays in a box whose array does not ask to move on")
{
    PlainBoxes form;
    const std::unique_ptr<Driver> view = makeDriver(form);
    view->show();
    view->type(form.Boxes[1], u"x");
    view->press(Driver::Key::Enter);
    CHECK(view->focused() == &form.Boxes[1]);
    view->press(Driver::Key::Tab);
    CHECK(view->focused() == &form.Boxes[2]);
}
