#include "core/commands/CommandLine.h"

#include "core/commands/ReleaseCommands.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace velmora {

namespace {

const QString usage = QStringLiteral(
    "Usage: velmora [FILE]\n"
    "       velmora [--help | --version]\n"
    "       velmora check FILE\n"
    "       velmora --project DIR\n"
    "       velmora update FILE [--set FIELD=VALUE]... [--output OUT] [--encoding utf-8]\n"
    "       velmora new --project DIR --output OUT [--set FIELD=VALUE]...\n"
    "                   [--encoding utf-8]\n"
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
    "  --project DIR  start with the facts found in the project folder DIR\n"
    "                 (its git repository, build and package files, licence)\n"
    "                 offered for the wizard, as File > From project folder\n"
    "\n"
    "Commands (no display needed):\n"
    "  check FILE     exit 0 when FILE is a readme that Velmora wrote, in\n"
    "                 either layout; otherwise print FILE:LINE: and what\n"
    "                 differs there to standard error, and exit 1\n"
    "  update FILE    change the fields named by --set in FILE, a readme that\n"
    "                 Velmora wrote, and write it again (to OUT with --output,\n"
    "                 in the layout OUT's .md or .txt names)\n"
    "  new            write a first readme to OUT from the facts of the project\n"
    "                 in DIR (git, CMakeLists.txt, Cargo.toml, ...) and the presets\n"
    "\n"
    "  --set FIELD=VALUE   the value of one field; FIELD=@PATH reads it from a file.\n"
    "                 FIELD: name, version, type, company, web-site, language,\n"
    "                 files-needed, description, instructions, new-additions,\n"
    "                 features, additions, licence, licence-text, author, e-mail,\n"
    "                 systems (one compatible system a line)\n"
    "  --encoding utf-8    write a text readme in UTF-8; without it, a text readme\n"
    "                 that Windows-1252 cannot hold is not written (one opened as\n"
    "                 UTF-8 stays UTF-8)\n"
    "\n"
    "Exit status: 0 done, 1 a file not in the layout or not written, 2 a bad\n"
    "field, value or option.\n"
    "\n"
    "The manual page velmora(1) and Help > Contents in the program say more.\n");

}  // namespace

const QString &commandLineUsage()
{
    return usage;
}

CommandLineAnswer readCommandLine(const QStringList &arguments)
{
    if (arguments.value(0) == u"update")
        return updateReadme(arguments.mid(1));
    if (arguments.value(0) == u"new")
        return newReadme(arguments.mid(1));
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
    if (arguments.value(0) == u"--project") {
        const QFileInfo folder(arguments.value(1));
        if (arguments.size() == 2 && folder.isDir()) {
            answer.projectFolder = folder.absoluteFilePath();
            return answer;
        }
        answer.startProgram = false;
        answer.exitCode = 2;
        answer.standardError = arguments.size() == 2
                                   ? QStringLiteral("velmora: --project: \"%1\" is no folder\n\n").arg(arguments[1]) + usage
                                   : QStringLiteral("velmora: --project takes one folder\n\n") + usage;
        return answer;
    }
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
