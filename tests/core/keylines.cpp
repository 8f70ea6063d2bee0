#include "testing.h"

#include "platform/text/text.h"

// The key file's lines as the key list holds them, row by row, through the view with no toolkit: each view
// loads the key at start-up in the scenarios.

TEST_CASE("the key's lines")
{
    std::vector<std::string> lines33;
    Lines items33;
    for (int i = 0; i < 40; ++i) {
        std::string line = "L";
        line.append(std::to_string(100 + i).substr(1)).append("ABC");
        lines33.push_back(line);
        if (i < 33)
            items33.push_back(platform::fromUtf8(line));
    }
    const std::vector<std::string> lines40 = lines33;
    lines33.resize(33);
    const struct {
        const char *name;
        std::string bytes;
        Lines items;
    } rows[] = {
        {"34 lines give lines 2 to 34", keyFileBytes(lines33), items33},
        {"more lines are ignored", keyFileBytes(lines40), items33},
        {"a short file leaves the rest empty", keyFileBytes({"ABCDA", "BBBBB"}),
            padded({u"ABCDA", u"BBBBB"})},
        {"header only", "header\r\n", padded({})},
        {"empty file", "", padded({})},
        {"Chinese answers in GBK", keyFileBytes({"\xBC\xD7\xD2\xD2\xB1\xFB\xB6\xA1\xCE\xEC"}),
            padded({u"甲乙丙丁戊"})},
        {"UTF-8 without a mark", utf8KeyFileBytes({"甲乙AB"}), padded({u"甲乙AB"})},
        {"UTF-8 with a mark", std::string("\xEF\xBB\xBF").append(utf8KeyFileBytes({"甲乙AB"})),
            padded({u"甲乙AB"})},
        {"LF line ends", "h\nABCDA\nDCBAD\n", padded({u"ABCDA", u"DCBAD"})},
        {"a line of two answers", keyFileBytes({"AB", "CDABC"}), padded({u"AB", u"CDABC"})},
        {"binary", std::string("\x00\xFF\x81\x30\x10\x01", 6), padded({})},
    };
    for (const auto &row : rows) {
        INFO(std::string(row.name));
        TestForm test(row.bytes);
        test.show();
        CHECK(test.services.messages.empty()); // the user's own key, answers or none
        CHECK(items(*test) == row.items);
        CHECK(test.view->items(test->List1) == row.items);
    }
}

TEST_CASE("a huge line does not stall the load")
{
    TestForm test(std::string("h\r\n").append(50 * 1000 * 1000, 'A').append("\r\nBCDAB\r\n"));
    test.show();
    CHECK(test->List1.item(0).size() == 1024);
    CHECK(test->List1.item(1) == u"BCDAB");
    CHECK(test->List1.item(2).empty());
}
