// A screen reader's way into a running quillmark.exe, from another process: it reads the window through
// MSAA (AccessibleObjectFromWindow, as NVDA and JAWS read the system's controls) and UI Automation, as a
// student with a screen reader would sit an exam: five questions against the sample key (ACABD), answers
// A, C, X, B and none typed, handed in, 结果. It checks every box's name, the score's announcement
// ("得分 3", through the live region's event) and 正确 on the right boxes (1, 2 and 4).
//
// What the system does not tell a client it says in one line each, with what the system answered, and reads
// the rest: Wine keeps no accessibility annotations (IAccPropServices answers E_NOTIMPL), so the names and
// descriptions Quillmark sets through them reach no client there. Prints each check, "ok", "not read" or
// "FAILED", in UTF-8; fails when a check read something other than expected. Run by
// tools/check-windows-archive.sh beside the unpacked archive, after the probe.

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr wchar_t Title[] = L"QuillmarkV1.0";
constexpr DWORD Patience = 20000; // ms

// IAccessible's interface is taken by __uuidof: oleacc's library and the uuid library both define
// IID_IAccessible.
constexpr DWORD LiveRegionChanged = 0x8019; // EVENT_OBJECT_LIVEREGIONCHANGED

// UI Automation's own client functions (uiautomationcore.dll), on which its COM interfaces stand, looked up
// at run time: Debian 12's mingw-w64 declares none of them.
using UiaNode = void *;
using NodeFromHandle = HRESULT(WINAPI *)(HWND, UiaNode *);
using GetPropertyValue = HRESULT(WINAPI *)(UiaNode, int, VARIANT *);
using NodeRelease = BOOL(WINAPI *)(UiaNode);
constexpr int NameProperty = 30005; // UIA_NamePropertyId
constexpr int FullDescriptionProperty = 30159; // UIA_FullDescriptionPropertyId

int failures = 0;

std::string utf8(const std::wstring &text)
{
    const int size
        = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

std::string hex(HRESULT result)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(result));
    return text;
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

void check(const std::string &what, const std::wstring &read, const std::wstring &expected)
{
    if (read == expected) {
        say("ok: " + what + ": \"" + utf8(read) + "\"");
    } else {
        say("FAILED: " + what + ": read \"" + utf8(read) + "\", not \"" + utf8(expected) + "\"");
        ++failures;
    }
}

// What one way in answered for a text: the text, or why there is none.
struct Answer {
    std::optional<std::wstring> text;
    std::string why;
};

Answer fromBstr(HRESULT result, BSTR text, const char *call)
{
    Answer answer;
    if (result == S_OK && text)
        answer.text = std::wstring(text, SysStringLen(text));
    else if (SUCCEEDED(result))
        answer.text = L""; // nothing to say, as S_FALSE or a null text says it
    else
        answer.why = std::string(call) + " answers " + hex(result);
    SysFreeString(text);
    return answer;
}

enum class What { Name, Description, Value };

Answer msaa(HWND hwnd, What what)
{
    IAccessible *object = nullptr;
    const HRESULT got = AccessibleObjectFromWindow(
        hwnd, DWORD(OBJID_CLIENT), __uuidof(IAccessible), reinterpret_cast<void **>(&object));
    if (FAILED(got) || !object)
        return {std::nullopt, "AccessibleObjectFromWindow answers " + hex(got)};
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    // The call first, then its text: as one call's arguments, their order is the compiler's.
    BSTR text = nullptr;
    HRESULT result = E_INVALIDARG;
    const char *call = "IAccessible::get_accValue";
    if (what == What::Name)
        result = object->get_accName(self, &text), call = "IAccessible::get_accName";
    else if (what == What::Description)
        result = object->get_accDescription(self, &text), call = "IAccessible::get_accDescription";
    else
        result = object->get_accValue(self, &text);
    const Answer answer = fromBstr(result, text, call);
    object->Release();
    return answer;
}

long msaaState(HWND hwnd)
{
    IAccessible *object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(
            hwnd, DWORD(OBJID_CLIENT), __uuidof(IAccessible), reinterpret_cast<void **>(&object))))
        return -1;
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT state{};
    const HRESULT got = object->get_accState(self, &state);
    object->Release();
    return SUCCEEDED(got) && state.vt == VT_I4 ? state.lVal : -1;
}

