#include "window.h"

#include "peer.h"
#include "platform/controlarray.h"
#include "resource.h"
#include "text.h"

#include <oleacc.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace platform::win32 {

namespace {

constexpr wchar_t ClassName[] = L"QuillmarkForm";

// The window's own messages: a sync once the current message is handled, the first paint on the screen, and
// a child window that the user was working in, to destroy once its message is over.
constexpr UINT SyncMessage = WM_APP + 1;
constexpr UINT PaintedMessage = WM_APP + 2;
constexpr UINT DestroyLaterMessage = WM_APP + 3;

// The first-paint fallback's timer; the form's come from TimerIdBase on.
constexpr UINT_PTR FirstPaintTimer = 1;

// Child window identifiers: design-time controls from DesignBase, elements of arrays from IndexBase plus
// their index. None is IDOK (1) or IDCANCEL (2), which Enter and Escape send.
constexpr int DesignBase = 100;
constexpr int IndexBase = 1000;

// Functions of Windows 10 that Windows 7 lacks: looked up, not linked, so that the program starts there too.
template <class Function> Function user32(const char *name)
{
    const FARPROC proc = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(proc));
}

int dpiOf(HWND hwnd)
{
    static const auto getDpiForWindow = user32<UINT(WINAPI *)(HWND)>("GetDpiForWindow");
    if (getDpiForWindow)
        return int(getDpiForWindow(hwnd));
    HDC dc = GetDC(hwnd);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(hwnd, dc);
    return dpi;
}

// The outer size of a window whose client area is width by height pixels.
SIZE outerSize(HWND hwnd, int width, int height, int dpi)
{
    static const auto adjustForDpi
        = user32<BOOL(WINAPI *)(LPRECT, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    RECT rect{0, 0, width, height};
    const auto style = DWORD(GetWindowLongPtrW(hwnd, GWL_STYLE));
    const auto exStyle = DWORD(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
    if (adjustForDpi)
        adjustForDpi(&rect, style, FALSE, exStyle, UINT(dpi));
    else
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// Names and descriptions for screen readers, through the system's dynamic annotation; nothing where the
// system has none.
IAccPropServices *accessibility()
{
    static IAccPropServices *services = [] {
        IAccPropServices *created = nullptr;
        if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                IID_IAccPropServices, reinterpret_cast<void **>(&created))))
            return static_cast<IAccPropServices *>(nullptr);
        return created;
    }();
    return services;
}

// The form windows' class, registered once; its atom tells them from every other window.
ATOM registerClass(HINSTANCE instance, WNDPROC proc)
{
    static const ATOM atom = [instance, proc] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = proc;
        windowClass.hInstance = instance;
        windowClass.hIcon = HICON(LoadImageW(
            instance, MAKEINTRESOURCEW(IDI_QUILLMARK), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
        windowClass.hIconSm = HICON(LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUILLMARK), IMAGE_ICON,
            GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
        windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = ClassName;
        return RegisterClassExW(&windowClass);
    }();
    return atom;
}

} // namespace

