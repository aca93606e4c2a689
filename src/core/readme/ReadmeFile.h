#pragma once

#include "core/readme/ReadmeReading.h"
#include "core/readme/ReadmeRecord.h"
#include "core/readme/TextLayout.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace velmora {

// Writing a readme file: what Create File and `velmora update` and
// `velmora new` share, so that one record gives the same bytes either way.

// The layout a file name asks for: Markdown for a name ending in ".md",
// text for ".txt" (either case), otherwise nothing (the caller's choice).
std::optional<ReadmeFormat> formatNamedBy(const QString &path);

// The encoding a text readme opened from readme is written in again: UTF-8
// when its bytes were UTF-8 with some character beyond ASCII (a file of
// ASCII alone is Windows-1252 as much as UTF-8), Windows-1252 otherwise and
// for a Markdown readme.
ReadmeEncoding keptEncoding(const RecognisedReadme &readme);

// Up to ten of the characters, separated by spaces, and "and N more" for
// the rest: how a message names what Windows-1252 cannot hold.
QString namedCharacters(const QList<char32_t> &characters);

// Writes the readme of record and systems to path, in format (a Markdown
// readme is always UTF-8; encoding is the text layout's), through
// writeFileAtomically. Nothing is written where readmeTargetProblem
// refuses (the program, its help file, a presets.txt it reads), nor a
// Markdown readme that Markdown cannot hold. False, with the reason line,
// when nothing was written.
bool writeReadmeFile(const QString &path, const ReadmeRecord &record, const QStringList &systems,
                     ReadmeFormat format, ReadmeEncoding encoding, const QString &applicationFolder,
                     const QString &userFolder, QString *reason);

}  // namespace velmora