// UI Automation, where the system has it: an element's text property.
NodeFromHandle nodeFromHandle = nullptr;
GetPropertyValue getPropertyValue = nullptr;
NodeRelease nodeRelease = nullptr;
std::string automationMissing;

Answer uia(HWND hwnd, int property, const char *name)
{
    if (!automationMissing.empty())
        return {std::nullopt, automationMissing};
    UiaNode node = nullptr;
    const HRESULT got = nodeFromHandle(hwnd, &node);
    if (FAILED(got) || !node)
        return {std::nullopt, "UiaNodeFromHandle answers " + hex(got)};
    VARIANT value{};
    const HRESULT read = getPropertyValue(node, property, &value);
    nodeRelease(node);
    Answer answer;
    if (FAILED(read))
        answer.why = std::string("UiaGetPropertyValue(") + name + ") answers " + hex(read);
    else if (value.vt == VT_BSTR)
        answer.text = std::wstring(value.bstrVal, SysStringLen(value.bstrVal));
    else if (value.vt == VT_EMPTY)
        answer.why = std::string("UiaGetPropertyValue(") + name + ") answers nothing (VT_EMPTY)";
    else
        answer.why = std::string("UiaGetPropertyValue(") + name + ") answers a VARIANT of type "
            + std::to_string(value.vt);
    VariantClear(&value);
    return answer;
}

// Whether the system keeps what a program annotates its windows with, tried on a window of this client's own:
// where it does not, no client reads the names and descriptions Quillmark sets through it.
std::string annotationsMissing;

