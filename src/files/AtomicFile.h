#pragma once

#include <QByteArray>
#include <QString>

namespace velmora {

// Replaces the file at path with bytes, all or nothing: on any failure an
// existing file keeps its old content and no partial file is left where
// there was none. Only a regular file is replaced (a symbolic link is
// followed and kept); a pipe, a device or a socket is left alone and the
// write fails. A writable file in a folder that takes no new files is
// written in place, all or nothing too (see writeFileInPlace). error, when
// given, receives a readable reason: Cannot write "<path>": <why>.
// The reason a write failed, as every message of the program words it:
// Cannot write "<path>": <why>.
QString cannotWrite(const QString &path, const QString &why);

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Writes bytes over the existing regular file at path without a temporary
// file. No byte of the old content changes before room for the new one is
// reserved; the old content is written back if a later step fails anyway
// (a file system that cannot reserve room). The file is cut to the new
// length and flushed to disk before success is reported.
bool writeFileInPlace(const QString &path, const QByteArray &bytes, QString *error = nullptr);

}  // namespace velmora
