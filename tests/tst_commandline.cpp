// The program's command line, run as a user runs it: --help and --version
// answer on standard output without a window, with no display at all or
// with one whose server is gone; anything else is refused with status 2, a
// line saying why and the usage on standard error; no argument starts the
// program as always.

#include <QProcess>
#include <QProcessEnvironment>
#include <QtTest>

namespace {

// display: "none", "gone" (an X display whose server is not there, where
// making the application would abort) or "offscreen".
void start(QProcess &velmora, const QStringList &arguments, const QString &display)
{
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"})
        e.remove(name);
    if (display == "gone")
        e.insert("DISPLAY", ":97");
    else if (display == "offscreen")
        e.insert("QT_QPA_PLATFORM", "offscreen");
    velmora.setProcessEnvironment(e);
    velmora.start(QStringLiteral(VELMORA_PROGRAM), arguments);
}

struct Run {
    int exitCode;  // -1: still running after 20 s, or crashed
    QString out, err;
};

Run run(const QStringList &arguments, const QString &display)
{
    QProcess velmora;
    start(velmora, arguments, display);
    const bool ended = velmora.waitForFinished(20000) && velmora.exitStatus() == QProcess::NormalExit;
    return {ended ? velmora.exitCode() : -1, QString::fromLocal8Bit(velmora.readAllStandardOutput()),
            QString::fromLocal8Bit(velmora.readAllStandardError())};
}

const QString usage = "Usage: velmora [--help | --version]\n";
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
        QTest::addColumn<QString>("out");    // standard output: the usage's start, or all of it
        QTest::addColumn<QString>("error");  // the first line of standard error
        QTest::newRow("--help") << QStringList{"--help"} << "none" << 0 << usage << QString();
        QTest::newRow("-h") << QStringList{"-h"} << "gone" << 0 << usage << QString();
        QTest::newRow("--version") << QStringList{"--version"} << "gone" << 0 << version << QString();
        QTest::newRow("-v") << QStringList{"-v"} << "none" << 0 << version << QString();
        QTest::newRow("unknown option") << QStringList{"--open"} << "none" << 2 << QString()
                                        << "velmora: unknown option \"--open\"";
        QTest::newRow("Qt's own option") << QStringList{"-platform", "offscreen"} << "gone" << 2 << QString()
                                         << "velmora: unknown option \"-platform\"";
        QTest::newRow("a file name") << QStringList{"readme.txt"} << "none" << 2 << QString()
                                     << "velmora: unexpected argument \"readme.txt\" (Velmora takes no file names)";
    }

    void options()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, display);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, error);
        const Run r = run(arguments, display);
        QCOMPARE(r.exitCode, exitCode);
        QCOMPARE(out == usage ? r.out.left(usage.size()) : r.out, out);
        QCOMPARE(error.isEmpty() ? r.err : r.err.section('\n', 0, 0), error);
        if (!error.isEmpty())  // then the usage
            QVERIFY2(r.err.contains('\n' + usage), qPrintable(r.err));
    }

    // No argument: the program as always, needing a desktop.
    void noArgumentStartsTheProgram()
    {
        const Run r = run({}, "none");
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.startsWith("Velmora needs a graphical desktop"), qPrintable(r.err));

        QProcess velmora;
        start(velmora, {}, "offscreen");
        QVERIFY(velmora.waitForStarted());
        QVERIFY2(!velmora.waitForFinished(3000), qPrintable(velmora.readAllStandardError()));  // still running
        QCOMPARE(velmora.readAllStandardOutput(), QByteArray());
        velmora.kill();
        velmora.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
