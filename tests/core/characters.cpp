#include "platform/text/characters.h"
#include "platform/text/text.h"

#include <doctest.h>

#include <fstream>
#include <sstream>
#include <string>

// Each line lists code points between "÷" (a boundary) and "×" (none); boundaries are compared as UTF-16
// offsets, found by taking one cluster at a time as characterAt does.
TEST_CASE("graphemeLength agrees with every line of GraphemeBreakTest.txt")
{
    std::ifstream file(QUILLMARK_GRAPHEME_TEST);
    REQUIRE_MESSAGE(file.is_open(), "cannot open " << QUILLMARK_GRAPHEME_TEST);
    int lines = 0;
    int passed = 0;
    std::string line;
    while (std::getline(file, line)) {
        const std::string data = line.substr(0, line.find('#'));
        std::istringstream tokens(data);
        std::u16string text;
        std::string expected;
        std::string token;
        while (tokens >> token) {
            if (token == "÷")
                expected += std::to_string(text.size()) + ' ';
            else if (token != "×")
                platform::appendUtf16(text, char32_t(std::stoul(token, nullptr, 16)));
        }
        if (expected.empty())
            continue;
        ++lines;
        std::string found = "0 ";
        for (std::size_t offset = 0; offset < text.size();) {
            const std::size_t length = platform::graphemeLength(std::u16string_view(text).substr(offset));
            if (length == 0)
                break;
            offset += length;
            found += std::to_string(offset) + ' ';
        }
        INFO(line);
        CHECK(found == expected);
        passed += found == expected ? 1 : 0;
    }
    MESSAGE(passed << " of " << lines << " lines of GraphemeBreakTest.txt pass");
    CHECK(lines > 0);
}

TEST_CASE("characterAt counts what a reader counts as one character")
{
    const struct {
        const char *pins;
        std::u16string_view text;
        int position;
        std::u16string_view expected;
    } rows[] = {
        {"a character beyond the BMP is one", u"\U00020000BCDE", 1, u"\U00020000"},
        {"so the fifth is the last letter", u"\U00020000BCDE", 5, u"E"},
        {"and there is no sixth", u"\U00020000BCDE", 6, u""},
        {"a letter keeps its combining mark", u"e\u0301BCDE", 1, u"e\u0301"},
        {"a Devanagari conjunct is one", u"\u0915\u094D\u0937BCDE", 1, u"\u0915\u094D\u0937"},
        {"an emoji keeps its skin tone", u"\U0001F44D\U0001F3FDBCDE", 1, u"\U0001F44D\U0001F3FD"},
        {"position 0 is no character", u"ABCDA", 0, u""},
        {"plain answers count letters", u"ABCDA", 5, u"A"},
        {"a Chinese character is one", u"甲乙丙丁戊", 3, u"丙"},
        {"CR LF is one", u"\r\nB", 1, u"\r\n"},
        {"a lone surrogate is one and takes a mark", u"\xD800\u0301B", 1, u"\xD800\u0301"},
        {"a trailing high surrogate is one", u"A\xD83D", 2, u"\xD83D"},
        {"empty text has none", u"", 1, u""},
    };
    for (const auto &row : rows) {
        CAPTURE(row.pins);
        CHECK(platform::characterAt(row.text, row.position) == row.expected);
    }
}
