#pragma once

class Form1;

// Prepare: replaces the answer sheet with one numbered box for each question counted in Text1.
void Command1_Click(Form1 &form);
