// Windows-1252 text, line breaks and all-or-nothing file writing.

#include "platform/AtomicFile.h"
#include "platform/LineBreaks.h"
#include "platform/Win1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// The 27 characters Windows-1252 puts at 0x80..0x9F, typed as characters,
// with the byte each one has; the five undefined bytes are left out.
struct HighChar {
    const char16_t *text;
    unsigned char byte;
};
constexpr HighChar highChars[] = {
    {u"€", 0x80}, {u"‚", 0x82}, {u"ƒ", 0x83}, {u"„", 0x84}, {u"…", 0x85}, {u"†", 0x86},
    {u"‡", 0x87}, {u"ˆ", 0x88}, {u"‰", 0x89}, {u"Š", 0x8A}, {u"‹", 0x8B}, {u"Œ", 0x8C},
    {u"Ž", 0x8E}, {u"‘", 0x91}, {u"’", 0x92}, {u"“", 0x93}, {u"”", 0x94}, {u"•", 0x95},
    {u"–", 0x96}, {u"—", 0x97}, {u"˜", 0x98}, {u"™", 0x99}, {u"š", 0x9A}, {u"›", 0x9B},
    {u"œ", 0x9C}, {u"ž", 0x9E}, {u"Ÿ", 0x9F},
};

// Keeps the file-size limit low for one scope, with SIGXFSZ ignored so a
// write past it fails with an error instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit low = m_old;
        low.rlim_cur = bytes;
        m_ok = setrlimit(RLIMIT_FSIZE, &low) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};

}  // namespace

class TestText : public QObject {
    Q_OBJECT

private slots:
    void toWindows1252_data();
    void toWindows1252();
    void fromWindows1252_data();
    void fromWindows1252();
    void everyHighCharacter();
    void everyByteRoundTrips();
    void lineBreaks_data();
    void lineBreaks();
    void writeNewOrReplace_data();
    void writeNewOrReplace();
    void writeFails_data();
    void writeFails();
    void fullDiskKeepsOldFile_data();
    void fullDiskKeepsOldFile();
};

void TestText::toWindows1252_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("ASCII") << QStringLiteral("Readme v1.0, (c) 2024\r\n\t~")
                           << QByteArray("Readme v1.0, (c) 2024\r\n\t~");
    QTest::newRow("NUL and DEL") << QString(QChar(0)) + QChar(0x7F) << QByteArray("\x00\x7f", 2);
    QTest::newRow("e acute") << QStringLiteral("caf\u00e9") << QByteArray("caf\xe9");
    QTest::newRow("u umlaut, y diaeresis, no-break space")
        << QStringLiteral("\u00fc\u00ff\u00a0") << QByteArray("\xfc\xff\xa0");
    QTest::newRow("euro") << QStringLiteral("5 \u20ac") << QByteArray("5 \x80");
    QTest::newRow("curly double quotes") << QStringLiteral("\u201chi\u201d")
                                         << QByteArray("\x93hi\x94");
    QTest::newRow("S caron, trade mark") << QStringLiteral("\u0160\u2122") << QByteArray("\x8a\x99");
    QTest::newRow("five undefined bytes as C1 controls")
        << QStringLiteral("\u0081\u008d\u008f\u0090\u009d") << QByteArray("\x81\x8d\x8f\x90\x9d");
    QTest::newRow("other C1 controls are not held")
        << QStringLiteral("\u0080\u0085\u009f") << QByteArray("???");
    QTest::newRow("L stroke") << QStringLiteral("\u0141\u00f3d\u017a") << QByteArray("?\xf3\x64?");
    QTest::newRow("CJK") << QStringLiteral("a\u4e2db") << QByteArray("a?b");
    QTest::newRow("emoji is one character") << QStringLiteral("a\U0001F600b") << QByteArray("a?b");
    QTest::newRow("two emoji") << QStringLiteral("\U0001F600\U0001F680") << QByteArray("??");
    QTest::newRow("lone high surrogate")
        << QString(QChar(u'a')) + QChar(0xD800) + QChar(u'b') << QByteArray("a?b");
    QTest::newRow("lone low surrogate")
        << QString(QChar(u'a')) + QChar(0xDC00) + QChar(u'b') << QByteArray("a?b");
    QTest::newRow("high surrogate at the end")
        << QString(QChar(u'a')) + QChar(0xD83D) << QByteArray("a?");
    QTest::newRow("two high surrogates then a low one")
        << QString(QChar(0xD83D)) + QChar(0xD83D) + QChar(0xDE00) << QByteArray("??");
    QTest::newRow("replacement character") << QStringLiteral("\ufffd") << QByteArray("?");
}

