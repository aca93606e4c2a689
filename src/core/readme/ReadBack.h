#pragma once

#include "core/readme/ReadmeReading.h"
#include "core/readme/ReadmeRecord.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>
#include <variant>

namespace velmora::readback {

// What the readers of the two layouts share: their answer, and the checks
// that a record read back holds only what the wizard's boxes could hold.

// Where a file leaves the layout.
struct Mismatch {
    int index;  // the line, from 0
    QString expected;
};

// A layout's reading of a file's lines: what it holds, or where it leaves
// the layout.
using Outcome = std::variant<Mismatch, RecognisedReadme>;

// "text", in double quotes, as a mismatch names a row.
QString quoted(const QString &text);
inline const QString anEmptyLine = QStringLiteral("an empty line");

bool hasLineBreak(const QString &value);

// What the title row may hold as the type, in words.
QString typeExpected();

// The first value of r that its box could not hold (a line break in a
// single-line value, a name, company, author or e-mail over its box's
// length, a version that layout::isVersion refuses), on the line it stands
// on. generalLines: the lines of version,
// company, language, web site, author.
std::optional<Mismatch> checkRecord(const ReadmeRecord &r, int nameLine, int eMailLine,
                                    std::array<int, 5> generalLines);

// The reading of the first of places from which read() reads the rest of
// the file, or, when none does, where the first one leaves the layout.
// places is not empty.
template <class Read>
Outcome firstThatReads(const QList<int> &places, Read read)
{
    std::optional<Outcome> first;
    for (int at : places) {
        Outcome outcome = read(at);
        if (std::holds_alternative<RecognisedReadme>(outcome))
            return outcome;
        if (!first)
            first = std::move(outcome);
    }
    return *first;
}

// Items 1 to 6 of PROGRAM into r, in order.
void setItems(ReadmeRecord &r, const std::array<QString, 6> &values);

}  // namespace velmora::readback
