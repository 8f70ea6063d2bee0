#pragma once

#include "platform/runtime/view.h"

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace views::win32 {

// A form shown as a top-level window of the system's own, its controls as the system's own child windows (see
// platform::Runtime for which and when: Windows limits a process's window objects, 10,000 by default, so a
// sheet of 32767 boxes must cost windows only for the few the user can see). Twips become pixels at the
// window's DPI, per monitor where the system tells it.
class Window final : private platform::Toolkit {
public:
    // The toolkit's timer id ticks with WM_TIMER carrying TimerIdBase + id.
    static constexpr UINT_PTR TimerIdBase = 100;

    explicit Window(platform::Form &form);
    Window(const Window &) = delete;
    Window &operator=(const Window &) = delete;
    ~Window();

    platform::Runtime &runtime() const { return *m_runtime; }
    HWND hwnd() const { return m_hwnd; }
    int dpi() const override { return m_dpi; }
    bool closing() const { return !m_runtime; }

    // Runs the form's load, then shows the window: a message of the load comes before the window.
    void show(int command = SW_SHOWNORMAL);

    // Runs the program's message loop until the window is closed; returns the exit code.
    static int run();
    // What the loop does with one message: the keys whose meaning the runtime decides (Tab, Enter) first.
    static void dispatch(MSG &message);

    // The font of a control (nullptr: the form's) at the window's DPI; the window owns it.
    HFONT font(const platform::Font *font);

private:
    // Toolkit
    void setLook(const platform::WindowLook &look) override;
    std::unique_ptr<platform::NativeControl> make(
        platform::Control::Kind kind, platform::PixelRect bounds) override;
    platform::PixelSize clientSize() const override;
    void post() override;
    void setTimer(int id, int milliseconds) override;
    void printed(const std::vector<std::u16string> &lines, std::u16string_view description) override;
    bool movesFocusOnTab() const override { return true; } // the dialog manager's

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void dpiChanged(int dpi, const RECT *suggested);

    HWND m_hwnd = nullptr;
    int m_dpi = 96;
    platform::Font m_font; // the window's
    std::vector<std::pair<platform::Font, HFONT>> m_fonts; // at m_dpi: a form has two or three
    std::vector<std::wstring> m_printed;
    std::unique_ptr<platform::Runtime> m_runtime; // last: it makes child windows of this one
};

} // namespace views::win32
