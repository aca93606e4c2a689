// The readme layout, byte for byte: the empty readme under tests/data,
// written by hand, and other records as that file with the rows that differ.
// (readme_full.txt, every field filled, is read back and written again byte
// for byte in tst_readmeformats.)

#include "FileTools.h"
#include "core/readme/TextLayout.h"

#include <QMap>
#include <QtTest>

using velmora::ReadmeRecord;
using R = ReadmeRecord;
using velmora::test::dataFile;
Q_DECLARE_METATYPE(velmora::ReadmeRecord)

namespace {


// The empty readme with some rows (numbered from 1) replaced and the
// compatible systems after row 57.
QByteArray emptyReadmeWith(const QMap<int, QByteArray> &rows, const QList<QByteArray> &systems = {})
{
    QList<QByteArray> all = dataFile("readme_empty.txt").split('\n');
    all.removeLast();
    for (auto it = rows.begin(); it != rows.end(); ++it)
        all[it.key() - 1] = it.value() + '\r';
    for (int i = 0; i < systems.size(); ++i)
        all.insert(57 + i, systems[i] + '\r');
    return all.join('\n') + '\n';
}

// A record with the given fields set and the others empty.
ReadmeRecord recordWith(std::initializer_list<std::pair<QString R::*, QString>> fields)
{
    ReadmeRecord r;
    for (const auto &[field, value] : fields)
        r.*field = value;
    return r;
}

}  // namespace

class TestReadme : public QObject {
    Q_OBJECT

private slots:
    void layout_data()
    {
        QTest::addColumn<ReadmeRecord>("record");
        QTest::addColumn<QStringList>("systems");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("every field empty") << R() << QStringList() << dataFile("readme_empty.txt");
        QTest::newRow("name without type, two-line description")
            << recordWith({{&R::programName, "Sample"}, {&R::description, "First line\r\nSecond line"}}) << QStringList()
            << emptyReadmeWith({{5, "Sample - ()"}, {47, "2). Description:\r\nFirst line\r\nSecond line"}});
        QTest::newRow("field of only spaces is not empty")
            << recordWith({{&R::instructions, "   "}}) << QStringList()
            << emptyReadmeWith({{49, "3). Instructions:\r\n   "}});
        QTest::newRow("three compatible systems in list order")
            << R() << QStringList{"Windows XP", " Linux", "BeOS"}
            << emptyReadmeWith({}, {"     Windows XP", "      Linux", "     BeOS"});
        const ReadmeRecord chars = recordWith({{&R::programName, QStringLiteral("Caf\u00e9\u2122")},
                                               {&R::programType, QStringLiteral("\u201cFree\u201d")},
                                               {&R::company, QStringLiteral("\u0141\u00f3d\u017a")},
                                               {&R::authorName, QStringLiteral("M\u00fcller \u20ac")},
                                               {&R::description, QStringLiteral("\u4e2d\U0001F600!")},
                                               {&R::authorEMail, QStringLiteral("\u0160a@x")}});
        QTest::newRow("characters inside and outside Windows-1252")
            << chars << QStringList{QStringLiteral("\u00c5ngstr\u00f6m OS \u0391")}
            << emptyReadmeWith({{5, "Caf\xe9\x99 - (\x93" "Free\x94)"},
                                {7, "?\xf3" "d?"},
                                {10, "M\xfcller \x80"},
                                {47, "2). Description:\r\n??" "!"},
                                {66, "  \x8a" "a@x"}},
                               {"     \xc5ngstr\xf6m OS ?"});
    }

    void layout()
    {
        QFETCH(ReadmeRecord, record);
        QFETCH(QStringList, systems);
        QFETCH(QByteArray, expected);

        const QByteArray bytes = velmora::readmeBytes(record, systems);
        QCOMPARE(bytes.split('\n'), expected.split('\n'));  // names the first line that differs
    }
};

QTEST_APPLESS_MAIN(TestReadme)
#include "tst_readme.moc"
