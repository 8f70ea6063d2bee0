#include "platform/system/textfile.h"
#include "platform/system/gb18030.h"
#include "platform/text/text.h"
#include "testing.h"

#include <doctest.h>

#include <string>
#include <utility>

using namespace std::string_literals;
using platform::decodeTextLines;

namespace {

std::string utf16WithMark(std::u16string_view text, bool bigEndian)
{
    return (bigEndian ? "\xFE\xFF" : "\xFF\xFE") + utf16Bytes(text, bigEndian);
}

Lines splitAtLineEnds(std::u16string_view text)
{
    Lines lines;
    std::u16string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n') {
            line += text[i];
            continue;
        }
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        lines.push_back(std::exchange(line, {}));
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

} // namespace

TEST_CASE("encodings and line ends")
{
    const struct {
        std::string name;
        std::string bytes;
        Lines lines;
    } rows[] = {
        {"UTF-8 without a mark", "头\n答案甲乙丙\n", {u"头", u"答案甲乙丙"}},
        {"UTF-8 with a mark", "\xEF\xBB\xBF头\r\nABCDA", {u"头", u"ABCDA"}},
        {"UTF-8 with a mark and invalid bytes: one U+FFFD per maximal subpart",
            "\xEF\xBB\xBF"
            "A\xE2\x82"
            "B\xC0\xAF",
            {u"A\uFFFDB\uFFFD\uFFFD"}},
        {"UTF-16 LE with a mark", utf16WithMark(u"头\r\nABCDA\r\n", false), {u"头", u"ABCDA"}},
        {"UTF-16 BE with a mark", utf16WithMark(u"头\nAB\rCD", true), {u"头", u"AB", u"CD"}},
        {"lone CR ends a line", "h\rABCDA\rBBBBB", {u"h", u"ABCDA", u"BBBBB"}},
        {"LF CR is two ends", "h\n\rA", {u"h", u"", u"A"}},
        {"LF LF is two ends", "h\n\nA", {u"h", u"", u"A"}},
        {"mixed ends", "h\r\nA\nB\rC\r\n", {u"h", u"A", u"B", u"C"}},
        {"blank lines count", "h\r\n\r\nA", {u"h", u"", u"A"}},
        {"empty", "", {}},
        {"mark with nothing after it", "\xEF\xBB\xBF", {}},
        {"UTF-16 mark with nothing after it", "\xFF\xFE", {}},
        {"no end on the last line", "h\r\nABCDA", {u"h", u"ABCDA"}},
        {"UTF-16 LE without a mark, as some tools save it", utf16Bytes(u"头\r\nABCDA\r\n", false),
            {u"头", u"ABCDA"}},
        {"UTF-16 BE without a mark", utf16Bytes(u"头\nAB\rCD", true), {u"头", u"AB", u"CD"}},
        {"NUL bytes kept", "h\nA\0B"s, {u"h", u"A\0B"s}},
        {"NUL bytes with no line end in UTF-16 stay bytes", "h\0\nAB"s, {u"h\0"s, u"AB"}},
        {"odd byte of UTF-16",
            "\xFF\xFE"
            "A\0B"s,
            {u"A\uFFFD"}},
    };
    for (const auto &row : rows) {
        CAPTURE(row.name);
        CHECK(decodeTextLines(row.bytes, 34) == row.lines);
    }
}

