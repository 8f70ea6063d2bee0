#pragma once

class Form1;

// Results: compares each answer box with its character of the key, counts the score, paints the correct boxes
// green and shows the key. Pressed again, it grades again from the start.
void Command2_Click(Form1 &form);
