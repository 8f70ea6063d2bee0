#include "form1.h"

#include "clock/countdown.h"
#include "grading/results.h"
#include "handin.h"
#include "restart.h"
#include "sheet/prepare.h"
#include "startup.h"

namespace {

// SimSun, the Song face the window was drawn for; each view finds it or its nearest kin, whose spaces are
// laid out as SimSun's.
platform::Font songFont(double points, int charset = 1)
{
    return {.name = u"宋体", .points = points, .weight = 400, .charset = charset, .halfWidthSpaces = true};
}

} // namespace

Form1::Form1(platform::Services &services)
    : m_services(services)
{
    setCaption(ApplicationTitle);
    setFont(songFont(9));
    setClientSize(ClientWidth, ClientHeight);

    List1.move(12960, 240, 1575, 4560);
    List1.setVisible(false);

    Text1.move(2280, 4920, 615, 375);
    Text1.setText(u"130");

    Command1.move(360, 4800, 975, 615);
    Command1.setCaption(u"准备做题");

    Text2[0].move(3600, 4920, 615, 375);
    Text2[0].setText(u"130");

    Label1[0].move(1560, 5040, 735, 495);
    Label1[0].setCaption(u"题目数");

    Label2.move(3120, 5040, 1695, 255);
    Label2.setCaption(u"时间         分钟 n");

    Command2.move(9240, 4920, 1095, 495);
    Command2.setCaption(u"结果");
    Command2.setEnabled(false);

    Text3.move(11160, 4920, 1215, 375);
    Text3.setText(u"0");
    Text3.setEnabled(false);

    Label3.move(10560, 5040, 495, 495);
    Label3.setCaption(u"得分");

    Command3.move(5040, 4560, 1095, 975);
    Command3.setCaption(u"开始考试");

    Label4.move(240, 0, 7695, 375);
    Label4.setCaption(u" ");
    Label4.setBackColor(Red);
    Label4.setAlignment(platform::Label::LeftJustify);
    Label4.setFont(songFont(18, 134)); // GB2312
    // 18 points in a bar 375 twips high: what the clock and Hand in write there is kept inside it.
    Label4.setInkSample(u"0123456789:-请检查结果");

    Command4.move(7320, 4920, 1215, 495);
    Command4.setCaption(u"交卷");
    Command4.setEnabled(false);

    Command5.move(12720, 4920, 975, 375);
    Command5.setCaption(u"重新开始");
    Command5.setEnabled(false);

    Timer1.setInterval(800);
    Timer1.setEnabled(false);

    // The answer boxes follow the buttons in the keyboard order, by question number; Enter moves on.
    Text2.setTabAnchor(Command5);
    Text2.setEnterMovesToNext(true);

    // For screen readers: each box is named by the caption beside it, each answer box by its question; a
    // right answer is told by more than its green; the score is said when Results sets it.
    Text1.setLabelledBy(Label1[0]);
    Text2[0].setLabelledBy(Label2);
    Text3.setLabelledBy(Label3);
    Text2.setAccessibleNames(u"第 %1 题");
    Text2.describeColour(Green, u"正确");
    Text3.setAnnounced(true);

    Command1.onClick([this] { Command1_Click(*this); });
    Command2.onClick([this] { Command2_Click(*this); });
    Command3.onClick([this] { Command3_Click(*this); });
    Command4.onClick([this] { Command4_Click(*this); });
    Command5.onClick([this] { Command5_Click(*this); });
    Timer1.onTimer([this] { Timer1_Timer(*this); });
}

Form1::~Form1() = default;

void Form1::load()
{
    Form_Load(*this);
}

void Form1::firstPainted()
{
    m_services.windowPainted();
}
