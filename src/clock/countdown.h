#pragma once

class Form1;

// Full width of the time bar during an exam, in twips.
inline constexpr float FullBarWidth = 8000;

// Start: fixes the exam length and start time and sets the clock going.
void Command3_Click(Form1 &form);

// The tick: narrows the bar to the whole seconds left, writes the time left into it, and ends the exam when
// no time is left.
void Timer1_Timer(Form1 &form);
