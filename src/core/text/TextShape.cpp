#include "core/text/TextShape.h"

#include <algorithm>

namespace velmora {

TextShape shapeOfText(QStringView text)
{
    TextShape shape;
    qsizetype lineStart = 0;
    qsizetype runStart = 0;
    const qsizetype n = text.size();
    const QChar *c = text.data();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ch = c[i].unicode();
        // A cheap test first: every character that ends a run is a space, a
        // tab, CR, LF, U+2028, U+2029 or U+FDD0/U+FDD1.
        if (ch > u' ' && (ch & 0xFFFE) != 0x2028 && (ch & 0xFFFE) != 0xFDD0)
            continue;
        const bool lineBreak = ch == u'\r' || ch == u'\n' || ch == 0x2029 || ch == 0xFDD0 || ch == 0xFDD1;
        if (!lineBreak && ch != u' ' && ch != u'\t' && ch != 0x2028)
            continue;  // a control character other than these is part of a run
        shape.longestRun = std::max(shape.longestRun, i - runStart);
        runStart = i + 1;
        if (!lineBreak)
            continue;
        shape.longestLine = std::max(shape.longestLine, i - lineStart);
        ++shape.lines;
        if (ch == u'\r' && i + 1 < n && c[i + 1] == u'\n')
            ++i;  // CR LF is one break
        lineStart = runStart = i + 1;
    }
    shape.longestRun = std::max(shape.longestRun, n - runStart);
    if (n > lineStart) {
        shape.longestLine = std::max(shape.longestLine, n - lineStart);
        ++shape.lines;
    }
    return shape;
}

}  // namespace velmora
