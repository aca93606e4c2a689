// Where Velmora finds its own files, and that it never writes over them: a
// program folder whose name is not UTF-8, started from another folder that
// holds a presets.txt of its own; the program, its help file and its
// presets.txt reached by any name; relative base folders in the environment.
// The program here is programfolder_probe, which uses the real platform and
// the same calls as the screens.

#include "FileTools.h"
#include "Harness.h"
#include "files/AtomicFile.h"
#include "help/HelpPath.h"
#include "presets/PresetsFile.h"
#include "presets/frmPreset.h"
#include "screens/frmAuthor.h"
#include "screens/frmMain.h"
#include "screens/frmProgram.h"
#include "toolkit/QtPlatform.h"

#include <QDirIterator>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

#include <map>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;
using namespace velmora::test;

namespace {

const QByteArray ownRecord = "\"Own Co\",\"own.example\",\"English\",\"own.dll\",\"Owen\",\"owen@x\"\r\n";
const QByteArray otherRecord = "\"Proj Co\",\"proj.example\",\"Dutch\",\"proj.dll\",\"Pia\",\"pia@x\"\r\n";
const QByteArray userRecord = "\"User Co\",\"u.example\",\"German\",\"u.dll\",\"Uwe\",\"uwe@x\"\r\n";
const QStringList newValues = {"New Co", "n.example", "French", "n.dll", "Nia", "nia@x"};
const QByteArray newRecord = "\"New Co\",\"n.example\",\"French\",\"n.dll\",\"Nia\",\"nia@x\"\r\n";
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
        const QFileInfo info = it.fileInfo();
        if (info.isSymLink())
            files[path] = "-> " + QFile::encodeName(info.symLinkTarget());
        else if (info.isFile())
            files[path] = readAll(path);
    }
    return files;
}

struct Run {
    int status = -1;
    QString out;
};

Run runProgram(const QString &program, const QStringList &args, const QString &folder,
               const QProcessEnvironment &environment)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessEnvironment(environment);
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
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
class OddFolder {
public:
    OddFolder(const QString &parent, const QByteArray &name)
        : m_parent(QFile::encodeName(parent)), m_name(name)
    {
        m_made = ::mkdir((m_parent + "/" + name).constData(), 0755) == 0
                 && ::symlink(name.constData(), (m_parent + "/odd").constData()) == 0;
    }
    ~OddFolder() { ::rename((m_parent + "/" + m_name).constData(), (m_parent + "/plain").constData()); }
    OddFolder(const OddFolder &) = delete;
    OddFolder &operator=(const OddFolder &) = delete;
    bool made() const { return m_made; }

private:
    QByteArray m_parent, m_name;
    bool m_made = false;
};

QProcessEnvironment probeEnvironment(const QString &home, const QString &locale)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.remove("XDG_CONFIG_HOME");
    env.insert("LC_ALL", locale);
    return env;
}

QString accountHome()
{
    const passwd *entry = ::getpwuid(::geteuid());
    return entry ? QDir::cleanPath(QFile::decodeName(entry->pw_dir)) : QString();
}

// Sets an environment variable for one test and puts the old value back.
class ScopedVariable {
public:
    ScopedVariable(const char *name, const QByteArray &value) : m_name(name)
    {
        m_had = qEnvironmentVariableIsSet(name);
        m_old = qgetenv(name);
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedVariable()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had = false;
    QByteArray m_old;
};

}  // namespace

