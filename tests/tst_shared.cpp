// On a machine that several people share: links that another user left in a
// shared folder, a user's file replaced by root, and presets.txt read while
// another Velmora writes it in place. The writing runs as a user who is not
// root: run as root (as in CI), the test makes the files and links of the
// other users and then runs the writer as nobody in a child process; run as
// any other user, it is the writer itself and skips the rows that need a
// file of someone else.

#include "FileTools.h"
#include "files/AtomicFile.h"
#include "presets/PresetsFile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace velmora;
using namespace velmora::test;

namespace {

// Someone who is neither the writer nor root.
constexpr uid_t otherUser = 4242;

bool runningAsRoot()
{
    return ::geteuid() == 0;
}

struct User {
    uid_t uid;
    gid_t gid;
};

// Who writes: nobody when the test runs as root, else the user running it.
User writer()
{
    if (!runningAsRoot())
        return {::geteuid(), ::getegid()};
    const passwd *nobody = ::getpwnam("nobody");
    return nobody ? User{nobody->pw_uid, nobody->pw_gid} : User{65534, 65534};
}

bool give(const QString &path, uid_t uid, gid_t gid = gid_t(-1))
{
    return ::lchown(QFile::encodeName(path).constData(), uid, gid) == 0;
}

bool setMode(const QString &path, mode_t mode)
{
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

// Starts work in a child process as the writer. output receives the end of
// a pipe that carries what work returns.
pid_t startAsWriter(const std::function<QByteArray()> &work, int *output)
{
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeEnds[0]);
        const User w = writer();
        QByteArray result;
        if (runningAsRoot()
            && (::setgroups(0, nullptr) != 0 || ::setresgid(w.gid, w.gid, w.gid) != 0
                || ::setresuid(w.uid, w.uid, w.uid) != 0))
            result = "<could not become the writer>";
        else
            result = work();
        const bool sent = ::write(pipeEnds[1], result.constData(), size_t(result.size())) == result.size();
        ::_exit(sent ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    *output = pipeEnds[0];
    return pid;
}

QByteArray readToEnd(int fd)
{
    QByteArray text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) != 0;) {
        if (n > 0)
            text.append(buffer, n);
        else if (errno != EINTR)
            break;
    }
    ::close(fd);
    return text;
}

// Runs work as the writer and gives back what it returned.
QByteArray asWriter(const std::function<QByteArray()> &work)
{
    int output = -1;
    const pid_t pid = startAsWriter(work, &output);
    if (pid < 0)
        return "<no child>";
    const QByteArray result = readToEnd(output);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? result : "<child failed>";
}

QByteArray linkTarget(const QString &link)
{
    return QFile::encodeName(QFileInfo(link).symLinkTarget());
}

PresetRecord sixOf(QChar c, int length)
{
    const QString v(length, c);
    return {v, v, v, v, v, v};
}

}  // namespace

