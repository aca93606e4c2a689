#include "core/commands/CommandLine.h"
#include "ui/app/Display.h"
#include "ui/toolkit/QtPlatform.h"
#include "ui/app/Navigator.h"

#include <QApplication>
#include <csignal>
#include <cstdio>
#include <string>

int main(int argc, char *argv[])
{
    // A file-size limit makes a write fail with a reason (a readme that
    // update writes, or one written from the screens) instead of ending the
    // program with everything typed in it.
    std::signal(SIGXFSZ, SIG_IGN);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const velmora::CommandLineAnswer answer = velmora::readCommandLine(arguments);
    if (!answer.startProgram)
        return velmora::giveCommandLineAnswer(answer, stdout, stderr);
    // Qt would print a stack of warnings and abort; say it in one line instead.
    if (!velmora::displayNamed()) {
        std::fputs("Velmora needs a graphical desktop, but no display was found "
                   "(DISPLAY and WAYLAND_DISPLAY are not set).\n",
                   stderr);
        return 1;
    }
    velmora::applyQtPlatformChoice();
    // A display named but not answering: Qt would abort and leave a core.
    const std::string unreachable = velmora::unreachableDisplay();
    if (!unreachable.empty()) {
        std::fputs(unreachable.c_str(), stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.velmora.Velmora"));
    // Screens are hidden and shown, and dialogs may be the only window for a
    // moment; the program ends through Exit alone.
    QApplication::setQuitOnLastWindowClosed(false);

    velmora::QtPlatform platform;
    velmora::Navigator navigator(platform);
    QObject::connect(&navigator, &velmora::Navigator::programEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    navigator.start(answer.fileToOpen, answer.projectFolder);
    return app.exec();
}
