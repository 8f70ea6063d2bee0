#pragma once

#include "platform/controlarray.h"
#include "platform/controls.h"
#include "platform/services.h"
#include "platform/window.h"

#include <QString>

// The caption of the window and the title of its message.
inline const QString ApplicationTitle = QStringLiteral("QuillmarkV1.0");

// The exam window: its fourteen controls and the two values kept beside them. All of the program's state
// lives here; the event handlers read and write it directly. Top-level, it has no parent to take.
class Form1 final : public platform::Window { // clazy:exclude=ctor-missing-parent-argument
    Q_OBJECT

public:
    // Colours of the window's controls, 0x00BBGGRR.
    static constexpr platform::Colour Red = 0x0000FF;
    static constexpr platform::Colour Green = 0x00FF00;
    static constexpr platform::Colour White = 0xFFFFFF;

    explicit Form1(platform::Services &services = platform::systemServices());
    ~Form1() override;

    platform::Services &services() { return m_services; }

private:
    // The system's services, with the browser launched after the window's first paint.
    platform::LaunchesAfterFirstPaint m_services;

public:
    // The controls, in keyboard order. Element i >= 1 of Text2 and Label1 is the answer box and the number of
    // question i; element 0 is the minutes box and the caption of the question count.
    platform::ListBox List1{*this};
    platform::TextBox Text1{*this};
    platform::CommandButton Command1{*this};
    platform::ControlArray<platform::TextBox> Text2{*this};
    platform::ControlArray<platform::Label> Label1{*this};
    platform::Label Label2{*this};
    platform::CommandButton Command2{*this};
    platform::TextBox Text3{*this};
    platform::Label Label3{*this};
    platform::CommandButton Command3{*this};
    platform::Label Label4{*this};
    platform::CommandButton Command4{*this};
    platform::CommandButton Command5{*this};
    platform::Timer Timer1{*this};

    // The exam length in seconds and the tick count at Start; 0 until the first Start.
    double TotalSeconds = 0;
    qint32 StartTick = 0;

protected:
    void load() override;
    void firstPainted() override;
};
