#pragma once

#include <QStringView>
#include <QtGlobal>

namespace velmora {

// Where a text's lines and runs end. A line ends wherever a text box
// starts a new one: at CR LF, CR alone, LF alone, U+2029 (paragraph
// separator) and U+FDD0/U+FDD1; a last line without a break counts when it
// is not empty. A run (what a box cannot break at a word boundary) ends at
// a line end, a space, a tab or U+2028 (line separator). Lengths are in
// characters, breaks not counted.
struct TextShape {
    qint64 lines = 0;
    qsizetype longestLine = 0;
    qsizetype longestRun = 0;
};
TextShape shapeOfText(QStringView text);

// Text whose runs without a space are all at most this long wraps at word
// boundaries in a text box (a run longer than the box is wide still breaks
// anywhere). A longer run makes the whole text wrap anywhere, since Qt seeks
// a word boundary again on every line of such a run, in time that grows
// with the square of the run's length.
constexpr qsizetype maxWordWrapRunChars = 1000;

}  // namespace velmora
