#pragma once

#include "launches.h"
#include "platform/forms/controlarray.h"
#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/system/services.h"

#include <cstdint>
#include <string_view>

// The caption of the window and the title of its message.
inline constexpr std::u16string_view ApplicationTitle = u"QuillmarkV1.0";

// The exam window: its fourteen controls and the two values kept beside them. All of the program's state
// lives here; the event handlers read and write it directly.
class Form1 final : public platform::Form {
public:
    // Colours of the window's controls, 0x00BBGGRR.
    static constexpr platform::Colour Red = 0x0000FF;
    static constexpr platform::Colour Green = 0x00FF00;
    static constexpr platform::Colour White = 0xFFFFFF;
    // The client area's size in twips: 1035 by 390 pixels at 96 dots per inch.
    static constexpr float ClientWidth = 15525;
    static constexpr float ClientHeight = 5850;

    explicit Form1(platform::Services &services);
    ~Form1() override;

    platform::Services &services() { return m_services; }

private:
    // The system's services, with the browser launched after the window's first paint.
    LaunchesAfterFirstPaint m_services;

public:
    // The controls, in keyboard order. Element i >= 1 of Text2 and Label1 is the answer box and the number of
    // question i; element 0 is the minutes box and the caption of the question count.
    platform::ListBox List1{*this}; // the answer key's lines, hidden until Results
    platform::TextBox Text1{*this}; // 题目数: the number of questions
    platform::CommandButton Command1{*this}; // 准备做题 Prepare: lays out the answer sheet
    platform::ControlArray<platform::TextBox> Text2{*this}; // (0) the minutes; (i) the answer to question i
    platform::ControlArray<platform::Label> Label1{*this}; // (0) 题目数, the count's caption; (i) number i
    platform::Label Label2{*this}; // 时间 … 分钟 n: the caption around the minutes box
    platform::CommandButton Command2{*this}; // 结果 Results: grades the sheet
    platform::TextBox Text3{*this}; // the score, never editable
    platform::Label Label3{*this}; // 得分: the score's caption
    platform::CommandButton Command3{*this}; // 开始考试 Start: starts the clock
    platform::Label Label4{*this}; // the red time bar, with the time left
    platform::CommandButton Command4{*this}; // 交卷 Hand in: stops the clock, locks the answers
    platform::CommandButton Command5{*this}; // 重新开始 Restart: ready for the next exam
    platform::Timer Timer1{*this}; // the clock's 800 ms tick

    // The exam length in seconds and the tick count at Start; 0 until the first Start.
    double TotalSeconds = 0;
    std::int32_t StartTick = 0;

protected:
    void load() override;
    void firstPainted() override;
};
