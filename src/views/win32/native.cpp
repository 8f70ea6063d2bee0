#include "native.h"

#include "text.h"
#include "window.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace views::win32 {

using platform::Colour;
using platform::Control;
using platform::Label;

namespace {

// The form's colours are written 0x00BBGGRR, as COLORREF is.
COLORREF colorRef(Colour colour)
{
    return COLORREF(colour & 0xFFFFFF);
}

const wchar_t *className(Control::Kind kind)
{
    switch (kind) {
    case Control::Kind::Label:
        return L"STATIC";
    case Control::Kind::TextBox:
        return L"EDIT";
    case Control::Kind::CommandButton:
        return L"BUTTON";
    case Control::Kind::ListBox:
        break;
    }
    return L"LISTBOX";
}

DWORD style(Control::Kind kind)
{
    // Every child clips its siblings, so that where two overlap the one higher in the stacking order shows.
    const DWORD child = WS_CHILD | WS_CLIPSIBLINGS;
    switch (kind) {
    case Control::Kind::Label:
        return child | SS_LEFTNOWORDWRAP | SS_NOPREFIX;
    case Control::Kind::TextBox:
        return child | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
    case Control::Kind::CommandButton:
        return child | WS_TABSTOP | BS_PUSHBUTTON;
    case Control::Kind::ListBox:
        break;
    }
    return child | WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT;
}

} // namespace

Native::Native(Control::Kind kind, Window &window)
    : NativeControl(kind)
    , m_window(window)
{
    // Text boxes carry the sunken edge of the form's boxes.
    m_hwnd = CreateWindowExW(kind == Control::Kind::TextBox ? WS_EX_CLIENTEDGE : 0, className(kind), L"",
        style(kind), 0, 0, 0, 0, window.hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, LONG_PTR(this));
    SetWindowSubclass(m_hwnd, subclassProc, 0, DWORD_PTR(this));
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

void Native::setBounds(platform::PixelRect bounds)
{
    MoveWindow(m_hwnd, bounds.left, bounds.top, bounds.width, bounds.height, TRUE);
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

void Native::setAccessibleName(std::u16string_view name)
{
    m_window.nameForAssistiveTechnology(m_hwnd, name);
}

void Native::stackUnder(platform::NativeControl *above)
{
    SetWindowPos(m_hwnd, above ? static_cast<Native *>(above)->m_hwnd : HWND_TOP, 0, 0, 0, 0,
        SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Native::focus()
{
    SetFocus(m_hwnd);
    if (kind() == Control::Kind::TextBox)
        SendMessageW(m_hwnd, EM_SETSEL, 0, -1);
}

HBRUSH Native::colours(HDC dc) const
{
    if (!m_colours)
        return nullptr;
    SetTextColor(dc, colorRef(m_colours->text));
    SetBkColor(dc, colorRef(m_colours->background));
    return m_window.brush(m_colours->background);
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
    const int length = GetWindowTextLengthW(m_hwnd);
    std::wstring shown(size_t(length) + 1, L'\0');
    GetWindowTextW(m_hwnd, shown.data(), length + 1);
    shown.resize(size_t(length));
    const HGDIOBJ old = SelectObject(dc, HGDIOBJ(SendMessageW(m_hwnd, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, shown.c_str(), length, &text, DT_SINGLELINE | DT_LEFT | DT_TOP | DT_NOPREFIX);
    SelectObject(dc, old);
    EndPaint(m_hwnd, &paint);
}

LRESULT CALLBACK Native::subclassProc(
    HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    auto *native = reinterpret_cast<Native *>(data);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, subclassProc, 0);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        native->m_hwnd = nullptr;
    }
    platform::Runtime *const events = native->runtime();
    if (message == WM_NCDESTROY || !events)
        return DefSubclassProc(hwnd, message, wParam, lParam);
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
    case WM_GETDLGCODE:
        // Enter in an answer box moves on to the next box, rather than reaching the window as a command.
        if (lParam && reinterpret_cast<const MSG *>(lParam)->message == WM_KEYDOWN
            && reinterpret_cast<const MSG *>(lParam)->wParam == VK_RETURN && runtime.takesEnter(*native))
            return DLGC_WANTALLKEYS;
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN && runtime.enter(*native))
            return 0;
        break;
    case WM_CHAR:
        if (wParam == L'\r' && runtime.takesEnter(*native))
            return 0; // a single-line box would beep at it
        break;
    case WM_SETFOCUS:
        runtime.focused(*native);
        break;
    case WM_KILLFOCUS:
        runtime.idle(*native);
        break;
    case WM_IME_STARTCOMPOSITION:
        native->m_composing = true;
        break;
    case WM_IME_ENDCOMPOSITION:
        native->m_composing = false;
        runtime.idle(*native);
        break;
    case WM_CONTEXTMENU: {
        // The menu runs its own loop inside this message; while it is open the native stays with its control.
        native->m_menuOpen = true;
        const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
        native->m_menuOpen = false;
        runtime.idle(*native);
        return result;
    }
    default:
        break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

} // namespace views::win32
