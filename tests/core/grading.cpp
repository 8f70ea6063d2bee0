#include "testing.h"

#include "platform/text/text.h"

// Grading, row by row, through the view with no toolkit: each view grades the exam's road in the scenarios.

TEST_CASE("grading")
{
    // Keys in UTF-8, so that every system's reader takes them as they are written here.
    const struct {
        const char *name;
        std::vector<std::string> key;
        Lines typed;
        std::u16string score;
        std::string green;
    } rows[] = {
        {"ABCDA: A, b, nothing, D, A scores 3", {"ABCDA"}, {u"A", u"b", u"", u"D", u"A"}, u"3", "1 4 5"},
        {"a trailing space or a second letter is wrong", {"ABCDA"}, {u"A ", u"BC", u"C", u"D", u"A"}, u"3",
            "3 4 5"},
        {"question 5 reads character 5 of line 1, question 6 character 1 of line 2", {"xxxxE", "Fxxxx"},
            {u"", u"", u"", u"", u"E", u"F"}, u"2", "5 6"},
        {"a short key line leaves questions 3 to 5 unscorable", {"AB", "CCCCC"},
            {u"A", u"B", u"", u"", u"", u"C"}, u"3", "1 2 6"},
        {"characters after the fifth are not graded", {"ABCDAZZZ"}, {u"A", u"B", u"C", u"D", u"A", u"Z"},
            u"5", "1 2 3 4 5"},
        {"Chinese answers", {"甲乙丙丁戊"}, {u"甲", u"乙", u"甲", u"", u"戊"}, u"3", "1 2 5"},
        // One answer is one character as the reader sees it, however many UTF-16 units it takes.
        {"a character beyond the BMP is one answer", {"\U00020000BCDE"},
            {u"\U00020000", u"B", u"C", u"D", u"E"}, u"5", "1 2 3 4 5"},
        {"a letter and its combining mark are one answer", {"e\u0301BCDE"},
            {u"e\u0301", u"B", u"C", u"D", u"E"}, u"5", "1 2 3 4 5"},
        {"the letter without its mark is wrong; no normalisation", {"e\u0301\u00E9CDE"},
            {u"e", u"e\u0301", u"C", u"D", u"E"}, u"3", "3 4 5"},
        {"an emoji with a skin-tone modifier is one answer", {"\U0001F44D\U0001F3FDBCDE"},
            {u"\U0001F44D\U0001F3FD", u"B", u"C", u"D", u"E"}, u"5", "1 2 3 4 5"},
        {"questions past the key never score", {"AAAAA"}, {u"A", u"", u"", u"", u"", u"A"}, u"1", "1"},
    };
    for (const auto &row : rows) {
        INFO(std::string(row.name));
        TestForm test(utf8KeyFileBytes(row.key));
        test.show();
        gradeExam(test, row.typed);
        CHECK(test.view->text(test->Text3) == row.score);
        CHECK(greenBoxes(*test) == row.green);
        for (int i = 1; i <= int(row.typed.size()); ++i)
            CHECK(test.view->background(test->Text2[i]) == test->Text2[i].backColor());
        CHECK(test.view->visible(test->List1));
        CHECK(test.view->items(test->List1).at(0) == platform::fromUtf8(row.key[0]));
    }
}

TEST_CASE("grading again on the same sheet with another count")
{
    // Restart, change the count, and sit the exam again on the same (locked) sheet.
    const struct {
        const char *name;
        Lines typed;
        std::u16string count;
        std::u16string score;
        std::string green;
    } rows[] = {
        // Nothing whitened, nothing tested: the colours of the first grading stay.
        {"a count that is no number grades nothing", {u"A", u"B"}, u"abc", u"0", "1 2"},
        {"a lower count leaves the rest alone", {u"A", u"B", u"C"}, u"1", u"1", "1 2 3"},
        {"a huge count stops at the last box", {u"A", u"B"}, u"1e300", u"2", "1 2"},
    };
    for (const auto &row : rows) {
        INFO(std::string(row.name));
        TestForm test(keyFileBytes({"ABCDA"}));
        test.show();
        gradeExam(test, row.typed);
        restart(test);
        type(test, test->Text1, row.count);
        start(test);
        handIn(test);
        results(test);
        CHECK(test.view->text(test->Text3) == row.score);
        CHECK(greenBoxes(*test) == row.green);
        CHECK(phaseOf(test) == Graded);
    }
}