// Each row is checked through the decoder alone and through the line reader (the text split at its line
// ends). Only full GB18030 covers the characters of the rows not marked gbkToo; where the system has just GBK
// (code page 936: Wine 8, say) those must still give something. Where systems differ, orText is the other
// answer: a lone 0x80 is the euro sign to the Encoding Standard (browsers) as to Windows' own code page 936,
// and no character to glibc and Wine.
TEST_CASE("GBK")
{
    const struct {
        std::string name;
        std::string bytes;
        std::u16string text;
        bool gbkToo;
        std::u16string orText = {};
    } rows[] = {
        {"ASCII", "ABCDA", u"ABCDA", true},
        {"two-byte character", "\xB4\xF0", u"答", true},
        {"four-byte character outside the BMP", "\x95\x32\x82\x36", u"\U00020000", false},
        {"four-byte character in the BMP", "\x81\x30\x81\x30", u"\u0080", false},
        {"euro sign, 0x80 in code page 936", "\xA2\xE3", u"€", false},
        {"0x80 alone", "\x80", u"\uFFFD", true, u"€"},
        {"GBK with CR LF", "\xCD\xB7\r\n\xB4\xF0\xB0\xB8\xBC\xD7\xD2\xD2\xB1\xFB\r\n",
            u"头\r\n答案甲乙丙\r\n", true},
        // The decoder drops an incomplete last character: its question simply has no answer.
        {"lone GBK lead byte at the end", "h\n\xB4\xF0\xB0", u"h\n答", true},
        {"invalid UTF-8 means GBK", "\xB4\xF0\xB0\xB8\nA", u"答案\nA", true},
        // Found by fuzzing: the encoding is one for the whole file, decided over every line read.
        {"an invalid byte in a later line makes every line GBK", "\xE7\xAD\x94\xE6\xA1\x88\nA\n\xB4\xF0",
            u"绛旀\uE50D\nA\n答", true},
        {"bytes no GBK character starts with",
            "\xFF\x80"
            "A",
            u"\uFFFD\uFFFDA", true, u"\uFFFD€A"},
        {"a lead byte before a space", "\x81 A", u"\uFFFD A", true},
        {"a lone lead byte at the end is dropped", "A\xB4", u"A", true},
        {"a broken four-byte character: U+FFFD, then on at the next byte", "\x81\x30 0", u"\uFFFD0 0", true},
        {"an incomplete four-byte character at the end is dropped", "A\x81\x30", u"A", false},
    };
    const bool full = platform::systemDecodesGb18030();
    for (const auto &row : rows) {
        CAPTURE(row.name);
        if (!row.gbkToo && !full) {
            MESSAGE("not full GB18030 here: ", row.name, " gives ",
                doctest::toString(platform::decodeGb18030(row.bytes)));
            CHECK_FALSE(platform::decodeGb18030(row.bytes).empty());
            CHECK_FALSE(decodeTextLines(row.bytes, 34).empty());
            continue;
        }
        const std::u16string text = platform::decodeGb18030(row.bytes);
        const std::u16string &expected = !row.orText.empty() && text == row.orText ? row.orText : row.text;
        CHECK(text == expected);
        CHECK(decodeTextLines(row.bytes, 34) == splitAtLineEnds(expected));
    }
}

TEST_CASE("UTF-8 and UTF-16 conversions")
{
    const struct {
        std::string name;
        std::string bytes;
        std::u16string text;
    } fromUtf8[] = {
        {"four-byte character: a surrogate pair", "\xF0\xA0\x80\x80", u"\U00020000"},
        {"overlong form: each byte", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"truncated sequence: once",
            "\xE2\x82"
            "A",
            u"\uFFFDA"},
        {"truncated at the end: once", "\xF0\x9F\x98", u"\uFFFD"},
        {"encoded surrogate: each byte", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"past U+10FFFF: each byte", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"lone continuation byte", "\x80", u"\uFFFD"},
    };
    for (const auto &row : fromUtf8) {
        CAPTURE(row.name);
        CHECK(platform::fromUtf8(row.bytes) == row.text);
        CHECK(platform::isValidUtf8(row.bytes) == (row.text.find(u'\uFFFD') == std::u16string::npos));
    }

    const struct {
        std::string name;
        std::u16string text;
        std::string bytes;
    } toUtf8[] = {
        {"surrogate pair", u"\U00020000", "\xF0\xA0\x80\x80"},
        {"unpaired high surrogate",
            u"A\xD800"
            "B",
            "A\xEF\xBF\xBD"
            "B"},
        {"unpaired low surrogate at the end", u"答\xDC00", "答\xEF\xBF\xBD"},
    };
    for (const auto &row : toUtf8) {
        CAPTURE(row.name);
        CHECK(platform::toUtf8(row.text) == row.bytes);
    }
}

