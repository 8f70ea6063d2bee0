#include "window.h"

#include "native.h"
#include "resource.h"
#include "system.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace views::win32 {

namespace {

constexpr wchar_t ClassName[] = L"QuillmarkForm";

// The window's own message: the runtime's call once the current message is handled.
constexpr UINT PostedMessage = WM_APP + 1;

int dpiOf(HWND hwnd)
{
    // Windows 10's, which Windows 7 lacks.
    static const auto getDpiForWindow
        = systemFunction<UINT(WINAPI *)(HWND)>(L"user32.dll", "GetDpiForWindow");
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
    static const auto adjustForDpi = systemFunction<BOOL(WINAPI *)(LPRECT, DWORD, BOOL, DWORD, UINT)>(
        L"user32.dll", "AdjustWindowRectExForDpi"); // Windows 10's too
    RECT rect{0, 0, width, height};
    const auto style = DWORD(GetWindowLongPtrW(hwnd, GWL_STYLE));
    const auto exStyle = DWORD(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
    if (adjustForDpi)
        adjustForDpi(&rect, style, FALSE, exStyle, UINT(dpi));
    else
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return {rect.right - rect.left, rect.bottom - rect.top};
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

Window::Window(platform::Form &form)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    registerClass(instance, windowProc);
    // WS_EX_CONTROLPARENT: the dialog manager handles the window's keys, as in a dialog. WS_CLIPCHILDREN: the
    // window paints around its controls, not under them, so a resize does not flicker.
    CreateWindowExW(WS_EX_CONTROLPARENT, ClassName, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    m_dpi = dpiOf(m_hwnd);
    m_runtime = std::make_unique<platform::Runtime>(form, static_cast<platform::Toolkit &>(*this));
}

Window::~Window()
{
    // The child windows first, with their natives; then the window itself.
    m_runtime.reset();
    if (m_hwnd)
        DestroyWindow(m_hwnd);
    for (const auto &[font, handle] : m_fonts)
        DeleteObject(handle);
}

void Window::show(int command)
{
    m_runtime->show();
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
    if (top && GetClassLongPtrW(top, GCW_ATOM) == form) {
        auto *window = reinterpret_cast<Window *>(GetWindowLongPtrW(top, GWLP_USERDATA));
        // Tab and Enter are the runtime's to decide (Tab follows the form's keyboard order, which reaches
        // answer boxes out of view too). Taken here, before the dialog manager, they leave no character
        // behind.
        if (window && !window->closing() && message.message == WM_KEYDOWN
            && (message.wParam == VK_TAB || message.wParam == VK_RETURN)) {
            const auto held = [](int key) { return GetKeyState(key) < 0; };
            const platform::Modifiers modifiers{
                held(VK_SHIFT), held(VK_CONTROL), held(VK_MENU), held(VK_LWIN) || held(VK_RWIN)};
            if (window->runtime().key(Native::of(message.hwnd),
                    message.wParam == VK_TAB ? platform::Key::Tab : platform::Key::Enter, modifiers))
                return;
        }
        if (IsDialogMessageW(top, &message))
            return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

HFONT Window::font(const platform::Font *font)
{
    const platform::Font &wanted = font ? *font : m_font;
    for (const auto &[known, handle] : m_fonts)
        if (known == wanted)
            return handle;
    // GDI takes one face and finds its own stand-ins for it.
    const std::wstring face = wide(platform::fontFaces(wanted).front());
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

void Window::setLook(const platform::WindowLook &look)
{
    SetWindowTextW(m_hwnd, wide(look.title).c_str());
    m_font = look.font;
    const SIZE size = outerSize(m_hwnd, look.clientSize.width, look.clientSize.height, m_dpi);
    SetWindowPos(m_hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::unique_ptr<platform::NativeControl> Window::make(
    platform::Control::Kind kind, platform::PixelRect bounds)
{
    return std::make_unique<Native>(kind, bounds, *this);
}

platform::PixelSize Window::clientSize() const
{
    RECT client{};
    GetClientRect(m_hwnd, &client);
    return {client.right, client.bottom};
}

void Window::post()
{
    PostMessageW(m_hwnd, PostedMessage, 0, 0);
}

void Window::setTimer(int id, int milliseconds)
{
    if (milliseconds > 0)
        SetTimer(m_hwnd, TimerIdBase + UINT_PTR(id), UINT(milliseconds), nullptr);
    else
        KillTimer(m_hwnd, TimerIdBase + UINT_PTR(id));
}

void Window::printed(const std::vector<std::u16string> &lines, std::u16string_view description)
{
    m_printed.clear();
    for (const auto &line : lines)
        m_printed.push_back(wide(line));
    InvalidateRect(m_hwnd, nullptr, TRUE);
    // The drawn lines belong to no control: a screen reader learns of them as the window's description.
    annotate(m_hwnd, PROPID_ACC_DESCRIPTION, description);
}

void Window::paint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hwnd, &paint);
    if (!m_printed.empty()) {
        const HGDIOBJ old = SelectObject(dc, font(nullptr));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        TEXTMETRICW metrics;
        GetTextMetricsW(dc, &metrics);
        int y = 0;
        for (const std::wstring &line : m_printed) {
            TextOutW(dc, 0, y, line.c_str(), int(line.size()));
            y += metrics.tmHeight;
        }
        SelectObject(dc, old);
    }
    EndPaint(m_hwnd, &paint);
    m_runtime->painted();
}

void Window::dpiChanged(int dpi, const RECT *suggested)
{
    m_dpi = dpi;
    const auto fonts = std::exchange(m_fonts, {});
    if (suggested)
        SetWindowPos(m_hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
            suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    m_runtime->rescaled();
    // The fonts of the old DPI go once no window uses them; spare windows take new ones when handed on.
    for (const auto &[font, handle] : fonts)
        DeleteObject(handle);
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
    if (window && message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        window->m_hwnd = nullptr;
    }
    if (!window || message == WM_NCDESTROY || window->closing())
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return window->handle(message, wParam, lParam);
}

LRESULT Window::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        Native *native = Native::of(reinterpret_cast<HWND>(lParam));
        if (!native)
            break;
        if (HIWORD(wParam) == BN_CLICKED && native->kind() == platform::Control::Kind::CommandButton) {
            m_runtime->clicked(*native);
        } else if (HIWORD(wParam) == EN_CHANGE && native->kind() == platform::Control::Kind::TextBox) {
            m_runtime->typed(*native, fromWide(textOf(native->hwnd())));
        }
        return 0;
    }
    case WM_TIMER:
        if (wParam >= TimerIdBase)
            m_runtime->timerElapsed(int(wParam - TimerIdBase));
        return 0;
    case WM_PAINT:
        paint();
        return 0;
    case PostedMessage:
        m_runtime->afterEvent();
        return 0;
    case WM_SIZE:
        m_runtime->resized();
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (const Native *native = Native::of(reinterpret_cast<HWND>(lParam)))
            if (const HBRUSH brush = native->colours(reinterpret_cast<HDC>(wParam)))
                return reinterpret_cast<LRESULT>(brush);
        break;
    case WM_ACTIVATE:
        // Not the system's default, which gives the focus to the window itself.
        if (LOWORD(wParam) != WA_INACTIVE)
            m_runtime->activated();
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

} // namespace views::win32
