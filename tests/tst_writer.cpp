// The one writer of the readme and of presets.txt: all or nothing, through a
// temporary file or in place, and only over regular files.

#include "files/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include "FileTools.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

using namespace velmora::test;

namespace {

const QByteArray oldBytes(5000, 'o');

// A small tmpfs over a fresh folder, filled to the last block: a full disk
// that is real for every process, root included.
class FullFileSystem
{
public:
    explicit FullFileSystem(const QString &where) : path_(where)
    {
        QDir().mkpath(where);
        mounted_ = ::mount("velmora-test", QFile::encodeName(where).constData(), "tmpfs",
                           MS_NOSUID | MS_NODEV, "size=64k") == 0;
    }
    ~FullFileSystem()
    {
        if (mounted_)
            ::umount2(QFile::encodeName(path_).constData(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    // Writes a filler file until no block is left.
    bool fill() const
    {
        const int fd = ::open(QFile::encodeName(path_ + "/filler").constData(), O_WRONLY | O_CREAT, 0600);
        if (fd < 0)
            return false;
        const QByteArray block(4096, 'f');
        while (::write(fd, block.constData(), size_t(block.size())) > 0) {
        }
        const bool full = errno == ENOSPC;
        ::close(fd);
        return full;
    }

private:
    QString path_;
    bool mounted_ = false;
};

QString fileType(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return "none";
    if (S_ISLNK(st.st_mode))
        return "link";
    if (S_ISFIFO(st.st_mode))
        return "fifo";
    if (S_ISCHR(st.st_mode))
        return "character device";
    if (S_ISSOCK(st.st_mode))
        return "socket";
    if (S_ISREG(st.st_mode))
        return "file";
    return "other";
}

}  // namespace

class TestWriter : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the file-size limit fails instead
    }

    void replaces_data()
    {
        QTest::addColumn<QString>("name");  // in a folder holding old.txt, file and folder/
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("limit");  // file-size limit, -1 for none
        QTest::addColumn<bool>("ok");

        QTest::newRow("new file") << "new.txt" << QByteArray("\"a\",\"b\"\r\n\x80\xe9") << -1 << true;
        QTest::newRow("replace a longer file") << "old.txt" << QByteArray("short\r\n") << -1 << true;
        QTest::newRow("replace a shorter file") << "old.txt" << QByteArray(70000, 'n') << -1 << true;
        QTest::newRow("replace with nothing") << "old.txt" << QByteArray("") << -1 << true;
        QTest::newRow("folder in the file's place") << "folder" << QByteArray("new") << -1 << false;
        QTest::newRow("folder does not exist") << "nowhere/out.txt" << QByteArray("new") << -1 << false;
        QTest::newRow("parent is a file") << "file/out.txt" << QByteArray("new") << -1 << false;
        // Small enough for a write buffer: the failure shows only at the flush.
        QTest::newRow("full disk, small write") << "old.txt" << QByteArray(45, 'z') << 16 << false;
        QTest::newRow("full disk, nothing fits") << "old.txt" << QByteArray(10, 'z') << 0 << false;
    }

    void replaces()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(int, limit);
        QFETCH(bool, ok);

        QTemporaryDir dir;
        const QByteArray fileBytes("I am a file\r\n");
        QVERIFY(writeFile(dir.filePath("old.txt"), oldBytes) && writeFile(dir.filePath("file"), fileBytes));
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        QStringList entries = entriesOf(dir.path());
        const QString path = dir.filePath(name);

        const rlim_t oldLimit = limit < 0 ? 0 : setFileSizeLimit(rlim_t(limit));
        QString error;
        const bool quiet = velmora::writeFileAtomically(path, bytes);  // no error wanted
        const bool written = velmora::writeFileAtomically(path, bytes, &error);
        if (limit >= 0)
            setFileSizeLimit(oldLimit);

        QCOMPARE(quiet, ok);
        QCOMPARE(written, ok);
        if (ok && !entries.contains(name))
            entries = QStringList{"file", "folder", name, "old.txt"};
        if (!ok)
            QVERIFY2(error.startsWith("Cannot write \"" + QDir::toNativeSeparators(path) + "\": "), qPrintable(error));
        QCOMPARE(entriesOf(dir.path()), entries);
        QCOMPARE(readAll(dir.filePath("old.txt")), ok && name == "old.txt" ? bytes : oldBytes);
        QCOMPARE(readAll(dir.filePath("file")), fileBytes);
        QCOMPARE(entriesOf(dir.filePath("folder")), QStringList());
        if (ok)
            QCOMPARE(readAll(path), bytes);
    }

