// The Markdown layout and reading a readme back: byte-exact Markdown for two
// records, the round trip of both layouts over generated records, what a
// real Markdown renderer shows, and what a file that does not follow the
// layout is told.

#include "FileTools.h"
#include "files/Win1252.h"
#include "readme/LayoutText.h"
#include "readme/MarkdownText.h"
#include "readme/ReadmeLayout.h"
#include "readme/ReadmeMarkdown.h"
#include "readme/ReadmeReading.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>
#include <QtTest>

using namespace velmora;
using R = ReadmeRecord;
using velmora::test::dataFile;
Q_DECLARE_METATYPE(velmora::ReadmeRecord)

namespace {

ReadmeRecord fullRecord()
{
    ReadmeRecord r;
    r.programName = "Sample";
    r.programType = "Freeware";
    r.version = "1.2.3";
    r.company = "Acme Tools";
    r.language = "English, German";
    r.webSite = "http://www.acme.example";
    r.authorName = "Jane Doe";
    r.filesNeeded = "runtime.dll\r\ngrid.ocx";
    r.description = "Writes the readme of a program.";
    r.instructions = "Fill in the three screens, then press Create File.";
    r.newAdditions = "A presets screen.";
    r.features = "Small\r\nFast";
    r.additions = "None yet.";
    r.authorEMail = "jane@acme.example";
    return r;
}
const QStringList fullSystems = {"Windows 98", "Windows 95", "Windows NT 4.0"};

// The text layout in UTF-8: its fixed rows are ASCII, so it is the
// Windows-1252 layout of a record whose every character stands for one byte
// of the UTF-8 of the real one.
QByteArray utf8TextLayout(const ReadmeRecord &record, const QStringList &systems)
{
    auto bytewise = [](const QString &text) { return fromWindows1252(text.toUtf8()); };
    ReadmeRecord r = record;
    for (QString *field : {&r.programName, &r.version, &r.company, &r.webSite, &r.language, &r.filesNeeded,
                           &r.programType, &r.description, &r.instructions, &r.newAdditions, &r.features,
                           &r.additions, &r.authorName, &r.authorEMail})
        *field = bytewise(*field);
    QStringList s;
    for (const QString &system : systems)
        s << bytewise(system);
    return readmeBytes(r, s);
}

enum class Written { Windows1252Text, Utf8Text, Markdown };

QByteArray write(Written how, const ReadmeRecord &r, const QStringList &systems)
{
    switch (how) {
    case Written::Windows1252Text: return readmeBytes(r, systems);
    case Written::Utf8Text: return utf8TextLayout(r, systems);
    case Written::Markdown: return readmeMarkdownBytes(r, systems);
    }
    return {};
}

// What Create File writes again for a recognised readme: the layout it was
// in, the text layout in the encoding it was read in.
QByteArray writeAgain(const RecognisedReadme &read)
{
    if (read.format == ReadmeFormat::Markdown)
        return readmeMarkdownBytes(read.record, read.compatibleSystems);
    return read.encoding == TextEncoding::Utf8 ? utf8TextLayout(read.record, read.compatibleSystems)
                                               : readmeBytes(read.record, read.compatibleSystems);
}

// ------------------------------------------------------------ generated records

// Records the boxes could hold, built from pieces that are hard on both
// layouts. lookalike is set when a field holds a row of a layout, the one
// case where the file may be read back as another record of the same bytes.
class Records {
public:
    explicit Records(quint32 seed) : m_rng(seed) {}

    bool lookalike = false;

