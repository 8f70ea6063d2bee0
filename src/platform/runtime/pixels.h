#pragma once

// Where the program's controls are drawn, in the pixels of view.h.

#include "view.h"

namespace platform {

// Twips (1440 an inch) as pixels at dpi dots per inch, to the nearest pixel. A value that is not finite
// counts as 0 and a huge one stops at a million pixels, so that nothing the program stores can upset a
// toolkit.
int twipsToPixels(double twips, int dpi);

// Where a control is shown, or would be: each edge at its nearest pixel.
PixelRect pixelRect(const Control &control, int dpi);

// Whether two rectangles share a pixel.
bool intersects(PixelRect a, PixelRect b);

} // namespace platform
