#pragma once

// What the tests of the Windows view share: fake services, a form in a window of its own, and what a user
// does and sees, through the real window's messages and pixels.

#include "platform/services.h"
#include "platform/win32/peer.h"
#include "platform/win32/window.h"
#include "window/form1.h"

#include <doctest.h>

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using platform::win32::windowOf;

// Services that record what the program asks of the system and let a test set the time.
struct FakeServices final : platform::Services {
    struct Message {
        std::u16string text;
        std::u16string title;
        bool windowShown = false;
    };

    std::int32_t now = 0;
    std::u16string directory;
    std::vector<Message> messages;
    int beeps = 0;
    HWND window = nullptr; // to tell whether a message came before the window showed

    std::int32_t tickCount() override { return now; }
    void messageBox(std::u16string_view text, std::u16string_view title) override
    {
        messages.push_back({std::u16string(text), std::u16string(title), window && IsWindowVisible(window)});
    }
    // No browser opens in a test.
    bool startProgram(std::u16string_view) override { return true; }
    bool openUrl(std::u16string_view) override { return true; }
    std::u16string programDirectory() override { return directory; }
    void beep() override { ++beeps; }
};

// A key file's bytes: a header and the key lines, CR LF after each, in GBK (ASCII and the Chinese given as
// GBK bytes by the caller).
std::string keyFileBytes(const std::vector<std::string> &keyLines);

// A form on fake services in a folder of its own, holding a key file with the given bytes (none: no file),
// shown in a real window.
class TestForm {
public:
    explicit TestForm(const std::optional<std::string> &key = keyFileBytes({"ABCDA"}));
    ~TestForm();

    // Runs the load and shows the window, then lets it paint.
    void show();

    Form1 *operator->() const { return form.get(); }
    Form1 &operator*() const { return *form; }
    HWND hwnd() const { return window->hwnd(); }

    std::filesystem::path dir;
    FakeServices services;
    std::unique_ptr<Form1> form;
    std::unique_ptr<platform::win32::Window> window; // goes before its form
};

// Handles every message waiting, as the program's loop does.
void pump();

// What a user does: click a button (BM_CLICK), replace a box's text by typing (WM_CHAR for each character;
// nothing reaches a locked box), press a key in the window that has the focus (WM_KEYDOWN through the loop).
void click(const platform::CommandButton &button);
void type(const platform::TextBox &box, std::u16string_view text);
void press(UINT key);

// One tick of the exam clock, `elapsed` milliseconds after Start, as the timer's WM_TIMER delivers it.
void tick(TestForm &test, std::int64_t elapsed);

// Where a child window lies in its parent's client area.
RECT rectIn(HWND parent, HWND hwnd);

// A rectangle in twips as pixels at a DPI: the nearest pixel to each edge.
RECT twipsRect(int left, int top, int width, int height, int dpi = 96);

// The window's text, as the system holds it.
std::u16string textOf(HWND hwnd);

// Which buttons, boxes, clock and key list are live, as the user sees them (see the Qt tests' phaseOf).
std::string phaseOf(const Form1 &form);

// The colours inside a control as the window shows them, without its frame: the commonest one, and the
// contrast of the ink that stands out most from it.
struct Shown {
    COLORREF background = 0;
    double contrast = 1;
};
Shown shownInside(HWND hwnd);
// The same over a part of a window's client area.
Shown shownInside(HWND hwnd, RECT part);

// The number of child windows of a window.
int childWindows(HWND hwnd);
