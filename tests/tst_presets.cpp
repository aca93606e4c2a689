// presets.txt: the reading rules, the record line, loading and saving.

#include "core/presets/PresetsFile.h"
#include "core/text/Win1252.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include "FileTools.h"

#include <sys/resource.h>
#include <sys/stat.h>

using velmora::PresetRecord;

using namespace velmora::test;

namespace {

QStringList valuesOf(const PresetRecord &r)
{
    return {r.companyName, r.webSite, r.languages, r.neededFiles, r.authorName, r.authorEMail};
}

QStringList six(const QString &a = {}, const QString &b = {}, const QString &c = {},
                const QString &d = {}, const QString &e = {}, const QString &f = {})
{
    return {a, b, c, d, e, f};
}

PresetRecord recordOf(const QStringList &v)
{
    return PresetRecord{v[0], v[1], v[2], v[3], v[4], v[5]};
}

}  // namespace

class TestPresets : public QObject {
    Q_OBJECT

private slots:
    void readingRules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        const QStringList af = six("a", "b", "c", "d", "e", "f");

        QTest::newRow("0 bytes") << QString() << six();
        QTest::newRow("commas and blanks inside quotes kept, no final line end")
            << "\"Acme, Inc.\",\"  w \",\"English, German\",\"d\",\" \",\"f\""
            << six("Acme, Inc.", "  w ", "English, German", "d", " ", "f");
        QTest::newRow("line breaks inside a quoted value")
            << "\"\r\",\"\n\",\"English\r\nGerman\",\"x\ry\nz\r\n\",\"e\",\"f\"\r\n"
            << six("\r", "\n", "English\r\nGerman", "x\ry\nz\r\n", "e", "f");
        QTest::newRow("last record wins; blank lines before, between and after")
            << QStringLiteral("\r\n  \r\n\"1\",\"2\",\"3\",\"4\",\"5\",\"6\"\r\n\r\n"
                              "\"a\",\"b\",\"c\",\"d\",\"e\",\"f\"\r\n\r\n   \r\n\n\r")
            << af;
        QTest::newRow("blanks before a value and text after its closing quote passed over")
            << "  \"a\" junk,   \"b\"x\r\n\"c\",\"d\"  ,\"e\",\" f\"\r\n"
            << six("a", "b", "c", "d", "e", " f");
        QTest::newRow("unquoted values trimmed, mixed with quoted ones")
            << "  Acme Inc  ,\"www\",English   ,,Jane Doe ,j@x   \r\n"
            << six("Acme Inc", "www", "English", "", "Jane Doe", "j@x");
        QTest::newRow("unquoted values over CR, LF and CR LF")
            << "a,b\rc\nd\r\ne,f\r\n" << af;
        QTest::newRow("quoted values over CR, LF and CR LF")
            << "\"a\"\r\n\"b\"\r\n\"c\",\"d\"\n\"e\"\r\"f\"\r\n" << af;
        QTest::newRow("second record cut short replaces all six")
            << "\"1\",\"2\",\"3\",\"4\",\"5\",\"6\"\r\n\"a\",\"b\"" << six("a", "b");
        QTest::newRow("seven values: the seventh starts a cut-short record")
            << "\"a\",\"b\",\"c\",\"d\",\"e\",\"f\",\"g\"\r\n" << six("g");
        QTest::newRow("unmatched quote takes the rest")
            << "\"a\",\"b\",\"c\",\"d\",\"e\",\"f and more,\r\nlines\r\n"
            << six("a", "b", "c", "d", "e", "f and more,\r\nlines\r\n");
    }

    void readingRules()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QCOMPARE(valuesOf(velmora::parsePresets(text)), expected);
    }

    void readingIsLinear_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("which");      // the value to look at
        QTest::addColumn<qsizetype>("size");  // its length

        const qsizetype big = 20 * 1000 * 1000;
        QTest::newRow("20 MB unquoted value, 20 MB of blanks after it")
            << QString(big, u'x') + QString(big, u' ') + ",b,c,d,e,f\r\n" << 0 << big;
        QTest::newRow("20 MB quoted value")
            << "\"a\",\"" + QString(big, u',') + "\",\"c\",\"d\",\"e\",\"f\"\r\n" << 1 << big;
        QTest::newRow("20 MB after an unmatched quote") << "\"a\",\"b\",\"" + QString(big, u'y') << 2 << big;
        QTest::newRow("value of 10,000 line breaks")
            << "\"a\",\"b\",\"c\",\"" + QString("\r\n").repeated(10000) + "\",\"e\",\"f\"\r\n" << 3 << qsizetype(20000);
        QTest::newRow("100,000 records, blank lines after each")
            << QStringLiteral("\"a\",\"b\",\"c\",\"d\",\"e\",\"ff\"\r\n\r\n  \n\r").repeated(100000) << 5
            << qsizetype(2);
    }

    void readingIsLinear()
    {
        QFETCH(QString, text);
        QFETCH(int, which);
        QFETCH(qsizetype, size);

        QElapsedTimer timer;
        timer.start();
        const QStringList values = valuesOf(velmora::parsePresets(text));
        // Generous for a debug build; a reader that goes back over the text
        // takes hours here.
        QVERIFY2(timer.elapsed() < 30000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(values[which].size(), size);
    }

    void readPresets_data()
    {
        QTest::addColumn<QByteArray>("bytes");  // "<fifo>": a FIFO in the file's place
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("FIFO in its place") << QByteArray("<fifo>") << six();
        QTest::newRow("Windows-1252 bytes") << QByteArray("\"Caf\xe9 \x80\x93\",\"\x81\r\n\"")
                                            << six(QStringLiteral("Caf\u00e9 \u20ac\u201c"), QStringLiteral("\u0081\r\n"));
        QTest::newRow("binary garbage") << QByteArray("\x00\x01\xff,\x80\x00\n\x90", 8)
                                        << six(QString(QChar(0)) + QChar(1) + QChar(0xff),
                                               QString(QChar(0x20ac)) + QChar(0), QString(QChar(0x90)));
    }

    void readPresets()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);

        QTemporaryDir dir;
        const QString path = dir.filePath("presets.txt");
        if (bytes == "<fifo>")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);  // opening it would block
        else
            QVERIFY(writeFile(path, bytes));
        QCOMPARE(valuesOf(velmora::readPresetsFile(path)), expected);
    }

    // At the size limit a file is read; one byte more and it holds no record,
    // and it is left as it is. Far over the limit, its size is looked up:
    // the file is not read.
    void sizeLimit()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("presets.txt");
        const QByteArray head("\"Co\",\"web\",\"En\",\""), tail("\",\"Me\",\"m@x\"\r\n");
        const qsizetype needed = velmora::maxPresetsFileBytes - head.size() - tail.size();
        QByteArray bytes = head + QByteArray(needed, 'f') + tail;
        QVERIFY(writeFile(path, bytes));
        QCOMPARE(valuesOf(velmora::readPresetsFile(path)), six("Co", "web", "En", QString(needed, u'f'), "Me", "m@x"));

        bytes.insert(head.size(), 'f');
        QVERIFY(writeFile(path, bytes));
        QCOMPARE(valuesOf(velmora::readPresetsFile(path)), six());
        QCOMPARE(readAll(path), bytes);

        QVERIFY(QFile::resize(path, qint64(256) << 20));  // sparse
        rusage before{}, after{};
        getrusage(RUSAGE_SELF, &before);
        QCOMPARE(valuesOf(velmora::readPresetsFile(path)), six());
        getrusage(RUSAGE_SELF, &after);
        // ru_maxrss is in KiB; reading the file would add at least 256 MiB.
        QVERIFY2(after.ru_maxrss - before.ru_maxrss < 32 * 1024,
                 qPrintable(QString::number(after.ru_maxrss - before.ru_maxrss)));
    }

    void recordLine_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QByteArray>("line");

        QTest::newRow("commas, blanks and line breaks kept")
            << six("Acme, Inc.", "  w ", "English\r\nGerman", "a.dll\r\nb, c", "\r", "\n")
            << QByteArray("\"Acme, Inc.\",\"  w \",\"English\r\nGerman\",\"a.dll\r\nb, c\",\"\r\",\"\n\"\r\n");
        QTest::newRow("Windows-1252 and other characters")
            << six(QStringLiteral("Caf\u00e9"), QStringLiteral("\u20ac"), QStringLiteral("\u0141"),
                   QStringLiteral("\U0001F600"), QStringLiteral("\u201cx\u201d"), QString())
            << QByteArray("\"Caf\xe9\",\"\x80\",\"?\",\"?\",\"\x93x\x94\",\"\"\r\n");
    }

    void recordLine()
    {
        QFETCH(QStringList, values);
        QFETCH(QByteArray, line);
        QCOMPARE(velmora::presetRecordLine(recordOf(values)), line);
    }

    // Any six values without a double quote come back unchanged from their line,
    // alone and after any number of other records.
    void recordLineRoundTrips()
    {
        const QString alphabet = QStringLiteral("aZ7 ,\r\n\t'.@\u00e9\u00ff\u0081\u20ac\u201c\u201d\u0160");
        QRandomGenerator random(20240611);
        QString all;
        for (int n = 0; n < 200; ++n) {
            QStringList values;
            for (int v = 0; v < 6; ++v) {
                QString value;
                const int length = random.bounded(4) == 0 ? 0 : random.bounded(1, 16);
                for (int i = 0; i < length; ++i)
                    value += alphabet[random.bounded(int(alphabet.size()))];
                values << value;
            }
            const QString text = velmora::fromWindows1252(velmora::presetRecordLine(recordOf(values)));
            QCOMPARE(valuesOf(velmora::parsePresets(text)), values);
            all += text;
            QCOMPARE(valuesOf(velmora::parsePresets(all)), values);
        }
    }
};

QTEST_APPLESS_MAIN(TestPresets)
#include "tst_presets.moc"
