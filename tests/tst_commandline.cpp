// The program's command line, run as a user runs it: --help and --version
// answer on standard output without a window and without a display, an
// unknown option is refused with exit status 2, no argument starts the
// program as always.

#include <QProcess>
#include <QProcessEnvironment>
#include <QtTest>

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

// env: "none" (no display at all) or "gone" (an X display whose server is
// not there, where making the application would abort).
QProcessEnvironment environment(const QString &env)
{
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"})
        e.remove(name);
    if (env == "gone")
        e.insert("DISPLAY", ":97");
    else if (env == "offscreen")
        e.insert("QT_QPA_PLATFORM", "offscreen");
    return e;
}

Run run(const QStringList &arguments, const QString &env)
{
    QProcess velmora;
    velmora.setProcessEnvironment(environment(env));
    velmora.start(QStringLiteral(VELMORA_PROGRAM), arguments);
    Run r;
    if (!velmora.waitForFinished(20000)) {
        velmora.kill();
        velmora.waitForFinished();
        return r;
    }
    r.exitCode = velmora.exitStatus() == QProcess::NormalExit ? velmora.exitCode() : -2;
    r.out = QString::fromLocal8Bit(velmora.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(velmora.readAllStandardError());
    return r;
}

}  // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void options_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");         // the start of standard output
        QTest::addColumn<QString>("errorLine");   // the first line of standard error
        for (const QString env : {"none", "gone"}) {
            auto row = [&](const char *name) -> QTestData & { return QTest::newRow(qPrintable(QStringLiteral("%1, %2 display").arg(name, env))); };
            row("--help") << QStringList{"--help"} << 0 << QString("Usage: velmora [--help | --version]\n") << QString();
            row("-h") << QStringList{"-h"} << 0 << QString("Usage: velmora [--help | --version]\n") << QString();
            row("--version") << QStringList{"--version"} << 0 << QString("Velmora " VELMORA_VERSION "\n") << QString();
            row("-v") << QStringList{"-v"} << 0 << QString("Velmora " VELMORA_VERSION "\n") << QString();
            row("unknown option") << QStringList{"--open"} << 2 << QString() << QString("velmora: unknown option \"--open\"");
            row("Qt's own option") << QStringList{"-platform", "offscreen"} << 2 << QString()
                                   << QString("velmora: unknown option \"-platform\"");
            row("a file name") << QStringList{"readme.txt"} << 2 << QString()
                               << QString("velmora: unexpected argument \"readme.txt\" (Velmora takes no file names)");
        }
    }

    void options()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, errorLine);
        const QString env = QString(QTest::currentDataTag()).section(", ", 1).section(' ', 0, 0);
        const Run r = run(arguments, env);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(r.out.startsWith(out) && (out.isEmpty() ? r.out.isEmpty() : true), qPrintable(r.out));
        if (out == "Velmora " VELMORA_VERSION "\n")
            QCOMPARE(r.out, out);
        if (errorLine.isEmpty()) {
            QCOMPARE(r.err, QString());
        } else {
            // One line saying what is wrong, then the usage.
            QCOMPARE(r.err.section('\n', 0, 0), errorLine);
            QVERIFY2(r.err.contains("\nUsage: velmora [--help | --version]\n"), qPrintable(r.err));
        }
    }

    // No argument: the program as always, needing a desktop.
    void noArgumentStartsTheProgram()
    {
        const Run r = run({}, "none");
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.startsWith("Velmora needs a graphical desktop"), qPrintable(r.err));

        QProcess velmora;
        velmora.setProcessEnvironment(environment("offscreen"));
        velmora.start(QStringLiteral(VELMORA_PROGRAM), {});
        QVERIFY(velmora.waitForStarted());
        QVERIFY2(!velmora.waitForFinished(3000), qPrintable(velmora.readAllStandardError()));  // still running
        QCOMPARE(velmora.readAllStandardOutput(), QByteArray());
        velmora.kill();
        velmora.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
