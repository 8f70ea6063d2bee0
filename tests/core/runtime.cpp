#include "nullview.h"
#include "testing.h"

#include "key/answerkey.h"
#include "platform/forms/controlarray.h"
#include "platform/runtime/keyboard.h"
#include "platform/system/files.h"
#include "platform/text/text.h"
#include "window/startup.h"

#include <cmath>
#include <limits>

// The rules every view shares, as the null view's natives record them: what no toolkit's driver can see.

TEST_CASE("twips to pixels")
{
    const struct {
        double twips;
        int dpi;
        int pixels;
    } rows[] = {
        {15525, 96, 1035},
        {7.5, 96, 1},
        {7.4, 96, 0},
        {-7.5, 96, -1},
        {400, 192, 53},
        {1440, 120, 120},
        {1e300, 96, 1'000'000},
        {-1e300, 96, -1'000'000},
        {std::numeric_limits<double>::infinity(), 96, 0},
        {std::nan(""), 96, 0},
    };
    for (const auto &row : rows) {
        const auto &[twips, dpi, pixels] = row;
        CAPTURE(row.twips);
        CAPTURE(row.dpi);
        CHECK(platform::twipsToPixels(twips, dpi) == pixels);
    }
}

TEST_CASE("a control's pixels: each edge at its nearest pixel, not its size")
{
    // Answer boxes, 400 twips square: 26.7 pixels at 96 DPI (15 twips a pixel) and 33.3 at 120 (12), which
    // their edges make 26 or 27, 33 or 34, by where they fall. Box 1 at 600, 400; box 21 at 2200, 400.
    const struct {
        float left, top, width, height;
        int dpi;
        platform::PixelRect pixels;
    } rows[] = {
        {600, 400, 400, 400, 96, {40, 27, 27, 26}}, // 40 to 66.7, 26.7 to 53.3
        {2200, 400, 400, 400, 96, {147, 27, 26, 26}}, // 146.7 to 173.3
        {600, 400, 400, 400, 120, {50, 33, 33, 34}}, // 50 to 83.3, 33.3 to 66.7
        {2200, 400, 400, 400, 120, {183, 33, 34, 34}}, // 183.3 to 216.7
        {240, 0, 8000, 375, 120, {20, 0, 667, 31}}, // the bar: 20 to 686.7, 0 to 31.3
        {-300, 0, 400, 400, 96, {-20, 0, 27, 27}}, // -20 to 6.7
        {0, 0, -400, 400, 96, {0, 0, 0, 27}}, // no width below nothing
    };
    for (const auto &row : rows) {
        CAPTURE(row.left);
        CAPTURE(row.dpi);
        struct OneBox final : platform::Form {
            platform::TextBox Box{*this};
        } form;
        form.Box.move(row.left, row.top, row.width, row.height);
        CHECK(platform::pixelRect(form.Box, row.dpi) == row.pixels);
    }
}

TEST_CASE("a caption placed by its ink")
{
    // Rows of the label, and the first and last rows of the sample's strokes where the line height puts them.
    const struct {
        int rows, top, bottom;
        int shift;
    } rows[] = {
        {25, 3, 20, 0}, // clear of both edges already
        {25, 0, 20, 1}, // off the first row
        {25, 2, 24, -1}, // off the last row
        {25, 0, 24, 0}, // no row free at both ends: centred, 0 either way
        {21, 0, 19, 0}, // slack 1: the odd row below
        {20, 1, 21, -2}, // slack -3: centred, the odd row below (truncation would give -1)
        {20, 2, 18, 0}, {20, -1, -1, 0}, // the sample has no ink
    };
    for (const auto &row : rows) {
        CAPTURE(row.rows);
        CAPTURE(row.top);
        CAPTURE(row.bottom);
        CHECK(platform::inkShift(row.rows, row.top, row.bottom) == row.shift);
    }
}

TEST_CASE("colours written 0x00BBGGRR, taken apart and put together")
{
    const struct {
        platform::Colour colour;
        platform::Rgb rgb;
    } rows[] = {
        {0x0000FF, {255, 0, 0}}, // the time bar's red
        {0x00FF00, {0, 255, 0}}, // a right answer's green
        {0xFF0000, {0, 0, 255}},
        {0x123456, {0x56, 0x34, 0x12}},
    };
    for (const auto &row : rows) {
        CAPTURE(row.colour);
        CHECK(platform::rgbOf(row.colour) == row.rgb);
        CHECK(platform::colourOf(row.rgb) == row.colour);
    }
}

TEST_CASE("the printed lines' description: a line feed between each two")
{
    CHECK(platform::printedDescription({}).empty());
    CHECK(platform::printedDescription({u"时间到！停止答题."}) == std::u16string(u"时间到！停止答题."));
    CHECK(platform::printedDescription({u"a", u"", u"b"}) == std::u16string(u"a\n\nb"));
}

