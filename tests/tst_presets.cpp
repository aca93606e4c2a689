// presets.txt: the reading rules, the record line, loading and saving.

#include "presets/PresetsFile.h"
#include "platform/Win1252.h"
#include "support/ScriptedPlatform.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using velmora::PresetRecord;
using velmora::test::ScriptedPlatform;

namespace {

QStringList valuesOf(const PresetRecord &r)
{
    return {r.companyName, r.webSite, r.languages, r.neededFiles, r.authorName, r.authorEMail};
}

PresetRecord recordOf(const QStringList &v)
{
    Q_ASSERT(v.size() == 6);
    return PresetRecord{v[0], v[1], v[2], v[3], v[4], v[5]};
}

QStringList six(const QString &a = {}, const QString &b = {}, const QString &c = {},
                const QString &d = {}, const QString &e = {}, const QString &f = {})
{
    return {a, b, c, d, e, f};
}

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

const QString contactMessage = QStringLiteral("The needed file wasn't found!\r\n"
                                              "Please contact the author at:\r\n"
                                              "   " VELMORA_CONTACT_EMAIL);
const QByteArray oldRecordLine("\"Old Co\",\"old.example\",\"English\",\"a.dll\",\"Old\",\"o@x\"\r\n");

}  // namespace

class TestPresets : public QObject {
    Q_OBJECT

private slots:
    void readingRules_data();
    void readingRules();
    void readingIsLinear_data();
    void readingIsLinear();
    void presetsPath_data();
    void presetsPath();
    void fileExists();
    void readPresets_data();
    void readPresets();
    void readPresetsFromFifo();
    void recordLine_data();
    void recordLine();
    void recordLineRoundTrips();
    void saveWritesAfterTheBox();
    void saveWithoutFile();
    void saveRefusesDoubleQuote_data();
    void saveRefusesDoubleQuote();
    void saveFailure_data();
    void saveFailure();
};

