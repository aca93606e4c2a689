// Where Velmora finds its own files, and that it never writes over them: a
// program folder whose name is not UTF-8, started from another folder that
// holds a presets.txt of its own; the program, its help file and its
// presets.txt reached by any name; relative base folders in the environment.
// The program here is programfolder_probe, which uses the real platform and
// the same calls as the screens.

#include "Harness.h"
#include "core/text/AtomicFile.h"
#include "core/help/HelpPath.h"

#include <QDirIterator>
#include <QProcess>
#include <QScopeGuard>
#include <QtTest>

#include <filesystem>

#include <map>
#include <dirent.h>
#include <pwd.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;
using namespace velmora::test;

namespace {

const QByteArray ownRecord = "\"Own Co\",\"own.example\",\"English\",\"own.dll\",\"Owen\",\"owen@x\"\r\n";
const QByteArray otherRecord = "\"Proj Co\",\"proj.example\",\"Dutch\",\"proj.dll\",\"Pia\",\"pia@x\"\r\n";
const QStringList newValues = {"New Co", "n.example", "French", "n.dll", "Nia", "nia@x"};
const QByteArray helpBytes = "<html><body>Help</body></html>\n";

// Every file and link below folder: a file by its bytes, a link by where it
// points.
std::map<QString, QByteArray> snapshot(const QString &folder)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (it.fileInfo().isSymLink())
            files[path] = "-> " + QFile::encodeName(it.fileInfo().symLinkTarget());
        else if (it.fileInfo().isFile())
            files[path] = readAll(path);
    }
    return files;
}

// The probe's exit status and what it printed; the status is -1 when it did
// not end by itself.
std::pair<int, QString> runProbe(const QString &program, const QStringList &args, const QString &folder,
                                 const QString &home, const QByteArray &configHome = {}, const QString &locale = "C.UTF-8")
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("LC_ALL", locale);
    configHome.isNull() ? env.remove("XDG_CONFIG_HOME") : env.insert("XDG_CONFIG_HOME", configHome);
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessEnvironment(env);
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {-1, QString()};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput())};
}

// A copy of the probe named velmora in folder, with its presets.txt and help
// file beside it.
bool installProbe(const QString &folder)
{
    const QString program = folder + "/velmora";
    return QDir().mkpath(folder) && QFile::copy(VELMORA_PROBE, program)
           && QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner)
           && writeFile(folder + "/presets.txt", ownRecord) && writeFile(folder + "/" + helpFileName, helpBytes);
}

// A folder named by bytes (which may not be UTF-8), reached through the link
// "odd" beside it; given a plain name at the end, so that the temporary
// folder around it can be removed.
struct OddFolder {
    QByteArray parent, name;
    bool made = ::mkdir(parent + "/" + name, 0755) == 0 && ::symlink(name, parent + "/odd") == 0;
    ~OddFolder() { ::rename(parent + "/" + name, parent + "/plain"); }
};

