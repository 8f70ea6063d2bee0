#pragma once

#include "platform/runtime/view.h"
#include "system.h"

#include <windows.h>

#include <oleacc.h>

namespace views::win32 {

class Window;

// One of the system's own controls (EDIT, STATIC, BUTTON, LISTBOX) showing one control at a time, a child
// window of the form's window, made at bounds; it is destroyed with this.
class Native final : public platform::NativeControl {
public:
    Native(platform::Control::Kind kind, platform::PixelRect bounds, Window &window);
    Native(const Native &) = delete;
    Native &operator=(const Native &) = delete;
    ~Native() override;

    // nullptr once the window is gone.
    HWND hwnd() const { return m_hwnd; }

    void setBounds(platform::PixelRect r) override
    {
        MoveWindow(m_hwnd, r.left, r.top, r.width, r.height, TRUE);
    }
    void setVisible(bool visible) override { ShowWindow(m_hwnd, visible ? SW_SHOWNA : SW_HIDE); }
    void setEnabled(bool enabled) override { EnableWindow(m_hwnd, enabled); }
    void setText(std::u16string_view text) override;
    void setColours(const std::optional<platform::OwnColours> &colours) override;
    void setAlignment(platform::Label::Alignment alignment) override;
    void setStyle(const platform::TextStyle &style) override;
    bool busy() const override { return m_composing || m_menuOpen; }
    void setItems(const std::vector<std::u16string> &items) override;
    void setAccessibleName(std::u16string_view name) override { annotate(PROPID_ACC_NAME, name, m_named); }
    void setAccessibleDescription(std::u16string_view text) override
    {
        annotate(PROPID_ACC_DESCRIPTION, text, m_described);
    }
    // Screen readers read the live region's name and text: the announcement's words.
    void announce(std::u16string_view) override { announceChange(m_hwnd); }
    void stackUnder(platform::NativeControl *above) override;
    void focus(bool selectAll) override;

    // The colours it paints itself in, answering WM_CTLCOLOR*: the brush of the background, or nullptr for
    // the system's own.
    HBRUSH colours(HDC dc) const;

    // The Native of a system window made by one, or nullptr.
    static Native *of(HWND hwnd);

private:
    // Its window procedure, ahead of the control's own. Put in place of that one rather than through
    // comctl32's SetWindowSubclass, which finds its chain in a window property on every message: under Wine a
    // round trip to the server, and the controls take hundreds of messages before the window's first paint.
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // A locked answer box painted as the user must read it: its own colours.
    void paintLocked();
    // Tells screen readers one of its properties, in `annotated` whether it has told them anything.
    void annotate(const MSAAPROPID &property, std::u16string_view text, bool &annotated);

    Window &m_window;
    HWND m_hwnd = nullptr;
    WNDPROC m_controlProc = nullptr; // the control's own
    std::optional<platform::OwnColours> m_colours;
    bool m_named = false; // annotated: a name or a description to take back when it is handed on
    bool m_described = false;
    bool m_composing = false;
    bool m_menuOpen = false;
};

// The system window showing control, or nullptr while it has none.
HWND windowOf(const platform::Control &control);

} // namespace views::win32
