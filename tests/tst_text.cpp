// Windows-1252, line breaks, the one bounded reader of files and the help
// file's path.

#include "core/help/HelpPath.h"
#include "core/presets/PresetsFile.h"
#include "core/text/LineBreaks.h"
#include "core/text/Win1252.h"
#include "core/text/BoundedFile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "FileTools.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

using namespace velmora::test;
using Outcome = velmora::BoundedFile::Outcome;

namespace {

// Run once, right after the next look at a name (stat) in this process.
std::function<void()> afterStat;

}  // namespace

// The system's stat as the reader calls it, with room for a test to act
// between the reader's look at a name and its opening of it.
extern "C" int stat(const char *path, struct stat *found) noexcept
{
    const int result = ::fstatat(AT_FDCWD, path, found, 0);
    if (afterStat)
        std::exchange(afterStat, nullptr)();
    return result;
}

class TestText : public QObject {
    Q_OBJECT

private slots:
    void windows1252_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("bothWays");

        QTest::newRow("empty") << QString() << QByteArray() << true;
        QTest::newRow("ASCII, NUL and DEL") << QStringLiteral("v1.0, (c)\r\n\t~") + QChar(0) + QChar(0x7F)
                                            << QByteArray("v1.0, (c)\r\n\t~\x00\x7f", 15) << true;
        QTest::newRow("Latin-1 part") << QStringLiteral("caf\u00e9 \u00a0\u00bf\u00c0\u00fc\u00ff")
                                      << QByteArray("caf\xe9 \xa0\xbf\xc0\xfc\xff") << true;
        QTest::newRow("the 27 characters at 0x80..0x9F")
            << "€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ"
            << QByteArray("\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8a\x8b\x8c\x8e\x91\x92\x93\x94\x95\x96"
                          "\x97\x98\x99\x9a\x9b\x9c\x9e\x9f")
            << true;
        QTest::newRow("five undefined bytes are C1 controls")
            << QStringLiteral("\u0081\u008d\u008f\u0090\u009d") << QByteArray("\x81\x8d\x8f\x90\x9d") << true;
        QTest::newRow("characters not held, other C1 controls among them")
            << QStringLiteral("\u0080\u0085\u009f \u0141\u00f3d\u017a \u4e2d\ufffd")
            << QByteArray("??? ?\xf3" "d? ??") << false;
        QTest::newRow("surrogate pair is one character")
            << QStringLiteral("a\U0001F600\U0001F680b") << QByteArray("a??b") << false;
        QTest::newRow("lone surrogates: low, high, high before a pair, high at the end")
            << QStringLiteral("a") + QChar(0xDC00) + QChar(0xD800) + u'b' + QChar(0xD83D) + QChar(0xD83D)
                   + QChar(0xDE00) + QChar(0xD83D)
            << QByteArray("a??b???") << false;
    }

    void windows1252()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, bothWays);
        QCOMPARE(velmora::toWindows1252(text), bytes);
        if (bothWays)
            QCOMPARE(velmora::fromWindows1252(bytes), text);
    }

    void lineBreaks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("crLf");
        QTest::addColumn<QString>("lf");
        QTest::addColumn<QString>("oneLine");

        QTest::newRow("empty") << QString() << QString() << QString() << QString();
        QTest::newRow("no break") << "abc" << "abc" << "abc" << "abc";
        QTest::newRow("LF") << "a\nb" << "a\r\nb" << "a\nb" << "a b";
        QTest::newRow("CR") << "a\rb" << "a\r\nb" << "a\nb" << "a b";
        QTest::newRow("CR LF is one break") << "a\r\nb" << "a\r\nb" << "a\nb" << "a b";
        QTest::newRow("LF CR is two breaks") << "a\n\rb" << "a\r\n\r\nb" << "a\n\nb" << "a  b";
        QTest::newRow("mixed, at both ends") << "\nx\ry\r\nz\r\r\n" << "\r\nx\r\ny\r\nz\r\n\r\n" << "\nx\ny\nz\n\n" << " x y z  ";
    }

    void lineBreaks()
    {
        QFETCH(QString, text);
        QFETCH(QString, crLf);
        QFETCH(QString, lf);
        QFETCH(QString, oneLine);
        QCOMPARE(velmora::toCrLf(text), crLf);
        QCOMPARE(velmora::toLf(text), lf);
        QCOMPARE(velmora::toOneLine(text), oneLine);
    }

    // What the one reader gives for each kind of file, and the text it
    // decodes. A row's limit is the reader's maxBytes.
    void readBoundedFile_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QString>("text");
        const QString file = "file";
        const qint64 any = qint64(1) << 20;

        // A readme as the program writes it, with Windows-1252 bytes put in.
        const QByteArray readme = readAll(QStringLiteral(VELMORA_TEST_DATA "/readme_full.txt"));
        QTest::newRow("readme in Windows-1252 decoded exactly")
            << file << QByteArray(readme).replace("Sample - (Freeware)", "Caf\xe9 \x99 - (\x81 \x80)") << any
            << Outcome::Read
            << QString::fromLatin1(readme).replace(QStringLiteral("Sample - (Freeware)"),
                                                   QStringLiteral("Caf\u00e9 \u2122 - (\u0081 \u20ac)"));
        QTest::newRow("UTF-8 without BOM, line ends kept")
            << file << QByteArray("\xc5\x81\xc3\xb3\x64\r\xf0\x9f\x98\x80\n\r\n") << any << Outcome::Read
            << QStringLiteral("\u0141\u00f3d\r\U0001F600\n\r\n");
        QTest::newRow("UTF-8 with BOM, BOM not kept")
            << file << QByteArray("\xef\xbb\xbfGr\xc3\xbc\xc3\x9f") << any << Outcome::Read
            << QStringLiteral("Gr\u00fc\u00df");
        QTest::newRow("BOM, then bytes not UTF-8: still UTF-8")
            << file << QByteArray("\xef\xbb\xbf" "caf\xe9") << any << Outcome::Read << QStringLiteral("caf\ufffd");
        QTest::newRow("two BOMs: the second is text")
            << file << QByteArray("\xef\xbb\xbf\xef\xbb\xbf") << any << Outcome::Read << QString(QChar(0xFEFF));
        QTest::newRow("UTF-8 cut off at the end is Windows-1252")
            << file << QByteArray("caf\xc3") << any << Outcome::Read << QStringLiteral("caf\u00c3");
        QTest::newRow("empty file") << file << QByteArray() << any << Outcome::Read << QString();
        QTest::newRow("nothing there") << "missing" << QByteArray() << any << Outcome::Missing << QString();
        QTest::newRow("a folder") << "folder" << QByteArray() << any << Outcome::NotAFile << QString();
        QTest::newRow("FIFO") << "fifo" << QByteArray() << any << Outcome::NotAFile << QString();
        // A file whose size says nothing and that never ends: read only up to
        // the limit (it stands for a file that grows while it is read).
        QTest::newRow("/proc/self/pagemap: size 0, endless")
            << "/proc/self/pagemap" << QByteArray() << any << Outcome::TooLarge << QString();
        const QByteArray limit(1000, 'x');
        QTest::newRow("at the limit") << file << limit << qint64(1000) << Outcome::Read << QString::fromLatin1(limit);
        QTest::newRow("one byte over the limit") << file << limit + 'x' << qint64(1000) << Outcome::TooLarge << QString();
    }

    void readBoundedFile()
    {
        QFETCH(QString, setup);
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, limit);
        QFETCH(Outcome, outcome);
        QFETCH(QString, text);

        QTemporaryDir dir;
        QString path = dir.filePath("readme.txt");
        if (setup == "file")
            QVERIFY(writeFile(path, bytes));
        else if (setup == "folder")
            QVERIFY(QDir().mkdir(path));
        else if (setup == "fifo")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (setup.startsWith(u'/'))
            path = setup;

        QElapsedTimer timer;
        timer.start();
        velmora::BoundedFile read;
        withinOneMoreGiB([&] { read = velmora::readBoundedFile(path, limit, {.decode = true, .lock = {}}); });
        QVERIFY(timer.elapsed() < 5000);
        QCOMPARE(read.outcome, outcome);
        QCOMPARE(read.text, text);
        if (outcome == Outcome::Read) {
            QCOMPARE(read.bytes, bytes);
            QCOMPARE(read.size, bytes.size());
        } else {
            QVERIFY(read.bytes.isEmpty());
        }
        if (outcome == Outcome::TooLarge)
            QVERIFY2(read.size > limit, qPrintable(QString::number(read.size)));
        if (outcome == Outcome::Missing)
            QCOMPARE(read.reason, QString::fromLocal8Bit(std::strerror(ENOENT)));
    }

    // A FIFO given the name after the reader looked at it, just before it
    // opens it: opened without waiting for a writer, and refused once open.
    void pipeGivenTheNameMeanwhile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("readme.txt");
        const QByteArray pipe = QFile::encodeName(dir.filePath("pipe"));
        QVERIFY(writeFile(path, "text"));
        QCOMPARE(mkfifo(pipe.constData(), 0600), 0);
        afterStat = [&] { ::rename(pipe.constData(), QFile::encodeName(path).constData()); };
        // A reader that waits on the pipe is let go after 5 s, and says so.
        std::atomic<bool> done{false}, letGo{false};
        std::thread watch([&] {
            QDeadlineTimer deadline(5000);
            while (!done && !deadline.hasExpired())
                ::usleep(1000);
            while (!done) {
                const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
                letGo = letGo || fd >= 0;
                if (fd >= 0)
                    ::close(fd);
                ::usleep(1000);
            }
        });
        const velmora::BoundedFile read = velmora::readBoundedFile(path, 1000);
        done = true;
        watch.join();
        QVERIFY(!afterStat);  // the name was given to the pipe
        QVERIFY2(!letGo, "the reader waited for a writer");
        QCOMPARE(read.outcome, Outcome::NotAFile);
    }

    // The one rule that puts presets.txt and the help file beside the program.
    void fileInFolder_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("path");

        QTest::newRow("windows folder") << "C:\\Tools" << "C:\\Tools\\Velmora 1_0.HLP";
        QTest::newRow("windows root") << "C:\\" << "C:\\Velmora 1_0.HLP";
        QTest::newRow("unix folder") << "/opt/velmora" << "/opt/velmora/Velmora 1_0.HLP";
        QTest::newRow("unix root") << "/" << "/Velmora 1_0.HLP";
        QTest::newRow("unix folder with a backslash in a name") << "/home/a\\b" << "/home/a\\b/Velmora 1_0.HLP";
        // The blank is looked past only to find the separator.
        QTest::newRow("separator before a trailing blank") << "C:\\Tools\\ " << "C:\\Tools\\ Velmora 1_0.HLP";
    }

    void fileInFolder()
    {
        QFETCH(QString, folder);
        QFETCH(QString, path);
        QCOMPARE(velmora::helpFilePathFor(folder), path);
        path.replace("Velmora 1_0.HLP", "presets.txt");
        QCOMPARE(velmora::presetsPath(folder), path);
    }
};

QTEST_APPLESS_MAIN(TestText)
#include "tst_text.moc"
