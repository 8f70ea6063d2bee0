#pragma once

#include "controls.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class ControlArrayBase;

// What shows a whole form: what it must hear of beyond single controls.
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

// A window of the program as its own code sees it: a caption, a client area holding controls, timers, and
// lines of text drawn on its surface. It runs its event handlers one at a time, each to its end; a view
// shows it and delivers the user's events and the timers' ticks to it.
class Form {
public:
    Form(const Form &) = delete;
    Form &operator=(const Form &) = delete;
    virtual ~Form();

    const std::u16string &caption() const { return m_caption; }
    void setCaption(std::u16string_view caption) { m_caption = caption; }

    // The client area's size in twips; the window stays resizable.
    float clientWidth() const { return m_clientWidth; }
    float clientHeight() const { return m_clientHeight; }
    void setClientSize(float widthTwips, float heightTwips);

    // The font of controls that have none of their own.
    const Font &font() const { return m_font; }
    void setFont(const Font &font) { m_font = font; }

    // Draws a line of text on the window surface at the current text position, then moves that position to
    // the start of the next line. Lines stack from the top-left corner in the form's font and text colour, on
    // a transparent background; nothing removes them.
    void print(std::u16string_view line);
    const std::vector<std::u16string> &printedLines() const { return m_printed; }

    // Runs an event handler, then lets the view catch up with what it changed. Every click and tick reaches
    // its handler through here.
    void deliver(const std::function<void()> &handler);
    bool delivering() const { return m_delivering > 0; }

    // For the runtime. The design-time controls in keyboard order, the control arrays and the timers.
    const std::vector<Control *> &controls() const { return m_controls; }
    const std::vector<ControlArrayBase *> &arrays() const { return m_arrays; }
    const std::vector<Timer *> &timers() const { return m_timers; }
    FormView *view() const { return m_view; }
    void setView(FormView *view) { m_view = view; }

    // Events that only the view knows of: the window is about to show for the first time (its load, run
    // once), and its first paint has reached the screen (run once).
    void showing();
    void painted();
    bool hasLoaded() const { return m_loaded; }
    bool hasPainted() const { return m_painted; }

protected:
    Form() = default;

    virtual void load() { }
    virtual void firstPainted() { }

private:
    friend class Control;
    friend class ControlArrayBase;
    friend class Timer;
    void runTimeControlsChanged()
    {
        if (m_view)
            m_view->runTimeControlsChanged();
    }
    void timerChanged(Timer &timer)
    {
        if (m_view)
            m_view->timerChanged(timer);
    }

    std::u16string m_caption;
    Font m_font;
    float m_clientWidth = 0;
    float m_clientHeight = 0;
    std::vector<std::u16string> m_printed;
    std::vector<Control *> m_controls;
    std::vector<ControlArrayBase *> m_arrays;
    std::vector<Timer *> m_timers;
    FormView *m_view = nullptr;
    int m_delivering = 0;
    bool m_loaded = false;
    bool m_painted = false;
};

} // namespace platform