void TestPresets::readingRules_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("0 bytes") << QString() << six();
    QTest::newRow("one record")
        << QStringLiteral("\"Acme\",\"www.acme.example\",\"English\",\"run.dll\",\"Jane\",\"j@acme.example\"\r\n")
        << six("Acme", "www.acme.example", "English", "run.dll", "Jane", "j@acme.example");
    QTest::newRow("six empty values") << QStringLiteral("\"\",\"\",\"\",\"\",\"\",\"\"\r\n") << six();
    QTest::newRow("one record, no line end")
        << QStringLiteral("\"a\",\"b\",\"c\",\"d\",\"e\",\"f\"") << six("a", "b", "c", "d", "e", "f");
    QTest::newRow("three records: the third wins")
        << QStringLiteral("\"1\",\"2\",\"3\",\"4\",\"5\",\"6\"\r\n"
                          "\"a\",\"b\",\"c\",\"d\",\"e\",\"f\"\r\n"
                          "\"u\",\"v\",\"w\",\"x\",\"y\",\"z\"\r\n")
        << six("u", "v", "w", "x", "y", "z");
    QTest::newRow("comma inside a quoted value")
        << QStringLiteral("\"Acme, Inc.\",\"b\",\"English, German\",\"d\",\"e\",\"f\"\r\n")
        << six("Acme, Inc.", "b", "English, German", "d", "e", "f");
    QTest::newRow("CR LF inside a value")
        << QStringLiteral("\"a\",\"b\",\"English\r\nGerman\",\"one.dll\r\ntwo.dll\r\n\",\"e\",\"f\"\r\n")
        << six("a", "b", "English\r\nGerman", "one.dll\r\ntwo.dll\r\n", "e", "f");
    QTest::newRow("lone CR and LF inside a value")
        << QStringLiteral("\"\r\",\"\n\",\"x\ry\nz\",\"d\",\"e\",\"f\"\r\n")
        << six("\r", "\n", "x\ry\nz", "d", "e", "f");
    QTest::newRow("blank lines at the end")
        << QStringLiteral("\"a\",\"b\",\"c\",\"d\",\"e\",\"f\"\r\n\r\n\r\n   \r\n\n\r")
        << six("a", "b", "c", "d", "e", "f");
    QTest::newRow("blank lines before and between records")
        << QStringLiteral("\r\n  \r\n\"1\",\"2\",\"3\",\"4\",\"5\",\"6\"\r\n\r\n"
                          "\"a\",\"b\",\"c\",\"d\",\"e\",\"f\"\r\n")
        << six("a", "b", "c", "d", "e", "f");
    QTest::newRow("spaces before values")
        << QStringLiteral("  \"a\",   \"b\", \"c\",\"d\",    \"e\",\" f\"\r\n")
        << six("a", "b", "c", "d", "e", " f");
    QTest::newRow("spaces inside quotes are kept")
        << QStringLiteral("\"  a  \",\" \",\"c \",\"d\",\"e\",\"f\"\r\n")
        << six("  a  ", " ", "c ", "d", "e", "f");
    QTest::newRow("text after a closing quote is passed over")
        << QStringLiteral("\"a\" junk,\"b\"x\r\n\"c\",\"d\"  ,\"e\",\"f\"\r\n")
        << six("a", "b", "c", "d", "e", "f");
    QTest::newRow("unquoted values")
        << QStringLiteral("Acme,www.acme.example,English,run.dll,Jane,j@x\r\n")
        << six("Acme", "www.acme.example", "English", "run.dll", "Jane", "j@x");
    QTest::newRow("unquoted values with blanks around them")
        << QStringLiteral("  Acme Inc  ,  www ,English   ,run.dll,Jane Doe ,j@x   \r\n")
        << six("Acme Inc", "www", "English", "run.dll", "Jane Doe", "j@x");
    QTest::newRow("unquoted empty values") << QStringLiteral(",,,,,\r\n") << six();
    QTest::newRow("quoted and unquoted mixed")
        << QStringLiteral("\"a\",b,\"c\",d,\"e\",f\r\n") << six("a", "b", "c", "d", "e", "f");
    QTest::newRow("record cut short")
        << QStringLiteral("\"a\",\"b\",\"c\"\r\n") << six("a", "b", "c");
    QTest::newRow("second record cut short replaces all six")
        << QStringLiteral("\"1\",\"2\",\"3\",\"4\",\"5\",\"6\"\r\n\"a\",\"b\"")
        << six("a", "b");
    QTest::newRow("unmatched quote takes the rest")
        << QStringLiteral("\"a\",\"b\",\"c\",\"d\",\"e\",\"f and more,\r\nlines\r\n")
        << six("a", "b", "c", "d", "e", "f and more,\r\nlines\r\n");
    QTest::newRow("a quote in the middle ends the value, the rest to the comma goes")
        << QStringLiteral("\"a\",\"b,\"c d\r\n\"e\"") << six("a", "b,", "e");
    QTest::newRow("unmatched quote in the second value")
        << QStringLiteral("\"a\",\"b,c\r\nd") << six("a", "b,c\r\nd");
    QTest::newRow("CR-only line ends")
        << QStringLiteral("\"1\",\"2\",\"3\",\"4\",\"5\",\"6\"\r\"a\",\"b\",\"c\",\"d\",\"e\",\"f\"\r")
        << six("a", "b", "c", "d", "e", "f");
    QTest::newRow("LF-only line ends")
        << QStringLiteral("\"1\",\"2\",\"3\",\"4\",\"5\",\"6\"\n\"a\",\"b\",\"c\",\"d\",\"e\",\"f\"\n")
        << six("a", "b", "c", "d", "e", "f");
    QTest::newRow("unquoted values over several lines")
        << QStringLiteral("a,b\rc\nd\r\ne,f\r\n") << six("a", "b", "c", "d", "e", "f");
    QTest::newRow("a record is the next six values, wherever lines end")
        << QStringLiteral("\"a\"\r\n\"b\"\r\n\"c\",\"d\"\n\"e\"\r\"f\"\r\n")
        << six("a", "b", "c", "d", "e", "f");
    QTest::newRow("seven values: the seventh starts a cut-short record")
        << QStringLiteral("\"a\",\"b\",\"c\",\"d\",\"e\",\"f\",\"g\"\r\n") << six("g");
}

void TestPresets::readingRules()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QCOMPARE(valuesOf(velmora::parsePresets(text)), expected);
}

