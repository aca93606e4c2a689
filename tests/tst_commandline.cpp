// The program's command line, run as a user runs it: --help and --version
// answer on standard output without a window, with no display at all or
// with displays whose servers are gone; anything else is refused with status
// 2, a line saying why and the usage on standard error; one file name
// starts the program to open it. check FILE answers
// without a window too: 0 for a readme Velmora wrote, 1 and where it
// differs for any other file. No argument starts
// the program as always: with no display, or none that answers, it says so
// in one line on standard error and ends with status 1 (Qt would abort,
// leaving a core file); on a display that answers it runs.

#include <QProcess>
#include <QProcessEnvironment>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

// display: "none"; "gone": an X display and a Wayland display that nothing
// answers, where making the application would abort; "Wayland chosen": the
// same, with the user's QT_QPA_PLATFORM=wayland; "offscreen".
void start(QProcess &velmora, const QStringList &arguments, const QString &display)
{
    static const QTemporaryDir home;  // no compositor's socket in it either
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY", "WAYLAND_SOCKET"})
        e.remove(name);
    e.insert("HOME", home.path());
    e.insert("XDG_STATE_HOME", home.filePath("state"));
    e.insert("XDG_RUNTIME_DIR", home.path());
    if (display == "gone" || display == "Wayland chosen") {
        e.insert("DISPLAY", ":97");
        e.insert("WAYLAND_DISPLAY", "wayland-97");
    }
    if (display == "Wayland chosen" || display == "offscreen")
        e.insert("QT_QPA_PLATFORM", display == "offscreen" ? "offscreen" : "wayland");
    velmora.setProcessEnvironment(e);
    velmora.setChildProcessModifier([] {
        const rlimit noCore{0, 0};  // should Qt abort: no core file
        ::setrlimit(RLIMIT_CORE, &noCore);
    });
    velmora.start(QStringLiteral(VELMORA_PROGRAM), arguments);
}

const QString usage = "Usage: velmora [FILE]\n       velmora [--help | --version]\n       velmora check FILE\n";
const QString version = "Velmora " VELMORA_VERSION "\n";

}  // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void options_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("display");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");    // standard output: the usage's start, all of it, or "/dev/full" as it
        QTest::addColumn<QString>("error");  // standard error; with status 2 its first line
        QTest::newRow("--help") << QStringList{"--help"} << "none" << 0 << usage << QString();
        QTest::newRow("-h") << QStringList{"-h"} << "gone" << 0 << usage << QString();
        QTest::newRow("--version") << QStringList{"--version"} << "gone" << 0 << version << QString();
        QTest::newRow("-v") << QStringList{"-v"} << "none" << 0 << version << QString();
        const QString full = "velmora: cannot write to standard output: No space left on device\n";
        QTest::newRow("--help to a full disk") << QStringList{"--help"} << "none" << 1 << "/dev/full" << full;
        QTest::newRow("--version to a full disk") << QStringList{"--version"} << "gone" << 1 << "/dev/full" << full;
        QTest::newRow("unknown option") << QStringList{"--open"} << "none" << 2 << QString()
                                        << "velmora: unknown option \"--open\"";
        QTest::newRow("Qt's own option") << QStringList{"-platform", "offscreen"} << "gone" << 2 << QString()
                                         << "velmora: unknown option \"-platform\"";
        QTest::newRow("two file names") << QStringList{"readme.txt", "--", "-b.md"} << "none" << 2 << QString()
                                        << "velmora: unexpected argument \"-b.md\" (Velmora opens one file at a time)";
        QTest::newRow("a file name, no display") << QStringList{"--", "-a.txt"} << "none" << 1 << QString()
            << "Velmora needs a graphical desktop, but no display was found (DISPLAY and WAYLAND_DISPLAY are not set).\n";
        // A release script's check, with no display.
        static const QTemporaryDir folder;
        const QString byHand = folder.filePath("README.md");
        QFile file(byHand);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("# Tidyclip\n\nKeeps the clipboard tidy.\n") > 0);
        file.close();
        for (const char *name : {"readme_full.txt", "readme_full.md"})
            QTest::newRow(name) << QStringList{"check", VELMORA_TEST_DATA "/" + QString(name)} << "none" << 0
                                << QString() << QString();
        QTest::newRow("check, a README.md written by hand")
            << QStringList{"check", byHand} << "none" << 1 << QString()
            << byHand + ":3: This file is not a Markdown readme that Velmora wrote, or it was changed by hand. "
                        "Line 3 differs: \"Keeps the clipboard tidy.\" Expected there: \"## GENERAL\".\n";
        QTest::newRow("check, no such file") << QStringList{"check", folder.filePath("gone")} << "gone" << 1 << QString()
            << folder.filePath("gone") + ": This file cannot be read: the file does not exist.\n";
        QTest::newRow("check, no file named") << QStringList{"check"} << "none" << 2 << QString()
                                              << "velmora: check takes one file name";
        QTest::newRow("no argument, no display") << QStringList() << "none" << 1 << QString()
            << "Velmora needs a graphical desktop, but no display was found (DISPLAY and WAYLAND_DISPLAY are not set).\n";
        // Holds only while the program asks Qt for xcb first: left to
        // itself, Qt would abort.
        QTest::newRow("no argument, X and Wayland displays, neither answering") << QStringList() << "gone" << 1 << QString()
            << "Velmora cannot show its windows: nothing answers at the X display \":97\" or the Wayland display \"wayland-97\".\n";
        QTest::newRow("no argument, Wayland chosen by the user, not answering") << QStringList() << "Wayland chosen" << 1
            << QString() << "Velmora cannot show its windows: nothing answers at the Wayland display \"wayland-97\".\n";
    }

    void options()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, display);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, error);
        QProcess velmora;
        if (out == "/dev/full")
            velmora.setStandardOutputFile(out);
        start(velmora, arguments, display);
        QVERIFY2(velmora.waitForFinished(20000) && velmora.exitStatus() == QProcess::NormalExit, "still running, or crashed");
        QCOMPARE(velmora.exitCode(), exitCode);
        const QString stdOut = QString::fromLocal8Bit(velmora.readAllStandardOutput());
        const QString stdErr = QString::fromLocal8Bit(velmora.readAllStandardError());
        QCOMPARE(out == usage ? stdOut.left(usage.size()) : stdOut, out == "/dev/full" ? QString() : out);
        QCOMPARE(exitCode == 2 ? stdErr.section('\n', 0, 0) : stdErr, error);
        if (exitCode == 2)  // then the usage
            QVERIFY2(stdErr.contains('\n' + usage), qPrintable(stdErr));
    }

    // No argument, on a display that answers: the program runs, and ignores
    // the signal of a file-size limit, so that a save past the limit fails
    // with its reason instead of ending the program with everything typed.
    void noArgumentStartsTheProgram()
    {
        QProcess velmora;
        start(velmora, {}, "offscreen");
        QVERIFY(velmora.waitForStarted());
        QVERIFY2(!velmora.waitForFinished(3000), qPrintable(velmora.readAllStandardError()));  // still running
        QCOMPARE(velmora.readAllStandardOutput(), QByteArray());
        QFile status(QStringLiteral("/proc/%1/status").arg(velmora.processId()));
        QVERIFY(status.open(QIODevice::ReadOnly));
        const QString ignored = QRegularExpression("SigIgn:\\s*(\\w+)").match(QString::fromLatin1(status.readAll())).captured(1);
        QVERIFY2(ignored.toULongLong(nullptr, 16) & (quint64(1) << (SIGXFSZ - 1)), qPrintable(ignored));
        velmora.kill();
        velmora.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
