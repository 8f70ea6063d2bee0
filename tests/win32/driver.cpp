#include "msaa.h"
#include "win32driver.h"

#include "platform/forms/controlarray.h"
#include "views/win32/system.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <string>

namespace {

// What MSAA tells a screen reader of a window; nothing where the system keeps no annotations (Wine).
std::optional<std::u16string> accessible(HWND hwnd, msaa::What what)
{
    views::win32::useCom();
    if (!msaa::annotationsMissing().empty()) {
        notRead(("names, descriptions and announcements: " + msaa::annotationsMissing()).c_str());
        return std::nullopt;
    }
    const msaa::Read read = msaa::read(hwnd, what);
    return read.text ? views::win32::fromWide(*read.text)
                     : std::u16string(u"(").append(read.why.begin(), read.why.end()).append(u")");
}

// The window whose live region changed last, as the system's event tells screen readers.
HWND announcer = nullptr;

void CALLBACK liveRegionChanged(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG, DWORD, DWORD)
{
    if (object == OBJID_CLIENT)
        announcer = hwnd;
}

class Win32Driver final : public Driver {
public:
    explicit Win32Driver(platform::Form &form)
        : m_form(form)
        , m_owned(std::make_unique<views::win32::Window>(form))
        , m_window(*m_owned)
    {
        announcer = nullptr;
        views::win32::useCom();
        if (msaa::annotationsMissing().empty())
            m_hook = SetWinEventHook(0x8019, 0x8019, nullptr, liveRegionChanged, GetCurrentProcessId(), 0,
                WINEVENT_OUTOFCONTEXT); // EVENT_OBJECT_LIVEREGIONCHANGED
    }

    ~Win32Driver() override
    {
        if (m_hook)
            UnhookWinEvent(m_hook);
        m_owned.reset();
        pump(); // what the closed window left
    }

    views::win32::Window &window() { return m_window; }

    void show() override
    {
        m_window.show();
        pump();
    }

    void click(const platform::CommandButton &button) override
    {
        // A disabled button takes no click.
        if (const HWND hwnd = windowOf(button); hwnd && IsWindowEnabled(hwnd))
            SendMessageW(hwnd, BM_CLICK, 0, 0);
        pump();
    }

    void type(const platform::TextBox &box, std::u16string_view text) override
    {
        const HWND hwnd = windowOf(box);
        REQUIRE(hwnd);
        if (!IsWindowEnabled(hwnd))
            return; // the keyboard never reaches a locked box
        SetFocus(hwnd);
        SendMessageW(hwnd, EM_SETSEL, 0, -1);
        SendMessageW(hwnd, WM_CLEAR, 0, 0);
        // The keyboard's characters, and what an input method sends as it commits: each character it composed
        // as WM_IME_CHAR, between the composition's start and end.
        for (size_t i = 0; i < text.size();) {
            if (text[i] < 0x80) {
                SendMessageW(hwnd, WM_CHAR, WPARAM(text[i++]), 1);
                continue;
            }
            SendMessageW(hwnd, WM_IME_STARTCOMPOSITION, 0, 0);
            for (; i < text.size() && text[i] >= 0x80; ++i)
                SendMessageW(hwnd, WM_IME_CHAR, WPARAM(text[i]), 1);
            SendMessageW(hwnd, WM_IME_ENDCOMPOSITION, 0, 0);
        }
        pump();
    }

    void press(Key key, platform::Modifiers modifiers) override
    {
        // Through the program's loop, with the modifiers held as the keyboard's state.
        BYTE keys[256];
        GetKeyboardState(keys);
        BYTE saved[256];
        std::copy(std::begin(keys), std::end(keys), std::begin(saved));
        const auto hold = [&keys](int code, bool held) { keys[code] = held ? 0x80 : 0; };
        hold(VK_SHIFT, modifiers.shift || key == Key::BackTab);
        hold(VK_CONTROL, modifiers.control);
        hold(VK_MENU, modifiers.alt);
        hold(VK_LWIN, modifiers.meta);
        SetKeyboardState(keys);
        const UINT code = key == Key::Enter ? VK_RETURN : VK_TAB;
        const HWND focus = GetFocus();
        PostMessageW(focus, WM_KEYDOWN, code, 1);
        PostMessageW(focus, WM_KEYUP, code, LPARAM(0xC0000001));
        pump();
        SetKeyboardState(saved);
    }

