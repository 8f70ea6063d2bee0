#include "native.h"

#include "system.h"
#include "window.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace views::win32 {

using platform::Control;
using platform::Label;

namespace {

// Each kind's class and style. Every child clips its siblings, so that where two overlap the one higher in
// the stacking order shows.
struct WindowClass {
    const wchar_t *name = nullptr;
    DWORD style = 0;
};
constexpr platform::KindTable<WindowClass> Classes({
    {L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX},
    {L"EDIT", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL},
    {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON},
    {L"LISTBOX", WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT},
});

COLORREF colorref(platform::Colour colour)
{
    const platform::Rgb rgb = platform::rgbOf(colour);
    return RGB(rgb.red, rgb.green, rgb.blue);
}

} // namespace

Native::Native(Control::Kind kind, platform::PixelRect bounds, Window &window)
    : NativeControl(kind)
    , m_window(window)
{
    // Made where it goes: made elsewhere and then moved, every control would lay itself out twice before the
    // window's first paint. Text boxes carry the sunken edge of the form's boxes.
    const WindowClass &type = Classes[kind];
    m_hwnd = CreateWindowExW(kind == Control::Kind::TextBox ? WS_EX_CLIENTEDGE : 0, type.name, L"",
        WS_CHILD | WS_CLIPSIBLINGS | type.style, bounds.left, bounds.top, bounds.width, bounds.height,
        window.hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, LONG_PTR(this));
    m_controlProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(m_hwnd, GWLP_WNDPROC));
    SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&windowProc));
}

Native::~Native()
{
    if (m_hwnd)
        DestroyWindow(m_hwnd);
}

Native *Native::of(HWND hwnd)
{
    // The system's controls leave their user data to the program.
    return hwnd ? reinterpret_cast<Native *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)) : nullptr;
}

HWND windowOf(const Control &control)
{
    const auto *native = static_cast<const Native *>(platform::Runtime::nativeOf(control));
    return native ? native->hwnd() : nullptr;
}

void Native::setText(std::u16string_view text)
{
    SetWindowTextW(m_hwnd, wide(text).c_str());
    if (kind() == Control::Kind::TextBox)
        SendMessageW(m_hwnd, EM_EMPTYUNDOBUFFER, 0, 0); // of the control shown before
}

void Native::setColours(const std::optional<platform::OwnColours> &colours)
{
    m_colours = colours;
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

void Native::setAlignment(Label::Alignment alignment)
{
    const LONG_PTR old = GetWindowLongPtrW(m_hwnd, GWL_STYLE);
    // A caption stays on its line, as the window was drawn: "时间         分钟 n" just fits its label.
    const LONG_PTR aligned
        = (old & ~LONG_PTR(SS_TYPEMASK)) | (alignment == Label::RightJustify ? SS_RIGHT : SS_LEFTNOWORDWRAP);
    if (aligned != old) {
        SetWindowLongPtrW(m_hwnd, GWL_STYLE, aligned);
        InvalidateRect(m_hwnd, nullptr, TRUE);
    }
}

void Native::setStyle(const platform::TextStyle &style)
{
    // SimSun, or the face that stands in for it, has the half-width spaces and the ink of the captions.
    SendMessageW(m_hwnd, WM_SETFONT, WPARAM(m_window.font(style.font)), TRUE);
}

void Native::setItems(const std::vector<std::u16string> &items)
{
    SendMessageW(m_hwnd, WM_SETREDRAW, FALSE, 0);
    SendMessageW(m_hwnd, LB_RESETCONTENT, 0, 0);
    for (const auto &item : items)
        SendMessageW(m_hwnd, LB_ADDSTRING, 0, LPARAM(wide(item).c_str()));
    SendMessageW(m_hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

void Native::annotate(const MSAAPROPID &property, std::u16string_view text, bool &annotated)
{
    // Unnamed, a control is called by its caption: nothing to annotate, nothing to load at start-up, unless
    // what the control shown before was told is to be taken back.
    if (!text.empty() || annotated)
        views::win32::annotate(m_hwnd, property, text);
    annotated = !text.empty();
}

void Native::stackUnder(platform::NativeControl *above)
{
    SetWindowPos(m_hwnd, above ? static_cast<Native *>(above)->m_hwnd : HWND_TOP, 0, 0, 0, 0,
        SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Native::focus(bool selectAll)
{
    SetFocus(m_hwnd);
    if (selectAll && kind() == Control::Kind::TextBox)
        SendMessageW(m_hwnd, EM_SETSEL, 0, -1);
}

HBRUSH Native::colours(HDC dc) const
{
    if (!m_colours)
        return nullptr;
    SetTextColor(dc, colorref(m_colours->text));
    SetBkColor(dc, colorref(m_colours->background));
    // The DC's own brush, in the colour set on it: no brush to make and keep for each colour.
    SetDCBrushColor(dc, colorref(m_colours->background));
    return HBRUSH(GetStockObject(DC_BRUSH));
}

void Native::paintLocked()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hwnd, &paint);
    RECT client;
    GetClientRect(m_hwnd, &client);
    FillRect(dc, &client, colours(dc));
    RECT text{};
    SendMessageW(m_hwnd, EM_GETRECT, 0, LPARAM(&text));
    const std::wstring shown = textOf(m_hwnd);
    const HGDIOBJ old = SelectObject(dc, HGDIOBJ(SendMessageW(m_hwnd, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, shown.c_str(), int(shown.size()), &text, DT_SINGLELINE | DT_LEFT | DT_TOP | DT_NOPREFIX);
    SelectObject(dc, old);
    EndPaint(m_hwnd, &paint);
}

LRESULT CALLBACK Native::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Native *native = of(hwnd);
    if (!native)
        return DefWindowProcW(hwnd, message, wParam, lParam); // after its last message: none comes
    const WNDPROC control = native->m_controlProc;
    if (message == WM_NCDESTROY) {
        // The control's own procedure stays: the window is going, and whatever took it over after this one
        // keeps its place.
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        native->m_hwnd = nullptr;
    }
    platform::Runtime *const events = native->runtime();
    if (message == WM_NCDESTROY || !events)
        return CallWindowProcW(control, hwnd, message, wParam, lParam);
    platform::Runtime &runtime = *events;
    const bool box = native->kind() == Control::Kind::TextBox;
    switch (message) {
    case WM_PAINT:
        // A disabled EDIT paints its box in the system's grey and its text in a lighter grey, whatever
        // colours its parent gives it: a correct locked answer would lose its green, and the score its
        // contrast.
        if (box && !IsWindowEnabled(hwnd) && native->m_colours) {
            native->paintLocked();
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        if (box && !IsWindowEnabled(hwnd) && native->m_colours)
            return 1;
        break;
    case WM_SETFOCUS:
        runtime.focused(*native);
        break;
    case WM_KILLFOCUS:
        runtime.mayHaveLeft(*native);
        break;
    case WM_IME_STARTCOMPOSITION:
        native->m_composing = true;
        break;
    case WM_IME_ENDCOMPOSITION:
        native->m_composing = false;
        runtime.mayHaveLeft(*native);
        break;
    case WM_CONTEXTMENU: {
        // The menu runs its own loop inside this message; while it is open the native stays with its control.
        native->m_menuOpen = true;
        const LRESULT result = CallWindowProcW(control, hwnd, message, wParam, lParam);
        native->m_menuOpen = false;
        runtime.mayHaveLeft(*native);
        return result;
    }
    default:
        break;
    }
    return CallWindowProcW(control, hwnd, message, wParam, lParam);
}

} // namespace views::win32
