#pragma once

class Form1;

// Hand in: stops the clock and locks the answer sheet.
void Command4_Click(Form1 &form);