    // Characters that Windows-1252 holds, and ones beyond it (a surrogate
    // pair among them).
    QString character(bool windows1252Only)
    {
        static const QString plain = QStringLiteral(
            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789      .,;:!?'\"-+=/()[]{}<>*_`~#|&$%@\\^");
        static const QString win = QStringLiteral("\u00e9\u00fc\u00c5\u00df\u20ac\u0152\u0161\u017e\u2014\u2026\u2018\u2019\u201c\u201d\u2022\u2122\u00ff\u00a0\u00a9\t");
        static const QStringList beyond = {QStringLiteral("\u4e2d"), QStringLiteral("\u0141"), QStringLiteral("\u03a9"),
                                           QStringLiteral("\U0001F600"), QStringLiteral("\u2028")};
        const int pick = pickUpTo(10);
        if (pick < 7)
            return QString(plain[pickUpTo(int(plain.size()))]);
        if (pick < 9 || windows1252Only)
            return QString(win[pickUpTo(int(win.size()))]);
        return beyond[pickUpTo(int(beyond.size()))];
    }

    QString text(int maxChars, bool windows1252Only)
    {
        QString out;
        const int length = pickUpTo(maxChars + 1);
        while (out.size() < length) {
            const QString c = character(windows1252Only);
            if (out.size() + c.size() > maxChars)
                break;
            out += c;
        }
        return out;
    }

    // A single-line value of at most maxChars, sometimes of spaces alone or
    // with spaces at its ends, sometimes one that means something to Markdown.
    QString line(int maxChars, bool windows1252Only)
    {
        static const QStringList marked = {"my_tool*v2", "# not a heading", "- not a list", "1. not a list",
                                           "[a](b)", "<b>x</b>", "&amp; &#32;", "a\\", "`x`", "~~x~~",
                                           "$x$", ":smile:", "(Demo)", "x (Demo)", ">", "=", "|a|b|", "a  b"};
        switch (pickUpTo(8)) {
        case 0: return QString();
        case 1: return QString(1 + pickUpTo(qMin(maxChars, 5)), u' ');
        case 2: return marked[pickUpTo(int(marked.size()))].left(maxChars);
        case 3: return (u' ' + text(maxChars - 2, windows1252Only) + u' ').left(maxChars);
        default: return text(maxChars, windows1252Only);
        }
    }

    QString version()
    {
        QString v;
        const int length = pickUpTo(layout::maxVersionChars + 1);
        for (int i = 0; i < length; ++i)
            v += QChar(pickUpTo(4) == 0 ? u'.' : QChar(u'0' + pickUpTo(10)));
        return v;
    }

    QString webSite(bool windows1252Only)
    {
        static const QStringList sites = {"https://acme.example/a_b?c=1&d=2", "http://x.example/(1)", "www.acme.example",
                                          "HTTPS://ACME.EXAMPLE", "acme.example", "http://", "https://a.example/<x>"};
        return pickUpTo(2) ? sites[pickUpTo(int(sites.size()))] : line(120, windows1252Only);
    }

    QString eMail(bool windows1252Only)
    {
        static const QStringList mails = {"jane@acme.example", "j_a*ne@x.example", "a@b", "@x", "x@", "two@at@x",
                                          "ask at the shop"};
        return pickUpTo(2) ? mails[pickUpTo(int(mails.size()))] : line(layout::maxAuthorEMailChars, windows1252Only);
    }

    // A multi-line field: lines of text, spaces, Markdown, fenced blocks
    // (some left open), raw HTML, and now and then a row of either layout.
    QString field(bool windows1252Only)
    {
        if (pickUpTo(4) == 0)
            return QString();
        static const QStringList markdown = {"- item", "* item", "1. step", "> quote", "**bold** and _em_",
                                             "#### heading", "| a | b |", "|---|---|", "    indented code",
                                             "\tcode after a tab", "<!-- a comment", "-->", "<pre>", "</pre>",
                                             "<div>", "***", "Title", "===", "[ref]: http://x.example", "\\"};
        static const QStringList fences = {"```", "```sh", "~~~", "````", "  ```"};
        QStringList rows;
        for (const auto &item : layout::items)
            rows << item.label << item.noneGiven << QStringLiteral("### ") + item.markdownTitle;
        rows << layout::rule << layout::compatibleTitle << "     Windows 98" << layout::author << layout::thanks
             << "### 7. Compatible OS's" << "*(none given)*" << "- **Version:** 1" << "## AUTHOR" << "  a@b";

        QStringList lines;
        const int count = 1 + pickUpTo(6);
        for (int i = 0; i < count; ++i) {
            switch (pickUpTo(12)) {
            case 0: lines << QString(); break;
            case 1: lines << QString(1 + pickUpTo(4), u' '); break;
            case 2: lines << markdown[pickUpTo(int(markdown.size()))]; break;
            case 3: {
                const QString fence = fences[pickUpTo(int(fences.size()))];
                lines << fence << text(30, windows1252Only) << "  " + text(20, windows1252Only);
                if (pickUpTo(3))
                    lines << fence.trimmed().left(fence.trimmed().size());
                break;
            }
            case 4:
                lookalike = true;
                if (pickUpTo(2))
                    lines << QString();
                lines << rows[pickUpTo(int(rows.size()))];
                break;
            case 5: lines << text(200, windows1252Only); break;
            default: lines << text(40, windows1252Only); break;
            }
        }
        QString field = lines.join("\r\n");
        if (pickUpTo(5) == 0)
            field.prepend("\r\n");
        if (pickUpTo(5) == 0)
            field.append("\r\n");
        return field;
    }

    ReadmeRecord record(bool windows1252Only)
    {
        lookalike = false;
        ReadmeRecord r;
        r.programName = line(layout::maxProgramNameChars, windows1252Only);
        r.programType = pickUpTo(5) == 0 ? QString() : layout::programTypes[pickUpTo(4)];
        r.version = version();
        r.company = line(layout::maxCompanyChars, windows1252Only);
        r.language = line(pickUpTo(2) ? 60 : 400, windows1252Only);
        r.webSite = webSite(windows1252Only);
        r.authorName = line(layout::maxAuthorNameChars, windows1252Only);
        r.authorEMail = eMail(windows1252Only);
        for (QString *f : {&r.filesNeeded, &r.description, &r.instructions, &r.newAdditions, &r.features, &r.additions})
            *f = field(windows1252Only);
        return r;
    }

    QStringList systems(bool windows1252Only)
    {
        static const QStringList os = {"Windows 95", "Windows 98", "Windows 98SE", "Windows ME", "Windows 2000",
                                       "Windows NT", "Windows XP"};
        QStringList list;
        const int count = pickUpTo(5);
        for (int i = 0; i < count; ++i)
            list << (pickUpTo(2) ? os[pickUpTo(int(os.size()))] : line(30, windows1252Only));
        return list;
    }

    int pickUpTo(int n) { return int(m_rng.bounded(quint32(n))); }

private:
    QRandomGenerator m_rng;
};

// ------------------------------------------------------------ rendered HTML

QString cmarkGfm()
{
    return QStandardPaths::findExecutable(QStringLiteral("cmark-gfm"));
}

// GitHub's flavour: tables, strike-through, bare links, filtered tags.
QString render(const QString &program, const QByteArray &markdown)
{
    QProcess cmark;
    cmark.start(program, {"-e", "table", "-e", "strikethrough", "-e", "autolink", "-e", "tagfilter"});
    cmark.write(markdown);
    cmark.closeWriteChannel();
    if (!cmark.waitForFinished(30000) || cmark.exitCode() != 0)
        return QString();
    return QString::fromUtf8(cmark.readAllStandardOutput());
}

QString decodeHtml(QString text)
{
    text.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&#39;", "'");
    return text.replace("&amp;", "&");
}

// The lines an HTML fragment shows: each block and each line break starts a
// line, a soft line break is a space, a code block keeps its lines.
QStringList renderedLines(const QString &html)
{
    static const QRegularExpression code("<pre><code[^>]*>(.*?)</code></pre>",
                                         QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression blocks("<br />\n|</?(p|li|ul|ol|h[1-6]|blockquote|table|tr|th|td|thead|tbody)>");
    static const QRegularExpression tags("<[^>]*>");
    QStringList lines;
    auto prose = [&](QString text) {
        text.replace(blocks, "\x01").replace(u'\n', u' ').remove(tags);
        for (const QString &l : decodeHtml(text).split(u'\x01')) {
            if (!l.trimmed().isEmpty())
                lines << l.trimmed();
        }
    };
    qsizetype at = 0;
    for (auto it = code.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        prose(html.mid(at, m.capturedStart() - at));
        for (const QString &l : decodeHtml(m.captured(1)).split(u'\n')) {
            if (!l.trimmed().isEmpty())
                lines << l;
        }
        at = m.capturedEnd();
    }
    prose(html.mid(at));
    return lines;
}

// An HTML document split at its headings of one level: the text of each
// heading and the HTML up to the next heading of that level or above.
QList<std::pair<QString, QString>> sections(const QString &html, int level)
{
    const QRegularExpression heading(QStringLiteral("<h([1-%1])>(.*)</h\\1>").arg(level));
    QList<std::pair<QString, QString>> out;
    auto it = heading.globalMatch(html);
    qsizetype bodyStart = -1;
    while (it.hasNext()) {
        const auto m = it.next();
        if (bodyStart >= 0)
            out.last().second = html.mid(bodyStart, m.capturedStart() - bodyStart);
        if (m.captured(1).toInt() == level) {
            out.append({decodeHtml(m.captured(2).remove(QRegularExpression("<[^>]*>"))), QString()});
            bodyStart = m.capturedEnd();
        } else {
            bodyStart = -1;
        }
    }
    if (bodyStart >= 0)
        out.last().second = html.mid(bodyStart);
    return out;
}

// A multi-line field made of Markdown pieces whose rendering is known: the
// source and the lines a renderer shows.
struct RenderedField {
    QString source;
    QStringList shown;
};

RenderedField renderedField(Records &gen)
{
    auto words = [&gen] {
        static const QStringList w = {"alpha", "b\u00e9ta", "\u4e2d\u6587", "x\U0001F600", "www.acme.example",
                                      "a  b", "q&a", "1<2", "tab\there"};
        QString s;
        const int n = 1 + gen.pickUpTo(3);
        for (int i = 0; i < n; ++i)
            s += (i ? " " : "") + w[gen.pickUpTo(int(w.size()))];
        return s;
    };
    RenderedField f;
    QStringList src;
    const int pieces = 1 + gen.pickUpTo(4);
    for (int i = 0; i < pieces; ++i) {
        switch (gen.pickUpTo(7)) {
        case 0: {  // a list, bulleted or numbered
            const bool numbered = gen.pickUpTo(2);
            for (int k = 0; k < 1 + gen.pickUpTo(3); ++k) {
                const QString item = words();
                src << (numbered ? QString::number(k + 1) + ". " : "- ") + item;
                f.shown << item;
            }
            break;
        }
        case 1: {  // a fenced block, its content exactly, the last one maybe left open
            const QString fence = gen.pickUpTo(2) ? "```" : "~~~~";
            src << fence + (gen.pickUpTo(2) ? "sh" : "");
            for (int k = 0; k < 1 + gen.pickUpTo(3); ++k) {
                const QString code = QString(gen.pickUpTo(5), u' ') + gen.text(30, false).remove(u'\u2028');
                src << code;
                if (!code.trimmed().isEmpty())
                    f.shown << code;
            }
            if (i + 1 < pieces || gen.pickUpTo(2))
                src << fence;
            break;
        }
        case 2: {
            const QString h = words();
            src << "#### " + h;
            f.shown << h;
            break;
        }
        case 3: {
            const QString a = words(), b = words();
            src << "**" + a + "** " + b;
            f.shown << a + " " + b;
            break;
        }
        case 4: src << QString(); break;
        default: {  // running text, each typed line a line of its own
            for (int k = 0; k < 1 + gen.pickUpTo(3); ++k) {
                const QString t = words();
                src << QString(gen.pickUpTo(4), u' ') + t + QString(gen.pickUpTo(3), u' ');
                f.shown << t;
            }
        }
        }
    }
    f.source = src.join("\r\n");
    return f;
}

}  // namespace

class TestReadmeFormats : public QObject {
    Q_OBJECT

private slots:
    void markdownLayout_data()
    {
        QTest::addColumn<ReadmeRecord>("record");
        QTest::addColumn<QStringList>("systems");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("every field empty") << R() << QStringList() << dataFile("readme_empty.md");
        QTest::newRow("every field filled") << fullRecord() << fullSystems << dataFile("readme_full.md");
    }

