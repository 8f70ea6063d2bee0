#include "characters.h"

#include <QTextBoundaryFinder>

namespace platform {

QString characterAt(const QString &text, int position)
{
    if (position < 1)
        return {};
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    for (int i = 1; i < position; ++i) {
        start = finder.toNextBoundary();
        if (start < 0)
            return {};
    }
    const qsizetype end = finder.toNextBoundary();
    return end < 0 ? QString() : text.mid(start, end - start);
}

} // namespace platform
