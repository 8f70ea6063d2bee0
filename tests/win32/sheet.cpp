#include "support.h"

// The answer sheet's windows: only those in view exist, the keyboard walks them in question order, and a
// resize never takes one from under the user.

namespace {

void prepare(TestForm &test, std::u16string_view count)
{
    type(test->Text1, count);
    click(test->Command1);
}

// Sizes the window's client area, as a user dragging its frame does.
void resizeClient(TestForm &test, int width, int height)
{
    RECT outer;
    RECT client;
    GetWindowRect(test.hwnd(), &outer);
    GetClientRect(test.hwnd(), &client);
    SetWindowPos(test.hwnd(), nullptr, 0, 0, width + (outer.right - outer.left) - client.right,
        height + (outer.bottom - outer.top) - client.bottom, SWP_NOMOVE | SWP_NOZORDER);
    pump();
}

} // namespace

TEST_CASE("a sheet of 32767 boxes holds windows only for the boxes in view")
{
    TestForm test;
    test.show();
    const int before = childWindows(test.hwnd());
    prepare(test, u"32767");
    REQUIRE(test->Text2.count() == 32768);
    // Columns 0 to 18 of ten boxes lie in the 1035 pixels of the window (15525 twips), and the numbers of
    // one more: 390 windows.
    CHECK(childWindows(test.hwnd()) - before == 390);
    // 1200 pixels (18000 twips) show 22 columns of boxes (the last at 17400 twips) and 23 of numbers.
    resizeClient(test, 1200, 600);
    CHECK(childWindows(test.hwnd()) - before == 450);
    CHECK(windowOf(test->Text2[220]));
    CHECK_FALSE(windowOf(test->Text2[221]));
    prepare(test, u"1");
    CHECK(childWindows(test.hwnd()) - before <= 450); // the spares wait for the next sheet
}

TEST_CASE("the focus and the typing stay in their box across a resize")
{
    // Box 15 of 20 lies at y = 2000 twips, 133 pixels: a client area 100 pixels high leaves it out of view.
    TestForm test;
    test.show();
    prepare(test, u"20");
    click(test->Command3);
    type(test->Text2[15], u"A");
    const HWND box = windowOf(test->Text2[15]);
    resizeClient(test, 1035, 100);
    RECT client;
    GetClientRect(test.hwnd(), &client);
    REQUIRE(client.bottom < 133);
    CHECK(GetFocus() == box);
    CHECK(windowOf(test->Text2[15]) == box);
    SendMessageW(GetFocus(), WM_CHAR, L'B', 1);
    pump();
    CHECK(test->Text2[15].text() == u"AB");
    CHECK(phaseOf(*test) == "HandIn clock boxes");
    resizeClient(test, 1035, 390);
    CHECK(GetFocus() == box);

    // Once the user leaves it out of view, its window goes and its text stays.
    resizeClient(test, 1035, 100);
    SetFocus(windowOf(test->Command4));
    pump();
    CHECK(GetFocus() == windowOf(test->Command4));
    CHECK_FALSE(windowOf(test->Text2[15]));
    resizeClient(test, 1035, 390);
    CHECK(textOf(windowOf(test->Text2[15])) == u"AB");
}

TEST_CASE("Tab and Enter walk the boxes in question order")
{
    TestForm test;
    test.show();
    prepare(test, u"12");
    // The boxes follow the buttons: Tab from Start (the last enabled button) reaches box 1.
    SetFocus(windowOf(test->Command3));
    for (int box = 1; box <= 12; ++box) {
        CAPTURE(box);
        press(VK_TAB);
        CHECK(GetFocus() == windowOf(test->Text2[box]));
    }
    SetFocus(windowOf(test->Text2[9]));
    press(VK_RETURN);
    CHECK(GetFocus() == windowOf(test->Text2[10]));
    SendMessageW(GetFocus(), WM_CHAR, L'C', 1);
    press(VK_RETURN);
    CHECK(GetFocus() == windowOf(test->Text2[11])); // into the next column
    CHECK(test->Text2[10].text() == u"C");
    SetFocus(windowOf(test->Text2[12]));
    press(VK_RETURN); // the last box keeps the focus
    CHECK(GetFocus() == windowOf(test->Text2[12]));
}

TEST_CASE("a refused count beeps and keeps the sheet")
{
    TestForm test;
    test.show();
    prepare(test, u"12");
    type(test->Text2[3], u"C");
    prepare(test, u"32768");
    CHECK(test.services.beeps == 1);
    CHECK(test->Text2.count() == 13);
    CHECK(textOf(windowOf(test->Text2[3])) == u"C");
    CHECK(GetFocus() == windowOf(test->Text1));
    const LRESULT selection = SendMessageW(windowOf(test->Text1), EM_GETSEL, 0, 0);
    CHECK(LOWORD(selection) == 0);
    CHECK(HIWORD(selection) == 5);
}
