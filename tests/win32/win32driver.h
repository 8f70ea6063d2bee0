#pragma once

// The Windows view's driver: the real window and the system's own controls, driven through their messages
// (clicks, typed characters, keys, resizes, timer ticks) and read back from their texts, states, rectangles
// and the colours they paint in.

#include "driver.h"
#include "testing.h"
#include "views/win32/native.h"
#include "views/win32/window.h"

#include <windows.h>

using views::win32::windowOf;

// The Windows window that shows a TestForm.
views::win32::Window &windowOf(TestForm &test);

// Handles every message waiting, as the program's loop does.
void pump();

// Where a child window lies in its parent's client area.
RECT rectIn(HWND parent, HWND hwnd);

// The window's text, as the system holds it.
std::u16string textOf(HWND hwnd);

// The colours inside a window as the screen shows them, without its frame: the commonest one, and the
// contrast of the ink that stands out most from it.
struct Shown {
    COLORREF background = 0;
    double contrast = 1;
};
Shown shownInside(HWND hwnd);
// The same over a part of a window's client area.
Shown shownInside(HWND hwnd, RECT part);
