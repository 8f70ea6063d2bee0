#include "support.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <random>

std::string keyFileBytes(const std::vector<std::string> &keyLines)
{
    std::string bytes = "\xB4\xF0\xB0\xB8\r\n"; // 答案, the header
    for (const auto &line : keyLines)
        bytes += line + "\r\n";
    return bytes;
}

TestForm::TestForm(const std::optional<std::string> &key)
{
    std::random_device random;
    do
        dir = std::filesystem::temp_directory_path() / ("quillmark-win32-" + std::to_string(random()));
    while (!std::filesystem::create_directory(dir));
    if (key)
        std::ofstream(dir / u"答案.txt", std::ios::binary) << *key;
    services.directory = dir.u16string();
    form = std::make_unique<Form1>(services);
    window = std::make_unique<platform::win32::Window>(*form);
    services.window = window->hwnd();
}

TestForm::~TestForm()
{
    window.reset();
    form.reset();
    pump();
    std::error_code error;
    std::filesystem::remove_all(dir, error);
}

void TestForm::show()
{
    window->show();
    pump();
}

void pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        platform::win32::Window::dispatch(message);
}

void click(const platform::CommandButton &button)
{
    SendMessageW(windowOf(button), BM_CLICK, 0, 0);
    pump();
}

void type(const platform::TextBox &box, std::u16string_view text)
{
    const HWND hwnd = windowOf(box);
    REQUIRE(hwnd);
    if (!IsWindowEnabled(hwnd))
        return; // the keyboard never reaches a locked box
    SetFocus(hwnd);
    SendMessageW(hwnd, EM_SETSEL, 0, -1);
    SendMessageW(hwnd, WM_CLEAR, 0, 0);
    for (const char16_t c : text)
        SendMessageW(hwnd, WM_CHAR, WPARAM(c), 1);
    pump();
}

void press(UINT key)
{
    const HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    PostMessageW(focus, WM_KEYUP, key, LPARAM(0xC0000001));
    pump();
}

void tick(TestForm &test, std::int64_t elapsed)
{
    test.services.now = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(test->StartTick) + static_cast<std::uint32_t>(elapsed));
    SendMessageW(test.hwnd(), WM_TIMER, platform::win32::Window::TimerIdBase, 0);
    pump();
}

RECT rectIn(HWND parent, HWND hwnd)
{
    RECT rect;
    GetWindowRect(hwnd, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

RECT twipsRect(int left, int top, int width, int height, int dpi)
{
    const auto px = [dpi](int twips) { return int(std::lround(twips * dpi / 1440.0)); };
    return {px(left), px(top), px(left + width), px(top + height)};
}

std::u16string textOf(HWND hwnd)
{
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(size_t(length) + 1, L'\0');
    GetWindowTextW(hwnd, text.data(), length + 1);
    return std::u16string(text.begin(), text.begin() + length);
}

std::string phaseOf(const Form1 &form)
{
    std::string on;
    const std::pair<const char *, const platform::Control *> controls[]
        = {{"Prepare", &form.Command1}, {"Results", &form.Command2}, {"Start", &form.Command3},
            {"HandIn", &form.Command4}, {"Restart", &form.Command5}, {"count", &form.Text1},
            {"minutes", &form.Text2[0]}, {"key", &form.List1}};
    const auto add = [&on](const char *name) {
        if (!on.empty())
            on += ' ';
        on += name;
    };
    for (const auto &[name, control] : controls) {
        const HWND hwnd = windowOf(*control);
        if (control == &form.List1 ? IsWindowVisible(hwnd) : IsWindowEnabled(hwnd))
            add(name);
    }
    if (form.Timer1.isEnabled())
        add("clock");
    for (int i = 1; i < form.Text2.count(); ++i) {
        if (const HWND hwnd = windowOf(form.Text2[i]);
            hwnd ? IsWindowEnabled(hwnd) : form.Text2[i].isEnabled()) {
            add("boxes");
            break;
        }
    }
    return on;
}

namespace {

// WCAG 2 relative luminance and contrast ratio.
double luminance(COLORREF colour)
{
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(GetRValue(colour)) + 0.7152 * linear(GetGValue(colour))
        + 0.0722 * linear(GetBValue(colour));
}

double contrast(COLORREF a, COLORREF b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

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
        shown.contrast = std::max(shown.contrast, contrast(colour, shown.background));
    return shown;
}

int childWindows(HWND hwnd)
{
    int count = 0;
    EnumChildWindows(
        hwnd,
        [](HWND, LPARAM counter) {
            ++*reinterpret_cast<int *>(counter);
            return TRUE;
        },
        LPARAM(&count));
    return count;
}
