#include "ui/app/CommandLine.h"

#include "core/readme/ReadmeReading.h"
#include "core/text/LineBreaks.h"

#include <cerrno>
#include <cstring>

namespace velmora {

namespace {

const QString usage = QStringLiteral(
    "Usage: velmora [FILE]\n"
    "       velmora [--help | --version]\n"
    "       velmora check FILE\n"
    "\n"
    "Velmora writes the readme that ships with a program: three screens ask\n"
    "for the facts, and Create File writes the readme, as plain text or as\n"
    "Markdown (README.md). Started without options, it opens its window;\n"
    "given a FILE, a readme it wrote, it opens it there as File > Open\n"
    "readme does.\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help and exit\n"
    "  -v, --version  show the version and exit\n"
    "\n"
    "Commands (no display needed):\n"
    "  check FILE     exit 0 when FILE is a readme that Velmora wrote, in\n"
    "                 either layout; otherwise print FILE:LINE: and what\n"
    "                 differs there to standard error, and exit 1\n"
    "\n"
    "The manual page velmora(1) and Help > Contents in the program say more.\n");

// velmora check FILE: the file read as File > Open readme reads it, and the
// words of its box on one line, after the file and the line that differs.
CommandLineAnswer checkReadme(const QString &file)
{
    CommandLineAnswer answer;
    answer.startProgram = false;
    const RecognisedReadme readme = recogniseReadmeFile(file);
    if (readme.recognised)
        return answer;
    const QString where = readme.readError.isEmpty() ? QStringLiteral("%1:%2").arg(file).arg(readme.mismatch.lineNumber)
                                                     : file;
    answer.exitCode = 1;
    answer.standardError = where + QStringLiteral(": ") + notRecognisedMessage(readme).split(crLf).join(u' ') + u'\n';
    return answer;
}

}  // namespace

CommandLineAnswer readCommandLine(const QStringList &arguments)
{
    if (arguments.value(0) == u"check") {
        if (arguments.size() == 2)
            return checkReadme(arguments[1]);
        CommandLineAnswer answer;
        answer.startProgram = false;
        answer.exitCode = 2;
        answer.standardError = QStringLiteral("velmora: check takes one file name\n\n") + usage;
        return answer;
    }
    CommandLineAnswer answer;
    bool optionsEnded = false;  // after "--", "-notes.md" is a file name too
    for (const QString &argument : arguments) {
        if (argument == u"--" && !optionsEnded) {
            optionsEnded = true;
            continue;
        }
        if ((optionsEnded || !argument.startsWith(u'-')) && !argument.isEmpty() && answer.fileToOpen.isEmpty()) {
            answer.fileToOpen = argument;
            continue;
        }
        answer.startProgram = false;
        if (argument == u"--help" || argument == u"-h") {
            answer.standardOutput = usage;
            return answer;
        }
        if (argument == u"--version" || argument == u"-v") {
            answer.standardOutput = QStringLiteral("Velmora " VELMORA_VERSION "\n");
            return answer;
        }
        answer.exitCode = 2;
        const QString why = argument.isEmpty() ? QStringLiteral("velmora: the file name is empty\n")
                            : argument.startsWith(u'-') && !optionsEnded
                                ? QStringLiteral("velmora: unknown option \"%1\"\n").arg(argument)
                                : QStringLiteral("velmora: unexpected argument \"%1\" (Velmora opens one file at a time)\n")
                                      .arg(argument);
        answer.standardError = why + u'\n' + usage;
        return answer;
    }
    return answer;
}

int giveCommandLineAnswer(const CommandLineAnswer &answer, std::FILE *out, std::FILE *error)
{
    const QByteArray bytes = answer.standardOutput.toLocal8Bit();
    errno = 0;
    const bool written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out) == size_t(bytes.size())
                         && std::fflush(out) == 0 && !std::ferror(out);
    const int writeError = errno;
    std::fputs(answer.standardError.toLocal8Bit().constData(), error);
    if (written)
        return answer.exitCode;
    std::fprintf(error, "velmora: cannot write to standard output: %s\n",
                 writeError ? std::strerror(writeError) : "write error");
    return 1;
}

}  // namespace velmora
