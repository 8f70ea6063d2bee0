#include "win32driver.h"

#include "platform/system/files.h"
#include "views/win32/system.h"
#include "window/startup.h"

#include <shellapi.h>

#include <string>

// What only the Windows view can show: its fonts, icons, version resource and DPI, and the colours of its
// pixels.

TEST_CASE("the window's icons, and the bar in SimSun 18 pt on red")
{
    TestForm test;
    test.show();
    const HWND window = windowOf(test).hwnd();
    CHECK(GetClassLongPtrW(window, GCLP_HICON) != 0);
    CHECK(GetClassLongPtrW(window, GCLP_HICONSM) != 0);
    // SimSun 18 pt (24 pixels) with the GB2312 character set.
    LOGFONTW font{};
    GetObjectW(HGDIOBJ(SendMessageW(windowOf(test->Label4), WM_GETFONT, 0, 0)), sizeof font, &font);
    CHECK(std::wstring(font.lfFaceName) == L"宋体");
    CHECK(font.lfHeight == -24);
    CHECK(font.lfCharSet == GB2312_CHARSET);
    CHECK(shownInside(windowOf(test->Label4)).background == RGB(255, 0, 0));
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

TEST_CASE("at 120 DPI, each edge at its nearest pixel")
{
    TestForm test;
    test.show();
    prepare(test, u"21");
    const HWND window = windowOf(test).hwnd();
    RECT suggested;
    GetWindowRect(window, &suggested);
    suggested.right = suggested.left + 1294 + 40; // 1035 pixels at 96 DPI, 1293.75 at 120
    suggested.bottom = suggested.top + 488 + 60;
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(120, 120), LPARAM(&suggested));
    pump();
    checkControls(test);

    // 12 twips a pixel. Box 1 at 600, 400, 400 by 400 twips: 50, 33.3, 83.3 and 66.7, 34 pixels high; box 21
    // at 2200, 400: 183.3, 33.3, 216.7 and 66.7, 34 by 34 (by its size, 33.3 would make 33); Start at 5040,
    // 4560, 1095 by 975 twips: 420, 380, 511.25 and 461.25.
    const struct {
        const platform::Control *control;
        RECT pixels;
    } rows[] = {
        {&test->Text2[1], {50, 33, 83, 67}},
        {&test->Text2[21], {183, 33, 217, 67}},
        {&test->Label1[21], {158, 33, 192, 67}},
        {&test->Command3, {420, 380, 511, 461}},
    };
    for (const auto &row : rows) {
        const RECT shown = rectIn(window, windowOf(*row.control));
        CAPTURE(shown.left);
        CAPTURE(shown.top);
        CAPTURE(shown.right);
        CAPTURE(shown.bottom);
        CHECK(EqualRect(&shown, &row.pixels));
    }
    LOGFONTW font{};
    GetObjectW(HGDIOBJ(SendMessageW(windowOf(test->Text2[21]), WM_GETFONT, 0, 0)), sizeof font, &font);
    CHECK(font.lfHeight == -15); // 9 pt at 120 DPI
}

TEST_CASE("the system's timer ticks the clock")
{
    // The one wait on real time: Start sets the system's timer going, and its own WM_TIMER, 800 ms later,
    // reaches the countdown.
    TestForm test;
    test.show();
    click(test, test->Command3);
    test.services.now = test->StartTick + 800;
    const DWORD until = GetTickCount() + 3000;
    while (test.view->text(test->Label4) != u"2:9:59" && GetTickCount() < until) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        pump();
    }
    CHECK(test.view->text(test->Label4) == u"2:9:59");
}

TEST_CASE("the time-out's notice, at the top-left and lasting")
{
    TestForm test;
    test.show();
    type(test, test->Text2[0], u"0");
    click(test, test->Command3);
    CHECK(tick(test, 800));
    // "时间到！停止答题.", nine characters of 12 pixels, at the top-left where the bar was, and still there
    // after a repaint; nothing beyond it.
    const HWND window = windowOf(test).hwnd();
    for (int repaint = 0; repaint < 2; ++repaint) {
        CAPTURE(repaint);
        CHECK(shownInside(window, {0, 0, 100, 12}).contrast > 10);
    }
    CHECK(shownInside(window, {120, 0, 500, 20}).contrast == 1);
}

TEST_CASE("the browser's path with its doubled separators names the browser")
{
    // Wine installs its own iexplore.exe where Internet Explorer lives; Windows before 11 has the real one.
    const bool installed = GetFileAttributesW(L"C:\\Program Files\\Internet Explorer\\iexplore.exe")
        != INVALID_FILE_ATTRIBUTES;
    CHECK(platform::fileExists(BrowserPath) == installed);
    // CreateProcess finds the browser in the unquoted path with its spaces, and hands it the address.
    CHECK(browserCommandLine(true, true)
        == std::u16string(
            u"C:\\\\Program Files\\\\Internet Explorer\\\\IEXPLORE.exe https://quillmark.example"));
    CHECK(browserCommandLine(true, false).empty());
    CHECK(browserCommandLine(false, true).empty());
}

TEST_CASE("the shell and COM are loaded when first needed, not with the program")
{
    using views::win32::systemFunction;
    CHECK(GetModuleHandleW(L"shell32.dll") == nullptr);
    CHECK_FALSE(bool(systemFunction<FARPROC>(L"user32.dll", "NoSuchFunction")));
    CHECK_FALSE(bool(systemFunction<FARPROC>(L"no-such-library.dll", "NoSuchFunction")));
    CHECK(bool(systemFunction<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW")));
    CHECK(GetModuleHandleW(L"shell32.dll") != nullptr);
    CHECK(views::win32::useCom());
}
