// The viewer's whole-file reader and the help file's path.

#include "help/HelpPath.h"
#include "viewer/WholeFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

QByteArray dataFile(const QString &name)
{
    QFile file(QStringLiteral(VELMORA_TEST_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read test data %s", qPrintable(name));
    return file.readAll();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

class TestFiles : public QObject {
    Q_OBJECT

private slots:
    void decodeTextFile_data();
    void decodeTextFile();
    void readWholeFile_data();
    void readWholeFile();
    void readWholeFileSizeLimit_data();
    void readWholeFileSizeLimit();
    void helpFilePath_data();
    void helpFilePath();
};

void TestFiles::decodeTextFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("ASCII, line ends as they are")
        << QByteArray("a\r\nb\nc\rd\r\n") << QStringLiteral("a\r\nb\nc\rd\r\n");
    QTest::newRow("Windows-1252")
        << QByteArray("Caf\xe9 \x80 \x93q\x94\r\n") << QStringLiteral("Caf\u00e9 \u20ac \u201cq\u201d\r\n");
    QTest::newRow("Windows-1252, undefined byte") << QByteArray("\x81") << QStringLiteral("\u0081");
    QTest::newRow("UTF-8 without BOM")
        << QByteArray("Caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80\r\n")
        << QStringLiteral("Caf\u00e9 \u20ac \U0001F600\r\n");
    QTest::newRow("UTF-8 with BOM, BOM not kept")
        << QByteArray("\xef\xbb\xbfGr\xc3\xbc\xc3\x9f\x65\r\n") << QStringLiteral("Gr\u00fc\u00df" "e\r\n");
    QTest::newRow("BOM alone") << QByteArray("\xef\xbb\xbf") << QString();
    QTest::newRow("two BOMs: the second is text")
        << QByteArray("\xef\xbb\xbf\xef\xbb\xbf") << QString(QChar(0xFEFF));
    QTest::newRow("BOM, then a BOM inside the text")
        << QByteArray("\xef\xbb\xbf\xef\xbb\xbf" "a\xef\xbb\xbf" "b") << QStringLiteral("\uFEFF" "a\uFEFF" "b");
    QTest::newRow("UTF-8 cut off at the end is Windows-1252")
        << QByteArray("caf\xc3") << QStringLiteral("caf\u00c3");
    QTest::newRow("stray continuation byte is Windows-1252")
        << QByteArray("\xc3\xa9 and \xa9") << QStringLiteral("\u00c3\u00a9 and \u00a9");
    QTest::newRow("NUL kept") << QByteArray("a\0b", 3) << QString(QChar(u'a')) + QChar(0) + QChar(u'b');
}

void TestFiles::decodeTextFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(velmora::decodeTextFile(bytes), text);
}

void TestFiles::readWholeFile_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    // A readme as the program writes it: Windows-1252, CR LF.
    const QByteArray readme = dataFile(QStringLiteral("readme_full.txt")).replace(
        "Sample - (Freeware)", "Caf\xe9 \x99 - (Freeware \x80)");
    QString readmeText = QString::fromLatin1(dataFile(QStringLiteral("readme_full.txt")));
    readmeText.replace(QStringLiteral("Sample - (Freeware)"), QStringLiteral("Caf\u00e9 \u2122 - (Freeware \u20ac)"));
    QTest::newRow("readme in Windows-1252 shown exactly") << QStringLiteral("file") << readme << readmeText;
    QTest::newRow("UTF-8 without BOM") << QStringLiteral("file") << QByteArray("\xc5\x81\xc3\xb3\x64\xc5\xba\n")
                                       << QStringLiteral("\u0141\u00f3d\u017a\n");
    QTest::newRow("UTF-8 with BOM") << QStringLiteral("file") << QByteArray("\xef\xbb\xbfx\r\n")
                                    << QStringLiteral("x\r\n");
    QTest::newRow("empty file") << QStringLiteral("file") << QByteArray() << QString();
    QTest::newRow("missing") << QStringLiteral("none") << QByteArray() << QString();
    QTest::newRow("folder") << QStringLiteral("folder") << QByteArray() << QString();
    QTest::newRow("FIFO") << QStringLiteral("fifo") << QByteArray() << QString();
    QTest::newRow("device") << QStringLiteral("device") << QByteArray() << QString();
    QTest::newRow("empty path") << QStringLiteral("empty path") << QByteArray() << QString();
}

void TestFiles::readWholeFile()
{
    QFETCH(QString, setup);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString path = dir.filePath(QStringLiteral("readme.txt"));
    if (setup == QLatin1String("file"))
        QVERIFY(writeFile(path, bytes));
    else if (setup == QLatin1String("folder"))
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("readme.txt")));
    else if (setup == QLatin1String("fifo"))
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (setup == QLatin1String("device"))
        path = QStringLiteral("/dev/zero");  // never ends
    else if (setup == QLatin1String("empty path"))
        path.clear();

    QElapsedTimer timer;
    timer.start();
    QCOMPARE(velmora::ReadWholeFile(path), text);
    QVERIFY(timer.elapsed() < 5000);
}

void TestFiles::readWholeFileSizeLimit_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("read");

    QTest::newRow("exactly 64 MiB") << velmora::maxViewerFileBytes << true;
    QTest::newRow("one byte over 64 MiB") << velmora::maxViewerFileBytes + 1 << false;
    QTest::newRow("1 GiB") << (qint64(1) << 30) << false;
}

void TestFiles::readWholeFileSizeLimit()
{
    QFETCH(qint64, size);
    QFETCH(bool, read);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("big.txt"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(size));  // sparse: zero bytes, no disk used
    }
    const QString text = velmora::ReadWholeFile(path);
    QCOMPARE(text.size(), read ? size : 0);
    if (read)
        QVERIFY(text.at(text.size() - 1) == QChar(0));
}

void TestFiles::helpFilePath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("path");

    QTest::newRow("windows folder") << QStringLiteral("C:\\Tools") << QStringLiteral("C:\\Tools\\Velmora 1_0.HLP");
    QTest::newRow("windows root") << QStringLiteral("C:\\") << QStringLiteral("C:\\Velmora 1_0.HLP");
    QTest::newRow("unix folder") << QStringLiteral("/opt/velmora") << QStringLiteral("/opt/velmora/Velmora 1_0.HLP");
    QTest::newRow("unix root") << QStringLiteral("/") << QStringLiteral("/Velmora 1_0.HLP");
    // The blank is only looked past for the separator test; the folder is
    // used as it is.
    QTest::newRow("separator before a trailing blank")
        << QStringLiteral("C:\\Tools\\ ") << QStringLiteral("C:\\Tools\\ Velmora 1_0.HLP");
    QTest::newRow("leading and trailing blanks, no separator")
        << QStringLiteral(" /opt/velmora ") << QStringLiteral(" /opt/velmora /Velmora 1_0.HLP");
    QTest::newRow("Qt style windows folder")
        << QStringLiteral("C:/Program Files/Velmora") << QStringLiteral("C:/Program Files/Velmora/Velmora 1_0.HLP");
}

void TestFiles::helpFilePath()
{
    QFETCH(QString, folder);
    QFETCH(QString, path);
    QCOMPARE(velmora::helpFilePathFor(folder), path);
}

QTEST_APPLESS_MAIN(TestFiles)
#include "tst_files.moc"
