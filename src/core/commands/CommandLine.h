#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>

namespace velmora {

// What the command line asks for. Read before anything needs a display, so
// that --help, --version and the commands (check, update, new) work
// anywhere, with no display and no QCoreApplication.
struct CommandLineAnswer {
    bool startProgram = true;  // no option: start as always
    int exitCode = 0;
    QString standardOutput;    // --help, --version
    QString standardError;     // an option Velmora does not know, and the usage;
                               // where a checked file is not a Velmora readme
    QString projectFolder;     // --project DIR: the folder whose facts are
                               // offered at the start (absolute)
    QString fileToOpen;        // velmora FILE: the readme to open at start
};

// The usage text that --help prints.
const QString &commandLineUsage();

// arguments: the command line without the program's own name.
CommandLineAnswer readCommandLine(const QStringList &arguments);

// Writes the answer and gives the exit status: the answer's own, or 1 when
// its standard output could not be written whole (a full disk, a closed
// pipe), which is then said on standard error.
int giveCommandLineAnswer(const CommandLineAnswer &answer, std::FILE *out, std::FILE *error);

}  // namespace velmora