TEST_CASE("the score is announced each time Results sets it, and nothing else is")
{
    TestForm test(keyFileBytes({"ABCDA"}));
    test.show();
    const std::vector<std::u16string> &announced = nullWindowOf(*test.view).announced;
    sitExam(test, {u"A", u"B"});
    CHECK(announced.empty());
    results(test);
    results(test);
    CHECK(announced == Lines{u"得分 2", u"得分 2"});
}

TEST_CASE("a native the user works in stays with its control until the user leaves it")
{
    TestForm test;
    test.show();
    prepare(test, u"20");
    NullNative *box = nullNativeOf(test->Text2[15]);
    test.view->focus(test->Text1);
    for (const bool menu : {false, true}) {
        CAPTURE(menu);
        (menu ? box->menuOpen : box->composing) = true;
        test.view->resize(1035, 100); // box 15 leaves the view
        CHECK(nullNativeOf(test->Text2[15]) == box);
        (menu ? box->menuOpen : box->composing) = false;
        nullWindowOf(*test.view).runtime().mayHaveLeft(*box);
        test.view->settle();
        CHECK(nullNativeOf(test->Text2[15]) == nullptr);
        test.view->resize(1035, 390);
        box = nullNativeOf(test->Text2[15]);
    }
}

TEST_CASE("released natives wait for the next controls, up to a limit")
{
    TestForm test;
    test.show();
    test.view->resize(6000, 2000); // 110 columns of boxes and numbers in view, up to 87800 twips
    prepare(test, u"1100");
    CHECK(test.view->nativeControls() == 13 + 2 * 1100);
    prepare(test, u"0");
    // The natives of the 13 design-time controls, and at most MaxSpares of each kind.
    CHECK(test.view->nativeControls() == 13 + 2 * int(platform::Runtime::MaxSpares));
}

TEST_CASE("changes made by one event reach a native once, after it")
{
    // Results whitens each box, then greens a right one: one change of colour a box.
    TestForm test(keyFileBytes({"ABCDA"}));
    test.show();
    sitExam(test, {u"A", u""});
    const int before = nullNativeOf(test->Text2[1])->colourChanges;
    results(test);
    CHECK(nullNativeOf(test->Text2[1])->colourChanges == before + 1);
    CHECK(nullNativeOf(test->Text2[1])->colours->background == Form1::Green);
}

TEST_CASE("the stacking order: numbers under boxes, boxes under buttons, buttons under the key list")
{
    TestForm test;
    test.show();
    prepare(test, u"20");
    const std::vector<NullNative *> &stack = nullWindowOf(*test.view).stack;
    for (size_t i = 1; i < stack.size(); ++i) {
        CAPTURE(i);
        CHECK(int(stack[i - 1]->kind()) <= int(stack[i]->kind()));
    }
    CHECK(stack.back() == nullNativeOf(test->List1));
}

TEST_CASE("the first paint, and what waits for it")
{
    const auto launches
        = [](const TestForm &test) { return test.services.urls.size() + test.services.programs.size(); };
    // Reported by the toolkit: the browser starts once that event is over.
    {
        TestForm test;
        NullWindow &window = nullWindowOf(*test.view);
        window.runtime().show();
        CHECK(launches(test) == 0);
        CHECK(window.timers[platform::Runtime::FirstPaintTimer] == 1000);
        window.runtime().painted();
        CHECK(launches(test) == 0);
        window.settle();
        CHECK(launches(test) == 1);
        CHECK(test->hasPainted());
        CHECK(window.timers[platform::Runtime::FirstPaintTimer] == 0);
    }
    // Never reported (an offscreen window): a second later.
    {
        TestForm test;
        NullWindow &window = nullWindowOf(*test.view);
        window.runtime().show();
        window.runtime().timerElapsed(platform::Runtime::FirstPaintTimer);
        CHECK(launches(test) == 1);
        CHECK(test->hasPainted());
    }
}

TEST_CASE("a timer is told again only when it changes")
{
    TestForm test;
    test.show();
    NullWindow &window = nullWindowOf(*test.view);
    const int id = platform::Runtime::FormTimerBase;
    CHECK(window.timers[id] == 0);
    start(test);
    CHECK(window.timers[id] == 800);
    window.timers[id] = -1; // a mark: a restart would overwrite it
    test->Timer1.setEnabled(true);
    test->Timer1.setInterval(800);
    CHECK(window.timers[id] == -1);
    test->Timer1.setInterval(500);
    CHECK(window.timers[id] == 500);
}

// The keyboard, over a form with no view at all

