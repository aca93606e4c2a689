#pragma once

#include <QByteArray>
#include <QString>

namespace velmora {

// Replaces the file at path with bytes, all or nothing: on any failure an
// existing file keeps its old content and no partial file is left where
// there was none. A writable file in a folder that takes no new files is
// written in place. error, when given, receives a readable reason.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

}  // namespace velmora
