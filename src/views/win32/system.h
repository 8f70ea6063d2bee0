#pragma once

#include "dll.h"

#include <windows.h>

#include <oleacc.h>

#include <string_view>

namespace views::win32 {

// Tells screen readers a property of a window (its name, its description) through the system's accessibility
// annotations, or takes back what they were told (an empty text); nothing where the system has none. COM
// comes with the first of them, an answer box or the time-out's notice, long after the first paint.
void annotate(HWND hwnd, const MSAAPROPID &property, std::u16string_view text);

// Makes a window a polite live region and tells screen readers that it changed: they read out its name and
// its text (Windows 8 and later; nothing before).
void announceChange(HWND hwnd);

} // namespace views::win32