class TestProgramFolder : public QObject {
    Q_OBJECT

private slots:
    // Started from a folder that holds another presets.txt, the program
    // reads and writes its own, whatever its folder is called and whatever
    // the locale.
    void startedFromAnotherFolder_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("locale");
        QTest::newRow("Latin-1 name from an old archive (caf\\xe9), C locale") << QByteArray("caf\xe9") << "C";
        QTest::newRow("a byte that is never UTF-8, UTF-8 locale") << QByteArray("velmora\xff") << "C.UTF-8";
        QTest::newRow("a UTF-8 name (caf\\xc3\\xa9)") << QByteArray("caf\xc3\xa9") << "C.UTF-8";
    }

    void startedFromAnotherFolder()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, locale);
        QTemporaryDir dir;
        const OddFolder odd(dir.path(), name);
        QVERIFY(odd.made());
        const QString program = dir.filePath("odd");  // the kernel knows the program by its real name
        QVERIFY(installProbe(program));
        const QString project = dir.filePath("proj");
        QVERIFY(QDir().mkpath(project) && QDir().mkpath(dir.filePath("home")));
        QVERIFY(writeFile(project + "/presets.txt", otherRecord));
        const auto env = probeEnvironment(dir.filePath("home"), locale);

        const Run read = runProgram(program + "/velmora", {"read"}, project, env);
        QCOMPARE(read.status, 0);
        QCOMPARE(read.out, QString("Own Co|own.example|English|own.dll|Owen|owen@x\nhelp found\n"));

        const Run set = runProgram(program + "/velmora", QStringList{"set"} + newValues, project, env);
        QCOMPARE(set.out, QString());
        QCOMPARE(set.status, 0);
        QCOMPARE(readAll(program + "/presets.txt"), newRecord);
        QCOMPARE(readAll(project + "/presets.txt"), otherRecord);
        QCOMPARE(entriesOf(project), QStringList{"presets.txt"});
        QCOMPARE(entriesOf(dir.filePath("home")), QStringList());
    }

    // No folder, no file: nothing is looked for or written in the folder the
    // program was started from.
    void nothingIsJoinedToAnEmptyFolder()
    {
        QTemporaryDir dir;
        const QString start = dir.filePath("start"), user = dir.filePath("user");
        QVERIFY(QDir().mkpath(start) && QDir().mkpath(user));
        QVERIFY(writeFile(start + "/presets.txt", otherRecord));
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(start));

        QCOMPARE(presetsPath(""), QString());
        QCOMPARE(helpFilePathFor(""), QString());
        QCOMPARE(ReadPresets("", user), PresetRecord());
        QString reason;
        QVERIFY(!writeFileAtomically("presets.txt", newRecord, &reason));
        QCOMPARE(reason, QString("Cannot write \"presets.txt\": the name does not say which folder it is in."));
        // The user's own file stands in, and Set makes it.
        const PresetsLocation where = locatePresets("", user, PresetsUse::Set);
        QCOMPARE(where.path, user + "/presets.txt");
        QVERIFY(writePresets(where, parsePresets(QString::fromLatin1(newRecord))).saved);
        QCOMPARE(ReadPresets("", user), parsePresets(QString::fromLatin1(newRecord)));

        QVERIFY(QDir::setCurrent(before));
        QCOMPARE(entriesOf(start), QStringList{"presets.txt"});
        QCOMPARE(readAll(start + "/presets.txt"), otherRecord);
    }

    // Create File (readme PATH) and Set never replace the program, its help
    // file or the presets.txt it reads, by whatever name; every file is
    // exactly as it was. The user's presets.txt is there in every row.
    void ownFilesAreNeverWritten_data()
    {
        QTest::addColumn<QString>("command");  // readme or set
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("target");  // under the test folder
        QTest::addColumn<QString>("shown");   // the name in the reason; empty: written
        QTest::addColumn<QString>("what");

        const QString program = "the Velmora program itself", help = "Velmora's help file",
                      presets = "the presets file Velmora reads";
        QTest::newRow("the program, typed") << "readme" << "" << "program/velmora" << "program/velmora" << program;
        QTest::newRow("the program through a link") << "readme" << "link to program" << "links/velmora"
                                                    << "links/velmora" << program;
        QTest::newRow("the program spelled another way")
            << "readme" << "" << "program/../program/.//velmora" << "program/../program/.//velmora" << program;
        QTest::newRow("the help file") << "readme" << "" << "program/Velmora 1_0.HLP"
                                       << "program/Velmora 1_0.HLP" << help;
        QTest::newRow("the help file by a hard link in another folder")
            << "readme" << "hard link to help" << "links/help.txt" << "links/help.txt" << help;
        QTest::newRow("presets.txt, clicked in the program folder")
            << "readme" << "" << "program/presets.txt" << "program/presets.txt" << presets;
        QTest::newRow("presets.txt that is not there yet") << "readme" << "no program presets"
                                                           << "program/presets.txt" << "program/presets.txt" << presets;
        QTest::newRow("the user's presets.txt") << "readme" << "" << "home/.config/Velmora/presets.txt"
                                                << "home/.config/Velmora/presets.txt" << presets;
        QTest::newRow("another name in the program folder: written")
            << "readme" << "" << "program/readme.txt" << "" << "";
        QTest::newRow("Set: presets.txt is a link to the help file")
            << "set" << "presets link to help" << "" << "program/presets.txt" << help;
        QTest::newRow("Set: the user's presets.txt is a link to the program")
            << "set" << "user presets link to program" << "" << "home/.config/Velmora/presets.txt" << program;
    }

    void ownFilesAreNeverWritten()
    {
        QFETCH(QString, command);
        QFETCH(QString, setup);
        QFETCH(QString, target);
        QFETCH(QString, shown);
        QFETCH(QString, what);
        QTemporaryDir dir;
        const QString program = dir.filePath("program"), config = dir.filePath("home/.config/Velmora");
        QVERIFY(installProbe(program));
        QVERIFY(QDir().mkpath(config) && QDir().mkpath(dir.filePath("links")));
        QVERIFY(writeFile(config + "/presets.txt", userRecord));
        const QByteArray p = QFile::encodeName(program);
        if (setup == "link to program")
            QCOMPARE(::symlink("../program/velmora", QFile::encodeName(dir.filePath("links/velmora"))), 0);
        else if (setup == "hard link to help")
            QCOMPARE(::link(p + "/" + helpFileName, QFile::encodeName(dir.filePath("links/help.txt"))), 0);
        else if (setup == "no program presets")
            QVERIFY(QFile::remove(program + "/presets.txt"));
        else if (setup == "presets link to help")
            QVERIFY(QFile::remove(program + "/presets.txt")
                    && ::symlink(helpFileName, p + "/presets.txt") == 0);
        else if (setup == "user presets link to program")
            QVERIFY(QFile::remove(program + "/presets.txt") && QFile::remove(config + "/presets.txt")
                    && ::symlink(p + "/velmora", QFile::encodeName(config + "/presets.txt")) == 0);
        const auto before = snapshot(dir.path());

        const QStringList args = command == "readme" ? QStringList{"readme", dir.filePath(target)}
                                                     : QStringList{"set"} + newValues;
        const Run run = runProgram(program + "/velmora", args, dir.filePath("links"),
                                   probeEnvironment(dir.filePath("home"), "C.UTF-8"));

        auto expected = before;
        if (shown.isEmpty()) {
            QCOMPARE(run.out, QString());
            QCOMPARE(run.status, 0);
            expected[dir.filePath(target)] = "Readme\r\n";
        } else {
            QCOMPARE(run.out, cannotWrite(dir.filePath(shown), "it is " + what));
            QCOMPARE(run.status, 1);
        }
        QVERIFY(snapshot(dir.path()) == expected);
    }

    // The same refusals as a person meets them: the reason is the second
    // line of the box, and the file stays.
    void createFileAndSetSayWhy_data()
    {
        QTest::addColumn<bool>("createFile");
        QTest::newRow("Create File over presets.txt, clicked in the dialog") << true;
        QTest::newRow("Set when presets.txt is a link to the help file") << false;
    }

    void createFileAndSetSayWhy()
    {
        QFETCH(bool, createFile);
        Harness h(ownRecord);
        const QString help = h.path(helpFileName);
        QVERIFY(writeFile(help, helpBytes));
        h.start();
        QString box;
        if (createFile) {
            h.toAuthor();
            h.createFile(h.presetsPath());
            box = "There seems to be an error. Please contact the author.\r\n"
                  + cannotWrite(h.presetsPath(), "it is the presets file Velmora reads");
        } else {
            QVERIFY(QFile::remove(h.presetsPath()) && QFile::link(helpFileName, h.presetsPath()));
            QTest::mouseClick(h.toPresets()->cmdCSet, Qt::LeftButton);
            box = "The presets could not be saved.\r\n" + cannotWrite(h.presetsPath(), "it is Velmora's help file");
        }
        const auto boxes = h.platform.messages();
        QCOMPARE(boxes.size(), size_t(1));
        QCOMPARE(boxes[0].text, box);
        QCOMPARE(readAll(help), helpBytes);
        if (createFile)
            QCOMPARE(readAll(h.presetsPath()), ownRecord);
    }

    // A base folder that is not an absolute path is ignored, as the
    // convention says: never a folder below wherever Velmora was started.
    void relativeBaseFoldersAreIgnored_data()
    {
        QTest::addColumn<QByteArray>("home");  // null: unset
        QTest::addColumn<QByteArray>("configHome");
        QTest::addColumn<QString>("expected");  // "~" stands for the account's home folder
        QTest::newRow("relative XDG_CONFIG_HOME") << QByteArray("/h/ann") << QByteArray("relcfg")
                                                  << "/h/ann/.config/Velmora";
        QTest::newRow("absolute XDG_CONFIG_HOME") << QByteArray("/h/ann") << QByteArray("/cfg/ann/")
                                                  << "/cfg/ann/Velmora";
        QTest::newRow("relative HOME: the account's home") << QByteArray("relhome") << QByteArray()
                                                           << "~/.config/Velmora";
        QTest::newRow("HOME unset, relative XDG_CONFIG_HOME")
            << QByteArray() << QByteArray("./relcfg") << "~/.config/Velmora";
    }

    void relativeBaseFoldersAreIgnored()
    {
        QFETCH(QByteArray, home);
        QFETCH(QByteArray, configHome);
        QFETCH(QString, expected);
        expected.replace("~", accountHome());
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath("relcfg/Velmora")) && QDir().mkpath(dir.filePath("relhome/Documents")));
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        QString config, documents;
        {
            const ScopedVariable h("HOME", home), c("XDG_CONFIG_HOME", configHome);
            QtPlatform platform;
            config = platform.userConfigFolder();
            documents = platform.documentsFolder();
        }
        QVERIFY(QDir::setCurrent(before));
        QCOMPARE(config, expected);
        QVERIFY2(QDir::isAbsolutePath(documents), qPrintable(documents));
    }
};

QTEST_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
