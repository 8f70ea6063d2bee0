#include "support.h"

#include "platform/files.h"
#include "window/startup.h"

#include <string>

TEST_CASE("the missing key's message comes before the window")
{
    TestForm test(std::nullopt);
    test.show();
    REQUIRE(test.services.messages.size() == 1);
    const FakeServices::Message &message = test.services.messages.front();
    CHECK(message.text == u"未找到“答案.txt”请在根目录下自行编辑后再加载。");
    CHECK(message.title == u"QuillmarkV1.0");
    CHECK_FALSE(message.windowShown);
    CHECK(IsWindowVisible(test.hwnd()));
    CHECK(SendMessageW(windowOf(test->List1), LB_GETCOUNT, 0, 0) == 0);
}

TEST_CASE("a GBK key, as Notepad saves it in a Chinese Windows, grades Chinese answers")
{
    TestForm test(keyFileBytes({"\xBC\xD7\xD2\xD2\xB1\xFB\xB6\xA1\xCE\xEC"})); // 甲乙丙丁戊
    test.show();
    CHECK(test.services.messages.empty());
    const HWND list = windowOf(test->List1);
    REQUIRE(SendMessageW(list, LB_GETCOUNT, 0, 0) == 33);
    wchar_t item[16] = {};
    SendMessageW(list, LB_GETTEXT, 0, LPARAM(item));
    CHECK(std::u16string(item, item + wcslen(item)) == u"甲乙丙丁戊");

    type(test->Text1, u"5");
    click(test->Command1);
    click(test->Command3);
    type(test->Text2[1], u"甲");
    type(test->Text2[3], u"丁");
    click(test->Command4);
    click(test->Command2);
    CHECK(textOf(windowOf(test->Text3)) == u"1");
    CHECK(IsWindowVisible(list));
}

TEST_CASE("the browser's path with its doubled separators names the browser")
{
    // Wine installs its own iexplore.exe where Internet Explorer lives; Windows before 11 has the real one.
    const bool installed = GetFileAttributesW(L"C:\\Program Files\\Internet Explorer\\iexplore.exe")
        != INVALID_FILE_ATTRIBUTES;
    CHECK(platform::fileExists(BrowserPath) == installed);
    if (installed)
        CHECK(browserCommandLine(true, true).starts_with(BrowserPath));
}
