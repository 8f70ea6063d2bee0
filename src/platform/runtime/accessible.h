#pragma once

// What screen readers are told of a control, with no view: its name, its description, and what is announced
// when the program sets its text.

#include "platform/forms/control.h"

#include <string>

namespace platform {

// An element of an array by the array's names ("第 12 题"), a control with a label beside it by that label's
// caption; empty otherwise (a button or a label is named by its own caption).
std::u16string accessibleName(const Control &control);

// What the colour of an array's element means ("正确"); empty otherwise.
std::u16string accessibleDescription(const Control &control);

// What screen readers are told when the program sets the text of control, an announced text box: its name and
// its text ("得分 3"); empty when it is not announced.
std::u16string announcement(const Control &control);

} // namespace platform
