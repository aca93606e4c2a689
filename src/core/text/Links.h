#pragma once

#include <QByteArray>
#include <QString>

namespace velmora {

// A path with the symbolic links along it followed, one name at a time, the
// way the kernel's protected-symlinks rule lets this user follow them: a
// link that lies in a folder which is sticky and writable by everyone (such
// as /tmp) is followed only when this user or the folder's owner made it.
// That rule is the defence against a link another user plants in a shared
// folder; the writer applies it itself because it follows links before it
// renames over their target, where the kernel never looks.
struct FollowedPath {
    // Absolute, with no link, "." or ".." left in the part that exists;
    // from the first name that does not exist on, the rest as given.
    QByteArray path;
    // Why a link on the way must not be followed; empty when none.
    QString problem;
};

// path must be absolute.
FollowedPath followLinks(const QByteArray &path);

// What the symbolic link at link points to, as the kernel holds it; empty
// when link is no link or cannot be read.
QByteArray linkTarget(const QByteArray &link);

// bytes as text when the text gives the same bytes back, otherwise
// fallback (a name that is not valid UTF-8 cannot be held in a QString).
QString nameOrFallback(const QByteArray &bytes, const QString &fallback);

}  // namespace velmora
