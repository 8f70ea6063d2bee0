#pragma once

// The keyboard over a form, with no view: the order Tab follows, what Tab and Enter do, and where the focus
// goes when the window is activated again. Pure functions of the form's controls.

#include "view.h"

#include <vector>

namespace platform {

class Form;

// The controls in keyboard order: the form's own in their order, each array's run-time elements right after
// its anchor, in index order, wherever they lie.
std::vector<Control *> keyboardOrder(const Form &form);

// Visible, enabled and not a label.
bool takesFocus(const Control &control);

// What a key does where `at` has the focus (nullptr: no control has it). A key pressed with Control, Alt or
// Meta is the system's (a browser's tab switching, a window manager's shortcuts, an input method's): the
// runtime never takes it. Tab (with Shift: backward) moves along the keyboard order to the next control that
// takes the focus, round from the last to the first. Enter in a run-time element of an array that asks for it
// moves on to the next element, which takes the focus wherever it lies; in the last, it stays.
struct KeyMove {
    bool taken = false; // the runtime's key: the view drops it
    Control *focus = nullptr; // where the focus goes; nullptr: it stays
};
KeyMove keyMove(const Form &form, const Control *at, Key key, Modifiers modifiers);

// Where the focus goes when the window is activated again: back to `last`, the control that had it, while it
// takes the focus; else to the first control in keyboard order that does (nullptr: none).
Control *focusOnActivation(const Form &form, Control *last);

} // namespace platform
