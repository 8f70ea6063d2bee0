#pragma once

#include "platform/form.h"

#include <windows.h>

#include <array>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::win32 {

class Peer;

// A form shown as a top-level window of the system's own, with its controls as the system's own child
// windows: one for each design-time control, and ones for the run-time controls that lie in view, made and
// dropped after each event and on resizes. Windows limits a process's window objects (10,000 by default), so
// a sheet of 32767 boxes must cost windows only for the few the user can see. A window the user is working in
// (inUse) is kept while out of view, and released once the user has left it.
//
// Twips become pixels at the window's DPI (per monitor, where the system tells it).
class Window final : private FormView {
public:
    // The form's timer i ticks with WM_TIMER carrying TimerIdBase + i.
    static constexpr UINT_PTR TimerIdBase = 100;

    explicit Window(Form &form);
    Window(const Window &) = delete;
    Window &operator=(const Window &) = delete;
    ~Window();

    Form &form() const { return m_form; }
    HWND hwnd() const { return m_hwnd; }
    int dpi() const { return m_dpi; }

    // Runs the form's load, then shows the window: a message of the load comes before the window.
    void show(int command = SW_SHOWNORMAL);

    // Runs the program's message loop until the window is closed; returns the exit code.
    static int run();
    // What the loop does with one message: the keys that move between controls (Tab, Enter on a button)
    // first.
    static void dispatch(MSG &message);

    // Whether the user is working in a run-time control's window: it has the focus, an input method is
    // composing in it, or it shows a menu. Such a window stays with its control while out of view.
    static bool inUse(HWND hwnd);

    // The font of a control (nullptr: the form's) at the window's DPI; the window owns it.
    HFONT font(const Font *font);
    // A brush of one colour; the window owns it.
    HBRUSH brush(Colour colour);

private:
    friend class Peer;

    // FormView
    void runTimeControlsChanged() override { m_controlsChanged = true; }
    void printed() override;
    void timerChanged(Timer &timer) override;
    void delivered() override { syncControls(); }

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void dpiChanged(int dpi, const RECT *suggested);

    // Gives control a system window, handed on from a control gone out of view where one waits.
    Peer *materialize(Control &control);
    // Takes the system window from the control it shows: a run-time control's waits for the next, unless the
    // user is working in it.
    void release(Peer *peer);

    void syncControls();
    // Gives windows to the array's elements that are visible and inside client, and takes them from the
    // others.
    void syncArray(const ControlArrayBase &array, const RECT &client);
    void focusAfter(HWND hwnd) const;
    // Syncs the run-time controls once the current message is handled: a window that the user has just left,
    // out of view, then goes.
    void syncSoon();
    void reportFirstPaint();
    void nameForAssistiveTechnology(HWND hwnd, std::u16string_view name) const;

    Form &m_form;
    HWND m_hwnd = nullptr;
    int m_dpi = 96;
    std::array<std::vector<Peer *>, 4> m_spares; // windows waiting for a control, by kind
    std::vector<std::pair<Font, HFONT>> m_fonts; // at m_dpi: a form has two or three
    std::map<Colour, HBRUSH> m_brushes;
    HWND m_lastFocus = nullptr; // restored when the window is activated again
    bool m_controlsChanged = false;
    bool m_syncPosted = false;
};

} // namespace platform::win32
