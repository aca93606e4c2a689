#pragma once

#include <QString>

namespace velmora {

// A file beside the program: the folder, a separator unless the folder
// already ends in one (blanks after it looked past), and the name. The
// separator follows the folder's own style ("C:\Tools" takes "\",
// "/opt/velmora" takes "/"). An empty folder gives an empty path, never the
// name alone, which would name a file in whatever folder the program was
// started from.
QString fileInFolder(const QString &folder, const QString &name);

// A base folder of the XDG convention: the value of variable when it is an
// absolute path, otherwise (unset, empty or relative, which the convention
// says to ignore) homeFolder followed by fallbackUnderHome
// (xdgBaseFolder("XDG_STATE_HOME", home, ".local/state")). Empty when that
// value is not absolute and homeFolder is not an absolute path either.
QString xdgBaseFolder(const char *variable, const QString &homeFolder,
                      const QString &fallbackUnderHome);

// This user's home folder, the one rule for every folder of the user's own
// (config, state, where the dialogs start): HOME when it is an absolute path
// that names a folder this user owns, otherwise the home folder of the
// user's account in the password database (HOME unset, relative, or another
// user's folder, as root's HOME after sudo -E); empty when that is not
// absolute either. A name that is not valid UTF-8 ("jos\xe9") is kept as
// its bytes: the folder is opened once and named /proc/self/fd/<n>, as
// programFolder does. Looked up once per run.
QString homeFolder();

// path as a person reads it: "~" for the home folder at its start
// ("~/src/README.md"); any other path as it is.
QString homeShortened(const QString &path, const QString &home);

// The user's folders of Velmora, under homeFolder through xdgBaseFolder:
// $XDG_CONFIG_HOME/Velmora (presets.txt), $XDG_STATE_HOME/velmora (drafts).
QString userConfigFolder();
QString userStateFolder();

// The user's documents folder: XDG_DOCUMENTS_DIR of user-dirs.dirs in the
// config folder, or else Documents in homeFolder, when it is a folder;
// otherwise homeFolder itself.
QString userDocumentsFolder();

// The folder that holds the running program. Its own path when that path
// is valid UTF-8; otherwise (a folder unpacked from an old archive, "caf\xe9")
// a QString cannot hold the name, so the folder is opened once and named
// /proc/self/fd/<n>, which every file call of Qt and of the system resolves
// to it; the descriptor stays open for the whole run. Empty only when the
// folder cannot be found at all (no /proc).
QString programFolder();

// True when this user may create files in folder (write and search
// permission on it).
bool mayCreateFilesIn(const QString &folder);

// Where the Save and Open dialogs start: the application folder when this
// user may create files there, otherwise the documents folder.
QString dialogStartFolder(const QString &applicationFolder, const QString &documentsFolder);

}  // namespace velmora
