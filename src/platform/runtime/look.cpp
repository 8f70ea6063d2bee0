// How the program's text looks whatever the toolkit: the faces a font asks for, and a caption placed by its
// ink.

#include "view.h"

#include <algorithm>

namespace platform {

int inkShift(int rows, int inkTop, int inkBottom)
{
    if (inkTop < 0)
        return 0; // no glyph has ink: nothing to place
    // Off the first and last rows, moved no further than that asks; where the strokes leave no row free at
    // both ends, centred, the odd row below (a floor, for slack of either sign).
    if (inkBottom - inkTop <= rows - 3)
        return std::clamp(0, 1 - inkTop, rows - 2 - inkBottom);
    const int slack = rows - 1 - inkTop - inkBottom;
    return slack >= 0 ? slack / 2 : -((1 - slack) / 2);
}

std::vector<std::u16string> fontFaces(const Font &font)
{
    // SimSun under its Chinese and English names, then the Song faces that stand in for it: Debian's,
    // macOS's, the Noto and Source Han serifs. Few systems have more than one; a toolkit that looks each up
    // in turn (a browser) finds the common ones soonest.
    std::vector<std::u16string> song{u"宋体", u"SimSun", u"AR PL UMing CN", u"AR PL UMing TW", u"Songti SC",
        u"STSong", u"Noto Serif CJK SC", u"Source Han Serif SC", u"Noto Serif SC", u"AR PL SungtiL GB"};
    if (font.name == song.front())
        return song;
    return {font.name};
}

} // namespace platform
