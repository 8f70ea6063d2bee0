// Watches a running quillmark.exe from outside, as its user would: waits for its window, fails if the
// missing-key message is open, clicks 开始考试, 交卷 and 结果, prints the answer key's list one item a line
// in UTF-8, and closes the program. Run by tools/check-windows-archive.sh beside the unpacked archive.

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr wchar_t Title[] = L"QuillmarkV1.0";
constexpr DWORD Patience = 20000; // ms; Wine starts a program in a second or two

[[noreturn]] void fail(const char *why)
{
    std::fprintf(stderr, "probe: %s\n", why);
    std::exit(1);
}

// A message box's window is a dialog of the system's class.
bool messageBoxOpen()
{
    return FindWindowW(L"#32770", Title) != nullptr;
}

// A message to another process's window, that fails rather than hangs on a program that stopped answering.
LRESULT send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, Patience, &result))
        fail("the program stopped answering");
    return LRESULT(result);
}

void click(HWND form, const wchar_t *caption, const char *name)
{
    const HWND button = FindWindowExW(form, nullptr, L"Button", caption);
    if (!button)
        fail(name);
    if (!IsWindowEnabled(button))
        fail("a button to click is disabled");
    send(button, BM_CLICK, 0, 0);
}

void printUtf8(const std::wstring &text)
{
    const int size
        = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), bytes.data(), size, nullptr, nullptr);
    bytes += '\n';
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

} // namespace

int main()
{
    _setmode(_fileno(stdout), _O_BINARY); // "\n", not "\r\n": the lines are compared on Linux

    // The program loads the key, and shows the message when there is none, before it shows its window.
    HWND form = nullptr;
    for (DWORD waited = 0; !(form && IsWindowVisible(form)); waited += 100) {
        if (messageBoxOpen())
            fail("a message box titled QuillmarkV1.0 is open: the program did not find its key");
        if (waited > Patience)
            fail("no window titled QuillmarkV1.0 of class QuillmarkForm showed");
        Sleep(100);
        form = FindWindowW(L"QuillmarkForm", Title);
    }
    if (messageBoxOpen())
        fail("a message box titled QuillmarkV1.0 is open");
    DWORD id = 0;
    GetWindowThreadProcessId(form, &id);
    const HANDLE program = OpenProcess(SYNCHRONIZE, FALSE, id);

    click(form, L"开始考试", "no button 开始考试");
    click(form, L"交卷", "no button 交卷");
    click(form, L"结果", "no button 结果");

    const HWND list = FindWindowExW(form, nullptr, L"ListBox", nullptr);
    if (!list || !IsWindowVisible(list))
        fail("结果 showed no list");
    const auto count = send(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring item(size_t(send(list, LB_GETTEXTLEN, WPARAM(i), 0)) + 1, L'\0');
        item.resize(size_t(send(list, LB_GETTEXT, WPARAM(i), LPARAM(item.data()))));
        printUtf8(item);
    }
    std::fflush(stdout);

    PostMessageW(form, WM_CLOSE, 0, 0);
    if (!program || WaitForSingleObject(program, Patience) != WAIT_OBJECT_0)
        fail("the program did not end when its window was closed");
    CloseHandle(program);
    return 0;
}
