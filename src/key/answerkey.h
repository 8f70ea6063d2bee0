#pragma once

#include "platform/forms/controls.h"

#include <string>
#include <string_view>

inline constexpr std::u16string_view AnswerKeyFileName = u"答案.txt";

// Lines of the key file: a header, then one line of five answers for each group of five questions.
inline constexpr int KeyHeaderLines = 1;
inline constexpr int KeyLines = 33;

// The key file's path in directory (see platform::joinPath).
std::u16string answerKeyPath(std::u16string_view directory);

// Fills the key list List1 with the 33 key lines of the key file in the program's directory: an empty item
// for each line that could not be read. Nothing about the file stops the program or is reported.
void LoadAnswerKey(platform::ListBox &List1, std::u16string_view directory);
