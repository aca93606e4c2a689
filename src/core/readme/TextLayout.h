#pragma once

#include "core/readme/ReadBack.h"
#include "core/readme/ReadmeRecord.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace velmora {

enum class ReadmeEncoding {
    Windows1252,  // a character it cannot hold becomes "?"
    Utf8,         // without a byte-order mark
};

// The readme as the bytes of the file: every row followed by CR LF, fields
// written unchanged, in the given encoding.
QByteArray readmeBytes(const ReadmeRecord &record, const QStringList &compatibleSystems,
                       ReadmeEncoding encoding = ReadmeEncoding::Windows1252);

// The characters of the readme that Windows-1252 cannot hold, each once, in
// the order they first appear in the file; empty when it holds them all.
QList<char32_t> charactersOutsideWindows1252(const ReadmeRecord &record,
                                             const QStringList &compatibleSystems);

// The text layout read back from a file's lines (split at any line break,
// without their ends): the record and the compatible systems, or the first
// line where the file leaves the layout. Fixed rows are matched from the
// top, the AUTHOR block from the end, and the items between them with
// readback::FieldMatcher; a field is any lines but one empty line alone.
readback::Outcome readTextLayout(const QStringList &lines);

}  // namespace velmora
