#pragma once

#include <QString>

namespace velmora {

// A file beside the program: the folder, a separator unless the folder
// already ends in one (blanks after it looked past), and the name. The
// separator follows the folder's own style ("C:\Tools" takes "\",
// "/opt/velmora" takes "/"). An empty folder gives the name alone.
QString fileInFolder(const QString &folder, const QString &name);

// A base folder of the XDG convention: the value of variable when it is an
// absolute path, otherwise (unset, empty or relative, which the convention
// says to ignore) homeFolder followed by fallbackUnderHome
// (xdgBaseFolder("XDG_STATE_HOME", home, ".local/state")).
QString xdgBaseFolder(const char *variable, const QString &homeFolder,
                      const QString &fallbackUnderHome);

// True when this user may create files in folder (write and search
// permission on it).
bool mayCreateFilesIn(const QString &folder);

// Where the Save and Open dialogs start: the application folder when this
// user may create files there, otherwise the documents folder.
QString dialogStartFolder(const QString &applicationFolder, const QString &documentsFolder);

}  // namespace velmora