void TestText::toWindows1252()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(velmora::toWindows1252(text), bytes);
}

void TestText::fromWindows1252_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("ASCII with CR LF") << QByteArray("a,b\r\nc") << QStringLiteral("a,b\r\nc");
    QTest::newRow("NUL") << QByteArray("a\0b", 3) << QString(QChar(u'a')) + QChar(0) + QChar(u'b');
    QTest::newRow("e acute") << QByteArray("\xe9") << QStringLiteral("\u00e9");
    QTest::newRow("euro") << QByteArray("\x80") << QStringLiteral("\u20ac");
    QTest::newRow("curly quotes") << QByteArray("\x93x\x94") << QStringLiteral("\u201cx\u201d");
    QTest::newRow("undefined bytes") << QByteArray("\x81\x8d\x8f\x90\x9d")
                                     << QStringLiteral("\u0081\u008d\u008f\u0090\u009d");
    QTest::newRow("top of Latin-1") << QByteArray("\xa0\xbf\xc0\xff")
                                    << QStringLiteral("\u00a0\u00bf\u00c0\u00ff");
}

void TestText::fromWindows1252()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(velmora::fromWindows1252(bytes), text);
}

void TestText::everyHighCharacter()
{
    for (const HighChar &c : highChars) {
        const QString text = QString::fromUtf16(c.text);
        QCOMPARE(text.size(), 1);
        QCOMPARE(velmora::toWindows1252(text), QByteArray(1, char(c.byte)));
        QCOMPARE(velmora::fromWindows1252(QByteArray(1, char(c.byte))), text);
    }
}

void TestText::everyByteRoundTrips()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = velmora::fromWindows1252(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(velmora::toWindows1252(text), all);
    // The bytes that are Latin-1 as well are the characters of their value.
    for (int b = 0; b < 256; ++b) {
        if (b < 0x80 || b >= 0xA0)
            QCOMPARE(text[b].unicode(), char16_t(b));
    }
}

void TestText::lineBreaks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("crLf");
    QTest::addColumn<QString>("lf");

    QTest::newRow("empty") << QString() << QString() << QString();
    QTest::newRow("no break") << QStringLiteral("abc") << QStringLiteral("abc") << QStringLiteral("abc");
    QTest::newRow("LF") << QStringLiteral("a\nb") << QStringLiteral("a\r\nb") << QStringLiteral("a\nb");
    QTest::newRow("CR") << QStringLiteral("a\rb") << QStringLiteral("a\r\nb") << QStringLiteral("a\nb");
    QTest::newRow("CR LF is one break")
        << QStringLiteral("a\r\nb") << QStringLiteral("a\r\nb") << QStringLiteral("a\nb");
    QTest::newRow("LF CR is two breaks")
        << QStringLiteral("a\n\rb") << QStringLiteral("a\r\n\r\nb") << QStringLiteral("a\n\nb");
    QTest::newRow("CR then CR LF")
        << QStringLiteral("\r\r\n") << QStringLiteral("\r\n\r\n") << QStringLiteral("\n\n");
    QTest::newRow("mixed, at both ends")
        << QStringLiteral("\nx\ry\r\nz\r") << QStringLiteral("\r\nx\r\ny\r\nz\r\n")
        << QStringLiteral("\nx\ny\nz\n");
    QTest::newRow("only breaks") << QStringLiteral("\r\n\n\r") << QStringLiteral("\r\n\r\n\r\n")
                                 << QStringLiteral("\n\n\n");
}

void TestText::lineBreaks()
{
    QFETCH(QString, text);
    QFETCH(QString, crLf);
    QFETCH(QString, lf);
    QCOMPARE(velmora::toCrLf(text), crLf);
    QCOMPARE(velmora::toLf(text), lf);
}

