// The readme layout, byte for byte. The expected files under tests/data were
// written by hand from the row table of the readme layout; the other cases
// are those files with the rows that differ written out here.

#include "readme/ReadmeLayout.h"

#include <QFile>
#include <QMap>
#include <QtTest>

using velmora::ReadmeRecord;

namespace {

QByteArray dataFile(const QString &name)
{
    QFile file(QStringLiteral(VELMORA_TEST_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read test data %s", qPrintable(name));
    return file.readAll();
}

// The rows of a file without line breaks inside rows, CR LF taken off.
QList<QByteArray> rowsOf(const QByteArray &bytes)
{
    QList<QByteArray> rows = bytes.split('\n');
    rows.removeLast();  // after the last CR LF
    for (QByteArray &row : rows)
        row.chop(1);    // the CR
    return rows;
}

// The hand-written empty readme with some rows (numbered from 1) replaced
// and, when given, rows inserted after row 57.
QByteArray emptyReadmeWith(const QMap<int, QByteArray> &rows, const QList<QByteArray> &systems = {})
{
    QList<QByteArray> all = rowsOf(dataFile(QStringLiteral("readme_empty.txt")));
    for (auto it = rows.begin(); it != rows.end(); ++it)
        all[it.key() - 1] = it.value();
    QByteArray out;
    for (int i = 0; i < all.size(); ++i) {
        out += all[i] + "\r\n";
        if (i + 1 == 57) {
            for (const QByteArray &system : systems)
                out += system + "\r\n";
        }
    }
    return out;
}

ReadmeRecord fullRecord()
{
    ReadmeRecord r;
    r.programName = QStringLiteral("Sample");
    r.programType = QStringLiteral("Freeware");
    r.version = QStringLiteral("1.2.3");
    r.company = QStringLiteral("Acme Tools");
    r.language = QStringLiteral("English, German");
    r.webSite = QStringLiteral("http://www.acme.example");
    r.authorName = QStringLiteral("Jane Doe");
    r.filesNeeded = QStringLiteral("runtime.dll\r\ngrid.ocx");
    r.description = QStringLiteral("Writes the readme of a program.");
    r.instructions = QStringLiteral("Fill in the three screens, then press Create File.");
    r.newAdditions = QStringLiteral("A presets screen.");
    r.features = QStringLiteral("Small\r\nFast");
    r.additions = QStringLiteral("None yet.");
    r.authorEMail = QStringLiteral("jane@acme.example");
    return r;
}

}  // namespace

Q_DECLARE_METATYPE(velmora::ReadmeRecord)

class TestReadme : public QObject {
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void emptyRecordRows();
    void rowFiveAlwaysHasItsParentheses();
};

void TestReadme::layout_data()
{
    QTest::addColumn<ReadmeRecord>("record");
    QTest::addColumn<QStringList>("systems");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("every field empty") << ReadmeRecord() << QStringList()
                                       << dataFile(QStringLiteral("readme_empty.txt"));
    QTest::newRow("every field filled")
        << fullRecord()
        << QStringList{QStringLiteral("Windows 98"), QStringLiteral("Windows 95"),
                       QStringLiteral("Windows NT 4.0")}
        << dataFile(QStringLiteral("readme_full.txt"));

    {
        ReadmeRecord r;
        r.description = QStringLiteral("First line\r\nSecond line");
        QTest::newRow("two-line description spans three lines")
            << r << QStringList()
            << emptyReadmeWith({{47, "2). Description:\r\nFirst line\r\nSecond line"}});
    }
    {
        ReadmeRecord r;
        r.features = QStringLiteral("Fast\r\n");
        QTest::newRow("field ending in a line break")
            << r << QStringList() << emptyReadmeWith({{53, "5). Features:\r\nFast\r\n"}});
    }
    {
        ReadmeRecord r;
        r.instructions = QStringLiteral("   ");
        QTest::newRow("field of only spaces is not empty")
            << r << QStringList() << emptyReadmeWith({{49, "3). Instructions:\r\n   "}});
    }
    {
        ReadmeRecord r;
        r.additions = QStringLiteral("\r\n");
        QTest::newRow("field of only a line break is not empty")
            << r << QStringList() << emptyReadmeWith({{55, "6). Additions:\r\n\r\n"}});
    }
    {
        ReadmeRecord r;
        r.filesNeeded = QStringLiteral(" x ");
        r.newAdditions = QStringLiteral("  New  ");
        QTest::newRow("field text unchanged, blanks kept")
            << r << QStringList()
            << emptyReadmeWith({{45, "1). Files needed:\r\n x "}, {51, "4). New Additions:\r\n  New  "}});
    }
    QTest::newRow("three compatible systems in list order")
        << ReadmeRecord()
        << QStringList{QStringLiteral("Windows XP"), QStringLiteral("Linux"), QStringLiteral("BeOS")}
        << emptyReadmeWith({}, {"     Windows XP", "     Linux", "     BeOS"});
    QTest::newRow("compatible entries written unchanged")
        << ReadmeRecord() << QStringList{QString(), QStringLiteral(" DOS ")}
        << emptyReadmeWith({}, {"     ", "      DOS "});
    {
        ReadmeRecord r;
        r.programName = QStringLiteral("Sample");
        r.programType = QStringLiteral("Freeware");
        r.version = QStringLiteral("2.0");
        r.company = QStringLiteral("Acme");
        r.language = QStringLiteral("English");
        r.webSite = QStringLiteral("www.acme.example");
        r.authorName = QStringLiteral("Jane");
        r.authorEMail = QStringLiteral("jane@acme.example");
        QTest::newRow("rows 5 to 10 and 66")
            << r << QStringList()
            << emptyReadmeWith({{5, "Sample - (Freeware)"},
                                {6, "2.0"},
                                {7, "Acme"},
                                {8, "English"},
                                {9, "www.acme.example"},
                                {10, "Jane"},
                                {66, "  jane@acme.example"}});
    }
    {
        ReadmeRecord r;
        r.programName = QStringLiteral("Caf\u00e9\u2122");  // é ™
        r.programType = QStringLiteral("\u201cFree\u201d");  // “ ”
        r.company = QStringLiteral("\u0141\u00f3d\u017a");   // Ł ó d ź
        r.authorName = QStringLiteral("M\u00fcller \u20ac");  // ü €
        r.description = QStringLiteral("\u4e2d\U0001F600!");  // 中, an emoji
        r.authorEMail = QStringLiteral("\u0160a@x");          // Š
        QTest::newRow("characters inside and outside Windows-1252")
            << r << QStringList{QStringLiteral("\u00c5ngstr\u00f6m OS \u0391")}  // Å ö Α
            << emptyReadmeWith({{5, "Caf\xe9\x99 - (\x93" "Free\x94)"},
                                {7, "?\xf3" "d?"},
                                {10, "M\xfcller \x80"},
                                {47, "2). Description:\r\n??" "!"},
                                {66, "  \x8a" "a@x"}},
                               {"     \xc5ngstr\xf6m OS ?"});
    }
}

void TestReadme::layout()
{
    QFETCH(ReadmeRecord, record);
    QFETCH(QStringList, systems);
    QFETCH(QByteArray, expected);

    const QByteArray bytes = velmora::readmeBytes(record, systems);
    if (bytes != expected) {
        // Name the first differing line, so a failure says where.
        const QList<QByteArray> got = bytes.split('\n');
        const QList<QByteArray> want = expected.split('\n');
        for (int i = 0; i < qMin(got.size(), want.size()); ++i)
            QCOMPARE(got[i], want[i]);
        QCOMPARE(got.size(), want.size());
    }
    QCOMPARE(bytes, expected);
}

// The hand-written empty file checked against the table a second way, by
// the row numbers the table gives.
void TestReadme::emptyRecordRows()
{
    const QByteArray bytes = velmora::readmeBytes(ReadmeRecord(), {});
    QVERIFY(!bytes.startsWith("\xef\xbb\xbf"));
    QVERIFY(bytes.endsWith("Thanks for trying my program :)\r\n"));
    QCOMPARE(bytes.count("\r\n"), 69);
    QCOMPARE(bytes.count('\n'), 69);
    QCOMPARE(bytes.count('\r'), 69);

    const QList<QByteArray> rows = rowsOf(bytes);
    QCOMPARE(rows.size(), 69);
    const QByteArray rule(30, '-');
    for (int n : {1, 3, 12, 14, 33, 35, 41, 43, 59, 61})
        QCOMPARE(rows[n - 1], rule);
    QCOMPARE(rows[1], QByteArray("GENERAL"));
    QCOMPARE(rows[12], QByteArray("END USER AGREEMENT"));
    QCOMPARE(rows[33], QByteArray("FREEWARE DEFINITION"));
    QCOMPARE(rows[41], QByteArray("PROGRAM"));
    QCOMPARE(rows[59], QByteArray("AUTHOR"));
    QCOMPARE(rows[4], QByteArray(" - ()"));
    for (int n = 6; n <= 10; ++n)
        QVERIFY2(rows[n - 1].isEmpty(), qPrintable(QString::number(n)));
    for (int n = 15; n <= 32; ++n)
        QVERIFY2(rows[n - 1].isEmpty(), qPrintable(QString::number(n)));
    for (int n = 36; n <= 40; ++n)
        QVERIFY2(rows[n - 1].isEmpty(), qPrintable(QString::number(n)));
    QCOMPARE(rows[44], QByteArray("1). Files needed - (none given)"));
    QCOMPARE(rows[46], QByteArray("2). Description - (none given)"));
    QCOMPARE(rows[48], QByteArray("3). Instructions - (none given)"));
    QCOMPARE(rows[50], QByteArray("4). New Additions - (none given)"));
    QCOMPARE(rows[52], QByteArray("5). Features - (none given)"));
    QCOMPARE(rows[54], QByteArray("6). Additions - (none given)"));
    QCOMPARE(rows[56], QByteArray("7). Compatible OS's:"));
    QVERIFY(rows[57].isEmpty());
    QCOMPARE(rows[65], QByteArray("  "));
    QCOMPARE(rows[68], QByteArray("Thanks for trying my program :)"));

    // One more row per compatible system, nothing else changes.
    QCOMPARE(velmora::readmeBytes(ReadmeRecord(), {QStringLiteral("A"), QStringLiteral("B")}).count("\r\n"),
             71);
}

void TestReadme::rowFiveAlwaysHasItsParentheses()
{
    ReadmeRecord named;
    named.programName = QStringLiteral("Sample");
    QCOMPARE(rowsOf(velmora::readmeBytes(named, {}))[4], QByteArray("Sample - ()"));

    ReadmeRecord typed;
    typed.programType = QStringLiteral("Shareware");
    QCOMPARE(rowsOf(velmora::readmeBytes(typed, {}))[4], QByteArray(" - (Shareware)"));
}

QTEST_APPLESS_MAIN(TestReadme)
#include "tst_readme.moc"
