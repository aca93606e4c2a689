#include "core/text/FilePath.h"

#include "core/text/Links.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace velmora {

namespace {

// A folder named by the bytes of its path, as a text that file calls resolve
// to that folder.
QString nameForFolder(const QByteArray &folder)
{
    const QString name = nameOrFallback(folder, QString());
    if (!name.isEmpty())
        return name;
    // Deliberately kept open: the name below lasts as long as the descriptor.
    const int fd = ::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return QString();
    return QStringLiteral("/proc/self/fd/%1").arg(fd);
}

QString accountHomeFolder()
{
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size_t(size > 0 ? size : 16384));
    passwd entry{};
    passwd *found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found
        || !found->pw_dir)
        return QString();
    return QFile::decodeName(found->pw_dir);
}

}  // namespace

QString fileInFolder(const QString &folder, const QString &name)
{
    if (folder.isEmpty())
        return QString();
    // Only the test for a trailing separator looks at the trimmed folder; the
    // folder itself is used as given.
    const QString trimmed = folder.trimmed();
    if (trimmed.endsWith(u'\\') || trimmed.endsWith(u'/'))
        return folder + name;
    const bool backslashes = folder.contains(u'\\') && !folder.contains(u'/');
    return folder + (backslashes ? u'\\' : u'/') + name;
}

QString xdgBaseFolder(const char *variable, const QString &homeFolder,
                      const QString &fallbackUnderHome)
{
    const QString value = qEnvironmentVariable(variable);
    if (QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    if (!QDir::isAbsolutePath(homeFolder))
        return QString();
    return QDir::cleanPath(homeFolder + u'/' + fallbackUnderHome);
}

QString homeFolder()
{
    const QString home = qEnvironmentVariable("HOME");
    if (QDir::isAbsolutePath(home))
        return QDir::cleanPath(home);
    const QString account = accountHomeFolder();
    return QDir::isAbsolutePath(account) ? QDir::cleanPath(account) : QString();
}

QString programFolder()
{
    static const QString folder = [] {
        const QByteArray program = linkTarget("/proc/self/exe");
        const qsizetype slash = program.lastIndexOf('/');
        if (slash < 0)
            return QString();
        return nameForFolder(slash == 0 ? QByteArray("/") : program.left(slash));
    }();
    return folder;
}

bool mayCreateFilesIn(const QString &folder)
{
    return QFileInfo(folder).isDir()
           && ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

QString dialogStartFolder(const QString &applicationFolder, const QString &documentsFolder)
{
    const bool mayCreate = mayCreateFilesIn(applicationFolder);
    return mayCreate ? applicationFolder : documentsFolder;
}

}  // namespace velmora
