#pragma once

class Form1;

// Restart: readies the buttons and input boxes for the next exam; the last sheet, score and bar stay in view.
void Command5_Click(Form1 &form);