Window::Window(Form &form)
    : m_form(form)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    registerClass(instance, windowProc);
    // WS_EX_CONTROLPARENT: Tab walks the controls, as in a dialog. WS_CLIPCHILDREN: the window paints around
    // its controls, not under them, so a resize does not flicker.
    CreateWindowExW(WS_EX_CONTROLPARENT, ClassName, wide(form.caption()).c_str(),
        WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
        nullptr, nullptr, instance, this);
    m_dpi = dpiOf(m_hwnd);
    const SIZE size = outerSize(
        m_hwnd, twipsToPixels(form.clientWidth(), m_dpi), twipsToPixels(form.clientHeight(), m_dpi), m_dpi);
    SetWindowPos(m_hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    // The design-time controls, each after the one before: the stacking order is the keyboard order.
    HWND previous = HWND_TOP;
    int id = DesignBase;
    for (Control *control : form.controls()) {
        Peer *peer = materialize(*control);
        SetWindowLongPtrW(peer->hwnd(), GWLP_ID, id++);
        SetWindowPos(peer->hwnd(), previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = peer->hwnd();
    }
    for (Timer *timer : form.timers())
        timerChanged(*timer);
    form.setView(this);
    m_controlsChanged = true;
}

Window::~Window()
{
    m_form.setView(nullptr);
    // Destroys every child window, and with each its peer, which lets go of its control.
    if (m_hwnd)
        DestroyWindow(m_hwnd);
    for (const auto &[font, handle] : m_fonts)
        DeleteObject(handle);
    for (const auto &[colour, handle] : m_brushes)
        DeleteObject(handle);
}

void Window::show(int command)
{
    if (!m_form.hasLoaded()) {
        m_form.showing();
        SetTimer(m_hwnd, FirstPaintTimer, 1000, nullptr);
    }
    syncControls();
    ShowWindow(m_hwnd, command);
    UpdateWindow(m_hwnd);
}

int Window::run()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        dispatch(message);
    return int(message.wParam);
}

