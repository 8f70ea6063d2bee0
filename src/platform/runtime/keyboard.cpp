#include "keyboard.h"

#include "platform/forms/controlarray.h"
#include "platform/forms/form.h"

#include <algorithm>

namespace platform {

std::vector<Control *> keyboardOrder(const Form &form)
{
    std::vector<Control *> order;
    for (Control *control : form.controls()) {
        order.push_back(control);
        for (const ControlArrayBase *array : form.arrays()) {
            if (array->tabAnchor() != control)
                continue;
            for (int index = 1; index < array->end(); ++index)
                if (Control *element = array->element(index))
                    order.push_back(element);
        }
    }
    return order;
}

bool takesFocus(const Control &control)
{
    return control.kind() != Control::Kind::Label && control.isVisible() && control.isEnabled();
}

namespace {

Control *nextInOrder(const Form &form, const Control *from, bool backward)
{
    const std::vector<Control *> order = keyboardOrder(form);
    const auto at = std::find(order.begin(), order.end(), from);
    const auto count = std::ptrdiff_t(order.size());
    // From nothing, forward starts at the first control and backward at the last.
    std::ptrdiff_t index = at != order.end() ? at - order.begin() : (backward ? count : -1);
    for (std::ptrdiff_t step = 0; step < count; ++step) {
        index = (index + (backward ? count - 1 : 1)) % count;
        if (takesFocus(*order[size_t(index)]))
            return order[size_t(index)];
    }
    return nullptr;
}

} // namespace

KeyMove keyMove(const Form &form, const Control *at, Key key, Modifiers modifiers)
{
    if (modifiers.control || modifiers.alt || modifiers.meta)
        return {};
    if (key == Key::Tab) {
        Control *next = nextInOrder(form, at, modifiers.shift);
        return {next != nullptr, next};
    }
    if (!at || !at->isRunTime() || !at->array() || !at->array()->enterMovesToNext())
        return {};
    Control *next = at->array()->element(at->index() + 1);
    return {true, next && takesFocus(*next) ? next : nullptr};
}

Control *focusOnActivation(const Form &form, Control *last)
{
    if (last && takesFocus(*last))
        return last;
    return nextInOrder(form, nullptr, false);
}

} // namespace platform
