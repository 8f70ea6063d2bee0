#pragma once

#include "platform/control.h"

#include <windows.h>

namespace platform::win32 {

class Window;

// Twips at a screen's dots per inch: 1440 twips an inch, so 15 to a pixel at 96 DPI.
int twipsToPixels(double twips, int dpi);

// Where a control's window is, or would be, in pixels of the client area.
RECT pixelRect(const Control &control, int dpi);

// One of the system's own controls (EDIT, STATIC, BUTTON, LISTBOX) showing one control of the form at a time:
// made for a design-time control at the start, and handed from one run-time control to another as they come
// into view and leave it. It belongs to its system window and goes with it.
class Peer final : public ControlPeer {
public:
    // Makes the system window, hidden, as a child of window.
    Peer(Control::Kind kind, Window &window);
    Peer(const Peer &) = delete;
    Peer &operator=(const Peer &) = delete;

    HWND hwnd() const { return m_hwnd; }
    Control *control() const { return m_control; }
    Control::Kind kind() const { return m_kind; }

    // Shows control, every property of it in full: nothing of a control shown before may remain. nullptr
    // lets go of the control shown.
    void bind(Control *control);
    // Moves and resizes the system window, and sets its font, for the screen the form's window is on.
    void place();
    void setFont();

    void changed(Change change) override;
    void controlDestroyed() override;

    // The colours the system window paints itself in, answering WM_CTLCOLOR*: the brush of the background,
    // or nullptr for the system's own.
    HBRUSH colours(HDC dc) const;

    // What the user does in it, which decides whether it may go while out of view (see Window::inUse).
    bool composing = false;
    bool menuOpen = false;

    // The Peer of a system window made by one, or nullptr.
    static Peer *of(HWND hwnd);

private:
    ~Peer() = default; // with its system window: see subclassProc

    static LRESULT CALLBACK subclassProc(
        HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data);
    void show(Change change);
    // A locked answer box painted as the user must read it: its own colour, black text.
    void paintLocked();

    Window &m_window;
    HWND m_hwnd = nullptr;
    Control *m_control = nullptr;
    Control::Kind m_kind;
};

// The system window showing control, or nullptr while it has none.
HWND windowOf(const Control &control);

} // namespace platform::win32