    void activate() override
    {
        const HWND other = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 100,
            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetActiveWindow(other);
        pump();
        SetActiveWindow(m_window.hwnd());
        pump();
        DestroyWindow(other);
        pump();
    }

    void focus(const platform::Control &control) override
    {
        SetFocus(windowOf(control));
        pump();
    }

    bool tick() override
    {
        // Whether the system's timer runs, as the system tells it: KillTimer finds only a timer that was set
        // and not killed since. It is set again at once, at the form's interval, and its tick delivered as
        // the system delivers one, without waiting for it.
        const UINT_PTR id = views::win32::Window::TimerIdBase + platform::Runtime::FormTimerBase;
        if (!KillTimer(m_window.hwnd(), id))
            return false;
        SetTimer(m_window.hwnd(), id, UINT(m_form.timers().front()->interval()), nullptr);
        SendMessageW(m_window.hwnd(), WM_TIMER, id, 0);
        pump();
        return true;
    }

    void resize(int width, int height) override
    {
        // As a user dragging the frame: the outer size that gives this client area.
        RECT outer;
        RECT client;
        GetWindowRect(m_window.hwnd(), &outer);
        GetClientRect(m_window.hwnd(), &client);
        SetWindowPos(m_window.hwnd(), nullptr, 0, 0, width + (outer.right - outer.left) - client.right,
            height + (outer.bottom - outer.top) - client.bottom, SWP_NOMOVE | SWP_NOZORDER);
        pump();
    }

    void settle() override { pump(); }

    bool shown(const platform::Control &control) override { return windowOf(control) != nullptr; }
    std::u16string text(const platform::Control &control) override
    {
        const HWND hwnd = windowOf(control);
        return hwnd ? textOf(hwnd) : std::u16string();
    }
    bool enabled(const platform::Control &control) override
    {
        const HWND hwnd = windowOf(control);
        return hwnd && IsWindowEnabled(hwnd);
    }
    bool visible(const platform::Control &control) override
    {
        const HWND hwnd = windowOf(control);
        return hwnd && IsWindowVisible(hwnd);
    }

    platform::Colour background(const platform::Control &control) override
    {
        // The brush the window gives the control to paint itself with, as when the system paints it.
        const HWND hwnd = windowOf(control);
        if (!hwnd)
            return 0;
        HDC dc = GetDC(hwnd);
        const UINT message = control.kind() == platform::Control::Kind::TextBox && IsWindowEnabled(hwnd)
            ? WM_CTLCOLOREDIT
            : WM_CTLCOLORSTATIC;
        const auto brush
            = reinterpret_cast<HBRUSH>(SendMessageW(m_window.hwnd(), message, WPARAM(dc), LPARAM(hwnd)));
        const COLORREF brushColour = GetDCBrushColor(dc); // the DC's own brush's, where it answers with that
        ReleaseDC(hwnd, dc);
        if (brush == GetStockObject(DC_BRUSH))
            return platform::Colour(brushColour);
        LOGBRUSH shown{};
        if (!brush || !GetObjectW(brush, sizeof shown, &shown))
            return platform::Colour(GetSysColor(COLOR_WINDOW));
        return platform::Colour(shown.lbColor);
    }

    platform::PixelRect rect(const platform::Control &control) override
    {
        const HWND hwnd = windowOf(control);
        if (!hwnd)
            return {};
        const RECT rect = rectIn(m_window.hwnd(), hwnd);
        return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    }

    std::vector<std::u16string> items(const platform::ListBox &list) override
    {
        std::vector<std::u16string> texts;
        const HWND hwnd = windowOf(list);
        const auto count = hwnd ? int(SendMessageW(hwnd, LB_GETCOUNT, 0, 0)) : 0;
        for (int i = 0; i < count; ++i) {
            std::wstring item(size_t(SendMessageW(hwnd, LB_GETTEXTLEN, WPARAM(i), 0)) + 1, L'\0');
            item.resize(size_t(SendMessageW(hwnd, LB_GETTEXT, WPARAM(i), LPARAM(item.data()))));
            texts.push_back(views::win32::fromWide(item));
        }
        return texts;
    }

