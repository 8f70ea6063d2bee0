// A screen reader's way into a running quillmark.exe, from another process, through MSAA and UI Automation,
// as a student with a screen reader would sit an exam: five questions against the sample key (ACABD),
// answered A, C, X, B and none, handed in, 结果. It checks every box's name, the boxes locked, the score's
// announcement ("得分 3", through the live region's event) and 正确 on the right boxes (1, 2 and 4). What the
// system does not tell a client it says in a line, with what the system answered, and reads the rest. Prints
// each check, "ok", "not read" or "FAILED", in UTF-8; fails when a check read something other than expected.
// Run by tools/check-windows-archive.sh beside the unpacked archive, after the probe.

#include "msaa.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr wchar_t Title[] = L"QuillmarkV1.0";
constexpr DWORD Patience = 20000; // ms
constexpr DWORD LiveRegionChanged = 0x8019; // EVENT_OBJECT_LIVEREGIONCHANGED
constexpr int NameProperty = 30005; // UIA_NamePropertyId
constexpr int FullDescriptionProperty = 30159; // UIA_FullDescriptionPropertyId

int failures = 0;

std::string utf8(const std::wstring &text)
{
    std::string bytes(text.size() * 3, '\0'); // at most three bytes a UTF-16 unit
    bytes.resize(size_t(WideCharToMultiByte(
        CP_UTF8, 0, text.data(), int(text.size()), bytes.data(), int(bytes.size()), nullptr, nullptr)));
    return bytes;
}

std::string shown(const msaa::Read &read)
{
    return read.text ? std::string("\"").append(utf8(*read.text)).append("\"") : read.why;
}

void say(const std::string &line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

[[noreturn]] void fail(const std::string &why)
{
    say("screenreader: " + why);
    std::exit(1);
}

void check(const std::string &what, const msaa::Read &read, const std::wstring &expected)
{
    if (read.text == expected) {
        say("ok: " + what + ": \"" + utf8(expected) + "\"");
    } else {
        say("FAILED: " + what + ": read " + shown(read) + ", not \"" + utf8(expected) + "\"");
        ++failures;
    }
}

// UI Automation's own client functions (uiautomationcore.dll), on which its COM interfaces stand, looked up
// at run time: Debian 12's mingw-w64 declares none of them.
struct {
    HRESULT(WINAPI *nodeFromHandle)(HWND, void **) = nullptr;
    HRESULT(WINAPI *getPropertyValue)(void *, int, VARIANT *) = nullptr;
    BOOL(WINAPI *nodeRelease)(void *) = nullptr;
} automation;

template <typename Function> void lookUp(HMODULE module, const char *name, Function &function)
{
    function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// An element's text property through UI Automation, where the system has it.
msaa::Read uia(HWND hwnd, int property)
{
    if (!automation.nodeFromHandle || !automation.getPropertyValue || !automation.nodeRelease)
        return {std::nullopt,
            "the system has no uiautomationcore.dll with UiaNodeFromHandle, UiaGetPropertyValue "
            "and UiaNodeRelease"};
    void *node = nullptr;
    HRESULT got = automation.nodeFromHandle(hwnd, &node);
    if (FAILED(got) || !node)
        return {std::nullopt, "UiaNodeFromHandle answers " + msaa::hex(got)};
    VARIANT value{};
    got = automation.getPropertyValue(node, property, &value);
    automation.nodeRelease(node);
    msaa::Read read;
    if (SUCCEEDED(got) && value.vt == VT_BSTR)
        read.text = std::wstring(value.bstrVal, SysStringLen(value.bstrVal));
    else
        read.why = "UiaGetPropertyValue(" + std::to_string(property) + ") answers " + msaa::hex(got)
            + " and a VARIANT of type " + std::to_string(value.vt);
    VariantClear(&value);
    return read;
}

// A window's name or description through MSAA, and through UI Automation where the system answers.
void checkBoth(const std::string &what, HWND hwnd, msaa::What kind, const std::wstring &expected)
{
    check(what + " through MSAA", msaa::read(hwnd, kind), expected);
    const msaa::Read automated = uia(hwnd, kind == msaa::What::Name ? NameProperty : FullDescriptionProperty);
    if (automated.text)
        check(what + " through UI Automation", automated, expected);
    else
        say("not read: " + what + " through UI Automation: " + automated.why);
}

// A name or description the program annotates a window with, where the system keeps annotations.
void checkAnnotated(const std::string &what, HWND hwnd, msaa::What kind, const std::wstring &expected)
{
    if (msaa::annotationsMissing().empty())
        checkBoth(what, hwnd, kind, expected);
    else
        say("not read: " + what + " (\"" + utf8(expected) + "\"): " + msaa::annotationsMissing()
            + "; MSAA read instead " + shown(msaa::read(hwnd, kind)));
}

std::wstring lockedOrOpen(HWND hwnd)
{
    IAccessible *object = nullptr;
    VARIANT state{};
    const bool locked = SUCCEEDED(msaa::object(hwnd, &object))
        && SUCCEEDED(object->get_accState(msaa::self(), &state)) && state.vt == VT_I4
        && (state.lVal & STATE_SYSTEM_UNAVAILABLE);
    if (object)
        object->Release();
    return locked ? L"locked" : L"open";
}

LRESULT send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, Patience, &result))
        fail("the program stopped answering");
    return LRESULT(result);
}

