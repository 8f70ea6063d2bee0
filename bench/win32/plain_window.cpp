// The reference for the Windows start-up benchmark (bench/win32/startup.sh): Quillmark's window at start,
// written plainly with the Win32 API and nothing of the program's own layers. It does what Quillmark does
// before its first paint: common controls 6 (the program's manifest, linked in, and InitCommonControlsEx),
// the window's DPI (per monitor, through the manifest), the same controls with the same texts, fonts and
// places, the red bar, the key file beside the program read through code page 936 into the hidden list, and
// the focus in the first box, its text selected, as the window is activated.
#include <windows.h>

#include <commctrl.h>

#include <cmath>
#include <string>

namespace {

enum Kind { Static, Edit, Button, List };

struct Item {
    Kind kind;
    int left, top, width, height; // twips
    const wchar_t *text;
    bool enabled;
};

// Form1's controls, in its keyboard order.
constexpr Item Items[] = {
    {List, 12960, 240, 1575, 4560, L"", true},
    {Edit, 2280, 4920, 615, 375, L"130", true},
    {Button, 360, 4800, 975, 615, L"准备做题", true},
    {Edit, 3600, 4920, 615, 375, L"130", true},
    {Static, 1560, 5040, 735, 495, L"题目数", true},
    {Static, 3120, 5040, 1695, 255, L"时间         分钟 n", true},
    {Button, 9240, 4920, 1095, 495, L"结果", false},
    {Edit, 11160, 4920, 1215, 375, L"0", false},
    {Static, 10560, 5040, 495, 495, L"得分", true},
    {Button, 5040, 4560, 1095, 975, L"开始考试", true},
    {Static, 240, 0, 7695, 375, L" ", true},
    {Button, 7320, 4920, 1215, 495, L"交卷", false},
    {Button, 12720, 4920, 975, 375, L"重新开始", false},
};
constexpr int BarIndex = 10;

HWND bar = nullptr;
HWND score = nullptr; // disabled, and white as the other boxes
HWND firstBox = nullptr;
HBRUSH red = nullptr;
HBRUSH white = nullptr;

int px(int twips, int dpi)
{
    return int(std::lround(double(twips) * dpi / 1440));
}

HFONT songFont(int points, int dpi, DWORD charset)
{
    const int pixels = int(std::lround(double(points) * dpi / 72));
    return CreateFontW(-pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
        CLIP_DEFAULT_PRECIS, pixels <= 16 ? NONANTIALIASED_QUALITY : DEFAULT_QUALITY, DEFAULT_PITCH, L"宋体");
}

// Lines 2 to 34 of 答案.txt beside the program, in code page 936.
void loadKey(HWND list)
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring file(path, length);
    file.replace(file.find_last_of(L'\\') + 1, std::wstring::npos, L"答案.txt");
    const HANDLE handle
        = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return;
    char bytes[4096];
    DWORD read = 0;
    ReadFile(handle, bytes, sizeof bytes, &read, nullptr);
    CloseHandle(handle);
    std::wstring text(read, L'\0');
    text.resize(size_t(MultiByteToWideChar(936, 0, bytes, int(read), text.data(), int(text.size()))));
    size_t start = 0;
    for (int line = 0; line < 34; ++line) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring item = text.substr(start, end - start);
        if (!item.empty() && item.back() == L'\r')
            item.pop_back();
        if (line > 0)
            SendMessageW(list, LB_ADDSTRING, 0, LPARAM(item.c_str()));
        start = end < text.size() ? end + 1 : end;
    }
}

void createControls(HWND window, int dpi)
{
    const HFONT font = songFont(9, dpi, DEFAULT_CHARSET);
    const HFONT barFont = songFont(18, dpi, GB2312_CHARSET);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    for (int i = 0; i < int(std::size(Items)); ++i) {
        const Item &item = Items[i];
        const wchar_t *className = L"STATIC";
        DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
        DWORD exStyle = 0;
        switch (item.kind) {
        case Static:
            style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX;
            break;
        case Edit:
            className = L"EDIT";
            style |= WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case Button:
            className = L"BUTTON";
            style |= WS_TABSTOP | BS_PUSHBUTTON;
            break;
        case List:
            className = L"LISTBOX";
            style = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT;
            break;
        }
        const int left = px(item.left, dpi);
        const int top = px(item.top, dpi);
        const HWND control = CreateWindowExW(exStyle, className, item.text, style, left, top,
            px(item.left + item.width, dpi) - left, px(item.top + item.height, dpi) - top, window, nullptr,
            instance, nullptr);
        SendMessageW(control, WM_SETFONT, WPARAM(i == BarIndex ? barFont : font), FALSE);
        EnableWindow(control, item.enabled);
        if (i == BarIndex)
            bar = control;
        if (item.kind == Edit && !item.enabled)
            score = control;
        if (item.kind == Edit && !firstBox)
            firstBox = control;
        if (item.kind == List)
            loadKey(control);
    }
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CTLCOLORSTATIC: {
        const bool isBar = HWND(lParam) == bar;
        if (!isBar && HWND(lParam) != score)
            break;
        const auto dc = HDC(wParam);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, isBar ? RGB(255, 0, 0) : RGB(255, 255, 255));
        return LRESULT(isBar ? red : white);
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            SetFocus(firstBox);
            SendMessageW(firstBox, EM_SETSEL, 0, -1);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    red = CreateSolidBrush(RGB(255, 0, 0));
    white = CreateSolidBrush(RGB(255, 255, 255));

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = HICON(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = L"PlainWindow";
    RegisterClassExW(&windowClass);

    const HWND window = CreateWindowExW(WS_EX_CONTROLPARENT, L"PlainWindow", L"QuillmarkV1.0",
        WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
        nullptr, nullptr, instance, nullptr);
    // Windows 10's per-monitor DPI; Windows 7 has only the system's.
    using GetDpiForWindow = UINT(WINAPI *)(HWND);
    const auto getDpi = reinterpret_cast<GetDpiForWindow>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    int dpi = 0;
    if (getDpi) {
        dpi = int(getDpi(window));
    } else {
        const HDC screen = GetDC(nullptr);
        dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    RECT rect{0, 0, px(15525, dpi), px(5850, dpi)};
    AdjustWindowRectEx(&rect, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_CONTROLPARENT);
    SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    createControls(window, dpi);
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
