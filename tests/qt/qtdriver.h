#pragma once

// The Qt view's driver: real widgets offscreen, driven with Qt Test's mouse and keys and read back from the
// widgets and from what Qt tells screen readers.

#include "driver.h"
#include "testing.h"
#include "views/qt/native.h"
#include "views/qt/text.h"
#include "views/qt/window.h"

#include <QString>

using views::qt::toQString;
using views::qt::widgetOf;

// The Qt window that shows a TestForm.
views::qt::Window &windowOf(TestForm &test);

// The control a widget shows, or nullptr.
const platform::Control *controlOf(const platform::Form &form, const QWidget *widget);

// The colour a widget shows behind its text: a line edit's base, or a label's own colour.
QColor shownBackground(const QWidget *widget);

// A colour Qt shows, as the program writes colours.
inline platform::Colour toColour(const QColor &colour)
{
    return platform::colourOf({colour.red(), colour.green(), colour.blue()});
}