void TestPresets::readingIsLinear_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("which");      // the value to look at
    QTest::addColumn<qsizetype>("size");  // its length

    const qsizetype big = 20 * 1000 * 1000;
    QTest::newRow("20 MB unquoted value")
        << QString(big, u'x') + QStringLiteral(",b,c,d,e,f\r\n") << 0 << big;
    QTest::newRow("20 MB unquoted value of blanks after a letter")
        << QStringLiteral("a,x") + QString(big, u' ') + QStringLiteral(",c,d,e,f\r\n") << 1
        << qsizetype(1);
    QTest::newRow("20 MB quoted value")
        << QStringLiteral("\"a\",\"") + QString(big, u',') + QStringLiteral("\",\"c\",\"d\",\"e\",\"f\"\r\n")
        << 1 << big;
    QTest::newRow("20 MB after an unmatched quote")
        << QStringLiteral("\"a\",\"b\",\"") + QString(big, u'y') << 2 << big;
    QString breaks;
    for (int i = 0; i < 10000; ++i)
        breaks += QStringLiteral("\r\n");
    QTest::newRow("value of 10,000 line breaks")
        << QStringLiteral("\"a\",\"b\",\"c\",\"") + breaks + QStringLiteral("\",\"e\",\"f\"\r\n") << 3
        << qsizetype(20000);
    QTest::newRow("1,000,000 blank lines at the end")
        << QStringLiteral("\"a\",\"b\",\"c\",\"d\",\"e\",\"f\"\r\n") + QString(1000000, u'\n') << 5
        << qsizetype(1);
    QString records;
    for (int i = 0; i < 100000; ++i)
        records += QStringLiteral("\"a\",\"b\",\"c\",\"d\",\"e\",\"%1\"\r\n").arg(i);
    QTest::newRow("100,000 records") << records << 5 << qsizetype(5);
}

void TestPresets::readingIsLinear()
{
    QFETCH(QString, text);
    QFETCH(int, which);
    QFETCH(qsizetype, size);

    QElapsedTimer timer;
    timer.start();
    const QStringList values = valuesOf(velmora::parsePresets(text));
    // Generous for a debug build on a slow machine; a reader that goes back
    // over the text takes hours here.
    QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(values[which].size(), size);
}

void TestPresets::presetsPath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("path");

    QTest::newRow("unix folder") << QStringLiteral("/opt/velmora") << QStringLiteral("/opt/velmora/presets.txt");
    QTest::newRow("unix root") << QStringLiteral("/") << QStringLiteral("/presets.txt");
    QTest::newRow("windows folder") << QStringLiteral("C:\\Tools") << QStringLiteral("C:\\Tools\\presets.txt");
    QTest::newRow("windows root") << QStringLiteral("C:\\") << QStringLiteral("C:\\presets.txt");
    QTest::newRow("Qt style windows folder")
        << QStringLiteral("C:/Program Files/Velmora") << QStringLiteral("C:/Program Files/Velmora/presets.txt");
    QTest::newRow("Qt style windows root") << QStringLiteral("C:/") << QStringLiteral("C:/presets.txt");
    QTest::newRow("unix folder with a backslash in a name")
        << QStringLiteral("/home/a\\b") << QStringLiteral("/home/a\\b/presets.txt");
}

void TestPresets::presetsPath()
{
    QFETCH(QString, folder);
    QFETCH(QString, path);
    QCOMPARE(velmora::presetsPath(folder), path);
}

void TestPresets::fileExists()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("presets.txt"));
    QVERIFY(!velmora::FileExists(file));
    QVERIFY(writeFile(file, QByteArray()));
    QVERIFY(velmora::FileExists(file));
    QVERIFY(!velmora::FileExists(dir.path()));
    QVERIFY(!velmora::FileExists(QString()));
    QVERIFY(!velmora::FileExists(dir.filePath(QStringLiteral("presets.txt/x"))));
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QVERIFY(!velmora::FileExists(fifo));
}