    // What is at the chosen name afterwards: a node that is not a regular
    // file stays as it was; a link is followed and kept.
    void onlyRegularFilesAreReplaced_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("ok");
        QTest::newRow("FIFO") << "fifo" << false;
        QTest::newRow("character device") << "character device" << false;
        QTest::newRow("socket") << "socket" << false;
        QTest::newRow("link to a regular file: the file is written") << "link to file" << true;
        QTest::newRow("dangling link: its target is made") << "dangling link" << true;
        QTest::newRow("link to a FIFO") << "link to fifo" << false;
    }

    void onlyRegularFilesAreReplaced()
    {
        QFETCH(QString, kind);
        QFETCH(bool, ok);
        QTemporaryDir dir;
        const QString target = dir.filePath("readme.txt");
        const QString other = dir.filePath("other.txt");
        const QByteArray t = QFile::encodeName(target), o = QFile::encodeName(other);
        int socketFd = -1;
        if (kind == "fifo") {
            QCOMPARE(::mkfifo(t.constData(), 0600), 0);
        } else if (kind == "character device") {
            // The same device as /dev/null, in the test's own folder.
            QCOMPARE(::mknod(t.constData(), S_IFCHR | 0600, makedev(1, 3)), 0);
        } else if (kind == "socket") {
            socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            QVERIFY(size_t(t.size()) < sizeof address.sun_path);
            std::memcpy(address.sun_path, t.constData(), size_t(t.size()));
            QCOMPARE(::bind(socketFd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        } else if (kind == "link to file") {
            QVERIFY(writeFile(other, oldBytes));
            QCOMPARE(::symlink("other.txt", t.constData()), 0);
        } else if (kind == "dangling link") {
            QCOMPARE(::symlink("other.txt", t.constData()), 0);
        } else if (kind == "link to fifo") {
            QCOMPARE(::mkfifo(o.constData(), 0600), 0);
            QCOMPARE(::symlink("other.txt", t.constData()), 0);
        }
        const QString before = fileType(target);
        const QStringList entries = entriesOf(dir.path());

        QString error;
        const QByteArray bytes = "Readme\r\n";
        const bool written = velmora::writeFileAtomically(target, bytes, &error);
        if (socketFd >= 0)
            ::close(socketFd);

        QCOMPARE(written, ok);
        QCOMPARE(fileType(target), before);  // nothing replaced the node or the link
        if (ok) {
            QCOMPARE(readAll(other), bytes);
            QCOMPARE(entriesOf(dir.path()), QStringList({"other.txt", "readme.txt"}));
        } else {
            QCOMPARE(error, "Cannot write \"" + target + "\": it is not a regular file.");
            QCOMPARE(entriesOf(dir.path()), entries);
        }
    }

    // Writing in place, as for a file in a folder that takes no new files:
    // called directly, since root may create files in any folder. Every
    // failure leaves the old bytes; with room, the new bytes are all there.
    void inPlaceIsAllOrNothing_data()
    {
        QTest::addColumn<QString>("trouble");  // none, limit, full
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("ok");
        const QByteArray longer(9000, 'L'), shorter("Short\r\n");
        QTest::newRow("longer") << "none" << longer << true;
        QTest::newRow("shorter") << "none" << shorter << true;
        QTest::newRow("empty") << "none" << QByteArray() << true;
        QTest::newRow("file-size limit, longer") << "limit" << longer << false;
        QTest::newRow("file-size limit, shorter, cut part way") << "limit" << QByteArray(3000, 'S') << false;
        QTest::newRow("file-size limit, nothing fits") << "limit0" << shorter << false;
        QTest::newRow("full file system, longer") << "full" << longer << false;
        // Over blocks the file already has: no room is needed.
        QTest::newRow("full file system, shorter") << "full" << shorter << true;
    }

    void inPlaceIsAllOrNothing()
    {
        QFETCH(QString, trouble);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, ok);
        QTemporaryDir dir;
        QString folder = dir.path();
        std::unique_ptr<FullFileSystem> full;
        if (trouble == "full") {
            folder = dir.filePath("full");
            full = std::make_unique<FullFileSystem>(folder);
            if (!full->mounted())
                QSKIP("mounting a small tmpfs needs root");
        }
        const QString path = folder + "/readme.txt";
        QVERIFY(writeFile(path, oldBytes));
        if (full)
            QVERIFY(full->fill());
        const QStringList entries = entriesOf(folder);

        rlim_t before = 0;
        if (trouble == "limit")
            before = setFileSizeLimit(1000);
        else if (trouble == "limit0")
            before = setFileSizeLimit(0);
        QString error;
        const bool written = velmora::writeFileInPlace(path, bytes, &error);
        if (trouble.startsWith("limit"))
            setFileSizeLimit(before);

        QCOMPARE(written, ok);
        QCOMPARE(readAll(path), ok ? bytes : oldBytes);
        QCOMPARE(QFileInfo(path).size(), ok ? bytes.size() : oldBytes.size());
        QCOMPARE(entriesOf(folder), entries);  // no temporary file, nothing left over
        if (!ok) {
            QVERIFY2(error.startsWith("Cannot write \"" + path + "\": ") && !error.contains("put back"),
                     qPrintable(error));
        }
    }

    // The same through the ordinary call, on a full disk where a temporary
    // file cannot be made: the old file stays.
    void fullFileSystemKeepsTheOldFile()
    {
        QTemporaryDir dir;
        FullFileSystem full(dir.filePath("full"));
        if (!full.mounted())
            QSKIP("mounting a small tmpfs needs root");
        const QString path = dir.filePath("full/readme.txt");
        QVERIFY(writeFile(path, oldBytes));
        QVERIFY(full.fill());
        QString error;
        QVERIFY(!velmora::writeFileAtomically(path, QByteArray(9000, 'n'), &error));
        QCOMPARE(error, "Cannot write \"" + path + "\": No space left on device.");
        QCOMPARE(readAll(path), oldBytes);
        QCOMPARE(entriesOf(dir.filePath("full")), QStringList({"filler", "readme.txt"}));
    }

    void inPlaceRefusesWhatIsNotARegularFile()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath("fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QString error;
        QVERIFY(!velmora::writeFileInPlace(fifo, "x", &error));  // and does not wait for a reader
        QCOMPARE(error, "Cannot write \"" + fifo + "\": it is not a regular file.");
        QCOMPARE(fileType(fifo), QString("fifo"));
        QVERIFY(!velmora::writeFileInPlace(dir.filePath("missing"), "x", &error));
        QCOMPARE(error, "Cannot write \"" + dir.filePath("missing") + "\": No such file or directory.");
        QVERIFY(!QFileInfo::exists(dir.filePath("missing")));
    }
};

QTEST_GUILESS_MAIN(TestWriter)
#include "tst_writer.moc"
