#include "win32driver.h"

// What a user sees, measured from the pixels of the real window.

TEST_CASE("locked answers and the score stay readable")
{
    // ABCDA answered A, b, nothing, D, A: boxes 1, 4 and 5 green, 2 and 3 white, all locked; the score 3.
    TestForm test(keyFileBytes({"ABCDA"}));
    test.show();
    prepare(test, u"5");
    click(test, test->Command3);
    const std::pair<int, std::u16string_view> typed[] = {{1, u"A"}, {2, u"b"}, {4, u"D"}, {5, u"A"}};
    for (const auto &[box, answer] : typed)
        type(test, test->Text2[box], answer);
    click(test, test->Command4);
    click(test, test->Command2);

    const struct {
        std::string name;
        HWND hwnd;
        COLORREF background;
    } rows[] = {
        {"locked on green", windowOf(test->Text2[1]), RGB(0, 255, 0)},
        {"locked on white", windowOf(test->Text2[2]), RGB(255, 255, 255)},
        {"empty, locked on white", windowOf(test->Text2[3]), RGB(255, 255, 255)},
        {"locked on green, box 4", windowOf(test->Text2[4]), RGB(0, 255, 0)},
        {"locked on green, box 5", windowOf(test->Text2[5]), RGB(0, 255, 0)},
        {"score", windowOf(test->Text3), RGB(255, 255, 255)},
    };
    for (const auto &row : rows) {
        CAPTURE(row.name);
        const Shown shown = shownInside(row.hwnd);
        MESSAGE(row.name, ": contrast ", shown.contrast);
        CHECK(shown.background == row.background);
        if (row.name != "empty, locked on white")
            CHECK(shown.contrast >= 4.5);
        CHECK_FALSE(IsWindowEnabled(row.hwnd));
    }
}