std::wstring textOf(HWND hwnd)
{
    std::wstring text(size_t(send(hwnd, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(size_t(send(hwnd, WM_GETTEXT, WPARAM(text.size()), LPARAM(text.data()))));
    return text;
}

void click(HWND form, const wchar_t *caption)
{
    const HWND button = FindWindowExW(form, nullptr, L"Button", caption);
    if (!button || !IsWindowEnabled(button))
        fail("no button " + utf8(caption) + " to click");
    send(button, BM_CLICK, 0, 0);
}

// The form's text boxes, shown, top to bottom and left to right.
std::vector<HWND> boxes(HWND form)
{
    std::vector<HWND> found;
    HWND child = nullptr;
    while ((child = FindWindowExW(form, child, L"Edit", nullptr)))
        if (IsWindowVisible(child))
            found.push_back(child);
    const auto place = [form](HWND hwnd) {
        RECT rect;
        GetWindowRect(hwnd, &rect);
        MapWindowPoints(nullptr, form, reinterpret_cast<POINT *>(&rect), 2);
        return std::pair(rect.top, rect.left);
    };
    std::sort(found.begin(), found.end(), [&](HWND a, HWND b) { return place(a) < place(b); });
    return found;
}

HWND announcer = nullptr; // the window whose live region last changed

void CALLBACK winEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG, DWORD, DWORD)
{
    if (event == LiveRegionChanged && object == OBJID_CLIENT)
        announcer = hwnd;
}

} // namespace

int main()
{
    _setmode(_fileno(stdout), _O_BINARY);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (const HMODULE core = LoadLibraryW(L"uiautomationcore.dll")) {
        lookUp(core, "UiaNodeFromHandle", automation.nodeFromHandle);
        lookUp(core, "UiaGetPropertyValue", automation.getPropertyValue);
        lookUp(core, "UiaNodeRelease", automation.nodeRelease);
    }

    HWND form = nullptr;
    for (DWORD waited = 0; !(form && IsWindowVisible(form)); waited += 100) {
        if (waited > Patience)
            fail("no window titled QuillmarkV1.0 showed");
        Sleep(100);
        form = FindWindowW(L"QuillmarkForm", Title);
    }
    DWORD process = 0;
    GetWindowThreadProcessId(form, &process);
    const HWINEVENTHOOK hook = SetWinEventHook(
        LiveRegionChanged, LiveRegionChanged, nullptr, winEvent, process, 0, WINEVENT_OUTOFCONTEXT);

    // The window and its buttons by their captions, as the system names them.
    check("the window's name through MSAA", msaa::read(form, msaa::What::Name), Title);
    for (const wchar_t *caption : {L"准备做题", L"开始考试"})
        checkBoth("the button " + utf8(caption) + "'s name", FindWindowExW(form, nullptr, L"Button", caption),
            msaa::What::Name, caption);

    // Five questions: the count typed into its box (the bottom row's first), then 准备做题.
    std::vector<HWND> shownBoxes = boxes(form);
    if (shownBoxes.size() < 3)
        fail("fewer than three text boxes showed");
    const HWND count = shownBoxes[shownBoxes.size() - 3];
    send(count, WM_SETTEXT, 0, LPARAM(L"5"));
    click(form, L"准备做题");
    shownBoxes = boxes(form);
    if (shownBoxes.size() != 8)
        fail("准备做题 with 5 showed " + std::to_string(shownBoxes.size() - 3) + " answer boxes");
    const std::vector<HWND> answers(shownBoxes.begin(), shownBoxes.begin() + 5);
    const HWND score = shownBoxes[7];
    checkAnnotated("the count's name", count, msaa::What::Name, L"题目数");
    checkAnnotated("the minutes' name", shownBoxes[6], msaa::What::Name, L"时间         分钟 n");
    checkAnnotated("the score's name", score, msaa::What::Name, L"得分");
    for (size_t i = 0; i < answers.size(); ++i)
        checkAnnotated("answer box " + std::to_string(i + 1) + "'s name", answers[i], msaa::What::Name,
            L"第 " + std::to_wstring(i + 1) + L" 题");

    click(form, L"开始考试");
    const wchar_t *typed[] = {L"A", L"C", L"X", L"B", L""};
    for (size_t i = 0; i < answers.size(); ++i)
        send(answers[i], WM_SETTEXT, 0, LPARAM(typed[i]));
    click(form, L"交卷");
    for (size_t i = 0; i < answers.size(); ++i)
        check("answer box " + std::to_string(i + 1) + "'s state through MSAA", {lockedOrOpen(answers[i]), {}},
            L"locked");

    click(form, L"结果");
    // The live region's event reaches this thread's queue.
    for (DWORD waited = 0; !announcer && waited < 2000; waited += 50) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(50);
    }
    const msaa::Read changed = !announcer
        ? msaa::Read{std::nullopt, "no EVENT_OBJECT_LIVEREGIONCHANGED came after 结果"}
        : msaa::Read{announcer == score ? textOf(score) : L"another window", {}};
    check("the live region that changed, by its text", changed, L"3");
    if (!msaa::annotationsMissing().empty())
        say("not read: the score's announcement (\"得分 3\"): its name is annotated, and "
            + msaa::annotationsMissing());
    else if (announcer)
        check("the score's announcement",
            {msaa::read(announcer, msaa::What::Name).text.value_or(L"?") + L" " + textOf(announcer), {}},
            L"得分 3");
    const wchar_t *right[] = {L"正确", L"正确", L"", L"正确", L""};
    for (size_t i = 0; i < answers.size(); ++i)
        checkAnnotated("answer box " + std::to_string(i + 1) + "'s description", answers[i],
            msaa::What::Description, right[i]);

    if (hook)
        UnhookWinEvent(hook);
    PostMessageW(form, WM_CLOSE, 0, 0);
    if (failures)
        fail(std::to_string(failures) + " checks failed");
    return 0;
}
