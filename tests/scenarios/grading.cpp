#include "testing.h"

#include "platform/text/numbers.h"
#include "platform/text/text.h"

// Results: each box against its character of the key.

TEST_CASE("Results twice gives the same")
{
    TestForm test(keyFileBytes({"ABCDA"}));
    test.show();
    gradeExam(test, {u"A", u"b", u"", u"D", u"A"});
    results(test);
    CHECK(test.view->text(test->Text3) == u"3");
    CHECK(greenBoxes(*test) == "1 4 5");
    CHECK(test.view->enabled(test->Command2));
}

TEST_CASE("no key scores nothing")
{
    TestForm test(std::nullopt);
    test.show();
    gradeExam(test, {u"A", u"B"});
    CHECK(test.view->text(test->Text3) == u"0");
    CHECK(greenBoxes(*test).empty());
}

TEST_CASE("no boxes score nothing")
{
    TestForm test;
    test.show();
    start(test);
    handIn(test);
    results(test);
    CHECK(test.view->text(test->Text3) == u"0");
    CHECK(test.view->enabled(test->Command5));
}

TEST_CASE("a count over 165 lays out boxes the key cannot cover")
{
    TestForm test;
    test.show();
    prepare(test, u"170");
    start(test);
    typeInto(test, 1, u"A"); // the sample's first answer
    typeInto(test, 166, u"A");
    handIn(test);
    results(test);
    CHECK(test.view->text(test->Text3) == u"1");
    CHECK(greenBoxes(*test) == "1");
}

TEST_CASE("Chinese answers, typed through an input method, are graded")
{
    TestForm test(utf8KeyFileBytes({"甲乙丙丁戊"}));
    test.show();
    gradeExam(test, {u"甲", u"乙", u"丁"});
    CHECK(answers(*test) == Lines{u"甲", u"乙", u"丁"});
    CHECK(test.view->text(test->Text3) == u"2");
}

TEST_CASE("a key saved as UTF-16 without a mark, either byte order, is graded")
{
    for (const bool bigEndian : {false, true}) {
        CAPTURE(bigEndian);
        TestForm test(utf16Bytes(u"答案\r\nABCDA\r\n甲乙丙丁戊\r\n", bigEndian));
        test.show();
        gradeExam(test, {u"A", u"C", u"C", u"D", u"A", u"甲"});
        CHECK(test.view->text(test->Text3) == u"5");
        CHECK(greenBoxes(*test) == "1 3 4 5 6");
    }
}
