#include "support.h"

#include <string>

// The window as it first shows, at 96 DPI (15 twips a pixel), and at twice that.

TEST_CASE("the first state")
{
    TestForm test;
    test.show();
    const Form1 &form = *test;
    const struct {
        const platform::Control *control;
        RECT rect;
        std::u16string text;
        bool enabled;
        bool visible;
    } rows[] = {
        {&form.List1, twipsRect(12960, 240, 1575, 4560), u"", true, false},
        {&form.Text1, twipsRect(2280, 4920, 615, 375), u"130", true, true},
        {&form.Command1, twipsRect(360, 4800, 975, 615), u"准备做题", true, true},
        {&form.Text2[0], twipsRect(3600, 4920, 615, 375), u"130", true, true},
        {&form.Label1[0], twipsRect(1560, 5040, 735, 495), u"题目数", true, true},
        {&form.Label2, twipsRect(3120, 5040, 1695, 255), u"时间         分钟 n", true, true},
        {&form.Command2, twipsRect(9240, 4920, 1095, 495), u"结果", false, true},
        {&form.Text3, twipsRect(11160, 4920, 1215, 375), u"0", false, true},
        {&form.Label3, twipsRect(10560, 5040, 495, 495), u"得分", true, true},
        {&form.Command3, twipsRect(5040, 4560, 1095, 975), u"开始考试", true, true},
        {&form.Label4, twipsRect(240, 0, 7695, 375), u" ", true, true},
        {&form.Command4, twipsRect(7320, 4920, 1215, 495), u"交卷", false, true},
        {&form.Command5, twipsRect(12720, 4920, 975, 375), u"重新开始", false, true},
    };
    for (const auto &row : rows) {
        const HWND hwnd = windowOf(*row.control);
        CAPTURE(std::string(row.text.begin(), row.text.end()));
        const RECT rect = rectIn(test.hwnd(), hwnd);
        CHECK(EqualRect(&rect, &row.rect));
        CHECK(textOf(hwnd) == row.text);
        CHECK(bool(IsWindowEnabled(hwnd)) == row.enabled);
        CHECK(bool(IsWindowVisible(hwnd)) == row.visible);
    }

    RECT client;
    GetClientRect(test.hwnd(), &client);
    CHECK(client.right == 1035);
    CHECK(client.bottom == 390);
    CHECK(textOf(test.hwnd()) == u"QuillmarkV1.0");
    CHECK(GetClassLongPtrW(test.hwnd(), GCLP_HICON) != 0);
    CHECK(GetClassLongPtrW(test.hwnd(), GCLP_HICONSM) != 0);

    // The bar: SimSun 18 pt (24 pixels) with the GB2312 character set, on red.
    LOGFONTW font{};
    GetObjectW(HGDIOBJ(SendMessageW(windowOf(form.Label4), WM_GETFONT, 0, 0)), sizeof font, &font);
    CHECK(std::wstring(font.lfFaceName) == L"宋体");
    CHECK(font.lfHeight == -24);
    CHECK(font.lfCharSet == GB2312_CHARSET);
    CHECK(shownInside(windowOf(form.Label4)).background == RGB(255, 0, 0));
}

TEST_CASE("the version resource")
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD handle = 0;
    std::string data(GetFileVersionInfoSizeW(path, &handle), '\0');
    REQUIRE(GetFileVersionInfoW(path, 0, DWORD(data.size()), data.data()));
    for (const auto &[name, value] : {std::pair{L"FileVersion", L"1.00"}, {L"ProductVersion", L"1.00"},
             {L"ProductName", L"QuillmarkV1.0"}, {L"InternalName", L"QuillmarkV1.0"}}) {
        wchar_t *found = nullptr;
        UINT length = 0;
        const std::wstring key = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
        REQUIRE(VerQueryValueW(data.data(), key.c_str(), reinterpret_cast<void **>(&found), &length));
        CHECK(std::wstring(found) == value);
    }
}

TEST_CASE("at twice the DPI, twips become twice the pixels")
{
    TestForm test;
    test.show();
    type(test->Text1, u"12");
    click(test->Command1);
    RECT suggested;
    GetWindowRect(test.hwnd(), &suggested);
    suggested.right = suggested.left + 2 * 1035 + 40;
    suggested.bottom = suggested.top + 2 * 390 + 60;
    SendMessageW(test.hwnd(), WM_DPICHANGED, MAKEWPARAM(192, 192), LPARAM(&suggested));
    pump();

    const RECT box = rectIn(test.hwnd(), windowOf(test->Text2[12]));
    const RECT expected = twipsRect(1400, 800, 400, 400, 192);
    CHECK(EqualRect(&box, &expected));
    const RECT start = rectIn(test.hwnd(), windowOf(test->Command3));
    const RECT expectedStart = twipsRect(5040, 4560, 1095, 975, 192);
    CHECK(EqualRect(&start, &expectedStart));
    LOGFONTW font{};
    GetObjectW(HGDIOBJ(SendMessageW(windowOf(test->Text2[12]), WM_GETFONT, 0, 0)), sizeof font, &font);
    CHECK(font.lfHeight == -24); // 9 pt at 192 DPI
}