    void markdownLayout()
    {
        QFETCH(ReadmeRecord, record);
        QFETCH(QStringList, systems);
        QFETCH(QByteArray, expected);
        const QByteArray bytes = readmeMarkdownBytes(record, systems);
        QCOMPARE(bytes.split('\n'), expected.split('\n'));
        QCOMPARE(bytes, expected);
        QCOMPARE(writeAgain(recogniseReadme(bytes)), bytes);
    }

    // For any record the boxes could hold and any list: recognising the
    // file written and writing again gives back the same bytes; apart from
    // files the layout cannot tell apart, the same record and list.
    void roundTrip_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("text layout, Windows-1252") << int(Written::Windows1252Text);
        QTest::newRow("text layout, UTF-8") << int(Written::Utf8Text);
        QTest::newRow("Markdown") << int(Written::Markdown);
    }

    void roundTrip()
    {
        QFETCH(int, how);
        const Written written = Written(how);
        const bool windows1252Only = written == Written::Windows1252Text;
        Records gen(20260 + how);
        int sameRecord = 0;
        for (int i = 0; i < 300; ++i) {
            const ReadmeRecord record = gen.record(windows1252Only);
            const QStringList systems = gen.systems(windows1252Only);
            const QByteArray bytes = write(written, record, systems);
            const RecognisedReadme read = recogniseReadme(bytes);
            const QString where = QStringLiteral("record %1: %2").arg(i).arg(notRecognisedMessage(read));
            QVERIFY2(read.recognised, qPrintable(where));
            QCOMPARE(read.format, written == Written::Markdown ? ReadmeFormat::Markdown : ReadmeFormat::Text);
            const QByteArray again = writeAgain(read);
            if (again != bytes) {
                QCOMPARE(QString::fromUtf8(again).split('\n'), QString::fromUtf8(bytes).split('\n'));
                QVERIFY2(false, qPrintable(QStringLiteral("record %1 written again differs").arg(i)));
            }
            // Windows-1252 bytes that are valid UTF-8 as well are read the
            // way the viewer reads them, as UTF-8.
            const bool readAsWritten = written != Written::Windows1252Text || read.encoding == TextEncoding::Windows1252
                                       || !QString::fromLatin1(bytes).contains(QRegularExpression("[^\\x00-\\x7f]"));
            if (!gen.lookalike && readAsWritten) {
                QCOMPARE(read.record, record);
                QCOMPARE(read.compatibleSystems, systems);
                ++sameRecord;
            }
        }
        QVERIFY2(sameRecord > 50, qPrintable(QString::number(sameRecord)));  // the generator still varies
    }

