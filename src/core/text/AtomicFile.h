#pragma once

#include <QByteArray>
#include <QString>

namespace velmora {

// The reason a write failed, as every message of the program words it:
// Cannot write "<path>": <why>.
QString cannotWrite(const QString &path, const QString &why);

// Replaces the file at the absolute path with bytes, all or nothing: on any
// failure an existing file keeps its old content and no partial file is
// left where there was none. Only a regular file is replaced; a pipe, a
// device or a socket is left alone and the write fails. A symbolic link is
// followed and kept, but only where the kernel's rule for links in shared
// folders lets this user follow it (see followLinks); otherwise nothing is
// written. The new file keeps the owner, group and mode of the one it
// replaces where this user may set them. A writable file in a folder that
// takes no new files is written in place, all or nothing too (see
// writeFileInPlace). error, when given, receives a readable reason:
// Cannot write "<path>": <why>.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Writes bytes over the existing regular file at path without a temporary
// file. No byte of the old content changes before room for the new one is
// reserved; the old content is written back if a later step fails anyway
// (a file system that cannot reserve room). The file is cut to the new
// length and flushed to disk before success is reported. The whole write
// holds the file's exclusive lock (core/text/FileLock.h), so a reader that takes
// the shared lock sees the old content or the new, never a mix.
bool writeFileInPlace(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Replaces the file at path with bytes, all or nothing, in a folder that is
// this user's alone (the drafts'): the bytes go to a new file <path>.new,
// open to this user alone (0600) and flushed to disk, which is then renamed
// over path. A link at either name is replaced, never followed, and nothing
// of the replaced file (owner, mode) is kept.
bool replacePrivateFile(const QString &path, const QByteArray &bytes, QString *error = nullptr);

}  // namespace velmora
