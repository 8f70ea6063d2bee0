#pragma once

namespace platform {

class Timer;

// What changed about a control, for the view that shows it.
enum class Change {
    Geometry,
    Visible,
    Enabled,
    Text, // a text box's text, a label's or a button's caption
    BackColor,
    Alignment,
    Font,
    Items, // a list box's items, all of them
    ItemAdded, // the list box's last item is new
    SelectAll, // a text box asks for the focus with its whole text selected
};

// A view's showing of one control, a widget or a window of the system's, told of every change that it shows.
// A control has at most one at a time, and run-time controls have one only while the view shows them.
class ControlPeer {
public:
    virtual void changed(Change change) = 0;
    // The control is being destroyed; the peer must let go of it.
    virtual void controlDestroyed() = 0;

protected:
    ControlPeer() = default;
    ControlPeer(const ControlPeer &) = default;
    ControlPeer &operator=(const ControlPeer &) = default;
    ~ControlPeer() = default;
};

// A view of a whole form: what it must hear of beyond single controls.
class FormView {
public:
    // A run-time control was made or destroyed, or moved, resized, shown or hidden: which of them lie in
    // view may have changed.
    virtual void runTimeControlsChanged() = 0;
    // A line was printed on the form's surface.
    virtual void printed() = 0;
    // A timer was enabled or disabled, or its interval changed.
    virtual void timerChanged(Timer &timer) = 0;
    // An event handler has run to its end.
    virtual void delivered() = 0;

protected:
    FormView() = default;
    FormView(const FormView &) = default;
    FormView &operator=(const FormView &) = default;
    ~FormView() = default;
};

} // namespace platform