    // What MSAA tells screen readers, as they read it; nothing where the system keeps no annotations (Wine).
    std::optional<std::u16string> accessibleName(const platform::Control &control) override
    {
        return accessible(windowOf(control), msaa::What::Name);
    }
    std::optional<std::u16string> accessibleDescription(const platform::Control &control) override
    {
        return accessible(windowOf(control), msaa::What::Description);
    }
    std::optional<std::u16string> announced() override
    {
        // A live region is read out as its name and its text.
        const std::optional<std::u16string> name = accessible(announcer, msaa::What::Name);
        if (!name)
            return std::nullopt;
        return announcer ? *name + u" " + textOf(announcer) : u"";
    }
    std::optional<std::u16string> description() override
    {
        return accessible(m_window.hwnd(), msaa::What::Description);
    }

    std::u16string selectedText(const platform::TextBox &box) override
    {
        const HWND hwnd = windowOf(box);
        if (!hwnd)
            return {};
        DWORD start = 0;
        DWORD end = 0;
        SendMessageW(hwnd, EM_GETSEL, WPARAM(&start), LPARAM(&end));
        return textOf(hwnd).substr(start, end - start);
    }

    const platform::Control *focused() override
    {
        const views::win32::Native *native = views::win32::Native::of(GetFocus());
        return native ? native->control() : nullptr;
    }

    const platform::Control *controlAt(int x, int y) override
    {
        const HWND hwnd = ChildWindowFromPointEx(m_window.hwnd(), POINT{x, y}, CWP_SKIPINVISIBLE);
        const views::win32::Native *native
            = hwnd != m_window.hwnd() ? views::win32::Native::of(hwnd) : nullptr;
        return native ? native->control() : nullptr;
    }

    std::u16string title() override { return textOf(m_window.hwnd()); }
    bool windowVisible() override { return IsWindowVisible(m_window.hwnd()); }
    platform::PixelSize clientSize() override
    {
        RECT client;
        GetClientRect(m_window.hwnd(), &client);
        return {client.right, client.bottom};
    }

    int nativeControls() override
    {
        int count = 0;
        EnumChildWindows(
            m_window.hwnd(),
            [](HWND, LPARAM counter) {
                ++*reinterpret_cast<int *>(counter);
                return TRUE;
            },
            LPARAM(&count));
        return count;
    }

    int dpi() override { return m_window.dpi(); }

private:
    const platform::Form &m_form;
    std::unique_ptr<views::win32::Window> m_owned;
    views::win32::Window &m_window;
    HWINEVENTHOOK m_hook = nullptr;
};

} // namespace

std::unique_ptr<Driver> makeDriver(platform::Form &form)
{
    return std::make_unique<Win32Driver>(form);
}

views::win32::Window &windowOf(TestForm &test)
{
    return static_cast<Win32Driver &>(*test.view).window();
}

void pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        views::win32::Window::dispatch(message);
}

RECT rectIn(HWND parent, HWND hwnd)
{
    RECT rect;
    GetWindowRect(hwnd, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

std::u16string textOf(HWND hwnd)
{
    return views::win32::fromWide(views::win32::textOf(hwnd));
}

Shown shownInside(HWND hwnd)
{
    RECT client;
    GetClientRect(hwnd, &client);
    InflateRect(&client, -1, -1);
    return shownInside(hwnd, client);
}

Shown shownInside(HWND hwnd, RECT part)
{
    // Painted afresh first: what the window draws must survive a repaint.
    RedrawWindow(hwnd, &part, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pump();
    // Copied once into memory: a pixel at a time, the system is asked thousands of times.
    const int width = part.right - part.left;
    const int height = part.bottom - part.top;
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = nullptr;
    HDC dc = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateDIBSection(dc, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, dc, part.left, part.top, SRCCOPY);
    std::map<COLORREF, int> counts;
    const auto *pixels = static_cast<const std::uint32_t *>(bits); // 0x00RRGGBB
    for (int i = 0; i < width * height; ++i)
        ++counts[RGB(pixels[i] >> 16 & 0xFF, pixels[i] >> 8 & 0xFF, pixels[i] & 0xFF)];
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(hwnd, dc);
    Shown shown;
    int most = 0;
    for (const auto &[colour, count] : counts)
        if (count > most)
            std::tie(most, shown.background) = std::pair(count, colour);
    for (const auto &[colour, count] : counts)
        shown.contrast = std::max(
            shown.contrast, contrast(platform::Colour(colour), platform::Colour(shown.background)));
    return shown;
}
