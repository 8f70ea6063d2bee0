#include "peer.h"

#include "platform/controls.h"
#include "text.h"
#include "window.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace platform::win32 {

namespace {

// Text on the program's own background colours is black, locked or not: on white, green and red alike it
// stays well above WCAG AA's 4.5:1, where the system's grey for locked text falls below it on green.
constexpr COLORREF TextOnOwnColour = RGB(0, 0, 0);

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

int twipsToPixels(double twips, int dpi)
{
    // Far outside any screen; keeps huge values from overflowing what the system takes.
    constexpr double Limit = 1e6 * 1440;
    if (!std::isfinite(twips))
        return 0;
    return int(std::lround(std::clamp(twips, -Limit, Limit) * dpi / 1440));
}

RECT pixelRect(const Control &control, int dpi)
{
    const int left = twipsToPixels(control.left(), dpi);
    const int top = twipsToPixels(control.top(), dpi);
    const int right = twipsToPixels(double(control.left()) + double(control.width()), dpi);
    const int bottom = twipsToPixels(double(control.top()) + double(control.height()), dpi);
    return {left, top, std::max(left, right), std::max(top, bottom)};
}

Peer::Peer(Control::Kind kind, Window &window)
    : m_window(window)
    , m_kind(kind)
{
    // Text boxes carry the sunken edge of the form's boxes; each control's identifier is no dialog command
    // (IDOK is 1, IDCANCEL 2), so Enter and Escape in the window reach none.
    m_hwnd = CreateWindowExW(kind == Control::Kind::TextBox ? WS_EX_CLIENTEDGE : 0, className(kind), L"",
        style(kind), 0, 0, 0, 0, window.hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, LONG_PTR(this));
    SetWindowSubclass(m_hwnd, subclassProc, 0, DWORD_PTR(this));
}

Peer *Peer::of(HWND hwnd)
{
    // The system's controls leave their user data to the program.
    return hwnd ? reinterpret_cast<Peer *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)) : nullptr;
}

HWND windowOf(const Control &control)
{
    const auto *peer = static_cast<Peer *>(control.peer());
    return peer ? peer->hwnd() : nullptr;
}

