#include "core/text/FilePath.h"

#include "core/text/BoundedFile.h"
#include "core/text/Links.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
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

// The home folder of this user's account in the password database, as bytes.
QByteArray accountHomeFolder()
{
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size_t(size > 0 ? size : 16384));
    passwd entry{};
    passwd *found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found
        || !found->pw_dir)
        return QByteArray();
    return QByteArray(found->pw_dir);
}

bool isOwnFolder(const QByteArray &path)
{
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
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
    static const QString folder = [] {
        // The bytes, never text: a name that is not UTF-8 would come back
        // from a QString as another name.
        QByteArray home = qgetenv("HOME");
        if (!home.startsWith('/') || !isOwnFolder(home))
            home = accountHomeFolder();
        if (!home.startsWith('/'))
            return QString();
        const QString name = nameForFolder(home);
        return name.startsWith(u'/') ? QDir::cleanPath(name) : QString();
    }();
    return folder;
}

QString homeShortened(const QString &path, const QString &home)
{
    if (home.isEmpty() || home == QLatin1String("/"))
        return path;
    if (path == home)
        return QStringLiteral("~");
    if (path.startsWith(home + u'/'))
        return u'~' + path.mid(home.size());
    return path;
}

QString userConfigFolder()
{
    return fileInFolder(xdgBaseFolder("XDG_CONFIG_HOME", homeFolder(), QStringLiteral(".config")),
                        QStringLiteral("Velmora"));
}

QString userStateFolder()
{
    return fileInFolder(xdgBaseFolder("XDG_STATE_HOME", homeFolder(), QStringLiteral(".local/state")),
                        QStringLiteral("velmora"));
}

QString userDocumentsFolder()
{
    const QString home = homeFolder();
    QString documents = fileInFolder(home, QStringLiteral("Documents"));
    const QString dirs = fileInFolder(xdgBaseFolder("XDG_CONFIG_HOME", home, QStringLiteral(".config")),
                                      QStringLiteral("user-dirs.dirs"));
    // Lines such as XDG_DOCUMENTS_DIR="$HOME/Dokumente", as xdg-user-dirs
    // writes them.
    const BoundedFile file = readBoundedFile(dirs, 64 * 1024, BoundedRead{true, {}});
    for (const QString &line : file.text.split(u'\n')) {
        const QString prefix = QStringLiteral("XDG_DOCUMENTS_DIR=\"");
        if (!line.startsWith(prefix) || !line.trimmed().endsWith(u'"'))
            continue;
        QString value = line.trimmed().mid(prefix.size()).chopped(1);
        if (value == QLatin1String("$HOME") || value.startsWith(QLatin1String("$HOME/")))
            value = home.isEmpty() ? QString() : home + value.mid(5);
        if (QDir::isAbsolutePath(value))
            documents = value;
    }
    return QFileInfo(documents).isDir() ? documents : home;
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