TEST_CASE("what Tab and Enter do, decided from the form alone")
{
    FakeServices services;
    Form1 form(services);
    form.Text2.create(1);
    form.Text2.create(2);
    for (const int i : {1, 2})
        form.Text2[i].setVisible(true);
    const platform::Modifiers none;
    const platform::Modifiers shift{.shift = true};
    const platform::Modifiers control{.control = true};
    using platform::Key;
    const struct {
        const char *name;
        const platform::Control *at;
        Key key;
        platform::Modifiers modifiers;
        bool taken;
        const platform::Control *focus;
    } rows[] = {
        {"Tab from nothing: the first that takes it", nullptr, Key::Tab, none, true, &form.Text1},
        {"Shift+Tab from nothing: the last", nullptr, Key::Tab, shift, true, &form.Text2[2]},
        {"Tab from Start: Hand in, Results and Restart are locked", &form.Command3, Key::Tab, none, true,
            &form.Text2[1]},
        {"Tab from the last box: round to the first control", &form.Text2[2], Key::Tab, none, true,
            &form.Text1},
        {"Control+Tab", &form.Text2[1], Key::Tab, control, false, nullptr},
        {"Enter in a box: the next", &form.Text2[1], Key::Enter, none, true, &form.Text2[2]},
        {"Enter in the last box: taken, the focus stays", &form.Text2[2], Key::Enter, none, true, nullptr},
        {"Enter in the minutes box, element 0", &form.Text2[0], Key::Enter, none, false, nullptr},
        {"Enter on a button", &form.Command1, Key::Enter, none, false, nullptr},
    };
    for (const auto &row : rows) {
        INFO(std::string(row.name));
        const platform::KeyMove move = platform::keyMove(form, row.at, row.key, row.modifiers);
        CHECK(move.taken == row.taken);
        CHECK(move.focus == row.focus);
    }
    CHECK(platform::focusOnActivation(form, &form.Text2[1]) == &form.Text2[1]);
    form.Text2[1].setEnabled(false);
    CHECK(platform::focusOnActivation(form, &form.Text2[1]) == &form.Text1);
}

// Control arrays

TEST_CASE("array elements are hidden copies of element 0")
{
    TestForm test;
    Form1 &form = *test;
    form.Text2[0].setBackColor(0x123456);
    form.Text2[0].setEnabled(false);
    REQUIRE(form.Text2.create(1));
    const platform::TextBox &copy = form.Text2[1];
    CHECK(copy.text() == u"130");
    CHECK(copy.backColor() == 0x123456);
    CHECK_FALSE(copy.isEnabled());
    CHECK_FALSE(copy.isVisible());
    CHECK(copy.left() == 3600.0f);
    CHECK(copy.width() == 615.0f);
    CHECK(copy.array() == &form.Text2);
    CHECK(copy.index() == 1);
    CHECK(form.Text2.count() == 2);
    CHECK_FALSE(form.Text2.create(1));
    CHECK_FALSE(form.Text2.destroy(0));
    CHECK(form.Text2.destroy(1));
    CHECK(form.Text2.at(1) == nullptr);
    CHECK(form.Text2.count() == 1);
}

TEST_CASE("array indices are 16-bit")
{
    TestForm test;
    CHECK(test->Label1.create(32767));
    CHECK_FALSE(test->Label1.create(32768));
    CHECK_FALSE(test->Label1.create(-1));
    CHECK(test->Label1.count() == 2);
}

// Start-up's decisions

TEST_CASE("which browser opens the maker's page")
{
    const struct {
        bool onWindows;
        bool installed;
        std::u16string commandLine;
    } rows[] = {
        {true, true, u"C:\\\\Program Files\\\\Internet Explorer\\\\IEXPLORE.exe https://quillmark.example"},
        {true, false, u""},
        {false, true, u""}, // elsewhere a file of that name decides nothing
        {false, false, u""},
    };
    for (const auto &[onWindows, installed, commandLine] : rows)
        CHECK(browserCommandLine(onWindows, installed) == commandLine);
}

TEST_CASE("paths, and the key's")
{
    // Joined with the system's separator, unless the directory ends in one (a root).
    const std::u16string separator = platform::OnWindows ? u"\\" : u"/";
    const std::pair<std::u16string, std::u16string> rows[]
        = {{u"/opt/quillmark", u"/opt/quillmark" + separator + u"答案.txt"}, {u"/", u"/答案.txt"},
            {u"C:/", u"C:/答案.txt"}, {u"C:/Quillmark", u"C:/Quillmark" + separator + u"答案.txt"}};
    for (const auto &[directory, path] : rows)
        CHECK(platform::joinPath(directory, u"答案.txt") == path);
    if (platform::OnWindows)
        CHECK(platform::joinPath(u"C:\\", u"答案.txt") == u"C:\\答案.txt");
    CHECK(answerKeyPath(u"/opt/quillmark") == u"/opt/quillmark" + separator + u"答案.txt");
}

TEST_CASE("a directory at the key's path loads as unread lines")
{
    TestForm test(std::nullopt);
    fs::create_directory(test.keyPath());
    LoadAnswerKey(test->List1, test.services.directory);
    CHECK(items(*test) == Lines(33));
}

#ifndef _WIN32
TEST_CASE("off Windows, a file named like the browser in the working directory decides nothing")
{
    TempDir cwd;
    const fs::path previous = fs::current_path();
    fs::current_path(cwd.path);
    writeFile(cwd.path / platform::toUtf8(BrowserPath), "");
    TestForm test;
    test.show();
    fs::current_path(previous);
    CHECK(test.services.urls == Lines{std::u16string(MakerAddress)});
    CHECK(test.services.programs.empty());
}
#endif