    // What arrives after a trip through other hands: line ends converted by
    // git, a byte-order mark added by an editor, the last line break gone.
    void filesAsTheyArrive_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("format");
        const QByteArray text = dataFile("readme_full.txt");
        const QByteArray md = dataFile("readme_full.md");
        QTest::newRow("text, as written") << text << int(ReadmeFormat::Text);
        QTest::newRow("text, LF line ends") << QByteArray(text).replace("\r\n", "\n") << int(ReadmeFormat::Text);
        QTest::newRow("text, CR line ends") << QByteArray(text).replace("\r\n", "\r") << int(ReadmeFormat::Text);
        QTest::newRow("text, no last line break") << text.chopped(2) << int(ReadmeFormat::Text);
        QTest::newRow("text, byte-order mark") << "\xEF\xBB\xBF" + text << int(ReadmeFormat::Text);
        QTest::newRow("Markdown, as written") << md << int(ReadmeFormat::Markdown);
        QTest::newRow("Markdown, CR LF line ends") << QByteArray(md).replace("\n", "\r\n") << int(ReadmeFormat::Markdown);
        QTest::newRow("Markdown, trailing blanks stripped by an editor")
            << QByteArray(md).replace("  \n", "\n") << int(ReadmeFormat::Markdown);
    }

    void filesAsTheyArrive()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, format);
        const RecognisedReadme read = recogniseReadme(bytes);
        QVERIFY2(read.recognised, qPrintable(notRecognisedMessage(read)));
        QCOMPARE(int(read.format), format);
        QCOMPARE(read.record, fullRecord());
        QCOMPARE(read.compatibleSystems, fullSystems);
    }

    void charactersOfEitherEncoding()
    {
        ReadmeRecord r;
        r.programName = QStringLiteral("Caf\u00e9 \u20ac");
        r.company = QStringLiteral("\u0141\u00f3d\u017a \u4e2d\U0001F600");
        // Windows-1252: the characters it holds come back; the file is not UTF-8.
        RecognisedReadme read = recogniseReadme(readmeBytes(r, {}));
        QCOMPARE(read.encoding, TextEncoding::Windows1252);
        QCOMPARE(read.record.programName, r.programName);
        QCOMPARE(read.record.company, QStringLiteral("?\u00f3d? ??"));
        // UTF-8, text or Markdown: every character comes back.
        for (const QByteArray &bytes : {utf8TextLayout(r, {}), readmeMarkdownBytes(r, {})}) {
            read = recogniseReadme(bytes);
            QCOMPARE(read.encoding, TextEncoding::Utf8);
            QCOMPARE(read.record, r);
        }
        // Windows-1252 bytes that happen to be UTF-8 ("Ã©" is C3 A9) are read
        // as UTF-8, as the viewer reads them; written again in that encoding
        // they are the same bytes.
        r.programName = QStringLiteral("\u00c3\u00a9");
        r.company.clear();
        const QByteArray bytes = readmeBytes(r, {});
        read = recogniseReadme(bytes);
        QCOMPARE(read.encoding, TextEncoding::Utf8);
        QCOMPARE(read.record.programName, QStringLiteral("\u00e9"));
        QCOMPARE(writeAgain(read), bytes);
    }

    // Values that mean something to Markdown or to the layout's title come
    // back as typed.
    void markdownValuesComeBack_data()
    {
        QTest::addColumn<ReadmeRecord>("record");
        ReadmeRecord r;
        r.programName = "x (Demo)";
        QTest::newRow("a type's parentheses in a name without a type") << r;
        r.programName = "(Demo)";
        r.programType = "UpDate";
        QTest::newRow("a name that is a type in parentheses") << r;
        r = R();
        r.programName = "C# \\ (";
        r.company = " &amp; ";
        r.webSite = "www.acme.example";
        r.language = "http://acme.example/a_b";
        r.authorEMail = "x_y@z.example";
        r.authorName = "[Ann](x)";
        QTest::newRow("escapes, references, links") << r;
    }

    void markdownValuesComeBack()
    {
        QFETCH(ReadmeRecord, record);
        const RecognisedReadme read = recogniseReadme(readmeMarkdownBytes(record, {"- x", "1. y", "#", ""}));
        QVERIFY2(read.recognised, qPrintable(notRecognisedMessage(read)));
        QCOMPARE(read.record, record);
        QCOMPARE(read.compatibleSystems, QStringList({"- x", "1. y", "#", ""}));
    }

    // Fields that repeat the layout's rows a hundred thousand times are
    // weighed in linear time (the suite's time-out is the bound).
    void fieldsThatRepeatTheLayout()
    {
        ReadmeRecord r;
        QStringList labels;
        for (int i = 0; i < 100000; ++i)
            labels << "2). Description:";
        r.description = labels.join("\r\n");
        RecognisedReadme read = recogniseReadme(readmeBytes(r, {}));
        QVERIFY(read.recognised);
        QCOMPARE(read.record, r);

        // In Markdown such rows stand as typed only inside a block.
        r.description = "```\r\n" + QStringList(50000, "### 2. Description\r\n").join("\r\n") + "```";
        read = recogniseReadme(readmeMarkdownBytes(r, {}));
        QVERIFY(read.recognised);
        QCOMPARE(read.record, r);
    }

    // A field holding an empty line and the next item's row: two records
    // with the same bytes. The earlier field takes the fewest lines that
    // leave the rest of the file in the layout and that it could have been
    // written as.
    void recordsTheLayoutCannotTellApart_data()
    {
        QTest::addColumn<int>("how");
        QTest::addColumn<ReadmeRecord>("typed");
        QTest::addColumn<ReadmeRecord>("chosen");
        QTest::addColumn<QStringList>("typedSystems");
        QTest::addColumn<QStringList>("chosenSystems");

        ReadmeRecord typed, chosen;
        typed.description = "a\r\n\r\n3). Instructions:\r\nb";
        chosen.description = "a";
        chosen.instructions = "b\r\n\r\n3). Instructions - (none given)";
        QTest::newRow("text: a label row in the description") << int(Written::Windows1252Text) << typed << chosen
                                                              << QStringList() << QStringList();
        typed = chosen = R();
        typed.description = "\r\n\r\n3). Instructions:\r\nb";
        QTest::newRow("text: one empty line is no field") << int(Written::Windows1252Text) << typed << typed
                                                          << QStringList() << QStringList();
        // Taking the first label row would leave item 3 twice, or the
        // systems' rows with an empty one among them: the split that works
        // is found.
        typed = chosen = R();
        typed.description = "a\r\n\r\n3). Instructions - (none given)";
        typed.instructions = "b";
        QTest::newRow("text: only a later split works") << int(Written::Windows1252Text) << typed << typed
                                                        << QStringList() << QStringList();
        typed = chosen = R();
        typed.additions = "x\r\n\r\n7). Compatible OS's:\r\n     Windows 98";
        QTest::newRow("text: the systems' rows in the additions")
            << int(Written::Windows1252Text) << typed << typed << QStringList{"Windows 95"} << QStringList{"Windows 95"};
        // In Markdown a typed line that looks like a heading is written with
        // the two spaces of a line break, or stands inside a block that the
        // reader follows: no field ends there.
        typed = chosen = R();
        typed.features = "```\r\n\r\n### 6. Additions\r\n\r\ny\r\n```";
        QTest::newRow("Markdown: a heading inside a fenced block")
            << int(Written::Markdown) << typed << typed << QStringList() << QStringList();
        typed = chosen = R();
        typed.description = "```\r\ncode\r\n````";
        chosen.description = "```\r\ncode";
        QTest::newRow("Markdown: a closing fence one longer than its opening")
            << int(Written::Markdown) << typed << chosen << QStringList() << QStringList();
    }

    void recordsTheLayoutCannotTellApart()
    {
        QFETCH(int, how);
        QFETCH(ReadmeRecord, typed);
        QFETCH(ReadmeRecord, chosen);
        QFETCH(QStringList, typedSystems);
        QFETCH(QStringList, chosenSystems);
        const QByteArray bytes = write(Written(how), typed, typedSystems);
        QCOMPARE(write(Written(how), chosen, chosenSystems), bytes);
        const RecognisedReadme read = recogniseReadme(bytes);
        QVERIFY2(read.recognised, qPrintable(notRecognisedMessage(read)));
        QCOMPARE(read.record, chosen);
        QCOMPARE(read.compatibleSystems, chosenSystems);
    }

    // A value its box could not hold, or a file edited out of the layout:
    // the line that differs, its first 60 characters, what was expected.
    void notRecognised_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("expected");

        const QByteArray text = dataFile("readme_full.txt");
        const QByteArray md = dataFile("readme_full.md");
        auto textWith = [&](const ReadmeRecord &r) { return readmeBytes(r, fullSystems); };
        auto mdWith = [&](const ReadmeRecord &r) { return readmeMarkdownBytes(r, fullSystems); };
        ReadmeRecord r = fullRecord();
        r.programName = QString(41, u'n');
        QTest::newRow("name of 41 characters") << textWith(r) << 5 << QString(41, u'n') + " - (Freeware)"
                                               << "a program name of at most 40 characters on one line";
        QTest::newRow("name of 41 characters, Markdown") << mdWith(r) << 1 << "# " + QString(41, u'n') + " (Freeware)"
                                                         << "a program name of at most 40 characters on one line";
        QTest::newRow("name of 40 surrogate pairs") << readmeBytes({}, {}).replace("\r\n - ()", "\r\n" + QStringLiteral("\U0001F600").repeated(40).toUtf8() + " - ()")
                                                    << 5 << "" << "a program name of at most 40 characters on one line";
        r = fullRecord();
        r.version = "1.0b";
        QTest::newRow("version with a letter") << textWith(r) << 6 << "1.0b"
                                               << "a version of at most 7 characters, digits and \".\" only";
        r.version = "1.2.3.4.5";
        QTest::newRow("version of 9 characters, Markdown") << mdWith(r) << 5 << "- **Version:** 1.2.3.4.5"
                                                           << "a version of at most 7 characters, digits and \".\" only";
        r = fullRecord();
        r.company = QString(41, u'c');
        QTest::newRow("company of 41") << textWith(r) << 7 << QString(41, u'c')
                                       << "a company of at most 40 characters on one line";
        r = fullRecord();
        r.authorName = QString(31, u'a');
        QTest::newRow("author of 31") << textWith(r) << 10 << QString(31, u'a')
                                      << "an author's name of at most 30 characters on one line";
        r = fullRecord();
        r.authorEMail = QString(31, u'e');
        QTest::newRow("e-mail of 31, Markdown") << mdWith(r) << 54 << QString(31, u'e')
                                                << "an e-mail address of at most 30 characters on one line";
        QTest::newRow("type not in the list") << QByteArray(text).replace("(Freeware)", "(Beta)") << 5 << "Sample - (Beta)"
                                              << "the type in parentheses: \"Demo\", \"Freeware\", \"ShareWare\", \"UpDate\" or nothing";
        QTest::newRow("type not in the list, Markdown") << QByteArray(md).replace("(Freeware)", "(Beta)") << 1
                                                        << "# Sample (Beta)"
                                                        << "the type in parentheses: \"Demo\", \"Freeware\", \"ShareWare\", \"UpDate\" or nothing";
        QTest::newRow("line break in a single-line value, Markdown")
            << QByteArray(md).replace("Acme Tools", "Acme&#10;Tools") << 6 << "- **Company:** Acme&#10;Tools"
            << "a company of at most 40 characters on one line";

        QTest::newRow("empty file") << QByteArray() << 1 << "" << "\"------------------------------\"";
        QTest::newRow("some other text") << QByteArray("Hello\r\nworld\r\n") << 1 << "Hello"
                                         << "\"------------------------------\"";
        const QString agreement = "This software is provided as is, without any warranty of any kind, express or implied.";
        QTest::newRow("agreement typed in by hand") << QByteArray(text).replace(
            "AGREEMENT\r\n------------------------------\r\n\r\n\r\n",
            "AGREEMENT\r\n------------------------------\r\n\r\n" + agreement.toLatin1() + "\r\n")
                                                    << 16 << agreement.left(60) << "an empty line";
        QTest::newRow("label renamed") << QByteArray(text).replace("4). New Additions:", "4) New Additions:") << 55
                                       << "4) New Additions:"
                                       << "\"4). New Additions:\" or \"4). New Additions - (none given)\"";
        QTest::newRow("empty row between items removed") << QByteArray(text).replace("\r\n\r\n5). Features:", "\r\n5). Features:")
                                                         << 57 << "5). Features:" << "an empty line";
        QTest::newRow("a system not indented") << QByteArray(text).replace("     Windows 95", "Windows 95") << 67
                                               << "Windows 95" << "an empty line or a system indented by five spaces";
        QTest::newRow("a line after the last") << text + "P.S. Have fun!\r\n" << 81 << "P.S. Have fun!"
                                               << "the end of the file";
        QTest::newRow("cut short") << text.left(text.indexOf("AUTHOR")) << 71 << "" << "\"AUTHOR\"";
        QTest::newRow("Markdown, heading renamed") << QByteArray(md).replace("### 3. Instructions", "### Instructions")
                                                   << 26 << "### Instructions" << "\"### 3. Instructions\"";
        QTest::newRow("Markdown, section added") << QByteArray(md).replace("## PROGRAM", "## LICENCE\n\nMIT\n\n## PROGRAM")
                                                 << 15 << "## LICENCE" << "\"## PROGRAM\"";
    }

    void notRecognised()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, line);
        QFETCH(QString, start);
        QFETCH(QString, expected);
        const RecognisedReadme read = recogniseReadme(bytes);
        QVERIFY(!read.recognised);
        QCOMPARE(read.mismatch.expected, expected);
        QCOMPARE(read.mismatch.lineNumber, line);
        if (!start.isEmpty() || line == 1)
            QCOMPARE(read.mismatch.lineStart, start.left(60));
        QVERIFY(read.mismatch.lineStart.size() <= 60);
        const QString box = notRecognisedMessage(read);
        QVERIFY2(box.contains(QStringLiteral("Line %1 ").arg(line)) && box.contains(expected), qPrintable(box));
    }

    void readingAFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("readme.md");
        QVERIFY(velmora::test::writeFile(path, dataFile("readme_full.md")));
        RecognisedReadme read = recogniseReadmeFile(path);
        QVERIFY(read.recognised);
        QCOMPARE(read.record, fullRecord());
        read = recogniseReadmeFile(dir.filePath("missing.txt"));
        QVERIFY(!read.recognised);
        QCOMPARE(notRecognisedMessage(read), QStringLiteral("This file cannot be read: the file does not exist."));
        read = recogniseReadmeFile(dir.path());
        QCOMPARE(notRecognisedMessage(read), QStringLiteral("This file cannot be read: it is not a regular file."));
    }

    // Rendered by a real renderer the way code hosts render it, each fact is
    // shown once, under its heading, as typed.
    void rendered()
    {
        const QString program = cmarkGfm();
        if (program.isEmpty()) {
            if (qEnvironmentVariableIsSet("CI"))
                QFAIL("cmark-gfm is not installed (scripts/common.sh installs it)");
            QSKIP("cmark-gfm is not installed");
        }
        Records gen(777);
        for (int n = 0; n < 120; ++n) {
            ReadmeRecord r = gen.record(false);
            // No NUL, which renderers show as U+FFFD, and no line separators
            // in the single-line values, which the check reads line by line.
            for (QString *f : {&r.programName, &r.company, &r.language, &r.webSite, &r.authorName, &r.authorEMail})
                f->remove(u'\u2028');
            std::array<RenderedField, 6> fields;
            QString *multi[] = {&r.filesNeeded, &r.description, &r.instructions, &r.newAdditions, &r.features, &r.additions};
            for (int i = 0; i < 6; ++i) {
                fields[i] = gen.pickUpTo(5) ? renderedField(gen) : RenderedField{};
                *multi[i] = fields[i].source;
            }
            QStringList systems = gen.systems(false);
            for (QString &s : systems)
                s.remove(u'\u2028');
            const QString html = render(program, readmeMarkdownBytes(r, systems));
            QVERIFY(!html.isEmpty());
            const QString context = QStringLiteral("record %1:\n%2").arg(n).arg(QString::fromUtf8(readmeMarkdownBytes(r, systems)));

            const auto top = sections(html, 1);
            QCOMPARE(top.size(), 1);
            QString title = r.programName;
            if (!r.programType.isEmpty())
                title += (title.isEmpty() ? "(" : " (") + r.programType + ")";
            QCOMPARE(top[0].first, title);
            QVERIFY2(!html.section("</h1>", 0, 0).contains("<a") && !html.section("</h1>", 0, 0).contains("<em"),
                     qPrintable(context));

            const auto parts = sections(html, 2);
            QStringList titles;
            for (const auto &p : parts)
                titles << p.first;
            QCOMPARE(titles, QStringList({"GENERAL", "END USER AGREEMENT", "FREEWARE DEFINITION", "PROGRAM", "AUTHOR"}));

            // General facts: one list entry each, the value exactly.
            const QString general = parts[0].second;
            const QString values[] = {r.version, r.company, r.language, r.webSite, r.authorName};
            const char *labels[] = {"Version:", "Company:", "Language:", "Web site:", "Author:"};
            for (int k = 0; k < 5; ++k) {
                const QString open = QStringLiteral("<li><strong>%1</strong>").arg(labels[k]);
                QVERIFY2(general.count(open) == 1, qPrintable(context));
                const qsizetype at = general.indexOf(open) + open.size();
                const QString entry = general.mid(at, general.indexOf("</li>", at) - at);
                // No markup: what was typed shows as typed, not as emphasis or
                // code. Only an e-mail address typed anywhere is made a link
                // (its text unchanged), as code hosts do.
                const bool linked = k == 3 && markdown::isWebAddress(r.webSite);
                static const QRegularExpression mailLink("</?a( href=\"mailto:[^\"]*\")?>");
                QCOMPARE(decodeHtml(linked ? QString(entry).remove(QRegularExpression("<[^>]*>"))
                                           : QString(entry).remove(mailLink)),
                         values[k].isEmpty() ? QString() : " " + values[k]);
                if (linked) {
                    QRegularExpressionMatch m = QRegularExpression("^ <a href=\"([^\"]*)\">").match(entry);
                    QVERIFY2(m.hasMatch(), qPrintable(context));
                    QCOMPARE(QUrl::fromPercentEncoding(decodeHtml(m.captured(1)).toUtf8()),
                             markdown::webAddressTarget(r.webSite));
                }
            }
            QVERIFY(parts[1].second.trimmed().isEmpty() && parts[2].second.trimmed().isEmpty());

            // Items: the typed lines, line by line, under their headings.
            const auto items = sections(parts[3].second, 3);
            QCOMPARE(items.size(), 7);
            for (int i = 0; i < 6; ++i) {
                QCOMPARE(items[i].first, layout::items[i].markdownTitle);
                const QStringList shown = renderedLines(items[i].second);
                if (fields[i].source.isEmpty())
                    QCOMPARE(shown, QStringList{"(none given)"});
                else if (shown != fields[i].shown)
                    QFAIL(qPrintable(context + "\nitem " + QString::number(i + 1) + " shows:\n" + shown.join('\n')));
            }
            QCOMPARE(items[6].first, layout::compatibleMarkdownTitle);
            QStringList entries;
            static const QRegularExpression entry("<li>(.*)</li>");
            for (auto it = entry.globalMatch(items[6].second); it.hasNext();)
                entries << decodeHtml(it.next().captured(1));
            QCOMPARE(entries, systems);

            // The e-mail: its own paragraph, a mailto link when it is an address.
            const QString author = parts[4].second;
            QStringList paragraphs;
            static const QRegularExpression paragraph("<p>(.*?)</p>", QRegularExpression::DotMatchesEverythingOption);
            for (auto it = paragraph.globalMatch(author); it.hasNext();) {
                QString p = it.next().captured(1);
                if (p.startsWith("<a href=\"mailto:"))
                    p.remove(QRegularExpression("<[^>]*>"));
                paragraphs << decodeHtml(p);
            }
            QCOMPARE(paragraphs.size(), r.authorEMail.isEmpty() ? 2 : 3);
            if (!r.authorEMail.isEmpty()) {
                QCOMPARE(paragraphs[1], r.authorEMail);
                QCOMPARE(author.contains("<a href=\"mailto:"), markdown::isEMailAddress(r.authorEMail));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestReadmeFormats)
#include "tst_readmeformats.moc"
