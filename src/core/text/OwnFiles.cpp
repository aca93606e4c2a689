#include "core/text/OwnFiles.h"

#include "core/text/AtomicFile.h"
#include "core/text/Links.h"

#include <QFile>

#include <sys/stat.h>

namespace velmora {

namespace {

// What a path names on disk: the file it reaches, or, for a file that is
// not there yet, the folder it would be made in and its name there.
struct Identity {
    bool known = false;
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    QByteArray name;

    friend bool operator==(const Identity &, const Identity &) = default;
};

Identity identify(const QString &path)
{
    Identity id;
    if (path.isEmpty())
        return id;
    const QByteArray bytes = QFile::encodeName(path);
    struct stat st {};
    if (::stat(bytes.constData(), &st) == 0) {
        id.known = id.exists = true;
        id.device = st.st_dev;
        id.inode = st.st_ino;
        return id;
    }
    if (!bytes.startsWith('/'))
        return id;
    const FollowedPath followed = followLinks(bytes);
    const qsizetype slash = followed.path.lastIndexOf('/');
    if (!followed.problem.isEmpty() || slash < 0)
        return id;
    const QByteArray folder = slash == 0 ? QByteArray("/") : followed.path.left(slash);
    if (::stat(folder.constData(), &st) != 0)
        return id;
    id.known = true;
    id.device = st.st_dev;
    id.inode = st.st_ino;
    id.name = followed.path.mid(slash + 1);
    return id;
}

}  // namespace

OwnFile runningProgram()
{
    return {QStringLiteral("/proc/self/exe"), QStringLiteral("the Velmora program itself")};
}

QString ownFileProblem(const QString &path, const std::vector<OwnFile> &files)
{
    const Identity target = identify(path);
    if (!target.known)
        return QString();
    for (const OwnFile &own : files) {
        if (identify(own.path) == target)
            return cannotWrite(path, QStringLiteral("it is %1").arg(own.what));
    }
    return QString();
}

}  // namespace velmora
