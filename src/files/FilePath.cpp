#include "files/FilePath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace velmora {

QString fileInFolder(const QString &folder, const QString &name)
{
    if (folder.isEmpty())
        return name;
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
    return QDir::cleanPath(homeFolder + u'/' + fallbackUnderHome);
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
