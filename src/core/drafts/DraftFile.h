#pragma once

#include "core/readme/WizardValues.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace velmora {

// A draft: the wizard's values in a small text file of our own, UTF-8,
// versioned, each value preceded by its name and its length in bytes:
//
//   Velmora draft
//   version 1
//   main.name 9
//   Pixel Pal
//   ...
//   end
//
// Lists give one line per entry under the same name; the memory of a
// preset box's last fill is present only when there was a fill.

// A draft larger than this is neither written nor read: 64 MiB is far more
// than anyone types, and a start never reads more.
inline constexpr qint64 maxDraftBytes = qint64(64) * 1024 * 1024;

QByteArray draftBytes(const WizardValues &values);

enum class DraftReading {
    Read,
    Missing,       // no regular file there, or it cannot be opened
    TooLarge,      // larger than maxDraftBytes: not read at all
    CutShort,      // ends before its last line
    OtherVersion,  // a draft of another version of the format
    BeyondLimits,  // values beyond what Open readme takes (withinReadmeLimits)
    NotADraft,     // anything else we did not write
};

struct DraftRead {
    DraftReading outcome = DraftReading::Missing;
    WizardValues values;  // only when Read
};

// Whether values keep the limits of the one reader of readmes, which are
// the viewer's (core/text/WholeFile): no line of any value longer than it
// shows, and neither the readme of the boxes nor that of the record, nor
// the OS list with the boxes' memories, with more lines or characters than
// it shows (each value and each entry at least one line).
bool withinReadmeLimits(const WizardValues &values);

// The values of a draft; one beyond the limits above is not read, so that
// no draft puts into the wizard what Open readme would refuse.
DraftRead parseDraft(QByteArrayView bytes);
// Looks at the size before it reads a byte.
DraftRead readDraftFile(const QString &path);

}  // namespace velmora