void TestPresets::readPresets_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("missing file") << QStringLiteral("none") << QByteArray() << six();
    QTest::newRow("folder in its place") << QStringLiteral("folder") << QByteArray() << six();
    QTest::newRow("0 bytes") << QStringLiteral("file") << QByteArray() << six();
    QTest::newRow("the installed file")
        << QStringLiteral("file") << QByteArray("\"\",\"\",\"\",\"\",\"\",\"\"\r\n") << six();
    QTest::newRow("Windows-1252 bytes")
        << QStringLiteral("file")
        << QByteArray("\"Caf\xe9 \x80\",\"\x93w\x94\",\"Fran\xe7" "ais\r\nDeutsch\",\"a.dll, b.dll\",\"J\xfcrgen\",\"\x81\"\r\n")
        << six(QStringLiteral("Caf\u00e9 \u20ac"), QStringLiteral("\u201cw\u201d"),
               QStringLiteral("Fran\u00e7ais\r\nDeutsch"), QStringLiteral("a.dll, b.dll"),
               QStringLiteral("J\u00fcrgen"), QStringLiteral("\u0081"));
}

void TestPresets::readPresets()
{
    QFETCH(QString, setup);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("presets.txt"));
    if (setup == QLatin1String("folder"))
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("presets.txt")));
    else if (setup == QLatin1String("file"))
        QVERIFY(writeFile(path, bytes));

    QCOMPARE(valuesOf(velmora::ReadPresets(dir.path())), expected);
}

void TestPresets::readPresetsFromFifo()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("presets.txt"));
    QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    QElapsedTimer timer;
    timer.start();
    // Opening a pipe with no writer would block here for ever.
    QCOMPARE(valuesOf(velmora::ReadPresets(dir.path())), six());
    QVERIFY(timer.elapsed() < 2000);
}

void TestPresets::recordLine_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("six empty values") << six() << QByteArray("\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
    QTest::newRow("commas and CR LF inside values")
        << six("Acme, Inc.", "www.acme.example", "English\r\nGerman", "a.dll\r\nb.dll, c.dll",
               "Jane Doe", "jane@acme.example")
        << QByteArray("\"Acme, Inc.\",\"www.acme.example\",\"English\r\nGerman\","
                      "\"a.dll\r\nb.dll, c.dll\",\"Jane Doe\",\"jane@acme.example\"\r\n");
    QTest::newRow("values unchanged, blanks and lone breaks kept")
        << six("  a", "b  ", "\r", "\n", " ", "\r\n")
        << QByteArray("\"  a\",\"b  \",\"\r\",\"\n\",\" \",\"\r\n\"\r\n");
    QTest::newRow("Windows-1252 and other characters")
        << six(QStringLiteral("Caf\u00e9"), QStringLiteral("\u20ac"), QStringLiteral("\u0141"),
               QStringLiteral("\U0001F600"), QStringLiteral("\u201cx\u201d"), QString())
        << QByteArray("\"Caf\xe9\",\"\x80\",\"?\",\"?\",\"\x93x\x94\",\"\"\r\n");
}

void TestPresets::recordLine()
{
    QFETCH(QStringList, values);
    QFETCH(QByteArray, line);
    const QByteArray written = velmora::presetRecordLine(recordOf(values));
    QCOMPARE(written, line);
    if (values == six())
        QCOMPARE(written.size(), 17 + 2);
}

// Any six values without a double quote come back unchanged from their line.
void TestPresets::recordLineRoundTrips()
{
    const QStringList pieces = {
        QStringLiteral("a"),    QStringLiteral("Z"),      QStringLiteral("7"),
        QStringLiteral(" "),    QStringLiteral("  "),     QStringLiteral(","),
        QStringLiteral("\r"),   QStringLiteral("\n"),     QStringLiteral("\r\n"),
        QStringLiteral("\t"),   QStringLiteral("'"),      QStringLiteral("\u00e9"),
        QStringLiteral("\u20ac"), QStringLiteral("\u201c"), QStringLiteral("\u201d"),
        QStringLiteral("\u0160"), QStringLiteral("\u00ff"), QStringLiteral("\u0081"),
        QStringLiteral("www.x.example"), QStringLiteral("@"),
    };
    QRandomGenerator random(20240611);
    QString all;
    for (int n = 0; n < 200; ++n) {
        QStringList values;
        for (int v = 0; v < 6; ++v) {
            QString value;
            const int length = random.bounded(4) == 0 ? 0 : random.bounded(1, 12);
            for (int i = 0; i < length; ++i)
                value += pieces[random.bounded(int(pieces.size()))];
            values << value;
        }
        const QByteArray line = velmora::presetRecordLine(recordOf(values));
        const QString text = velmora::fromWindows1252(line);
        QCOMPARE(valuesOf(velmora::parsePresets(text)), values);
        all += text;
        // After any number of records, the last one is read.
        QCOMPARE(valuesOf(velmora::parsePresets(all)), values);
    }
}

