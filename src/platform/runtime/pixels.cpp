#include "pixels.h"

#include <algorithm>
#include <cmath>

namespace platform {

int twipsToPixels(double twips, int dpi)
{
    constexpr double Limit = 1e6;
    if (!std::isfinite(twips))
        return 0;
    return int(std::lround(std::clamp(twips * dpi / 1440, -Limit, Limit)));
}

PixelRect pixelRect(const Control &control, int dpi)
{
    const int left = twipsToPixels(control.left(), dpi);
    const int top = twipsToPixels(control.top(), dpi);
    const int right = twipsToPixels(double(control.left()) + double(control.width()), dpi);
    const int bottom = twipsToPixels(double(control.top()) + double(control.height()), dpi);
    return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

bool intersects(PixelRect a, PixelRect b)
{
    return a.width > 0 && a.height > 0 && b.width > 0 && b.height > 0 && a.left < b.left + b.width
        && b.left < a.left + a.width && a.top < b.top + b.height && b.top < a.top + a.height;
}

} // namespace platform