void Window::dispatch(MSG &message)
{
    const HWND top = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    const ATOM form = registerClass(GetModuleHandleW(nullptr), windowProc);
    if (top && GetClassLongPtrW(top, GCW_ATOM) == form && IsDialogMessageW(top, &message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

bool Window::inUse(HWND hwnd)
{
    const Peer *peer = Peer::of(hwnd);
    return GetFocus() == hwnd || (peer && (peer->composing || peer->menuOpen));
}

HFONT Window::font(const Font *font)
{
    const Font &wanted = font ? *font : m_form.font();
    for (const auto &[known, handle] : m_fonts)
        if (known == wanted)
            return handle;
    const std::wstring face = wide(wanted.name);
    const int pixels = int(std::lround(wanted.points * m_dpi / 72));
    // Small sizes are drawn crisp, as SimSun draws them from its own bitmaps: smoothed, the thin strokes of
    // a 12-pixel letter fade to a grey that a locked answer cannot be read in.
    const DWORD quality = pixels <= 16 ? NONANTIALIASED_QUALITY : DEFAULT_QUALITY;
    const HFONT handle = CreateFontW(-pixels, 0, 0, 0, wanted.weight, wanted.italic, wanted.underline,
        wanted.strikeOut, DWORD(wanted.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, quality,
        DEFAULT_PITCH | FF_DONTCARE, face.c_str());
    m_fonts.emplace_back(wanted, handle);
    return handle;
}

HBRUSH Window::brush(Colour colour)
{
    auto &handle = m_brushes[colour];
    if (!handle)
        handle = CreateSolidBrush(COLORREF(colour & 0xFFFFFF));
    return handle;
}

Peer *Window::materialize(Control &control)
{
    const auto kind = size_t(control.kind());
    Peer *peer = nullptr;
    if (control.isRunTime() && !m_spares.at(kind).empty()) {
        peer = m_spares.at(kind).back();
        m_spares.at(kind).pop_back();
    } else {
        peer = new Peer(control.kind(), *this);
    }
    peer->bind(&control);
    return peer;
}

void Window::release(Peer *peer)
{
    const bool runTime = peer->control()->isRunTime();
    peer->bind(nullptr);
    const HWND hwnd = peer->hwnd();
    // As many as a large screen shows; beyond that a window is only memory.
    constexpr size_t MaxSpares = 1024;
    auto &spares = m_spares.at(size_t(peer->kind()));
    if (runTime && inUse(hwnd)) {
        // The control is gone while the user works in its window (the focus, composed text, a menu): none of
        // that may reach another control, so the window goes too, once the message that holds it is over.
        ShowWindow(hwnd, SW_HIDE);
        PostMessageW(m_hwnd, DestroyLaterMessage, WPARAM(hwnd), 0);
    } else if (runTime && spares.size() < MaxSpares) {
        ShowWindow(hwnd, SW_HIDE);
        spares.push_back(peer);
    } else {
        DestroyWindow(hwnd); // and the peer with it
    }
}

void Window::printed()
{
    InvalidateRect(m_hwnd, nullptr, TRUE);
    // The drawn lines belong to no control: a screen reader learns of them as the window's description.
    std::u16string lines;
    for (const auto &line : m_form.printedLines())
        lines += (lines.empty() ? u"" : u"\n") + line;
    if (IAccPropServices *services = accessibility())
        services->SetHwndPropStr(
            m_hwnd, DWORD(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_DESCRIPTION, wide(lines).c_str());
}

void Window::nameForAssistiveTechnology(HWND hwnd, std::u16string_view name) const
{
    if (IAccPropServices *services = accessibility())
        services->SetHwndPropStr(
            hwnd, DWORD(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME, wide(name).c_str());
}

void Window::timerChanged(Timer &timer)
{
    const auto &timers = m_form.timers();
    const auto found = std::find(timers.begin(), timers.end(), &timer);
    if (found == timers.end())
        return;
    const UINT_PTR id = TimerIdBase + UINT_PTR(found - timers.begin());
    if (timer.isEnabled())
        SetTimer(m_hwnd, id, UINT(timer.interval()), nullptr);
    else
        KillTimer(m_hwnd, id);
}

void Window::syncSoon()
{
    if (m_syncPosted || !m_hwnd)
        return;
    m_syncPosted = true;
    PostMessageW(m_hwnd, SyncMessage, 0, 0);
}

void Window::reportFirstPaint()
{
    if (m_form.hasPainted())
        return;
    KillTimer(m_hwnd, FirstPaintTimer);
    m_form.painted();
}

void Window::syncControls()
{
    if (!m_controlsChanged || !m_hwnd)
        return;
    m_controlsChanged = false;
    RECT client;
    GetClientRect(m_hwnd, &client);
    for (const ControlArrayBase *array : m_form.arrays())
        syncArray(*array, client);
}

void Window::syncArray(const ControlArrayBase &array, const RECT &client)
{
    syncPeers(
        array,
        [this, &client](const Control &control) {
            const RECT rect = pixelRect(control, m_dpi);
            RECT overlap;
            return IntersectRect(&overlap, &client, &rect) != FALSE;
        },
        [](const Control &control) { return inUse(windowOf(control)); },
        [this, &array](Control &control, int index, const Control *previous) {
            const HWND hwnd = materialize(control)->hwnd();
            // A window may come from the spares: give it this element's identity in full.
            SetWindowLongPtrW(hwnd, GWLP_ID, IndexBase + index);
            if (const std::u16string name = array.accessibleName(index); !name.empty())
                nameForAssistiveTechnology(hwnd, name);
            // Labels lie under the boxes they overlap; the rest follow in the keyboard order.
            if (control.kind() == Control::Kind::Label)
                SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            else if (previous)
                SetWindowPos(hwnd, windowOf(*previous), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        },
        [this](const Control &control) { release(static_cast<Peer *>(control.peer())); });
}

void Window::focusAfter(HWND hwnd) const
{
    const Peer *peer = Peer::of(hwnd);
    const int index = GetDlgCtrlID(hwnd) - IndexBase;
    for (const ControlArrayBase *array : m_form.arrays()) {
        if (!peer || array->element(index) != peer->control())
            continue;
        if (const Control *next = array->element(index + 1))
            if (const HWND nextWindow = windowOf(*next)) {
                SetFocus(nextWindow);
                SendMessageW(nextWindow, EM_SETSEL, 0, -1); // as Tab leaves it
            }
        return;
    }
}

void Window::paint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hwnd, &paint);
    if (!m_form.printedLines().empty()) {
        const HGDIOBJ old = SelectObject(dc, font(nullptr));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        TEXTMETRICW metrics;
        GetTextMetricsW(dc, &metrics);
        int y = 0;
        for (const auto &line : m_form.printedLines()) {
            const std::wstring text = wide(line);
            TextOutW(dc, 0, y, text.c_str(), int(text.size()));
            y += metrics.tmHeight;
        }
        SelectObject(dc, old);
    }
    EndPaint(m_hwnd, &paint);
    // Posted: the paint reaches the screen before what waits for it runs.
    if (!m_form.hasPainted())
        PostMessageW(m_hwnd, PaintedMessage, 0, 0);
}

void Window::dpiChanged(int dpi, const RECT *suggested)
{
    m_dpi = dpi;
    const auto fonts = std::exchange(m_fonts, {});
    if (suggested)
        SetWindowPos(m_hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
            suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    const auto replace = [](const Control *control) {
        if (auto *peer = control ? static_cast<Peer *>(control->peer()) : nullptr) {
            peer->place();
            peer->setFont();
        }
    };
    for (const Control *control : m_form.controls())
        replace(control);
    for (const ControlArrayBase *array : m_form.arrays())
        for (int index = 1; index < array->end(); ++index)
            replace(array->element(index));
    // The fonts of the old DPI go once no window uses them; spare windows take new ones when handed on.
    for (const auto &[font, handle] : fonts)
        DeleteObject(handle);
    m_controlsChanged = true;
    syncControls();
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

LRESULT CALLBACK Window::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *window = static_cast<Window *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        window->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, LONG_PTR(window));
    }
    auto *window = reinterpret_cast<Window *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!window)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        window->m_hwnd = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return window->handle(message, wParam, lParam);
}

LRESULT Window::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        Peer *peer = Peer::of(reinterpret_cast<HWND>(lParam));
        Control *control = peer ? peer->control() : nullptr;
        if (!control)
            break;
        if (HIWORD(wParam) == BN_CLICKED && control->kind() == Control::Kind::CommandButton) {
            static_cast<CommandButton *>(control)->click();
        } else if (HIWORD(wParam) == EN_CHANGE && control->kind() == Control::Kind::TextBox) {
            const int length = GetWindowTextLengthW(peer->hwnd());
            std::wstring text(size_t(length) + 1, L'\0');
            GetWindowTextW(peer->hwnd(), text.data(), length + 1);
            static_cast<TextBox *>(control)->typed(std::u16string(text.begin(), text.begin() + length));
        }
        return 0;
    }
    case WM_TIMER:
        if (wParam == FirstPaintTimer) {
            reportFirstPaint();
        } else if (wParam >= TimerIdBase && wParam - TimerIdBase < m_form.timers().size()) {
            m_form.timers()[wParam - TimerIdBase]->elapsed();
        }
        return 0;
    case WM_PAINT:
        paint();
        return 0;
    case PaintedMessage:
        reportFirstPaint();
        return 0;
    case SyncMessage:
        m_syncPosted = false;
        m_controlsChanged = true;
        if (!m_form.delivering())
            syncControls();
        return 0;
    case DestroyLaterMessage:
        DestroyWindow(reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_SIZE:
        m_controlsChanged = true;
        syncControls();
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (const Peer *peer = Peer::of(reinterpret_cast<HWND>(lParam)))
            if (const HBRUSH brush = peer->colours(reinterpret_cast<HDC>(wParam)))
                return reinterpret_cast<LRESULT>(brush);
        break;
    case WM_ACTIVATE:
        // The focus comes back to where the user left it, as in a dialog.
        if (LOWORD(wParam) == WA_INACTIVE)
            m_lastFocus = GetFocus();
        else
            SetFocus(m_lastFocus && IsChild(m_hwnd, m_lastFocus) ? m_lastFocus
                                                                 : GetNextDlgTabItem(m_hwnd, nullptr, FALSE));
        return 0;
    case WM_DPICHANGED:
        dpiChanged(HIWORD(wParam), reinterpret_cast<const RECT *>(lParam));
        return 0;
    case WM_CLOSE:
        DestroyWindow(m_hwnd);
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

} // namespace platform::win32
