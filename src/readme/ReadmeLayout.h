#pragma once

#include "readme/ReadmeRecord.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace velmora {

// The readme as the bytes of the file: every row followed by CR LF, fields
// written unchanged, in Windows-1252.
QByteArray readmeBytes(const ReadmeRecord &record, const QStringList &compatibleSystems);

}  // namespace velmora
