// Files on a machine that several people share: which presets.txt a user
// who may not write the program's folder reads and writes, links that
// another user left in a shared folder, a user's file replaced by root, and
// presets.txt read while another Velmora writes it in place. Whatever a
// user who is not root does runs in a child process: as root (as in CI),
// the test makes the files and links of other users, then the child drops
// to nobody; run as anyone else, the child is that user and the rows that
// need a file of someone else are skipped.

#include "FileTools.h"
#include "core/text/AtomicFile.h"
#include "core/text/FilePath.h"
#include "core/help/HelpPath.h"
#include "core/presets/PresetsFile.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <functional>
#include <grp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace velmora;
using namespace velmora::test;

namespace {

constexpr uid_t otherUser = 4242;  // neither the writer nor root

bool asRoot()
{
    return ::geteuid() == 0;
}

// Who writes: nobody (65534) when the test runs as root, else the user
// running it.
struct User {
    uid_t uid;
    gid_t gid;
};
User writer()
{
    return asRoot() ? User{65534, 65534} : User{::geteuid(), ::getegid()};
}

// The owner of a file or of a link itself.
bool give(const QString &path, uid_t uid, gid_t gid = gid_t(-1))
{
    return ::lchown(QFile::encodeName(path).constData(), uid, gid) == 0;
}

bool setMode(const QString &path, mode_t mode)
{
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

// Starts work in a child process as the writer, which ends with this
// process. Its checks report as in any test; the child's exit status says
// whether they all held.
pid_t startAsWriter(const std::function<void()> &work)
{
    std::fflush(stdout);  // or the child would print the log so far again
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    const User w = writer();
    if (asRoot()
        && (::setgroups(0, nullptr) != 0 || ::setresgid(w.gid, w.gid, w.gid) != 0
            || ::setresuid(w.uid, w.uid, w.uid) != 0))
        ::_exit(2);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    work();
    std::fflush(stdout);
    ::_exit(QTest::currentTestFailed() ? 1 : 0);
}

// Runs work as the writer; true when every check in it held.
bool asWriter(const std::function<void()> &work)
{
    const pid_t child = startAsWriter(work);
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

const QByteArray programRecord = "\"Installed Co\",\"i.example\",\"English\",\"i.dll\",\"Ina\",\"ina@x\"\r\n";
const QByteArray userRecord = "\"User Co\",\"u.example\",\"German\",\"u.dll\",\"Uwe\",\"uwe@x\"\r\n";
const PresetRecord newRecord{"New Co", "n.example", "French\r\nDutch", "", "Nia", "nia@x"};
const QByteArray newLine = "\"New Co\",\"n.example\",\"French\r\nDutch\",\"\",\"Nia\",\"nia@x\"\r\n";

}  // namespace

class TestShared : public QObject {
    Q_OBJECT

private slots:
    // The program folder's presets.txt (writable, read-only, missing, a
    // folder, or a program folder that cannot be named, started from the
    // folder that holds it) and the user's own (there, missing, or its
    // folder cannot be made): what is read, what Set writes, the files after.
    void presetsFile_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QByteArray>("read");          // the record read before Set
        QTest::addColumn<QByteArray>("programAfter");  // null: no such file
        QTest::addColumn<QByteArray>("userAfter");

        QTest::newRow("writable program file: it wins") << "writable" << "file" << programRecord << newLine << userRecord;
        QTest::newRow("read-only, no user file: defaults read, user file created")
            << "read-only" << "none" << programRecord << programRecord << newLine;
        QTest::newRow("read-only with a user file: the user's file")
            << "read-only" << "file" << userRecord << programRecord << newLine;
        QTest::newRow("neither file: nothing read, nothing created")
            << "none" << "none" << QByteArray() << QByteArray() << QByteArray();
        QTest::newRow("a folder in the program file's place: as if missing")
            << "folder" << "none" << QByteArray() << QByteArray() << QByteArray();
        QTest::newRow("a program folder that cannot be named: never the working folder's file")
            << "unnamed" << "none" << QByteArray() << programRecord << newLine;
        QTest::newRow("the user's folder cannot be made (~/.config is a file)")
            << "read-only" << "blocked" << programRecord << programRecord << QByteArray();
    }

    void presetsFile()
    {
        QFETCH(QString, program);
        QFETCH(QString, user);
        QFETCH(QByteArray, read);
        QFETCH(QByteArray, programAfter);
        QFETCH(QByteArray, userAfter);
        const auto asTheWriter = [&] {
            QTemporaryDir dir;
            const QString folder = dir.filePath("program"), config = dir.filePath("home/.config/Velmora");
            const QString programFile = folder + "/presets.txt", userFile = config + "/presets.txt";
            QVERIFY(QDir().mkpath(program == "folder" ? programFile : folder) && QDir().mkpath(dir.filePath("home")));
            if (program != "none" && program != "folder")
                QVERIFY(writeFile(programFile, programRecord));
            if (user == "file")
                QVERIFY(QDir().mkpath(config) && writeFile(userFile, userRecord));
            if (user == "blocked")
                QVERIFY(writeFile(dir.filePath("home/.config"), "a file"));
            const auto writable = qScopeGuard([&] { setMode(folder, 0755); });
            if (program == "read-only")
                QVERIFY(setMode(programFile, 0444) && setMode(folder, 0555));
            const QString app = program == "unnamed" ? QString() : folder;
            if (program == "unnamed") {
                QVERIFY(QDir::setCurrent(folder));  // this child's own working folder
                QCOMPARE(presetsPath(app) + helpFilePathFor(app), QString());  // nothing joined to no folder
            }

            QCOMPARE(readPresets(app, config), parsePresets(QString::fromLatin1(read)));
            const PresetsLocation where = locatePresets(app, config, PresetsUse::Set);
            QCOMPARE(where.path.isEmpty(), programAfter.isNull() && userAfter.isNull());
            const PresetsWrite written = where.path.isEmpty() ? PresetsWrite{true, {}} : writePresets(where, newRecord);
            QCOMPARE(written.reason, user != "blocked" ? QString()
                                                       : cannotWrite(userFile, "the folder " + config + " cannot be created"));
            QCOMPARE(QFileInfo(programFile).isFile() ? readAll(programFile) : QByteArray(), programAfter);
            QCOMPARE(QFileInfo(userFile).isFile() ? readAll(userFile) : QByteArray(), userAfter);
            QCOMPARE(QFileInfo::exists(config), !userAfter.isNull());  // not even the folder
        };
        QVERIFY(asWriter(asTheWriter));
    }

    // An installed program's folder, which this user may not add files to:
    // the dialogs start in the documents folder instead; a file there that
    // the user may write is written in place, a read-only one is left as it
    // is, with the reason.
    void folderThatTakesNoNewFiles()
    {
        const auto asTheWriter = [] {
            QTemporaryDir dir;
            const QString folder = dir.filePath("program"), mine = folder + "/mine.txt", theirs = folder + "/theirs.txt";
            QVERIFY(QDir().mkdir(folder) && writeFile(mine, "old") && writeFile(theirs, "old"));
            QCOMPARE(dialogStartFolder(folder, "/docs"), folder);
            const auto writable = qScopeGuard([&] { setMode(folder, 0755); });
            QVERIFY(setMode(theirs, 0444) && setMode(folder, 0555));
            QCOMPARE(dialogStartFolder(folder, "/docs"), QString("/docs"));
            QString reason;
            QVERIFY2(writeFileAtomically(mine, "new", &reason), qPrintable(reason));
            QVERIFY(!writeFileAtomically(theirs, "new", &reason));
            QCOMPARE(reason, cannotWrite(theirs, "Existing file " + theirs + " is not writable"));
            QCOMPARE(readAll(mine) + readAll(theirs), QByteArray("newold"));
            QCOMPARE(entriesOf(folder), QStringList({"mine.txt", "theirs.txt"}));
        };
        QVERIFY(asWriter(asTheWriter));
    }

    // A readme saved through a link in a shared folder such as /tmp: the
    // link is followed only where the kernel's rule for such folders lets
    // the writer follow it; otherwise nothing changes. The link leads to a
    // file of the writer's own, which another user must not get replaced.
    void linksInSharedFolders_data()
    {
        QTest::addColumn<QString>("kind");       // file, folder (a link on the way), chain
        QTest::addColumn<int>("folderMode");     // of the shared folder, owned by root
        QTest::addColumn<QString>("linkOwner");  // writer, root (the folder's owner), other
        QTest::addColumn<bool>("followed");

        QTest::newRow("another user's link in a sticky folder everyone may write: refused")
            << "file" << 01777 << "other" << false;
        QTest::newRow("another user's link to a folder on the way: refused") << "folder" << 01777 << "other" << false;
        QTest::newRow("the writer's own link to another user's link: refused") << "chain" << 01777 << "other" << false;
        QTest::newRow("the writer's own link there: followed") << "file" << 01777 << "writer" << true;
        QTest::newRow("a link of the folder's owner: followed") << "file" << 01777 << "root" << true;
        QTest::newRow("a folder everyone may write that is not sticky: followed") << "file" << 0777 << "other" << true;
        QTest::newRow("a sticky folder only its owner may write: followed") << "folder" << 01755 << "other" << true;
    }

    void linksInSharedFolders()
    {
        QFETCH(QString, kind);
        QFETCH(int, folderMode);
        QFETCH(QString, linkOwner);
        QFETCH(bool, followed);
        if (!asRoot() && linkOwner != "writer")
            QSKIP("a link of another user can only be made as root");
        const User w = writer();
        QTemporaryDir dir;
        const QString victim = dir.filePath("victim"), shared = dir.filePath("shared"), notes = victim + "/notes.txt";
        QVERIFY(setMode(dir.path(), 0755) && QDir().mkdir(victim) && QDir().mkdir(shared));
        QVERIFY(writeFile(notes, "A's notes\r\n") && give(victim, w.uid, w.gid) && give(notes, w.uid, w.gid));
        QVERIFY(setMode(shared, mode_t(folderMode)));
        QString target = shared + "/velmora-readme.txt", link = target;
        if (kind == "file") {
            QVERIFY(QFile::link(notes, link));
        } else if (kind == "folder") {
            link = shared + "/docs";
            target = link + "/notes.txt";
            QVERIFY(QFile::link(victim, link));
        } else {
            link = shared + "/theirs.txt";
            QVERIFY(QFile::link(link, target) && QFile::link(notes, link) && give(target, w.uid));
        }
        QVERIFY(give(link, linkOwner == "writer" ? w.uid : linkOwner == "root" ? 0 : otherUser));
        const QStringList entries = entriesOf(shared);
        const QString pointsTo = QFileInfo(link).symLinkTarget();

        const auto asTheWriter = [&] {
            QString reason;
            writeFileAtomically(target, "Readme\r\n", &reason);
            QCOMPARE(reason, followed ? QString()
                                      : cannotWrite(target, "the link " + link + " in the shared folder " + shared
                                                                + " was made by another user"));
        };
        QVERIFY(asWriter(asTheWriter));
        QCOMPARE(readAll(notes), followed ? QByteArray("Readme\r\n") : QByteArray("A's notes\r\n"));
        QCOMPARE(entriesOf(shared), entries);
        QCOMPARE(QFileInfo(link).symLinkTarget(), pointsTo);
        QCOMPARE(entriesOf(victim), QStringList{"notes.txt"});
    }

    // Root saving over a user's file (sudo velmora): the new file is the
    // user's again, with its group and mode, so its owner can still read it.
    void rootKeepsTheOwner()
    {
        if (!asRoot())
            QSKIP("only root may give a file to another user");
        const User nobody = writer();
        QTemporaryDir dir;
        const QString path = dir.filePath("readme.txt");
        QVERIFY(writeFile(path, "old") && give(path, nobody.uid, nobody.gid) && setMode(path, 0640));
        struct stat before {}, after {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &before), 0);
        QString reason;
        QVERIFY2(writeFileAtomically(path, "Readme\r\n", &reason), qPrintable(reason));
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &after), 0);
        QVERIFY(after.st_ino != before.st_ino);  // a new file took the old one's place
        QCOMPARE(QString("%1:%2 %3").arg(after.st_uid).arg(after.st_gid).arg(after.st_mode & 07777, 0, 8),
                 QString("%1:%2 640").arg(nobody.uid).arg(nobody.gid));  // owner:group mode
        QCOMPARE(readAll(path), QByteArray("Readme\r\n"));
        QCOMPARE(entriesOf(dir.path()), QStringList{"readme.txt"});
    }

    // presets.txt writable by the writer in a folder that takes no new files
    // (a shared install), so Set writes it in place, over and over with two
    // records of different lengths, while this process reads it: every read
    // is one record or the other, never a mix.
    void readersNeverSeeHalfAWrite()
    {
        const User w = writer();
        QTemporaryDir dir;
        const QString program = dir.filePath("program"), path = program + "/presets.txt";
        const QString x(20000, 'a'), y(12000, 'b');
        const PresetRecord a{x, x, x, x, x, x}, b{y, y, y, y, y, y};
        QVERIFY(setMode(dir.path(), 0755) && QDir().mkdir(program));
        QVERIFY(writeFile(path, presetRecordLine(a)) && give(path, w.uid, w.gid));
        QVERIFY(setMode(program, 0555));  // no new files here, not even for the owner
        struct stat before {}, after {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &before), 0);

        const pid_t child = startAsWriter([&] {
            for (int i = 0;; ++i) {  // until it is stopped
                const PresetsWrite written = writePresets(locatePresets(program, "", PresetsUse::Set), i % 2 ? a : b);
                QVERIFY2(written.saved, qPrintable(written.reason));
            }
        });
        QVERIFY(child > 0);
        const auto stop = qScopeGuard([&] {
            if (::waitpid(child, nullptr, WNOHANG) == 0 && ::kill(child, SIGKILL) == 0)
                ::waitpid(child, nullptr, 0);
            setMode(program, 0755);
        });
        // Read until the content has changed 300 times, however busy the
        // machine keeps the writer: a torn read is a change too.
        int changes = 0, torn = 0;
        PresetRecord last = a;
        for (int reads = 0; changes < 300 && reads < 300000; ++reads) {
            const PresetRecord r = readPresetsFile(path);
            torn += r != a && r != b;
            changes += r != last;
            last = r;
        }
        QVERIFY2(::waitpid(child, nullptr, WNOHANG) == 0, "the writer stopped");
        QCOMPARE(torn, 0);
        QCOMPARE(changes, 300);
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino);  // written in place all along
    }
};

QTEST_GUILESS_MAIN(TestShared)
#include "tst_shared.moc"