void TestPresets::saveWritesAfterTheBox()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("presets.txt"));
    QVERIFY(writeFile(path, oldRecordLine));

    ScriptedPlatform platform(dir.path());
    QList<QByteArray> bytesWhileShown;
    platform.whileMessageShown = [&](const ScriptedPlatform::Call &) {
        bytesWhileShown << readAll(path);
    };
    velmora::savePresets(platform, nullptr,
                         PresetRecord{QStringLiteral("Acme, Inc."), QStringLiteral("www.acme.example"),
                                      QStringLiteral("English\r\nGerman"), QString(),
                                      QStringLiteral("Jane \u00c9"), QStringLiteral("jane@acme.example")});

    const auto messages = platform.messages();
    QCOMPARE(messages.size(), std::size_t(1));
    QCOMPARE(messages[0].text, QStringLiteral("The entered data is being saved!"));
    QCOMPARE(messages[0].title, QStringLiteral("Program Constants"));
    QCOMPARE(messages[0].style, 4144);
    QCOMPARE(bytesWhileShown, QList<QByteArray>{oldRecordLine});
    QCOMPARE(readAll(path), QByteArray("\"Acme, Inc.\",\"www.acme.example\",\"English\r\nGerman\",\"\","
                                       "\"Jane \xc9\",\"jane@acme.example\"\r\n"));
    QCOMPARE(entriesOf(dir.path()), QStringList{QStringLiteral("presets.txt")});

    const auto checks = platform.callsOf(ScriptedPlatform::Kind::FileExists);
    QCOMPARE(checks.size(), std::size_t(1));
    QCOMPARE(checks[0].path, path);
    QCOMPARE(platform.calls.front().kind, ScriptedPlatform::Kind::FileExists);

    // A second save leaves only the second record.
    velmora::savePresets(platform, nullptr, PresetRecord());
    QCOMPARE(readAll(path), QByteArray("\"\",\"\",\"\",\"\",\"\",\"\"\r\n"));
    QCOMPARE(platform.messages().size(), std::size_t(2));
}

void TestPresets::saveWithoutFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    ScriptedPlatform platform(dir.path());
    velmora::savePresets(platform, nullptr,
                         PresetRecord{QStringLiteral("Acme"), {}, {}, {}, {}, {}});

    const auto messages = platform.messages();
    QCOMPARE(messages.size(), std::size_t(1));
    QCOMPARE(messages[0].title, QStringLiteral("File Error"));
    QCOMPARE(messages[0].text, contactMessage);
    QCOMPARE(messages[0].style, 4144);
    QVERIFY(entriesOf(dir.path()).isEmpty());

    // A folder in the file's place is no file either.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("presets.txt")));
    velmora::savePresets(platform, nullptr, PresetRecord());
    QCOMPARE(platform.messages().size(), std::size_t(2));
    QCOMPARE(platform.messages()[1].text, contactMessage);
    QVERIFY(entriesOf(dir.filePath(QStringLiteral("presets.txt"))).isEmpty());
}

void TestPresets::saveRefusesDoubleQuote_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QStringList>("named");

    QTest::newRow("company name") << six("Acme \"Best\"") << QStringList{"company name"};
    QTest::newRow("web site") << six({}, "\"") << QStringList{"web site"};
    QTest::newRow("languages") << six({}, {}, "English\r\n\"German\"") << QStringList{"language(s)"};
    QTest::newRow("needed files") << six({}, {}, {}, "a\"b") << QStringList{"needed files"};
    QTest::newRow("author's name") << six({}, {}, {}, {}, "\"Jo\"") << QStringList{"author's name"};
    QTest::newRow("author's e-mail") << six("x", "y", "z", "w", "v", "j\"@x")
                                     << QStringList{"author's e-mail"};
    QTest::newRow("two values") << six("\"", "ok", "ok", "ok", "ok", "\"")
                                << QStringList{"company name", "author's e-mail"};
}

