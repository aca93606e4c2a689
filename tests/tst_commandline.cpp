// The program's command line, run as a user runs it: --help and --version
// answer on standard output without a window, with no display at all or
// with displays whose servers are gone; anything else is refused with status
// 2, a line saying why and the usage on standard error; one file name
// starts the program to open it. check FILE answers
// without a window too: 0 for a readme Velmora wrote, 1 and where it
// differs for any other file. No argument starts
// the program as always: with no display, or none that answers, it says so
// in one line on standard error and ends with status 1 (Qt would abort,
// leaving a core file); on a display that answers it runs. update and new
// write readmes with no display: the same bytes as Create File for the same
// record, only the rows set changed, nothing written on a refusal.

#include "Harness.h"

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
    for (const char *name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY", "WAYLAND_SOCKET", "XDG_CONFIG_HOME"})
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
        QTest::newRow("--project, no folder") << QStringList{"--project", "readme.txt"} << "none" << 2 << QString()
                                              << "velmora: --project: \"readme.txt\" is no folder";
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

    // A release script's update and new, in a folder of their own, with no
    // display. out: the file written, compared byte for byte (a refusal
    // leaves readme.txt as it was); screens: Create File, after Open readme
    // and the same values typed, writes the same bytes.
    void releaseCommands_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("screens");
        const QByteArray text = velmora::test::dataFile("readme_full.txt");
        QByteArray released = text;
        released.replace("\r\n1.2.3\r\n", "\r\n1.5\r\n").replace("A presets screen.\r\n", "Faster start.\r\nA preview.\r\n");
        QTest::newRow("version and new additions") << QStringList{"update", "readme.txt", "--set", "version=1.5",
            "--set", "new-additions=@NEWS"} << 0 << QString() << "readme.txt" << released << true;
        QTest::newRow("to Markdown, by OUT's name") << QStringList{"update", "readme.txt", "--output", "README.md",
            "--set", "version=1.5"} << 0 << QString() << "README.md"
            << velmora::test::dataFile("readme_full.md").replace("1.2.3", "1.5") << false;
        QByteArray utf8 = text;
        utf8.replace("Sample - (", "Tidy\u2192clip - (").replace("(Freeware)", "(Demo)");
        QTest::newRow("UTF-8 when asked") << QStringList{"update", "readme.txt", "--set", "name=Tidy\u2192clip",
            "--set", "type=Demo", "--encoding", "utf-8"} << 0 << QString() << "readme.txt" << utf8 << false;
        QTest::newRow("Windows-1252 cannot hold it") << QStringList{"update", "readme.txt", "--set", "name=\u03b1\u03b2\u03b3\u03b4\u03b5\u03b6\u03b7\u03b8\u03b9\u03ba\u03bb\u03bc"} << 1
            << "velmora: readme.txt not written: the readme holds characters that Windows-1252 cannot hold: "
               "\u03b1 \u03b2 \u03b3 \u03b4 \u03b5 \u03b6 \u03b7 \u03b8 \u03b9 \u03ba and 2 more. Give --encoding utf-8 to write it in UTF-8.\n"
            << "readme.txt" << text << false;
        QTest::newRow("a version the box refuses") << QStringList{"update", "readme.txt", "--set", "version=1.5 beta"} << 2
            << "velmora: --set version=\"1.5 beta\": expected a version of at most 20 characters: digits, letters, \".\", \"-\" and \"+\".\n"
            << "readme.txt" << text << false;
        QTest::newRow("a name of two lines") << QStringList{"update", "readme.txt", "--set", "name=@NEWS"} << 2
            << "velmora: --set name=\"Faster start....\": expected a program name on one line.\n" << "readme.txt" << text << false;
        QTest::newRow("a type not in the list") << QStringList{"update", "readme.txt", "--set", "type=Game"} << 2
            << "velmora: --set type=\"Game\": expected a type: \"Demo\", \"Freeware\", \"ShareWare\", \"UpDate\" or nothing.\n"
            << "readme.txt" << text << false;
        QTest::newRow("no such field") << QStringList{"update", "readme.txt", "--set", "colour=red"} << 2
            << "velmora: --set \"colour=red\": expected FIELD=VALUE or FIELD=@PATH, FIELD one of name, version, type, company, "
               "web-site, language, files-needed, description, instructions, new-additions, features, additions, licence, "
               "licence-text, author, e-mail, systems\n" << "readme.txt" << text << false;
        QTest::newRow("a value file missing") << QStringList{"update", "readme.txt", "--set", "features=@gone"} << 2
            << "velmora: --set features: cannot read \"gone\": the file does not exist.\n" << "readme.txt" << text << false;
        QTest::newRow("a file out of the layout") << QStringList{"update", "NEWS", "--set", "version=1.5"} << 1
            << "NEWS:1: This file is not a readme that Velmora wrote, or it was changed by hand. Line 1 differs: "
               "\"Faster start.\" Expected there: \"------------------------------\".\n" << "readme.txt" << text << false;
        QTest::newRow("over the program itself") << QStringList{"update", "readme.txt", "--output", VELMORA_PROGRAM} << 1
            << "velmora: Cannot write \"" VELMORA_PROGRAM "\": it is the Velmora program itself.\n" << "readme.txt" << text << false;
        QByteArray first = velmora::test::dataFile("readme_empty.txt");
        first.replace("\r\n - ()\r\n\r\n\r\n\r\n\r\n", "\r\nTidyclip - (ShareWare)\r\n1.4.2\r\n\r\n\r\nhttps://tidyclip.example\r\n")
            .replace("2). Description - (none given)", "2). Description:\r\nKeeps the clipboard tidy")
            .replace("\r\n\r\n------------------------------\r\nAUTHOR", "\r\n     Linux\r\n     Haiku\r\n\r\n------------------------------\r\nAUTHOR");
        QTest::newRow("new, from the project") << QStringList{"new", "--project", "project", "--set", "type=ShareWare",
            "--set", "systems=Linux\nHaiku\n", "--output", "first.txt"} << 0 << QString() << "first.txt" << first << false;
        QTest::newRow("new over a file") << QStringList{"new", "--project", "project", "--output", "readme.txt"} << 1
            << "velmora: readme.txt already exists: new writes only a new readme (update changes one)\n" << "readme.txt" << text << false;
    }

    void releaseCommands()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, error);
        QFETCH(QString, out);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, screens);
        using namespace velmora::test;
        const QTemporaryDir folder;
        QVERIFY(writeFile(folder.filePath("readme.txt"), dataFile("readme_full.txt"))
                && writeFile(folder.filePath("NEWS"), "Faster start.\nA preview.\n") && QDir(folder.path()).mkdir("project")
                && writeFile(folder.filePath("project/CMakeLists.txt"), "project(Tidyclip VERSION 1.4.2 DESCRIPTION "
                             "\"Keeps the clipboard tidy\" HOMEPAGE_URL \"https://tidyclip.example\")\n")
                && writeFile(folder.filePath("project/package.json"), R"({"name": "other", "version": "9.9.9"})"));
        QProcess program;
        program.setWorkingDirectory(folder.path());
        start(program, arguments, "none");
        QVERIFY2(program.waitForFinished(20000) && program.exitStatus() == QProcess::NormalExit, "still running, or crashed");
        QCOMPARE(QString::fromUtf8(program.readAllStandardError()), error);
        QCOMPARE(program.exitCode(), exitCode);
        QCOMPARE(readAll(folder.filePath(out)), bytes);
        if (!screens)
            return;
        Harness h;
        h.start();
        h.openReadme(QStringLiteral(VELMORA_TEST_DATA "/readme_full.txt"));
        retype(versionBox(h.main()), "1.5");
        velmora::ProgramInfoScreen *p = h.toProgram();
        retype(newAdditionsBox(p), QString());
        typeLines(newAdditionsBox(p), {"Faster start.", "A preview."});
        QTest::mouseClick(nextButton(p), Qt::LeftButton);
        QCOMPARE(h.createFile(h.path("screens.txt")), bytes);
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

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