void TestText::writeNewOrReplace_data()
{
    QTest::addColumn<bool>("existing");
    QTest::addColumn<QByteArray>("oldBytes");
    QTest::addColumn<QByteArray>("newBytes");

    QTest::newRow("new file") << false << QByteArray() << QByteArray("\"a\",\"b\"\r\n\x80\xe9");
    QTest::newRow("new empty file") << false << QByteArray() << QByteArray();
    QTest::newRow("replace a longer file")
        << true << QByteArray(5000, 'x') << QByteArray("short\r\n");
    QTest::newRow("replace a shorter file") << true << QByteArray("old") << QByteArray(70000, 'n');
    QTest::newRow("replace with nothing") << true << QByteArray("old\r\n") << QByteArray();
}

void TestText::writeNewOrReplace()
{
    QFETCH(bool, existing);
    QFETCH(QByteArray, oldBytes);
    QFETCH(QByteArray, newBytes);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("out.txt"));
    if (existing)
        QVERIFY(writeFile(path, oldBytes));

    QString error = QStringLiteral("untouched");
    QVERIFY(velmora::writeFileAtomically(path, newBytes, &error));
    QCOMPARE(readAll(path), newBytes);
    QCOMPARE(entriesOf(dir.path()), QStringList{QStringLiteral("out.txt")});
}

void TestText::writeFails_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("folder in the file's place") << QStringLiteral("folder");
    QTest::newRow("folder does not exist") << QStringLiteral("missing folder");
    QTest::newRow("parent is a file") << QStringLiteral("parent is a file");
}

void TestText::writeFails()
{
    QFETCH(QString, fault);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString path;
    const QByteArray parentBytes("I am a file\r\n");
    if (fault == QLatin1String("folder")) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("out.txt")));
        path = dir.filePath(QStringLiteral("out.txt"));
    } else if (fault == QLatin1String("missing folder")) {
        path = dir.filePath(QStringLiteral("nowhere/out.txt"));
    } else {
        QVERIFY(writeFile(dir.filePath(QStringLiteral("parent")), parentBytes));
        path = dir.filePath(QStringLiteral("parent/out.txt"));
    }
    const QStringList before = entriesOf(dir.path());

    QString error;
    QVERIFY(!velmora::writeFileAtomically(path, QByteArray("new\r\n"), &error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
    QVERIFY(error.size() > QDir::toNativeSeparators(path).size() + 10);  // a reason as well

    // Nothing created, nothing changed.
    QCOMPARE(entriesOf(dir.path()), before);
    if (fault == QLatin1String("folder")) {
        QVERIFY(QFileInfo(path).isDir());
        QVERIFY(entriesOf(path).isEmpty());
    } else if (fault == QLatin1String("parent is a file")) {
        QCOMPARE(readAll(dir.filePath(QStringLiteral("parent"))), parentBytes);
    }
    // The error argument is optional.
    QVERIFY(!velmora::writeFileAtomically(path, QByteArray("new\r\n")));
}

void TestText::fullDiskKeepsOldFile_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("size");

    QTest::newRow("large write") << 1024 << 100000;
    // Small enough for a write buffer, so the failure comes only when the
    // bytes reach the disk.
    QTest::newRow("small write") << 16 << 45;
    QTest::newRow("nothing fits") << 0 << 10;
}

void TestText::fullDiskKeepsOldFile()
{
    QFETCH(int, limit);
    QFETCH(int, size);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("presets.txt"));
    const QByteArray oldBytes("\"old\",\"\",\"\",\"\",\"\",\"\"\r\n");
    QVERIFY(writeFile(path, oldBytes));

    bool written = true;
    QString error;
    {
        FileSizeLimit low{rlim_t(limit)};
        QVERIFY(low.ok());
        written = velmora::writeFileAtomically(path, QByteArray(size, 'z'), &error);
    }
    QVERIFY(!written);
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
    QCOMPARE(readAll(path), oldBytes);
    QCOMPARE(entriesOf(dir.path()), QStringList{QStringLiteral("presets.txt")});

    // With the limit gone, the same write goes through.
    QVERIFY(velmora::writeFileAtomically(path, QByteArray(size, 'z')));
    QCOMPARE(readAll(path), QByteArray(size, 'z'));
}

QTEST_APPLESS_MAIN(TestText)
#include "tst_text.moc"
