#pragma once

#include "core/readme/ReadBack.h"
#include "core/readme/ReadmeRecord.h"

#include <QByteArray>
#include <QStringList>

namespace velmora {

// The readme as Markdown, the way code hosts show a README.md: the same
// facts in the same sections and order as the text layout, in UTF-8 without
// a byte-order mark, with LF line ends. The program name and type are the
// title; the general facts a list with labels; section titles and item
// labels headings; the compatible systems a list; the e-mail and a web site
// that is a web address links. Single-line values show exactly as typed;
// the multi-line fields are Markdown of their own, each typed line a line of
// the page.
QByteArray readmeMarkdownBytes(const ReadmeRecord &record, const QStringList &compatibleSystems);

// Why Markdown cannot hold the readme, or nothing when it can. A NUL
// character cannot be shown in Markdown (renderers show U+FFFD for it and
// for its character reference), and a file with a NUL byte is a binary file
// to git and to code hosts, which then show no readme at all; so a readme
// that holds one is refused, naming the first value that holds it, rather
// than written as something other than what was typed.
QString whyMarkdownCannotHold(const ReadmeRecord &record, const QStringList &compatibleSystems);

// The Markdown layout read back from a file's lines (split at any line
// break, without their ends): the record and the compatible systems, or the
// first line where the file leaves the layout. A field is lines that
// fieldLines() could have written (markdown::FieldShape), as written first,
// then with the spaces at their ends taken off by an editor.
readback::Outcome readMarkdownLayout(const QStringList &lines);

namespace markdownLayout {

// The rows of the layout that the reader looks for.
inline const QString noneGiven = QStringLiteral("*(none given)*");
QString sectionHeading(const QString &title);  // "## GENERAL"
QString itemHeading(const QString &title);     // "### 1. Files needed"
// "- **Version:**", the start of a row of the general facts, in order.
const QStringList &generalLabels();
// The licence's section: its heading's title and the row of its id.
inline const QString licenceTitle = QStringLiteral("Licence");
inline const QString licenceLabel = QStringLiteral("- **Licence:**");

}  // namespace markdownLayout

}  // namespace velmora