// Bounds

TEST_CASE("lines are cut and the rest skipped")
{
    const Lines lines = decodeTextLines("h\n" + std::string(50'000, 'A') + "\nABCDA\n", 34);
    REQUIRE(lines.size() == 3);
    CHECK(lines[1] == std::u16string(platform::MaxLineChars, u'A'));
    CHECK(lines[2] == u"ABCDA");
}

TEST_CASE("a cut line keeps no half of a surrogate pair")
{
    const std::u16string text = std::u16string(platform::MaxLineChars - 1, u'A') + u"\U00020000";
    const Lines lines = decodeTextLines(utf16WithMark(text, false), 34);
    REQUIRE(lines.size() == 1);
    CHECK(lines[0] == text.substr(0, platform::MaxLineChars - 1));
}

TEST_CASE("cut line does not change the encoding")
{
    // A cut through a three-byte UTF-8 character must not make the file look like GBK.
    const Lines lines
        = decodeTextLines("h\n" + std::string(platform::MaxLineBytes - 1, 'A') + "答答\n案", 34);
    REQUIRE(lines.size() == 3);
    CHECK(lines[2] == u"案");
}

TEST_CASE("reads no more lines than asked")
{
    std::string bytes;
    for (int i = 0; i < 100; ++i)
        bytes += std::to_string(i) + "\r\n";
    const Lines lines = decodeTextLines(bytes, 34);
    REQUIRE(lines.size() == 34);
    CHECK(lines.back() == u"33");
}

TEST_CASE("scan stops at the budget")
{
    // Past the budget nothing more is read: a line beyond it is as absent as one beyond the end.
    const Lines lines = decodeTextLines("h\n" + std::string(platform::MaxScanBytes, 'A') + "\nABCDA\n", 34);
    REQUIRE(lines.size() == 2);
    CHECK(lines[1].size() == platform::MaxLineChars);
}

// Files

TEST_CASE("a file reads as its bytes in memory, and is closed afterwards")
{
    TempDir dir;
    const fs::path path = dir.path / u"答案.txt";
    const std::string bytes = "\xCD\xB7\r\nABCDA\r\n\xB4\xF0";
    writeFile(path, bytes);
    CHECK(platform::fileExists(path.u16string()));
    CHECK(platform::readTextLines(path.u16string(), 34) == decodeTextLines(bytes, 34));
    // Windows refuses to remove a file still open.
    std::error_code error;
    CHECK(fs::remove(path, error));
}

TEST_CASE("directory and missing file give no lines")
{
    TempDir dir;
    const std::u16string path = dir.path.u16string();
    CHECK(platform::pathExists(path));
    CHECK_FALSE(platform::fileExists(path));
    CHECK(platform::readTextLines(path, 34).empty());
    CHECK_FALSE(platform::pathExists((dir.path / "none.txt").u16string()));
    CHECK(platform::readTextLines((dir.path / "none.txt").u16string(), 34).empty());
}

// Windows makes symbolic links for administrators alone, or in its developer mode, and Wine makes none: the
// case is the POSIX systems'.
#ifndef _WIN32
TEST_CASE("links are followed to what they point at")
{
    TempDir dir;
    writeFile(dir.path / "key.txt", "ABCDA");
    std::error_code error;
    fs::create_symlink(dir.path / "key.txt", dir.path / "file-link", error);
    fs::create_directory_symlink(dir.path, dir.path / "dir-link", error);
    if (error) {
        skipped(("no symbolic links here: " + error.message()).c_str());
        return;
    }
    CHECK(platform::readTextLines((dir.path / "file-link").u16string(), 34) == Lines{u"ABCDA"});
    CHECK_FALSE(platform::fileExists((dir.path / "dir-link").u16string()));
}
#endif
