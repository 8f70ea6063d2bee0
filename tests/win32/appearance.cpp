#include "support.h"

// What a user sees, measured from the pixels of the real window.

TEST_CASE("locked answers and the score stay readable")
{
    // ABCDA answered A, b, nothing, D, A: boxes 1 and 4 green, 2 white, all locked; the score 3.
    TestForm test;
    test.show();
    type(test->Text1, u"5");
    click(test->Command1);
    click(test->Command3);
    const std::pair<int, std::u16string_view> typed[] = {{1, u"A"}, {2, u"b"}, {4, u"D"}, {5, u"A"}};
    for (const auto &[box, answer] : typed)
        type(test->Text2[box], answer);
    click(test->Command4);
    click(test->Command2);

    const struct {
        std::string name;
        HWND hwnd;
        COLORREF background;
    } rows[] = {
        {"locked on green", windowOf(test->Text2[1]), RGB(0, 255, 0)},
        {"locked on white", windowOf(test->Text2[2]), RGB(255, 255, 255)},
        {"score", windowOf(test->Text3), RGB(255, 255, 255)},
    };
    for (const auto &row : rows) {
        CAPTURE(row.name);
        const Shown shown = shownInside(row.hwnd);
        MESSAGE(row.name, ": contrast ", shown.contrast);
        CHECK(shown.background == row.background);
        CHECK(shown.contrast >= 4.5);
        CHECK_FALSE(IsWindowEnabled(row.hwnd));
    }
}