void TestPresets::saveRefusesDoubleQuote()
{
    QFETCH(QStringList, values);
    QFETCH(QStringList, named);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("presets.txt"));
    QVERIFY(writeFile(path, oldRecordLine));

    ScriptedPlatform platform(dir.path());
    velmora::savePresets(platform, nullptr, recordOf(values));

    const auto messages = platform.messages();
    QCOMPARE(messages.size(), std::size_t(1));
    QCOMPARE(messages[0].title, QStringLiteral("Program Constants"));
    QCOMPARE(messages[0].style, 4144);
    const QString text = messages[0].text;
    for (const QString &name : named)
        QVERIFY2(text.contains(name), qPrintable(text));
    // Only the values that hold one are named.
    const QStringList allNames = {"company name", "web site", "language(s)", "needed files",
                                  "author's name", "author's e-mail"};
    for (const QString &name : allNames) {
        if (!named.contains(name))
            QVERIFY2(!text.contains(name), qPrintable(text));
    }
    QVERIFY2(text.contains(QStringLiteral("double quote")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("presets.txt")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("remove")), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("being saved")));
    QCOMPARE(readAll(path), oldRecordLine);
    QCOMPARE(entriesOf(dir.path()), QStringList{QStringLiteral("presets.txt")});
}

void TestPresets::saveFailure_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("full disk") << QStringLiteral("full disk");
    QTest::newRow("file replaced by a folder while the box is shown") << QStringLiteral("folder");
    QTest::newRow("file removed while the box is shown") << QStringLiteral("removed");
}

void TestPresets::saveFailure()
{
    QFETCH(QString, fault);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("presets.txt"));
    QVERIFY(writeFile(path, oldRecordLine));

    ScriptedPlatform platform(dir.path());
    rlimit oldLimit{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &oldLimit) == 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    platform.whileMessageShown = [&](const ScriptedPlatform::Call &call) {
        if (!call.text.contains(QStringLiteral("being saved")))
            return;
        if (fault == QLatin1String("full disk")) {
            rlimit low = oldLimit;
            low.rlim_cur = 16;  // fewer bytes than the record line
            setrlimit(RLIMIT_FSIZE, &low);
        } else {
            QFile::remove(path);
            if (fault == QLatin1String("folder"))
                QDir(dir.path()).mkdir(QStringLiteral("presets.txt"));
        }
    };
    velmora::savePresets(platform, nullptr,
                         PresetRecord{QStringLiteral("New company"), QStringLiteral("new.example"),
                                      {}, {}, {}, {}});
    setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, oldHandler);

    const auto messages = platform.messages();
    QCOMPARE(messages.size(), std::size_t(2));
    QCOMPARE(messages[0].text, QStringLiteral("The entered data is being saved!"));
    QCOMPARE(messages[1].title, QStringLiteral("File Error"));
    QCOMPARE(messages[1].style, 4144);
    QVERIFY2(messages[1].text.contains(QStringLiteral("could not be saved")), qPrintable(messages[1].text));
    QVERIFY2(messages[1].text.contains(QDir::toNativeSeparators(path)), qPrintable(messages[1].text));
    QVERIFY(messages[1].text != contactMessage);

    if (fault == QLatin1String("full disk")) {
        QCOMPARE(readAll(path), oldRecordLine);
        QCOMPARE(entriesOf(dir.path()), QStringList{QStringLiteral("presets.txt")});
    } else if (fault == QLatin1String("folder")) {
        QVERIFY(QFileInfo(path).isDir());
        QVERIFY(entriesOf(path).isEmpty());
        QCOMPARE(entriesOf(dir.path()), QStringList{QStringLiteral("presets.txt")});
    } else {
        QVERIFY(entriesOf(dir.path()).isEmpty());  // not created anew
    }
}

QTEST_APPLESS_MAIN(TestPresets)
#include "tst_presets.moc"
