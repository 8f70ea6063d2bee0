#pragma once

#include <QString>

namespace platform {

// Character `position` (counting from 1) of text, as a reader counts characters: a grapheme cluster, so a
// character beyond the Basic Multilingual Plane, a letter with its combining marks or an emoji with its
// modifier is one character. The empty string when text has fewer characters or position is below 1.
QString characterAt(const QString &text, int position);

} // namespace platform
