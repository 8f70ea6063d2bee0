#include "testing.h"

#include "platform/text/numbers.h"

// What screen readers are told: every box named, the score said when Results sets it, a right answer told by
// more than its green.

TEST_CASE("screen readers hear each box's name, the score, and which answers are right")
{
    TestForm test(keyFileBytes({"ABCDA"}));
    test.show();
    Form1 &form = *test;
    // The count, the minutes and the score by the captions beside them; the answer boxes by their questions.
    CHECK_SHOWN(test.view->accessibleName(form.Text1), u"题目数");
    CHECK_SHOWN(test.view->accessibleName(form.Text2[0]), u"时间         分钟 n");
    CHECK_SHOWN(test.view->accessibleName(form.Text3), u"得分");
    CHECK_SHOWN(test.view->announced(), u"");
    sitExam(test, {u"A", u"b", u"", u"D", u"A"});
    for (const int box : {1, 5})
        CHECK_SHOWN(test.view->accessibleName(form.Text2[box]), u"第 " + platform::numberText(box) + u" 题");

    // Results says the score where the focus is, and leaves the focus there.
    test.view->focus(form.Command2);
    results(test);
    CHECK_SHOWN(test.view->announced(), u"得分 3");
    CHECK(test.view->focused() == &form.Command2);
    const Lines right{u"正确", u"", u"", u"正确", u"正确"};
    for (int box = 1; box <= 5; ++box) {
        CAPTURE(box);
        CHECK_SHOWN(test.view->accessibleDescription(form.Text2[box]), right[size_t(box - 1)]);
    }

    // Restart keeps the marks with the colours; a new sheet has neither.
    restart(test);
    CHECK_SHOWN(test.view->accessibleDescription(form.Text2[1]), u"正确");
    prepare(test);
    CHECK_SHOWN(test.view->accessibleDescription(form.Text2[1]), u"");
    CHECK_SHOWN(test.view->accessibleName(form.Text2[1]), u"第 1 题");
}
