#include "testing.h"

#include "platform/text/text.h"
#include "window/startup.h"

// Start-up: the maker's page, the missing key's message, and the key's lines in the key list.

TEST_CASE("with the key present: no message, 33 items, hidden, and the maker's page")
{
    TestForm test;
    test.show();
    CHECK(test.services.messages.empty());
    CHECK(test->List1.count() == 33);
    CHECK(test->List1.item(0) == u"ACABD");
    CHECK_FALSE(test.view->visible(test->List1));
    CHECK(test.view->items(test->List1).size() == 33);
    // On Windows Internet Explorer by its path, which Wine has too; elsewhere the desktop's own browser.
    const Lines programs{
        u"C:\\\\Program Files\\\\Internet Explorer\\\\IEXPLORE.exe https://quillmark.example"};
    const Lines urls{u"https://quillmark.example"};
    CHECK(test.services.programs == (platform::OnWindows ? programs : Lines()));
    CHECK(test.services.urls == (platform::OnWindows ? Lines() : urls));
}

TEST_CASE("without the key: the message, once, before the window")
{
    TestForm test(std::nullopt);
    test.show();
    REQUIRE(test.services.messages.size() == 1);
    const FakeServices::Message &message = test.services.messages.front();
    CHECK(message.text == u"未找到“答案.txt”请在根目录下自行编辑后再加载。");
    CHECK(message.title == u"QuillmarkV1.0");
    CHECK_FALSE(message.windowShown);
    CHECK(message.launchesBefore == 1); // the browser first, as ever
    CHECK(test.view->windowVisible());
    CHECK(test->List1.count() == 0);
    CHECK(test.view->items(test->List1).empty());
}

TEST_CASE("a key written while the message is open is loaded")
{
    TestForm test(std::nullopt);
    test.services.whileMessageOpen = [&test] { writeFile(test.keyPath(), keyFileBytes({"ABCDA"})); };
    test.show();
    CHECK(test.services.messages.size() == 1);
    CHECK(items(*test) == padded({u"ABCDA"}));
}

TEST_CASE("a directory at the key's path is no key")
{
    TestForm test(std::nullopt);
    fs::create_directory(test.keyPath());
    test.show();
    CHECK(test.services.messages.size() == 1);
    CHECK(test->List1.count() == 0);
}

TEST_CASE("a browser that fails to start is ignored: tried once, and no word of it")
{
    // With the key, the launch waits for the first paint; without, it goes before the key's message.
    for (const bool withKey : {true, false}) {
        CAPTURE(withKey);
        TestForm test(withKey ? std::optional(sampleKeyBytes()) : std::nullopt);
        test.services.launchesSucceed = false;
        test.show();
        REQUIRE(test.services.programs.size() + test.services.urls.size() == 1); // it did fail
        CHECK(test.services.messages.size() == (withKey ? 0u : 1u));
        CHECK(test.view->windowVisible());
        CHECK(test->List1.count() == (withKey ? 33 : 0));
        prepare(test, u"3");
        CHECK(answers(*test) == Lines{u"", u"", u""});
    }
}

TEST_CASE("a key that is there but cannot be read: the message, as for no key, and the program runs on")
{
    TestForm test(keyFileBytes({"ABCDA"}));
    std::optional<Unreadable> held(test.keyPath());
    if (!held->locked()) {
        if (CanKeepFiles)
            skipped("no file can be kept from this program here");
        return;
    }
    // Let go of while the message is open: read then, as a key written then is.
    test.services.whileMessageOpen = [&held] { held.reset(); };
    test.show();
    REQUIRE(test.services.messages.size() == 1);
    CHECK(test.services.messages.front().text == MissingKeyMessage);
    CHECK_FALSE(test.services.messages.front().windowShown);
    CHECK(items(*test) == padded({u"ABCDA"}));

    TestForm again(keyFileBytes({"ABCDA"}));
    const Unreadable kept(again.keyPath());
    again.show();
    CHECK(again.services.messages.size() == 1);
    CHECK(again->List1.count() == 0);
    CHECK(again.view->windowVisible());
}
