#pragma once

// Where the program's controls are drawn, in the pixels of view.h.

#include "view.h"

namespace platform {

// Where a control is shown, or would be: each edge at its nearest pixel.
PixelRect pixelRect(const Control &control, int dpi);

// Whether two rectangles share a pixel.
bool intersects(PixelRect a, PixelRect b);

} // namespace platform