void Peer::bind(Control *control)
{
    if (m_control)
        m_control->setPeer(nullptr);
    m_control = control;
    if (!control)
        return;
    control->setPeer(this);
    for (const Change change : {Change::Text, Change::Alignment, Change::Items, Change::Enabled})
        show(change);
    place();
    setFont();
    ShowWindow(m_hwnd, control->isVisible() ? SW_SHOWNA : SW_HIDE);
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

void Peer::place()
{
    const RECT rect = pixelRect(*m_control, m_window.dpi());
    MoveWindow(m_hwnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

void Peer::setFont()
{
    const Font *font
        = m_kind == Control::Kind::Label ? static_cast<const Label *>(m_control)->font() : nullptr;
    SendMessageW(m_hwnd, WM_SETFONT, WPARAM(m_window.font(font)), TRUE);
}

void Peer::changed(Change change)
{
    switch (change) {
    case Change::Geometry:
        place();
        return;
    case Change::Font:
        setFont();
        return;
    case Change::Visible:
        // A run-time control's visibility decides whether it has a window at all: the form's window sees to
        // it.
        if (!m_control->isRunTime())
            ShowWindow(m_hwnd, m_control->isVisible() ? SW_SHOWNA : SW_HIDE);
        return;
    case Change::BackColor:
        InvalidateRect(m_hwnd, nullptr, TRUE);
        return;
    default:
        show(change);
    }
}

void Peer::controlDestroyed()
{
    m_window.release(this);
}

void Peer::show(Change change)
{
    if (change == Change::Enabled) {
        EnableWindow(m_hwnd, m_control->isEnabled());
        return;
    }
    switch (m_kind) {
    case Control::Kind::TextBox: {
        const auto &box = static_cast<const TextBox &>(*m_control);
        if (change == Change::Text) {
            // Also empties the undo buffer that a window handed on from another box would carry.
            SetWindowTextW(m_hwnd, wide(box.text()).c_str());
            SendMessageW(m_hwnd, EM_EMPTYUNDOBUFFER, 0, 0);
        } else if (change == Change::SelectAll) {
            SetFocus(m_hwnd);
            SendMessageW(m_hwnd, EM_SETSEL, 0, -1);
        }
        return;
    }
    case Control::Kind::Label: {
        const auto &label = static_cast<const Label &>(*m_control);
        if (change == Change::Text) {
            SetWindowTextW(m_hwnd, wide(label.caption()).c_str());
        } else if (change == Change::Alignment) {
            const LONG_PTR old = GetWindowLongPtrW(m_hwnd, GWL_STYLE);
            // A caption stays on its line, as the window was drawn: "时间         分钟 n" just fits its
            // label.
            const LONG_PTR aligned = (old & ~LONG_PTR(SS_TYPEMASK))
                | (label.alignment() == Label::RightJustify ? SS_RIGHT : SS_LEFTNOWORDWRAP);
            if (aligned != old) {
                SetWindowLongPtrW(m_hwnd, GWL_STYLE, aligned);
                InvalidateRect(m_hwnd, nullptr, TRUE);
            }
        }
        return;
    }
    case Control::Kind::CommandButton:
        if (change == Change::Text)
            SetWindowTextW(m_hwnd, wide(static_cast<const CommandButton &>(*m_control).caption()).c_str());
        return;
    case Control::Kind::ListBox: {
        const auto &list = static_cast<const ListBox &>(*m_control);
        if (change == Change::Items) {
            SendMessageW(m_hwnd, LB_RESETCONTENT, 0, 0);
            for (const auto &item : list.items())
                SendMessageW(m_hwnd, LB_ADDSTRING, 0, LPARAM(wide(item).c_str()));
        } else if (change == Change::ItemAdded) {
            SendMessageW(m_hwnd, LB_ADDSTRING, 0, LPARAM(wide(list.items().back()).c_str()));
        }
        return;
    }
    }
}

HBRUSH Peer::colours(HDC dc) const
{
    if (!m_control)
        return nullptr;
    Colour colour = 0;
    if (m_kind == Control::Kind::TextBox) {
        colour = static_cast<const TextBox *>(m_control)->backColor();
    } else if (m_kind == Control::Kind::Label && static_cast<const Label *>(m_control)->backColor()) {
        colour = *static_cast<const Label *>(m_control)->backColor();
    } else {
        return nullptr;
    }
    SetTextColor(dc, TextOnOwnColour);
    SetBkColor(dc, colorRef(colour));
    return m_window.brush(colour);
}

void Peer::paintLocked()
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

LRESULT CALLBACK Peer::subclassProc(
    HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    auto *peer = reinterpret_cast<Peer *>(data);
    const bool box = peer->m_kind == Control::Kind::TextBox;
    switch (message) {
    case WM_NCDESTROY: {
        RemoveWindowSubclass(hwnd, subclassProc, 0);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        if (peer->m_control)
            peer->m_control->setPeer(nullptr);
        delete peer;
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    case WM_PAINT:
        // A disabled EDIT paints its box in the system's grey and its text in a lighter grey, whatever
        // colours its parent gives it: a correct locked answer would lose its green, and the score its
        // contrast.
        if (box && !IsWindowEnabled(hwnd) && peer->m_control) {
            peer->paintLocked();
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        if (box && !IsWindowEnabled(hwnd) && peer->m_control)
            return 1;
        break;
    case WM_GETDLGCODE:
        // Enter in an answer box moves on to the next box, rather than reaching the window as a command.
        if (box && lParam && reinterpret_cast<const MSG *>(lParam)->message == WM_KEYDOWN
            && reinterpret_cast<const MSG *>(lParam)->wParam == VK_RETURN && peer->m_control
            && peer->m_control->isRunTime())
            return DLGC_WANTALLKEYS;
        break;
    case WM_KEYDOWN:
        if (box && wParam == VK_RETURN && peer->m_control && peer->m_control->isRunTime()) {
            peer->m_window.focusAfter(hwnd);
            return 0;
        }
        break;
    case WM_CHAR:
        if (box && wParam == L'\r' && peer->m_control && peer->m_control->isRunTime())
            return 0; // a single-line box would beep at it
        break;
    case WM_IME_STARTCOMPOSITION:
        peer->composing = true;
        break;
    case WM_IME_ENDCOMPOSITION:
        peer->composing = false;
        peer->m_window.syncSoon();
        break;
    case WM_KILLFOCUS:
        peer->m_window.syncSoon();
        break;
    case WM_CONTEXTMENU: {
        // The menu runs its own loop inside this message; while it is open the window stays with its control.
        peer->menuOpen = true;
        const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
        peer->menuOpen = false;
        peer->m_window.syncSoon();
        return result;
    }
    default:
        break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

} // namespace platform::win32
