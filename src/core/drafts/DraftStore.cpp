#include "core/drafts/DraftStore.h"

#include "core/drafts/DraftFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

const char draftSuffix[] = ".draft";
const char lockSuffix[] = ".lock";
const char claimSuffix[] = ".claim";  // a lock file before it is locked
const char asideSuffix[] = ".unreadable";

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

// Locks the regular file at path without waiting. Nothing when another
// process holds it, or when the name no longer leads to the file that was
// locked (its last holder deleted it meanwhile).
std::optional<HeldLock> tryLock(const QString &path)
{
    const int fd = ::open(native(path).constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    HeldLock lock(fd);
    struct stat opened {}, named {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return std::nullopt;
    if (::stat(native(path).constData(), &named) != 0 || named.st_ino != opened.st_ino
        || named.st_dev != opened.st_dev)
        return std::nullopt;
    return lock;
}

// A new file at path, locked before anyone else can see it under a name
// that is looked at; nothing when the file is already there.
std::optional<HeldLock> createLocked(const QString &path)
{
    const int fd = ::open(native(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return std::nullopt;
    HeldLock lock(fd);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return std::nullopt;
    return lock;
}

// Makes each missing folder of path open to this user alone, as the XDG
// convention asks of the state folder.
bool makePrivateFolder(const QString &path)
{
    const QString clean = QDir::cleanPath(QDir::isAbsolutePath(path) ? path : QDir::current().absoluteFilePath(path));
    const QStringList parts = clean.split(u'/', Qt::SkipEmptyParts);
    QString built;
    for (const QString &part : parts) {
        built += u'/' + part;
        if (::mkdir(native(built).constData(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    const QFileInfo folder(clean);
    return folder.isDir() && folder.isWritable();
}

}  // namespace

HeldLock::~HeldLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

HeldLock &HeldLock::operator=(HeldLock &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

void LeftDraft::discard()
{
    // The draft first: a lock file without a draft is only a leftover, a
    // draft without its lock would look like a finished run's.
    QFile::remove(draftPath);
    QFile::remove(lockPath);
    lock = HeldLock();
}

DraftStore::DraftStore(QString folder) : m_folder(std::move(folder)) {}

QString DraftStore::pathOf(const QString &name, const char *suffix) const
{
    return m_folder + u'/' + name + QLatin1String(suffix);
}

bool DraftStore::claim()
{
    if (claimed())
        return true;
    if (m_folder.isEmpty() || !makePrivateFolder(m_folder))
        return false;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QString name = QStringLiteral("%1-%2")
                                 .arg(::getpid())
                                 .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
        // Locked under a name that no start looks at, then renamed: no one
        // ever sees this run's lock file unlocked.
        const QString claimPath = pathOf(name, claimSuffix);
        std::optional<HeldLock> lock = createLocked(claimPath);
        if (!lock)
            continue;
        if (::rename(native(claimPath).constData(), native(pathOf(name, lockSuffix)).constData()) != 0) {
            QFile::remove(claimPath);
            return false;
        }
        m_name = name;
        m_lock = std::move(*lock);
        return true;
    }
    return false;
}

QString DraftStore::draftPath() const
{
    return claimed() ? pathOf(m_name, draftSuffix) : QString();
}

void DraftStore::removeOwn()
{
    if (!claimed())
        return;
    QFile::remove(pathOf(m_name, draftSuffix));
    QFile::remove(pathOf(m_name, lockSuffix));
    m_lock = HeldLock();
    m_name.clear();
}

std::optional<LeftDraft> DraftStore::takeLeftDraft()
{
    if (m_folder.isEmpty())
        return std::nullopt;
    // Each name once, whether its draft, its lock or both are there.
    QStringList names;
    const QDir dir(m_folder);
    for (const QString &entry : dir.entryList(QDir::Files | QDir::System | QDir::Hidden | QDir::Dirs
                                              | QDir::NoDotAndDotDot)) {
        QString name = entry;
        if (entry.endsWith(QLatin1String(draftSuffix)))
            name.chop(qsizetype(sizeof draftSuffix) - 1);
        else if (entry.endsWith(QLatin1String(lockSuffix)))
            name.chop(qsizetype(sizeof lockSuffix) - 1);
        else
            continue;
        if (!name.isEmpty() && name != m_name && !names.contains(name))
            names << name;
    }

    std::optional<LeftDraft> newest;
    QDateTime newestTime;
    for (const QString &name : names) {
        const QString draftPath = pathOf(name, draftSuffix);
        const QString lockPath = pathOf(name, lockSuffix);
        // A draft whose lock file is gone was left by a run that ended
        // before it could tidy up; its lock is made anew to hold it.
        std::optional<HeldLock> lock = QFileInfo::exists(lockPath) ? tryLock(lockPath) : createLocked(lockPath);
        if (!lock)
            continue;  // a running program's, or another start holds it
        LeftDraft left{draftPath, lockPath, {}, std::move(*lock)};
        const QFileInfo draft(draftPath);
        if (!draft.exists() && !draft.isSymLink()) {
            QFile::remove(lockPath);  // a leftover lock
            continue;
        }
        const DraftRead read = readDraftFile(draftPath);
        if (read.outcome != DraftReading::Read) {
            ::rename(native(draftPath).constData(), native(pathOf(name, asideSuffix)).constData());
            QFile::remove(lockPath);
            continue;
        }
        if (!holdsTypedText(read.values)) {
            left.discard();
            continue;
        }
        left.values = read.values;
        const QDateTime written = draft.lastModified();
        if (!newest || written > newestTime) {
            newest = std::move(left);
            newestTime = written;
        }
    }
    return newest;
}

}  // namespace velmora
