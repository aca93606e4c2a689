#pragma once

#include "core/readme/ReadmeRecord.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace velmora {

// Reading back a readme that Velmora wrote, in either layout, to update it.

enum class ReadmeFormat { Text, Markdown };
enum class TextEncoding { Windows1252, Utf8 };

// Where a file stops following the layout.
struct ReadmeMismatch {
    int lineNumber = 0;  // counted from 1; one past the last line when the file ends too soon
    QString lineStart;   // the first 60 characters of that line (empty past the end)
    QString expected;    // what the layout has there, in words
};

struct RecognisedReadme {
    // False when the file could not be read (readError says why) or does
    // not follow either layout (mismatch says where).
    bool recognised = false;
    ReadmeFormat format = ReadmeFormat::Text;
    // How the bytes were decoded, as the viewer decodes them: UTF-8 when
    // they are valid UTF-8, Windows-1252 otherwise. Writing the text layout
    // again in this encoding gives the same bytes.
    TextEncoding encoding = TextEncoding::Windows1252;
    ReadmeRecord record;  // all fourteen fields; multi-line ones with CR LF
    QStringList compatibleSystems;
    ReadmeMismatch mismatch;
    QString readError;
};

// Recognises the text layout (by its first row, the rule) or the Markdown
// layout (by its title, a line starting with '#'); line ends may be CR LF,
// LF or CR. A value its box could not hold as typed (a program name or
// company over 40 characters, a version the version box refuses
// (layout::isVersion), an author name or e-mail over 30, a
// line break in a single-line value, a type not in the type list) counts as
// not recognised, and so does a file beyond the viewer's limits (more lines
// than it shows, or one line longer than it shows: core/text/WholeFile).
//
// Where the text layout cannot tell two records apart (a multi-line field
// that holds an empty line and then a line equal to the next item's label
// or "(none given)" row), an empty item is taken as "(none given)" first,
// and the earlier field is given the fewest lines with which the rest of
// the file still follows the layout (one empty line alone is no field: it
// would be written as "(none given)"). Either record writes the same bytes.
// In the Markdown layout a typed line that looks like a heading is written
// with the two spaces of a line break, or stands inside a fenced block or
// raw HTML that the reader follows, so no field ends there; the one record
// it cannot tell apart is a field whose last line is the very line the
// writer adds to close a block left open (a closing fence one character
// longer than its opening, or the end of raw HTML followed by "<!-- -->"):
// that line is taken as the writer's.
RecognisedReadme recogniseReadme(const QByteArray &bytes);

// The file at path read as the viewer reads it (a regular file of at most
// 16 MiB, opened without waiting), then recognised.
RecognisedReadme recogniseReadmeFile(const QString &path);

// The text of the box that says why a file was not taken: which line
// differs and what was expected there, or why the file could not be read.
QString notRecognisedMessage(const RecognisedReadme &result);

}  // namespace velmora