class TestShared : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        std::signal(SIGPIPE, SIG_IGN);
    }

    // A readme saved through a link in a shared folder such as /tmp: the
    // link is followed only where the kernel's rule for such folders lets
    // the writer follow it; otherwise nothing changes. The link leads to a
    // file of the writer's own, which another user must not get replaced.
    void linksInSharedFolders_data()
    {
        QTest::addColumn<QString>("kind");  // file, folder (a link on the way), chain
        QTest::addColumn<int>("folderMode");  // of the shared folder, owned by root
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
        if (!runningAsRoot() && (linkOwner != "writer"))
            QSKIP("a link of another user can only be made as root");
        const User w = writer();
        QTemporaryDir dir;
        QVERIFY(setMode(dir.path(), 0755));
        const QString victim = dir.filePath("victim"), shared = dir.filePath("shared");
        const QString notes = victim + "/notes.txt";
        const QByteArray oldNotes = "A's notes\r\n";
        QVERIFY(QDir().mkdir(victim) && QDir().mkdir(shared));
        QVERIFY(writeFile(notes, oldNotes));
        QVERIFY(give(victim, w.uid, w.gid) && give(notes, w.uid, w.gid));
        QVERIFY(setMode(shared, mode_t(folderMode)));

        QString target, link;
        if (kind == "file") {
            target = link = shared + "/velmora-readme.txt";
            QVERIFY(QFile::link(notes, link));
        } else if (kind == "folder") {
            link = shared + "/docs";
            target = link + "/notes.txt";
            QVERIFY(QFile::link(victim, link));
        } else {
            target = shared + "/mine.txt";
            link = shared + "/theirs.txt";
            QVERIFY(QFile::link(link, target) && QFile::link(notes, link));
            QVERIFY(give(target, w.uid));
        }
        const uid_t owner = linkOwner == "writer" ? w.uid : linkOwner == "root" ? 0 : otherUser;
        QVERIFY(give(link, owner));
        const QStringList entries = entriesOf(shared);
        const QByteArray pointsTo = linkTarget(link);

        const QByteArray result = asWriter([&] {
            QString reason;
            return writeFileAtomically(target, "Readme\r\n", &reason) ? QByteArray() : reason.toUtf8();
        });

        if (followed) {
            QCOMPARE(QString::fromUtf8(result), QString());
            QCOMPARE(readAll(notes), QByteArray("Readme\r\n"));
        } else {
            QCOMPARE(QString::fromUtf8(result),
                     cannotWrite(target, QString("the link %1 in the shared folder %2 was made by another user")
                                             .arg(link, shared)));
            QCOMPARE(readAll(notes), oldNotes);
        }
        QCOMPARE(entriesOf(shared), entries);
        QCOMPARE(linkTarget(link), pointsTo);
        QCOMPARE(entriesOf(victim), QStringList{"notes.txt"});
    }

    // Root saving over a user's file (sudo velmora): the new file is the
    // user's again, with its group and mode, so its owner can still read it.
    void ownerGroupAndModeAreKept_data()
    {
        QTest::addColumn<bool>("throughSet");
        QTest::addColumn<int>("mode");
        QTest::newRow("a readme of nobody:nogroup, mode 640") << false << 0640;
        QTest::newRow("presets.txt of nobody:nogroup, mode 600, through Set") << true << 0600;
    }

    void ownerGroupAndModeAreKept()
    {
        QFETCH(bool, throughSet);
        QFETCH(int, mode);
        if (!runningAsRoot())
            QSKIP("only root may give a file to another user");
        const User nobody = writer();
        QTemporaryDir dir;
        const QString path = dir.filePath(throughSet ? "presets.txt" : "readme.txt");
        QVERIFY(writeFile(path, "\"Old\",\"\",\"\",\"\",\"\",\"\"\r\n"));
        QVERIFY(give(path, nobody.uid, nobody.gid) && setMode(path, mode_t(mode)));
        struct stat before {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &before), 0);

        const PresetRecord record{"New Co", "", "", "", "", ""};
        if (throughSet) {
            const PresetsWrite written = writePresets(locatePresets(dir.path(), "", PresetsUse::Set), record);
            QVERIFY2(written.saved, qPrintable(written.reason));
        } else {
            QString reason;
            QVERIFY2(writeFileAtomically(path, presetRecordLine(record), &reason), qPrintable(reason));
        }

        struct stat after {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &after), 0);
        QVERIFY(after.st_ino != before.st_ino);  // a new file took the old one's place
        QCOMPARE(after.st_uid, nobody.uid);
        QCOMPARE(after.st_gid, nobody.gid);
        QCOMPARE(int(after.st_mode & 07777), mode);
        QCOMPARE(readAll(path), presetRecordLine(record));
        QCOMPARE(entriesOf(dir.path()), QStringList{QFileInfo(path).fileName()});
    }

    // presets.txt writable by the writer in a folder that takes no new files
    // (a shared install), so Set writes it in place, over and over with two
    // records of different lengths, while two readers read it thousands of
    // times: every read is one record or the other, never a mix.
    void readersNeverSeeHalfAWrite()
    {
        const User w = writer();
        QTemporaryDir dir;
        QVERIFY(setMode(dir.path(), 0755));
        const QString program = dir.filePath("program"), path = program + "/presets.txt";
        const PresetRecord a = sixOf('a', 20000), b = sixOf('b', 12000);
        QVERIFY(QDir().mkdir(program));
        QVERIFY(writeFile(path, presetRecordLine(a)));
        QVERIFY(give(path, w.uid, w.gid));
        QVERIFY(setMode(program, 0555));  // no new files here, not even for the owner
        struct stat before {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &before), 0);

        int output = -1;
        const pid_t child = startAsWriter(
            [&] {
                const QDeadlineTimer deadline(90 * 1000);
                for (int i = 0; !deadline.hasExpired(); ++i) {
                    const PresetsWrite written =
                        writePresets(locatePresets(program, "", PresetsUse::Set), i % 2 ? a : b);
                    if (!written.saved)
                        return written.reason.toUtf8();
                }
                return QByteArray("<writer stopped>");
            },
            &output);
        QVERIFY(child > 0);

        constexpr int readsEach = 4000;
        std::atomic<int> seenA{0}, seenB{0}, torn{0}, done{0};
        const QDeadlineTimer deadline(60 * 1000);
        const auto reader = [&] {
            for (int i = 0; i < readsEach && !deadline.hasExpired(); ++i) {
                const PresetRecord r = readPresetsFile(path);
                (r == a ? seenA : r == b ? seenB : torn)++;
                done++;
            }
        };
        std::thread first(reader), second(reader);
        first.join();
        second.join();

        int status = 0;
        const bool writerRunning = ::waitpid(child, &status, WNOHANG) == 0;
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        const QByteArray writerSaid = readToEnd(output);
        QVERIFY2(writerRunning, writerSaid.constData());
        QCOMPARE(done.load(), 2 * readsEach);
        QCOMPARE(torn.load(), 0);
        QVERIFY(seenA > 0 && seenB > 0);
        struct stat after {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino);  // written in place all along
        QVERIFY(setMode(program, 0755));
    }
};

QTEST_GUILESS_MAIN(TestShared)
#include "tst_shared.moc"