// The names in folder that end in suffix, as bytes (Qt leaves out a name
// that is not UTF-8), sorted.
QList<QByteArray> namesIn(const QByteArray &folder, const char *suffix)
{
    QList<QByteArray> names;
    if (DIR *dir = ::opendir(folder.constData())) {
        while (const dirent *entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != ".." && name.endsWith(suffix))
                names << name;
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct stat statOf(const QByteArray &path)
{
    struct stat found {};
    ::stat(path.constData(), &found);
    return found;
}

}  // namespace

class TestProgramFolder : public QObject {
    Q_OBJECT

private slots:
    // Started from a folder that holds another presets.txt, the program
    // reads and writes its own, though its folder's name is not UTF-8 (a
    // Latin-1 name from an old archive) and the locale is C.
    void startedFromAnotherFolder()
    {
        QTemporaryDir dir;
        const OddFolder odd{QFile::encodeName(dir.path()), "caf\xe9"};
        QVERIFY(odd.made);
        const QString program = dir.filePath("odd"), project = dir.filePath("proj"), home = dir.filePath("home");
        QVERIFY(installProbe(program) && QDir().mkpath(project) && QDir().mkpath(home));
        QVERIFY(writeFile(project + "/presets.txt", otherRecord));

        QCOMPARE(runProbe(program + "/velmora", {"read"}, project, home, {}, "C"),
                 std::pair(0, QString("Own Co|own.example|English|own.dll|Owen|owen@x\nhelp found\n")));
        QCOMPARE(runProbe(program + "/velmora", QStringList{"set"} + newValues, project, home, {}, "C"),
                 std::pair(0, QString()));
        QCOMPARE(readAll(program + "/presets.txt"), QByteArray("\"New Co\",\"n.example\",\"French\",\"n.dll\",\"Nia\",\"nia@x\"\r\n"));
        QCOMPARE(readAll(project + "/presets.txt"), otherRecord);
        QCOMPARE(entriesOf(project), QStringList{"presets.txt"});
        QCOMPARE(entriesOf(home), QStringList());
    }

    // Create File (readme PATH) and Set never replace the program, its help
    // file or a presets.txt it reads, by whatever name; every file is
    // exactly as it was. The program and its help file are reached by other
    // names (a symbolic and a hard link) and the user's presets.txt is there
    // in every row.
    void ownFilesAreNeverWritten_data()
    {
        QTest::addColumn<QString>("presets");  // the program's presets.txt: there (""), "none" or "link to help"
        QTest::addColumn<QString>("target");   // under the test folder; empty: Set, of program/presets.txt
        QTest::addColumn<QString>("what");     // what the refusal says it is; empty: written

        const QString presets = "the presets file Velmora reads", help = "Velmora's help file";
        QTest::newRow("the program through a link") << "" << "links/velmora" << "the Velmora program itself";
        QTest::newRow("the help file by a hard link in another folder") << "" << "links/help.txt" << help;
        QTest::newRow("presets.txt that is not there yet") << "none" << "program/presets.txt" << presets;
        QTest::newRow("the user's presets.txt") << "" << "home/.config/Velmora/presets.txt" << presets;
        QTest::newRow("another name in the program folder: written") << "" << "program/readme.txt" << "";
        QTest::newRow("Set: presets.txt is a link to the help file") << "link to help" << "" << help;
    }

    void ownFilesAreNeverWritten()
    {
        QFETCH(QString, presets);
        QFETCH(QString, target);
        QFETCH(QString, what);
        QTemporaryDir dir;
        const QString program = dir.filePath("program"), config = dir.filePath("home/.config/Velmora");
        QVERIFY(installProbe(program) && QDir().mkpath(config) && QDir().mkpath(dir.filePath("links")));
        QVERIFY(writeFile(config + "/presets.txt", otherRecord));
        QVERIFY(QFile::link("../program/velmora", dir.filePath("links/velmora")));
        QCOMPARE(::link(QFile::encodeName(program + "/" + helpFileName), QFile::encodeName(dir.filePath("links/help.txt"))), 0);
        if (!presets.isEmpty())
            QVERIFY(QFile::remove(program + "/presets.txt"));
        if (presets == "link to help")
            QVERIFY(QFile::link(helpFileName, program + "/presets.txt"));
        auto expected = snapshot(dir.path());

        const QString refused = target.isEmpty() ? "program/presets.txt" : target;
        const QStringList args = target.isEmpty() ? QStringList{"set"} + newValues
                                                  : QStringList{"readme", dir.filePath(target)};
        const auto [status, out] = runProbe(program + "/velmora", args, dir.filePath("links"), dir.filePath("home"));
        if (what.isEmpty())
            expected[dir.filePath(target)] = "Readme\r\n";
        QCOMPARE(out, what.isEmpty() ? QString() : cannotWrite(dir.filePath(refused), "it is " + what));
        QCOMPARE(status, what.isEmpty() ? 0 : 1);
        QVERIFY(snapshot(dir.path()) == expected);
    }

    // The same refusal as a person meets it, presets.txt clicked in the Save
    // dialog: the reason is the second line of the box, and the file stays.
    void createFileSaysWhy()
    {
        Harness h(ownRecord);
        QTest::keyClicks(nameBox(h.start()), "Pal");
        h.toAuthor();
        QCOMPARE(h.createFile(h.presetsPath()), ownRecord);
        QCOMPARE(h.platform.messages().size(), size_t(1));
        QCOMPARE(h.platform.messages()[0].text, "There seems to be an error. Please contact the author.\r\n"
                                    + cannotWrite(h.presetsPath(), "it is the presets file Velmora reads"));
    }

    // The one home rule for the user's folders: HOME only when it is an
    // absolute path to a folder of this user's own, kept as bytes when they
    // are not UTF-8, otherwise the account's home; a base folder that is not
    // absolute is ignored. A draft is kept in the state folder that rule
    // gives, 0600, and the next start offers it; root makes no folder in
    // another user's home and says so. "~" stands for the account's home,
    // "@" for the test's folder.
    void userFolders_data()
    {
        QTest::addColumn<QByteArray>("home");        // null: unset
        QTest::addColumn<QByteArray>("configHome");  // null: unset
        QTest::addColumn<QByteArray>("stateHome");   // null: unset
        QTest::addColumn<QString>("config");         // the config folder
        QTest::addColumn<QByteArray>("drafts");      // where the draft is; empty: kept nowhere
        QTest::addColumn<QString>("problem");        // the line on standard error

        const QByteArray none;
        QTest::newRow("relative XDG_CONFIG_HOME") << QByteArray("@/ann") << QByteArray("relcfg") << none
                                                  << "@/ann/.config/Velmora" << QByteArray("@/ann/.local/state/velmora") << "";
        QTest::newRow("absolute XDG_CONFIG_HOME and XDG_STATE_HOME")
            << QByteArray("@/ann") << QByteArray("/cfg/ann/") << QByteArray("@/state") << "/cfg/ann/Velmora"
            << QByteArray("@/state/velmora") << "";
        QTest::newRow("relative HOME: the account's home")
            << QByteArray("relhome") << none << none << "~/.config/Velmora" << QByteArray("~/.local/state/velmora") << "";
        QTest::newRow("HOME unset: the account's home")
            << none << none << none << "~/.config/Velmora" << QByteArray("~/.local/state/velmora") << "";
        QTest::newRow("HOME not UTF-8: the folder of those bytes")
            << QByteArray("@/jos\xe9") << none << none << "" << QByteArray("@/jos\xe9/.local/state/velmora") << "";
        QTest::newRow("HOME of another user (sudo -E): the account's home")
            << QByteArray("@/bob") << none << none << "~/.config/Velmora" << QByteArray("~/.local/state/velmora") << "";
        QTest::newRow("a state folder in another user's home: none made")
            << QByteArray("@/ann") << none << QByteArray("@/bob/.local/state") << "@/ann/.config/Velmora" << QByteArray()
            << "Velmora keeps no drafts in this run: \"@/bob/.local/state/velmora\" would be made in @/bob, a folder of "
               "another user.\n";
    }

    void userFolders()
    {
        QFETCH(QByteArray, home);
        QFETCH(QByteArray, configHome);
        QFETCH(QByteArray, stateHome);
        QFETCH(QString, config);
        QFETCH(QByteArray, drafts);
        QFETCH(QString, problem);
        const bool asRoot = ::geteuid() == 0;
        if ((home == "@/bob" || stateHome.startsWith("@/bob") || drafts.startsWith("~")) && !asRoot)
            QSKIP("another user's folder, or the account's home in a folder of the test's, needs root");
        const passwd *account = ::getpwuid(::geteuid());
        QVERIFY(account);
        QTemporaryDir dir;
        const QByteArray at = QFile::encodeName(dir.path()), tilde = QByteArray(account->pw_dir);
        for (QByteArray *value : {&home, &configHome, &stateHome})
            value->replace("@", at);
        // The account's home is a folder of the test's, seen by the probe
        // alone (a mount namespace of its own).
        drafts.replace("@", at).replace("~", at + "/account");
        config.replace("@", dir.path()).replace("~", QFile::decodeName(tilde));
        problem.replace("@", dir.path());
        QVERIFY(QDir().mkpath(dir.filePath("relcfg/Velmora")) && QDir().mkpath(dir.filePath("relhome")));
        QVERIFY(QDir().mkpath(dir.filePath("ann")) && QDir().mkpath(dir.filePath("account")));
        QVERIFY(::mkdir(at + "/jos\xe9", 0700) == 0 && ::mkdir(at + "/bob", 0700) == 0);
        // QTemporaryDir cannot name a folder that is not UTF-8 to remove it.
        const auto tidy = qScopeGuard([&] { std::error_code e; std::filesystem::remove_all((at + "/jos\xe9").toStdString(), e); });
        QVERIFY(!asRoot || ::chown(at + "/bob", 4242, 4242) == 0);
        QStringList out;
        QString error;
        const auto run = [&](const QString &name) {
            QProcess probe;
            probe.setWorkingDirectory(dir.path());
            probe.setChildProcessModifier([&] {
                if (asRoot && (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
                               || ::mount(at + "/account", tilde.constData(), nullptr, MS_BIND, nullptr) != 0))
                    ::_exit(77);
                // Bytes, which QProcessEnvironment cannot hold.
                home.isNull() ? ::unsetenv("HOME") : ::setenv("HOME", home.constData(), 1);
                configHome.isNull() ? ::unsetenv("XDG_CONFIG_HOME") : ::setenv("XDG_CONFIG_HOME", configHome.constData(), 1);
                stateHome.isNull() ? ::unsetenv("XDG_STATE_HOME") : ::setenv("XDG_STATE_HOME", stateHome.constData(), 1);
            });
            probe.start(VELMORA_PROBE, {"drafts", name});
            probe.waitForFinished(60000);
            out = QString::fromUtf8(probe.readAllStandardOutput()).split('\n');
            error = QString::fromUtf8(probe.readAllStandardError());
            if (probe.exitCode() == 77)
                QSKIP("no mount namespace for the account's home");
        };
        run("First");
        QCOMPARE(error, problem);
        if (!config.isEmpty())
            QCOMPARE(out.value(0), config);
        QCOMPARE(out.value(1), QString("none"));
        QCOMPARE(out.value(2), QFileInfo(VELMORA_PROBE).canonicalPath());  // no separator at its end
        QVERIFY2(QDir::isAbsolutePath(out.value(3)), qPrintable(out.join('\n')));  // where the dialogs may start
        const QList<QByteArray> kept = namesIn(drafts, ".draft");
        QCOMPARE(kept.size(), drafts.isEmpty() ? 0 : 1);
        for (const QByteArray &draft : kept)
            QCOMPARE(statOf(drafts + "/" + draft).st_mode & 07777, mode_t(0600));
        run("");  // the next start: restored, then Exit
        QCOMPARE(out.value(1), QString(drafts.isEmpty() ? "none" : "First"));
        QCOMPARE(namesIn(drafts, ".draft"), QList<QByteArray>());
        // Nothing made anywhere else: not a sibling of the home for its
        // bytes read as text, not in another user's home.
        QCOMPARE(namesIn(at, ""), QList<QByteArray>({"account", "ann", "bob", "jos\xe9", "relcfg", "relhome"})
                                      + (stateHome == at + "/state" ? QList<QByteArray>{"state"} : QList<QByteArray>()));
        QCOMPARE(namesIn(at + "/bob", ""), QList<QByteArray>());
    }
};

QTEST_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
