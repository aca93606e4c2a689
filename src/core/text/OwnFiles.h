#pragma once

#include <QString>

#include <vector>

namespace velmora {

// A file of the program's own that nothing the program writes may replace,
// and how a message names it ("Velmora's help file").
struct OwnFile {
    QString path;
    QString what;
};

// The running program itself, named in a way that reaches it whatever its
// folder is called (/proc/self/exe).
OwnFile runningProgram();

// Why nothing may be written at path: the reason line ("Cannot write "...":
// it is Velmora's help file.") when path names one of files, however it is
// spelled and through whatever links: two paths name the same file when
// they reach the same device and inode; a file that is not there yet is
// the same as another missing one when both would be made under the same
// name in the same folder. Empty when path names none of them.
QString ownFileProblem(const QString &path, const std::vector<OwnFile> &files);

}  // namespace velmora
