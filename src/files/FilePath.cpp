#include "files/FilePath.h"

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