void tryAnnotations()
{
    const HWND own = CreateWindowExW(
        0, L"EDIT", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    IAccPropServices *services = nullptr;
    HRESULT got = CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
        reinterpret_cast<void **>(&services));
    if (FAILED(got)) {
        annotationsMissing = "CoCreateInstance(CLSID_AccPropServices) answers " + hex(got);
    } else {
        wchar_t name[] = L"annotated";
        got = services->SetHwndPropStr(own, DWORD(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME, name);
        if (FAILED(got))
            annotationsMissing = "IAccPropServices::SetHwndPropStr answers " + hex(got)
                + ", so no annotation " + "reaches a client";
        else if (const Answer read = msaa(own, What::Name); read.text != L"annotated")
            annotationsMissing
                = "a name annotated with IAccPropServices::SetHwndPropStr is not what get_accName "
                + std::string("answers (\"") + (read.text ? utf8(*read.text) : read.why) + "\")";
        services->Release();
    }
    DestroyWindow(own);
}

// A check of an annotated text: read through MSAA and UI Automation where the system keeps annotations.
void checkAnnotated(const std::string &what, HWND hwnd, What kind, const std::wstring &expected)
{
    const Answer read = msaa(hwnd, kind);
    const int property = kind == What::Name ? NameProperty : FullDescriptionProperty;
    const Answer automated = uia(hwnd, property, kind == What::Name ? "Name" : "FullDescription");
    if (!annotationsMissing.empty()) {
        say("not read: " + what + " (\"" + utf8(expected) + "\"): " + annotationsMissing + "; "
            + (kind == What::Name ? "get_accName" : "get_accDescription") + " read instead \""
            + (read.text ? utf8(*read.text) : read.why) + "\"");
        return;
    }
    if (!read.text) {
        say("FAILED: " + what + " through MSAA: " + read.why);
        ++failures;
    } else {
        check(what + " through MSAA", *read.text, expected);
    }
    if (automated.text)
        check(what + " through UI Automation", *automated.text, expected);
    else
        say("not read: " + what + " through UI Automation: " + automated.why);
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
    tryAnnotations();
    if (const HMODULE core = LoadLibraryW(L"uiautomationcore.dll"); !core) {
        automationMissing = "the system has no uiautomationcore.dll";
    } else {
        nodeFromHandle = reinterpret_cast<NodeFromHandle>(
            reinterpret_cast<void (*)()>(GetProcAddress(core, "UiaNodeFromHandle")));
        getPropertyValue = reinterpret_cast<GetPropertyValue>(
            reinterpret_cast<void (*)()>(GetProcAddress(core, "UiaGetPropertyValue")));
        nodeRelease = reinterpret_cast<NodeRelease>(
            reinterpret_cast<void (*)()>(GetProcAddress(core, "UiaNodeRelease")));
        if (!nodeFromHandle || !getPropertyValue || !nodeRelease)
            automationMissing
                = "uiautomationcore.dll has no UiaNodeFromHandle, UiaGetPropertyValue or UiaNodeRelease";
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
    check("the window's name through MSAA", msaa(form, What::Name).text.value_or(L"?"), Title);
    for (const wchar_t *caption : {L"准备做题", L"开始考试"}) {
        const HWND button = FindWindowExW(form, nullptr, L"Button", caption);
        check("the button " + utf8(caption) + "'s name through MSAA",
            msaa(button, What::Name).text.value_or(L"?"), caption);
        if (const Answer automated = uia(button, NameProperty, "Name"); automated.text)
            check("the button " + utf8(caption) + "'s name through UI Automation", *automated.text, caption);
        else
            say("not read: the button " + utf8(caption) + "'s name through UI Automation: " + automated.why);
    }

    // Five questions: the count typed into its box (the bottom row's first), then 准备做题.
    std::vector<HWND> shown = boxes(form);
    if (shown.size() < 3)
        fail("fewer than three text boxes showed");
    const HWND count = shown[shown.size() - 3];
    send(count, WM_SETTEXT, 0, LPARAM(L"5"));
    click(form, L"准备做题");
    shown = boxes(form);
    if (shown.size() != 8)
        fail("准备做题 with 5 showed " + std::to_string(shown.size() - 3) + " answer boxes");
    const std::vector<HWND> answers(shown.begin(), shown.begin() + 5);
    const HWND minutes = shown[6];
    const HWND score = shown[7];
    checkAnnotated("the count's name", count, What::Name, L"题目数");
    checkAnnotated("the minutes' name", minutes, What::Name, L"时间         分钟 n");
    checkAnnotated("the score's name", score, What::Name, L"得分");
    for (size_t i = 0; i < answers.size(); ++i)
        checkAnnotated("answer box " + std::to_string(i + 1) + "'s name", answers[i], What::Name,
            L"第 " + std::to_wstring(i + 1) + L" 题");

    click(form, L"开始考试");
    const wchar_t *typed[] = {L"A", L"C", L"X", L"B", L""};
    for (size_t i = 0; i < answers.size(); ++i) {
        send(answers[i], WM_SETTEXT, 0, LPARAM(typed[i]));
    }
    click(form, L"交卷");
    // Locked: the system says so of each box.
    for (size_t i = 0; i < answers.size(); ++i)
        check("answer box " + std::to_string(i + 1) + " locked through MSAA",
            msaaState(answers[i]) >= 0 && (msaaState(answers[i]) & STATE_SYSTEM_UNAVAILABLE) ? L"locked"
                                                                                             : L"open",
            L"locked");

    click(form, L"结果");
    // The live region's event reaches this thread's queue.
    for (DWORD waited = 0; !announcer && waited < 2000; waited += 50) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(50);
    }
    if (!announcer) {
        say("FAILED: no EVENT_OBJECT_LIVEREGIONCHANGED came after 结果");
        ++failures;
    } else {
        check("the live region that changed, by its text",
            announcer == score ? textOf(score) : L"another window", L"3");
        const Answer name = msaa(announcer, What::Name);
        if (!annotationsMissing.empty())
            say("not read: the score's announcement (\"得分 3\"): its name is annotated, and "
                + annotationsMissing + "; read: the live region's text \"" + utf8(textOf(announcer)) + "\"");
        else
            check("the score's announcement", name.text.value_or(L"?") + L" " + textOf(announcer), L"得分 3");
    }
    const wchar_t *right[] = {L"正确", L"正确", L"", L"正确", L""};
    for (size_t i = 0; i < answers.size(); ++i)
        checkAnnotated("answer box " + std::to_string(i + 1) + "'s description", answers[i],
            What::Description, right[i]);

    if (hook)
        UnhookWinEvent(hook);
    PostMessageW(form, WM_CLOSE, 0, 0);
    if (failures)
        fail(std::to_string(failures) + " checks failed");
    return 0;
}
