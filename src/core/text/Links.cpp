#include "core/text/Links.h"

#include <QDir>
#include <QFile>
#include <QList>

#include <deque>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

// The kernel's own limit on the links of one path.
constexpr int maxLinks = 40;

QByteArray joined(const QByteArray &folder, const QByteArray &name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

QByteArray parentOf(const QByteArray &folder)
{
    const qsizetype slash = folder.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : folder.left(slash);
}

// Puts the names of path in front of the names still to walk.
void pushNames(std::deque<QByteArray> &names, const QByteArray &path)
{
    const QList<QByteArray> parts = path.split('/');
    for (auto it = parts.crbegin(); it != parts.crend(); ++it)
        names.push_front(*it);
}

// The kernel's rule for a link in folder (protected_symlinks).
bool mayFollow(const struct stat &link, const QByteArray &folder)
{
    if (link.st_uid == ::geteuid())
        return true;
    struct stat where {};
    if (::stat(folder.constData(), &where) != 0)
        return false;
    const mode_t shared = S_ISVTX | S_IWOTH;
    if ((where.st_mode & shared) != shared)
        return true;
    return link.st_uid == where.st_uid;
}

}  // namespace

FollowedPath followLinks(const QByteArray &path)
{
    FollowedPath out;
    std::deque<QByteArray> names;
    pushNames(names, path);
    QByteArray current("/");
    bool missing = false;
    int links = 0;
    while (!names.empty()) {
        const QByteArray name = names.front();
        names.pop_front();
        if (name.isEmpty() || name == ".")
            continue;
        if (missing) {
            current = joined(current, name);
            continue;
        }
        if (name == "..") {
            current = parentOf(current);
            continue;
        }
        const QByteArray next = joined(current, name);
        struct stat st {};
        if (::lstat(next.constData(), &st) != 0) {
            missing = true;  // the rest is a name to be made, or a failure the caller reports
            current = next;
            continue;
        }
        if (!S_ISLNK(st.st_mode)) {
            current = next;
            continue;
        }
        if (++links > maxLinks) {
            out.problem = QStringLiteral("too many levels of symbolic links");
            return out;
        }
        if (!mayFollow(st, current)) {
            out.problem = QStringLiteral("the link %1 in the shared folder %2 was made by another user")
                              .arg(QDir::toNativeSeparators(QFile::decodeName(next)),
                                   QDir::toNativeSeparators(QFile::decodeName(current)));
            return out;
        }
        const QByteArray target = linkTarget(next);
        if (target.isEmpty()) {
            missing = true;
            current = next;
            continue;
        }
        if (target.startsWith('/'))
            current = "/";
        pushNames(names, target);
    }
    out.path = current;
    return out;
}

QByteArray linkTarget(const QByteArray &link)
{
    QByteArray buffer(4096, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::readlink(link.constData(), buffer.data(), size_t(buffer.size()));
        if (n < 0)
            return QByteArray();
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

QString nameOrFallback(const QByteArray &bytes, const QString &fallback)
{
    const QString decoded = QFile::decodeName(bytes);
    return QFile::encodeName(decoded) == bytes ? decoded : fallback;
}

}  // namespace velmora
