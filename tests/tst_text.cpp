// Text without files: Windows-1252, line breaks, the reading rules and the
// record line of presets.txt, and the one rule that puts a file beside the
// program.

#include "core/help/HelpPath.h"
#include "core/presets/PresetsFile.h"
#include "core/text/BoundedFile.h"
#include "core/text/FilePath.h"
#include "core/text/LineBreaks.h"
#include "core/text/Win1252.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace velmora;

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

}  // namespace

class TestText : public QObject {
    Q_OBJECT

private slots:
    void windows1252_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("bothWays");

        QTest::newRow("empty") << QString() << QByteArray() << true;
        // Latin-1 but for 0x80..0x9F, where the five bytes Windows-1252
        // leaves undefined keep the C1 control of their value.
        const QString high = QStringLiteral("€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008dŽ\u008f\u0090‘’“”•–—˜™š›œ\u009džŸ");
        QByteArray every;
        for (int byte = 0; byte < 256; ++byte)
            every += char(byte);
        QTest::newRow("every byte, in order") << QString::fromLatin1(every).replace(0x80, 32, high) << every << true;
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
        QCOMPARE(toWindows1252(text), bytes);
        if (bothWays)
            QCOMPARE(fromWindows1252(bytes), text);
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
        QCOMPARE(toCrLf(text), crLf);
        QCOMPARE(toLf(text), lf);
        QCOMPARE(toOneLine(text), oneLine);
    }

    // The reading rules of presets.txt, for what other hands may have put
    // in it. (Quoted values with commas, blanks and line breaks of every
    // kind: presetsRecordLineRoundTrips.)
    void presetsReadingRules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        const QStringList af = six("a", "b", "c", "d", "e", "f");

        QTest::newRow("0 bytes") << QString() << six();
        QTest::newRow("last record wins; blank lines before, between and after")
            << QStringLiteral("\r\n  \r\n\"1\",\"2\",\"3\",\"4\",\"5\",\"6\"\r\n\r\n"
                              "\"a\",\"b\",\"c\",\"d\",\"e\",\"f\"\r\n\r\n   \r\n\n\r")
            << af;
        QTest::newRow("blanks before a value and text after its closing quote passed over")
            << "  \"a\" junk,   \"b\"x\r\n\"c\",\"d\"  ,\"e\",\" f\"\r\n"
            << six("a", "b", "c", "d", "e", " f");
        QTest::newRow("unquoted values trimmed, mixed with quoted ones")
            << "  Acme Inc  ,  ,\"English\"   ,,Jane Doe ,j@x   \r\n"
            << six("Acme Inc", "", "English", "", "Jane Doe", "j@x");
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
        // Read in one pass (the suite's time-out is the bound; a reader that
        // goes back over the text takes hours here): values of 20 MB,
        // unquoted with 20 MB of blanks after it, quoted, and after an
        // unmatched quote; a value of 10,000 line breaks; 100,000 records
        // with blank lines after each.
        const qsizetype big = 20 * 1000 * 1000;
        QTest::newRow("huge values, many records")
            << QString(big, u'x') + QString(big, u' ') + ",b,c,d,e,f\r\n"
                   + "\"a\",\"" + QString(big, u',') + "\",\"c\",\"d\",\"e\",\"f\"\r\n"
                   + "\"a\",\"b\",\"c\",\"" + QString("\r\n").repeated(10000) + "\",\"e\",\"f\"\r\n"
                   + QStringLiteral("\"a\",\"b\",\"c\",\"d\",\"e\",\"ff\"\r\n\r\n  \n\r").repeated(100000)
                   + "\"a\",\"b\",\"" + QString(big, u'y')
            << six("a", "b", QString(big, u'y'));
    }

    void presetsReadingRules()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QCOMPARE(valuesOf(parsePresets(text)), expected);
    }

    // Any six values without a double quote come back unchanged from their
    // line, alone and after any number of other records. The line is
    // Windows-1252, as older versions wrote it, when that keeps every
    // character; otherwise UTF-8 without a byte-order mark.
    void presetsRecordLineRoundTrips()
    {
        const QStringList alphabet = QStringLiteral("aZ7 ,\r\n\t'.@\u00e9\u00ff\u0081\u20ac\u201c\u201d\u0160").split(QString(), Qt::SkipEmptyParts)
                                     + QStringList{"\u0141", "\u4e2d", "\U0001F600", "\u00c3\u00a9"};
        QRandomGenerator random(20240611);
        QString all;
        for (int n = 0; n < 300; ++n) {
            QStringList values;
            for (int v = 0; v < 6; ++v) {
                QString value;
                const int length = random.bounded(4) == 0 ? 0 : random.bounded(1, 16);
                for (int i = 0; i < length; ++i)
                    value += alphabet[random.bounded(int(alphabet.size() - (n % 2 ? 0 : 4)))];
                values << value;
            }
            const PresetRecord record{values[0], values[1], values[2], values[3], values[4], values[5]};
            const QString text = decodeTextFile(presetRecordLine(record));
            QCOMPARE(valuesOf(parsePresets(text)), values);
            all += text;
            QCOMPARE(valuesOf(parsePresets(all)), values);
        }
        // Windows-1252 would hold it, but its bytes would read back as UTF-8 ("\u00e9").
        QCOMPARE(presetRecordLine({"\u00c3\u00a9", "", "", "", "", ""}), QByteArray("\"\xc3\x83\xc2\xa9\",\"\",\"\",\"\",\"\",\"\"\r\n"));
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
        QCOMPARE(helpFilePathFor(folder), path);
        path.replace("Velmora 1_0.HLP", "presets.txt");
        QCOMPARE(presetsPath(folder), path);
        // Where Create File wrote, as the author screen says it: the home
        // folder as "~" when the path starts in it, as a whole folder.
        QCOMPARE(homeShortened(folder + "/README.md", folder), folder == "/" ? folder + "/README.md" : "~/README.md");
        QCOMPARE(homeShortened(folder + "2/README.md", folder), folder + "2/README.md");
    }
};

QTEST_APPLESS_MAIN(TestText)
#include "tst_text.moc"
