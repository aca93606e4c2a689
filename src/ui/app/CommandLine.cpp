#include "ui/app/CommandLine.h"

#include <cerrno>
#include <cstring>

namespace velmora {

namespace {

const QString usage = QStringLiteral(
    "Usage: velmora [--help | --version]\n"
    "\n"
    "Velmora writes the readme that ships with a program: three screens ask\n"
    "for the facts, and Create File writes the readme, as plain text or as\n"
    "Markdown (README.md). Started without options, it opens its window.\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help and exit\n"
    "  -v, --version  show the version and exit\n"
    "\n"
    "The manual page velmora(1) and Help > Contents in the program say more.\n");

}  // namespace

CommandLineAnswer readCommandLine(const QStringList &arguments)
{
    CommandLineAnswer answer;
    for (const QString &argument : arguments) {
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
        answer.standardError = (argument.startsWith(u'-')
                                    ? QStringLiteral("velmora: unknown option \"%1\"\n")
                                    : QStringLiteral("velmora: unexpected argument \"%1\" (Velmora takes no file names)\n"))
                                   .arg(argument)
                               + u'\n' + usage;
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
