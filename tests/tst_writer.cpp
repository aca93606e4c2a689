// The one writer of the readme and of presets.txt: all or nothing, through a
// temporary file or in place, only over regular files, and the reason it
// gives when it writes nothing.

#include "core/text/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "FileTools.h"

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace velmora;
using namespace velmora::test;

namespace {

const QByteArray oldBytes(5000, 'o');

// The kind of node at path (a link itself, not what it leads to), 0 for none.
mode_t nodeType(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

}  // namespace

class TestWriter : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the file-size limit fails instead
    }

    // In a folder (%1) that holds old.txt, a file named file and an empty
    // folder: old.txt is replaced whole, or the name is refused with the
    // reason; either way nothing else changes.
    void replaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("limit");      // file-size limit, -1 for none
        QTest::addColumn<QString>("reason");  // empty: written

        QTest::newRow("replace a longer file") << "%1/old.txt" << QByteArray("short\r\n\x80\xe9") << -1 << "";
        QTest::newRow("folder in the file's place") << "%1/folder" << QByteArray("new") << -1
                                                    << "a folder of that name is in the way";
        QTest::newRow("folder does not exist") << "%1/nowhere/out.txt" << QByteArray("new") << -1
                                               << "the folder %1/nowhere does not exist";
        QTest::newRow("parent is a file") << "%1/file/out.txt" << QByteArray("new") << -1 << "%1/file is a file, not a folder";
        QTest::newRow("a name without a folder, never the working folder")
            << "out.txt" << QByteArray("new") << -1 << "the name does not say which folder it is in";
        // Small enough for a write buffer: the failure shows only at the flush.
        QTest::newRow("full disk, small write") << "%1/old.txt" << QByteArray(45, 'z') << 16 << "File too large";
    }

    void replaces()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(int, limit);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("old.txt"), oldBytes) && writeFile(dir.filePath("file"), "I am a file\r\n"));
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        const QStringList entries = entriesOf(dir.path());
        const QString path = name.replace("%1", dir.path());

        const rlim_t before = setFileSizeLimit(limit < 0 ? RLIM_INFINITY : rlim_t(limit));
        QString error;
        const bool written = writeFileAtomically(path, bytes, &error);
        setFileSizeLimit(before);

        QCOMPARE(error, reason.isEmpty() ? QString() : cannotWrite(path, reason.replace("%1", dir.path())));
        QCOMPARE(written, reason.isEmpty());
        QCOMPARE(entriesOf(dir.path()), entries);  // no temporary file left, nothing made
        QCOMPARE(readAll(dir.filePath("old.txt")), written ? bytes : oldBytes);
        QCOMPARE(readAll(dir.filePath("file")), QByteArray("I am a file\r\n"));
        QCOMPARE(entriesOf(dir.filePath("folder")), QStringList());
    }

    // What is at the chosen name afterwards: a node that is not a regular
    // file stays as it was, also for the writer in place; a link is followed
    // and kept.
    void onlyRegularFilesAreReplaced_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("inPlace");
        QTest::addColumn<QString>("reason");  // empty: written
        const QString notRegular = "it is not a regular file";
        QTest::newRow("FIFO") << "fifo" << false << notRegular;
        QTest::newRow("link to a FIFO") << "link to fifo" << false << notRegular;
        QTest::newRow("link to a regular file: the file is written") << "link to file" << false << "";
        QTest::newRow("dangling link: its target is made") << "dangling link" << false << "";
        QTest::newRow("in place: a FIFO, without waiting for a reader") << "fifo" << true << notRegular;
    }

    void onlyRegularFilesAreReplaced()
    {
        QFETCH(QString, kind);
        QFETCH(bool, inPlace);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString target = dir.filePath("readme.txt"), other = dir.filePath("other.txt");
        const QByteArray t = QFile::encodeName(target);
        if (kind.endsWith("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(kind == "fifo" ? target : other).constData(), 0600), 0);
        if (kind == "link to file")
            QVERIFY(writeFile(other, oldBytes));
        if (kind.contains("link"))
            QCOMPARE(::symlink("other.txt", t.constData()), 0);
        const mode_t before = nodeType(target);
        const QStringList entries = entriesOf(dir.path());

        QString error;
        const bool written = inPlace ? writeFileInPlace(target, "Readme\r\n", &error)
                                     : writeFileAtomically(target, "Readme\r\n", &error);
        QCOMPARE(error, reason.isEmpty() ? QString() : cannotWrite(target, reason));
        QCOMPARE(written, reason.isEmpty());
        QCOMPARE(nodeType(target), before);  // nothing replaced the node or the link
        QCOMPARE(entriesOf(dir.path()), written ? QStringList({"other.txt", "readme.txt"}) : entries);
        if (written)
            QCOMPARE(readAll(other), QByteArray("Readme\r\n"));
    }

    // Writing in place, as for a file in a folder that takes no new files:
    // called directly, since root may create files in any folder. Every
    // failure leaves the old bytes, even one that ends the program at the
    // first byte that does not fit; with room, the new bytes are all there.
    void inPlaceIsAllOrNothing_data()
    {
        QTest::addColumn<QString>("trouble");  // none; a file-size limit of 1000 bytes: limit, killed
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("ok");
        QTest::newRow("longer") << "none" << QByteArray(9000, 'L') << true;
        QTest::newRow("shorter") << "none" << QByteArray("Short\r\n") << true;
        QTest::newRow("file-size limit, shorter, cut part way") << "limit" << QByteArray(3000, 'S') << false;
        QTest::newRow("killed by the limit: no byte changed before room was reserved")
            << "killed" << QByteArray(9000, 'L') << false;
    }

    void inPlaceIsAllOrNothing()
    {
        QFETCH(QString, trouble);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, ok);
        QTemporaryDir dir;
        const QString path = dir.filePath("readme.txt");
        QVERIFY(writeFile(path, oldBytes));

        const rlim_t before = setFileSizeLimit(trouble == "none" ? RLIM_INFINITY : 1000);
        QString error;
        bool written = false;
        if (trouble == "killed") {
            const pid_t child = ::fork();
            if (child == 0) {
                std::signal(SIGXFSZ, SIG_DFL);
                const rlimit noCore{0, 0};
                ::setrlimit(RLIMIT_CORE, &noCore);
                ::_exit(writeFileInPlace(path, bytes) ? 0 : 1);
            }
            int status = 0;
            written = !(::waitpid(child, &status, 0) == child && WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ);
        } else {
            written = writeFileInPlace(path, bytes, &error);
        }
        setFileSizeLimit(before);

        QCOMPARE(written, ok);
        QCOMPARE(error, trouble == "limit" ? cannotWrite(path, "File too large") : QString());
        QCOMPARE(readAll(path), ok ? bytes : oldBytes);
        QCOMPARE(entriesOf(dir.path()), QStringList{"readme.txt"});  // no temporary file, nothing left over
    }
};

QTEST_GUILESS_MAIN(TestWriter)
#include "tst_writer.moc"
