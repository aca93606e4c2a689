#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace velmora {

// Velmora's help file is some 25 KB of HTML. A file far larger is not the
// help file, and the help window would take long to lay it out, so it is
// not read at all (readBoundedFile).
inline constexpr qint64 maxHelpFileBytes = qint64(4) * 1024 * 1024;
// A picture, style sheet or page that a help page names.
inline constexpr qint64 maxHelpResourceBytes = qint64(4) * 1024 * 1024;

// The content of a file that a help page in folder names (path: absolute),
// when the help window may load it: a regular file inside folder or a folder
// below it, once every link is followed, of at most maxHelpResourceBytes.
// Nothing otherwise: no device, no /proc, nothing a link leads out to.
std::optional<QByteArray> readHelpResource(const QString &folder, const QString &path);

}  // namespace velmora
