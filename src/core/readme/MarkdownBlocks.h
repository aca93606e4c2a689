#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>

namespace velmora::markdown {

// The multi-line fields of the Markdown layout: each is Markdown of its own,
// written so that every typed line shows as a line, and read back by
// following the same blocks.

// A multi-line field as the lines of Markdown that show each typed line as
// a line of its own and every typed character as itself: a line of running
// text ends in two spaces (a line break) and has '<', '>', '&', the
// backticks of no code span and the ']' of a link to a script escaped, so
// that no raw HTML, character reference or block quote comes from it; a
// line of a code block stays as typed; a fenced code block left open at the
// end is closed by a fence one character longer than its opening, a line a
// person hardly types, so that it does not take in the rest of the readme.
// Markdown typed (lists, emphasis, code spans, fences, headings, links)
// renders as Markdown. Line breaks may be CR LF, CR or LF.
QStringList fieldLines(const QString &field);

// The field back from the lines fieldLines() wrote: the closing line it
// added taken off, the two spaces and the escapes it added removed (lines
// without the spaces, as an editor that strips trailing blanks leaves them,
// are taken as they stand). Lines are joined with CR LF.
QString fieldFromLines(const QStringList &lines);

// Lines of Markdown taken one by one as a field's lines, from reset() on:
// whether they are, so far, what fieldLines() writes for some field, the way
// the reader tells where a field ends.
class FieldShape {
public:
    // strict: a line of running text must end in the two spaces the writer
    // adds; otherwise lines whose spaces an editor took off count too.
    explicit FieldShape(bool strict);
    ~FieldShape();
    static constexpr bool anyLines = false;
    void reset();
    // False once no longer run of lines from the same start can be a field.
    bool add(QStringView line);
    // The lines so far are a whole field: no block left open, not one empty line.
    bool whole() const;

    class Scanner;  // the writer's own view of the blocks

private:
    std::unique_ptr<Scanner> m_scanner;
    bool m_strict;
    int m_lines = 0;
    bool m_firstEmpty = false;
};

}  // namespace velmora::markdown
