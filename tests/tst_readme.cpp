// Both layouts of the readme, written and read back: the text layout byte
// for byte; the round trip of both layouts and what a real Markdown renderer
// shows, each over generated records; files as they arrive from other hands;
// the records the layout cannot tell apart; and what a file that does not
// follow the layout is told.

#include "FileTools.h"
#include "core/text/Win1252.h"
#include "core/readme/LayoutText.h"
#include "core/readme/MarkdownBlocks.h"
#include "core/readme/MarkdownInline.h"
#include "core/readme/TextLayout.h"
#include "core/readme/MarkdownLayout.h"
#include "core/readme/ReadmeReading.h"

#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

using namespace velmora;
using R = ReadmeRecord;
using velmora::test::dataFile;

namespace {

// The record of tests/data/readme_full.txt and readme_full.md, in the order
// of ReadmeRecord's fields.
const R fullRecord = {"Sample", "1.2.3", "Acme Tools", "http://www.acme.example", "English, German",
                      "runtime.dll\r\ngrid.ocx", "Freeware", "Writes the readme of a program.",
                      "Fill in the three screens, then press Create File.", "A presets screen.", "Small\r\nFast",
                      "None yet.", "Jane Doe", "jane@acme.example", {}, {}};
const QStringList fullSystems = {"Windows 98", "Windows 95", "Windows NT 4.0"};

QString R::*const itemFields[] = {&R::filesNeeded, &R::description, &R::instructions, &R::newAdditions,
                                  &R::features, &R::additions};

enum class Written { Windows1252Text, Utf8Text, Markdown };

// The text layout in UTF-8, as an editor may save it: the Windows-1252
// bytes decoded and encoded again.
QByteArray write(Written how, const R &r, const QStringList &systems)
{
    if (how == Written::Markdown)
        return readmeMarkdownBytes(r, systems);
    const QByteArray bytes = readmeBytes(r, systems);
    return how == Written::Utf8Text ? fromWindows1252(bytes).toUtf8() : bytes;
}

// What Create File writes again for a recognised readme: its layout, the
// text layout in the encoding it was read in.
QByteArray writeAgain(const RecognisedReadme &read)
{
    const Written text = read.encoding == TextEncoding::Utf8 ? Written::Utf8Text : Written::Windows1252Text;
    return write(read.format == ReadmeFormat::Markdown ? Written::Markdown : text, read.record, read.compatibleSystems);
}

// The empty readme under tests/data, written by hand, with some rows
// (numbered from 1) replaced and the compatible systems after row 57.
QByteArray emptyReadmeWith(const QMap<int, QByteArray> &rows, const QList<QByteArray> &systems)
{
    QList<QByteArray> all = dataFile("readme_empty.txt").split('\n');
    all.removeLast();
    for (auto it = rows.begin(); it != rows.end(); ++it)
        all[it.key() - 1] = it.value() + '\r';
    for (int i = 0; i < systems.size(); ++i)
        all.insert(57 + i, systems[i] + '\r');
    return all.join('\n') + '\n';
}

// ------------------------------------------------------------ generated records

// Records the boxes could hold, made of what is hard on both layouts: empty
// values, spaces alone or at the ends, line breaks at the start and end of
// fields, long lines, Markdown in every value, fenced blocks (the last one
// of a field maybe left open), characters Windows-1252 holds (all the text
// layout can) and, for Markdown, characters beyond it. In half the records
// the multi-line fields are Markdown whose rendering is known (shown[i]:
// the lines a renderer shows), and for the text layout they are ASCII but
// for "\u00c3\u00a9", so that some Windows-1252 files are valid UTF-8 too;
// the wild half adds raw HTML, indented fences, random text and now and then
// rows of either layout: lookalike is then set, as the file may be read back
// as another record of the same bytes.

class Records {
public:
    Records(quint32 seed, bool windows1252) : m_rng(seed), m_windows1252(windows1252) {}

    bool wild = false;
    bool lookalike = false;
    std::array<QStringList, 6> shown;
    QStringList shownLicence;
    QStringList systems;

    R record()
    {
        wild = pick(2);
        lookalike = false;
        m_rows = wild && pick(2);
        R r;
        r.programName = pick(4) ? line(layout::maxProgramNameChars) : any({"x (Demo)", "(Demo)", "C# \\ (", "#"});
        r.programType = pick(3) ? any(layout::programTypes) : QString();
        for (int n = pick(layout::maxVersionChars + 1); n > 0; --n)
            r.version += pick(2) ? QChar(u'0' + pick(10)) : any({".", "-", "+", "v", "r", "C", "z"})[0];
        r.company = line(layout::maxCompanyChars);
        r.language = line(pick(2) ? 60 : 400);
        for (int n = pick(3) ? 0 : pick(4); n > 0; --n)  // the presets' box holds several lines
            r.language += "\r\n" + (pick(4) ? line(60) : QString());
        r.webSite = pick(2) ? line(120) : any({"https://acme.example/a_b?c=1&d=2", "http://x.example/(1)", "www.a.example",
                                               "HTTPS://A.EXAMPLE", "a.example", "http://", "https://a.example/<x>"});
        r.authorName = line(layout::maxAuthorNameChars);
        r.authorEMail = pick(2) ? any({"jane@acme.example", "j_a*ne@x.example", "a@b", "@x", "two@at@x", "at the shop"})
                                : line(layout::maxAuthorEMailChars);
        for (int i = 0; i < 6; ++i)
            r.*itemFields[i] = field(shown[i]);
        shownLicence.clear();
        if (pick(3) == 0) {  // a licence, and its text now and then
            r.licence = pick(2) ? any({"MIT", "GPL-3.0-or-later", "Apache-2.0"}) : line(60);
            r.licenceText = pick(2) ? field(shownLicence) : QString();
        }
        systems.clear();
        for (int n = pick(5); n > 0; --n)
            systems << (pick(2) ? any({"Windows 95", "Windows 98", "Windows NT 4.0"}) : line(30));
        return r;
    }

private:
    int pick(qsizetype n) { return int(m_rng.bounded(quint32(n))); }
    QString any(const QStringList &list) { return list[pick(list.size())]; }
    QString spaces(int upTo) { return QString(pick(upTo), u' '); }

    // Any character of the file's encoding but the line breaks: of
    // Windows-1252, any byte; beyond it, any code point.
    QString anyCharacter()
    {
        for (;;) {
            QString c;
            if (m_windows1252) {
                c = fromWindows1252(QByteArray(1, char(1 + pick(255))));
            } else {
                const char32_t u = char32_t(1 + pick(0x10FFFF));
                if (u < 0xD800 || u > 0xDFFF)
                    c = QString::fromUcs4(&u, 1);
            }
            if (!c.isEmpty() && c != "\r" && c != "\n")
                return c;
        }
    }

    QString text(int maxChars)
    {
        static const QString win = QStringLiteral(
            "\u00e9\u00fc\u00c5\u00df\u20ac\u0152\u0161\u017e\u2014\u2026\u2018\u2019\u201c\u201d\u2022\u2122\u00ff\u00a0\u00a9\t");
        static const QStringList beyond = {"\u4e2d", "\u0141", "\u03a9", "\U0001F600", "\u2028"};
        const bool ascii = m_windows1252 && !wild;
        QString out;
        for (const int length = pick(maxChars + 1); out.size() < length;) {
            const int p = pick(10);
            const QString c = p < 7 || ascii           ? QString(QChar(u' ' + pick(95)))  // printable ASCII
                              : wild && p == 9         ? anyCharacter()
                              : p < 9 || m_windows1252 ? QString(win[pick(win.size())])
                                                       : beyond[pick(beyond.size())];
            if (out.size() + c.size() > maxChars)
                break;
            out += c;
        }
        return out;
    }

    // A single-line value: empty, spaces alone or at its ends, one that
    // means something to Markdown, or any text.
    QString line(int maxChars)
    {
        static const QStringList marked = {"my_tool*v2", "# not a heading", "- not a list", "1. not a list", "[a](b)",
                                           "<b>x</b>", "&amp; &#32;", "a\\", "`x`", "~~x~~", "$x$", ":smile:", ">", "=",
                                           "|a|b|", "a  b", "x (Demo)", "http://acme.example/a_b", "www.acme.example",
                                           "\u00c3\u00a9"};
        switch (pick(8)) {
        case 0: return QString();
        case 1: return u' ' + spaces(qMin(maxChars, 5));
        case 2: return any(marked).left(maxChars);
        case 3: return (u' ' + text(maxChars - 2) + u' ').left(maxChars);
        default: return text(maxChars);
        }
    }

    // Running text that shows as typed (the last ones beyond ASCII, then
    // beyond Windows-1252).
    QString words()
    {
        static const QStringList w = {"alpha beta", "a  b", "q&a 1<2", "tab\there", "<file> >out & more",
                                      "&amp; &#60; \\<", "`<b>` &amp;", "b\u00e9ta", "\u4e2d\u6587 x\U0001F600"};
        return w[pick(!m_windows1252 ? 9 : wild ? 8 : 7)];
    }

    QString field(QStringList &shown)
    {
        shown.clear();
        if (pick(4) == 0)
            return QString();
        QStringList src;
        for (int i = 0, pieces = 1 + pick(5); i < pieces; ++i) {
            switch (pick(wild ? 9 : 6)) {
            case 0:
            case 1:
            case 5:  // running text, each typed line a line of its own, or a list
                for (int k = 1, n = 1 + pick(3), marker = pick(4); k <= n; ++k) {
                    QString typed = marker == 0 ? "- " : marker == 1 ? QString::number(k) + ". " : spaces(4);
                    typed += (shown << words()).last();
                    src << typed + (marker > 1 ? spaces(3) : QString());
                }
                break;
            case 2: {  // a fenced block, shown as typed
                const int indent = wild ? pick(3) : 0, length = 3 + pick(2);
                const QString fence = QString(indent, u' ') + QString(length, pick(2) ? u'`' : u'~');
                src << fence + (pick(2) ? "sh" : "");
                for (int n = 1 + pick(3); n > 0; --n) {
                    src << spaces(5);
                    shown << (src.last() += text(30));
                }
                if (i + 1 < pieces || pick(2))
                    src << fence;
                break;
            }
            case 3:  // a heading, then a line in bold
                src << "#### " + (shown << words()).last() << "**" + (shown << words()).last() + "**";
                shown[shown.size() - 2].prepend("h4 ");
                break;
            case 4: src << spaces(3); break;
            case 6:
                src << any({"* item", "> quote", "| a | b |", "|---|---|", "    indented code", "\tcode after a tab",
                            "<!-- a comment", "-->", "<pre>", "</pre>", "<div>", "***", "Title", "===", "\\",
                            "- <!-- see the notes", "1. <script>x", "  ```", "[a](javascript:alert(1))",
                            "[b]: <data:text/html,x>", "`a`` <b> ``", "\\`<i>`", "<https://a.example>"});
                break;
            case 7: src << text(pick(3) ? 40 : 200); break;
            default:  // a row of either layout, after an empty line or not
                if (m_rows) {
                    const layout::Item &item = layout::items[pick(6)];
                    src << QStringList(pick(2), QString())
                        << any({item.label, item.noneGiven, "### " + item.markdownTitle, layout::rule, layout::author,
                                layout::compatibleTitle, "     Windows 98", "*(none given)*", "- **Version:** 1",
                                "## AUTHOR", "  a@b", layout::thanks});
                    lookalike = true;
                }
            }
        }
        for (QString &l : shown)
            l.replace("`<b>`", "<b>");  // a code span shows without its backticks
        const QString field = (pick(5) ? "" : "\r\n") + src.join("\r\n");
        return field + (pick(5) ? "" : "\r\n");
    }

    QRandomGenerator m_rng;
    bool m_windows1252;
    bool m_rows = false;
};

// ------------------------------------------------------------ rendered

// What a renderer shows, as code hosts render Markdown (tables,
// strike-through, bare links, filtered tags), line by line: each block and
// each line break starts a line, a soft line break is a space, a code block
// keeps its lines. A heading starts with its tag ("h2 "); a link shows as
// [text](target), but for an e-mail address, which code hosts link wherever
// it stands.
QString renderedHtml(const QString &program, const QByteArray &markdown)
{
    QProcess cmark;
    cmark.start(program, {"-e", "table", "-e", "strikethrough", "-e", "autolink", "-e", "tagfilter"});
    cmark.write(markdown);
    cmark.closeWriteChannel();
    cmark.waitForFinished(30000);
    return QString::fromUtf8(cmark.readAllStandardOutput());
}

// Raw HTML and links to scripts, which a renderer that keeps them out
// leaves a trace of.
bool holdsRawHtml(const QString &html)
{
    return html.contains("raw HTML omitted") || html.contains("href=\"\"");
}

QStringList rendered(const QString &program, const QByteArray &markdown, QString *html = nullptr)
{
    const QString page = renderedHtml(program, markdown);
    if (html)
        *html = page;
    static const QRegularExpression code("<pre><code[^>]*>|</code></pre>"), heading("<(h[1-6])>"),
        link("<a href=\"(?!mailto:)([^\"]*)\">(.*?)</a>"), tags("<[^>]*>"),
        blocks("<br />\n|</?(p|li|ul|ol|h[1-6]|blockquote|table|tr|th|td|thead|tbody)>");
    QStringList parts = page.split(code), lines;
    for (int i = 0; i < parts.size(); ++i) {
        QString &text = parts[i];
        if (i % 2)
            text.replace(u'\n', u'\x01');
        else
            text.replace(heading, "\x01\\1 ").replace(link, "[\\2](\\1)").replace(blocks, "\x01").replace(u'\n', u' ')
                .remove(tags);
        text.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&#39;", "'").replace("&amp;", "&");
        lines << text.split(u'\x01');
    }
    lines.removeIf([](const QString &l) { return l.trimmed().isEmpty(); });
    return lines;
}

// What the readme of a generated record should show: each fact once, in its
// section, as typed.
QStringList shownReadme(const R &r, const QStringList &systems, const std::array<QStringList, 6> &shown,
                        const QStringList &shownLicence)
{
    const QString title = r.programType.isEmpty() ? r.programName
                          : (r.programName.isEmpty() ? "(" : r.programName + " (") + r.programType + u')';
    auto fact = [](const QString &label, const QString &value) { return value.isEmpty() ? label : label + u' ' + value; };
    const QString site = markdown::isWebAddress(r.webSite)
                             ? QStringLiteral("[%1](%2)").arg(r.webSite, markdown::webAddressTarget(r.webSite))
                             : r.webSite;
    const QStringList language = QString(r.language).replace("\r\n", "\n").split(u'\n');
    QStringList lines = {"h1 " + title, "h2 " + layout::general, fact("Version:", r.version),
                         fact("Company:", r.company), fact("Language:", language.first())};
    lines << language.mid(1);
    lines << fact("Web site:", site) << fact("Author:", r.authorName) << "h2 " + layout::agreement;
    if (!r.licence.isEmpty() || !r.licenceText.isEmpty())
        lines << "h3 Licence" << fact("Licence:", r.licence) << (r.licenceText.isEmpty() ? QStringList() : shownLicence);
    lines << "h2 " + layout::freeware << "h2 " + layout::program;
    for (int i = 0; i < 6; ++i)
        lines << "h3 " + layout::items[i].markdownTitle
              << ((r.*itemFields[i]).isEmpty() ? QStringList{"(none given)"} : shown[i]);
    lines << "h3 " + layout::compatibleMarkdownTitle << systems << "h2 " + layout::author
          << layout::reachLine1 + u' ' + layout::reachLine2 << r.authorEMail << layout::thanks;
    lines.removeIf([](const QString &l) { return l.trimmed().isEmpty(); });
    return lines;
}

}  // namespace

class TestReadme : public QObject {
    Q_OBJECT

private slots:
    // The text layout byte for byte: the empty readme, and that file with
    // the rows that differ for a name without a type, text of two lines, a
    // field of spaces (not empty), systems in list order, and characters
    // inside and outside Windows-1252 (a '?' for each it cannot hold, one
    // for a character outside the basic plane).
    void textLayout()
    {
        QCOMPARE(readmeBytes(R(), {}), dataFile("readme_empty.txt"));
        // Its row of two spaces for the empty e-mail, as an editor that
        // strips trailing blanks saves it.
        const RecognisedReadme stripped = recogniseReadme(dataFile("readme_empty.txt").replace("  \r\n", "\r\n"));
        QVERIFY2(stripped.recognised && stripped.record == R(), qPrintable(notRecognisedMessage(stripped)));
        R r;
        r.programName = QStringLiteral("Caf\u00e9\u2122");
        r.company = QStringLiteral("\u0141\u00f3d\u017a");
        r.authorName = QStringLiteral("M\u00fcller \u20ac");
        r.description = QStringLiteral("First line\r\n\u4e2d\U0001F600!");
        r.instructions = "   ";
        r.authorEMail = QStringLiteral("\u0160a@x");
        const QStringList systems{"Windows XP", " Linux", QStringLiteral("\u00c5ngstr\u00f6m OS \u0391")};
        const QByteArray expected = emptyReadmeWith({{5, "Caf\xe9\x99 - ()"},
                                                     {7, "?\xf3" "d?"},
                                                     {10, "M\xfcller \x80"},
                                                     {47, "2). Description:\r\nFirst line\r\n??" "!"},
                                                     {49, "3). Instructions:\r\n   "},
                                                     {66, "  \x8a" "a@x"}},
                                                    {"     Windows XP", "      Linux", "     \xc5ngstr\xf6m OS ?"});
        QCOMPARE(readmeBytes(r, systems).split('\n'), expected.split('\n'));  // names the first line that differs
    }

    // For any record the boxes could hold and any list: recognising the
    // file written and writing again gives back the same bytes; apart from
    // files the layout cannot tell apart, the same record and list. Rendered
    // by a real renderer as code hosts render it, the Markdown shows each
    // fact once, in its section, as typed.
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
        const QString cmark = QStandardPaths::findExecutable("cmark-gfm");
        QVERIFY2(written != Written::Markdown || !cmark.isEmpty(), "cmark-gfm is missing (scripts/common.sh lists it)");
        Records gen(20260 + how, written != Written::Markdown);
        int sameRecord = 0;
        for (int i = 0; i < 300; ++i) {
            const R record = gen.record();
            const QByteArray bytes = write(written, record, gen.systems);
            const RecognisedReadme read = recogniseReadme(bytes);
            QVERIFY2(read.recognised, qPrintable(QStringLiteral("record %1: %2").arg(i).arg(notRecognisedMessage(read))));
            QCOMPARE(QString::fromLatin1(writeAgain(read)).split('\n'), QString::fromLatin1(bytes).split('\n'));
            if (written == Written::Markdown) {
                QString html;
                const QStringList shown = rendered(cmark, bytes, &html);
                QVERIFY2(!holdsRawHtml(html), qPrintable(QString::fromUtf8(bytes)));
                if (!gen.wild)
                    QCOMPARE(shown, shownReadme(record, gen.systems, gen.shown, gen.shownLicence));
            }
            // Windows-1252 bytes that are valid UTF-8 as well ("\u00c3\u00a9" is
            // C3 A9) are read as UTF-8, as the viewer reads them.
            if (gen.lookalike || (read.encoding == TextEncoding::Utf8 && written == Written::Windows1252Text
                                  && QString::fromLatin1(bytes).toUtf8() != bytes))
                continue;
            QCOMPARE(read.record, record);
            QCOMPARE(read.compatibleSystems, gen.systems);
            ++sameRecord;
        }
        QVERIFY2(sameRecord > 150, "the generator no longer varies");
    }

    // A field holding an empty line and the next item's row: two records
    // with the same bytes. The earlier field takes the fewest lines that
    // leave the rest of the file in the layout and that it could have been
    // written as. In Markdown a typed line that looks like a heading gets the
    // two spaces of a line break, or stands inside a block that the reader
    // follows; the one field read otherwise ends in the very line the writer
    // adds to close a block. Fields that repeat the layout's rows a hundred
    // thousand times are weighed in linear time (the suite's time-out is the
    // bound); in Markdown such rows stand as typed only inside a block.
    void recordsTheLayoutCannotTellApart_data()
    {
        QTest::addColumn<int>("how");
        QTest::addColumn<int>("item");          // the field typed: 0 for the files needed
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("chosen");  // that field and the next as read; none: as typed
        const int text = int(Written::Windows1252Text), md = int(Written::Markdown);
        QTest::newRow("text: a label row") << text << 1 << "a\r\n\r\n3). Instructions:\r\nb"
                                           << QStringList{"a", "b\r\n\r\n3). Instructions - (none given)"};
        QTest::newRow("text: one empty line is no field") << text << 1 << "\r\n\r\n3). Instructions:\r\nb" << QStringList();
        QTest::newRow("Markdown: a heading in a fenced block")
            << md << 4 << "```\r\n\r\n### 6. Additions\r\n\r\ny\r\n```" << QStringList();
        QTest::newRow("Markdown: raw HTML closed as typed") << md << 1 << "<pre>\r\ncode\r\n</pre>" << QStringList();
        QTest::newRow("Markdown: a closing fence one longer") << md << 1 << "```\r\ncode\r\n````"
                                                              << QStringList{"```\r\ncode", ""};
        QTest::newRow("text: a label row 100,000 times")
            << text << 1 << QStringList(100000, "2). Description:").join("\r\n") << QStringList();
        QTest::newRow("Markdown: a heading 50,000 times in a fenced block")
            << md << 1 << "```\r\n" + QStringList(50000, "### 2. Description\r\n").join("\r\n") + "```" << QStringList();
    }

    void recordsTheLayoutCannotTellApart()
    {
        QFETCH(int, how);
        QFETCH(int, item);
        QFETCH(QString, typed);
        QFETCH(QStringList, chosen);
        R written, read;
        written.*itemFields[item] = typed;
        read.*itemFields[item] = chosen.value(0, typed);
        read.*itemFields[item + 1] = chosen.value(1);
        const QByteArray bytes = write(Written(how), written, {"Windows 95"});
        if (!chosen.isEmpty())  // another record, the same bytes
            QCOMPARE(write(Written(how), read, {"Windows 95"}), bytes);
        const RecognisedReadme recognised = recogniseReadme(bytes);
        QVERIFY2(recognised.recognised, qPrintable(notRecognisedMessage(recognised)));
        QCOMPARE(recognised.record, read);
    }

    // Character references and backslash escapes in a value from other
    // hands read as a code host shows them (a backslash escapes ASCII
    // punctuation alone): code points that are no character become U+FFFD, and a
    // reference without its ';' or its digits stays text.
    void characterReferencesAsRendered()
    {
        const QString cmark = QStandardPaths::findExecutable("cmark-gfm");
        QVERIFY2(!cmark.isEmpty(), "cmark-gfm is missing (scripts/common.sh lists it)");
        for (const char *source : {"a&#xD800;b", "&#xDFFF;", "&#xD7FF;", "&#xE000;", "&#x10FFFF;", "&#x110000;",
                                   "&#1114111;", "&#1114112;", "&#9999999;", "&#x123456;",
                                   "&#;", "&#x;", "&#65", "&#X41;", "&#x4g;", "&amp;lt;", "a&nbsp;b", "&quot;&apos;",
                                   "\\9\\:\\@\\[\\Z\\`\\a\\{\\~"}) {
            QCOMPARE(markdown::unescapeText(QString::fromLatin1(source)),
                     rendered(cmark, QByteArray(source) + '\n').join(u' '));
        }
    }

    // Multi-line fields of lines that open, end or continue blocks, as
    // cmark-gfm renders them: every line of running text ends in a line
    // break (no two typed lines run together), no line of code carries the
    // two spaces added for one, and nothing typed passes as raw HTML or a
    // link to a script, inside a list or not. Underlined headings are left
    // out: the typed line above the underline is the heading.
    void blocksAsRendered()
    {
        const QString cmark = QStandardPaths::findExecutable("cmark-gfm");
        QVERIFY2(!cmark.isEmpty(), "cmark-gfm is missing (scripts/common.sh lists it)");
        const QStringList pool = {"text", "", "***", "- - -", "#\th", "#x", "    code", "\tcode", "  \t code",
                                  "```", "~~~", "<!-- c", "-->", "<pre>", "<div>", "`` <b>", "```x`", "- item",
                                  "1) <i>", "  - <!-- c", "> <b>q", "[a](javascript:x)"};
        // Every three lines of the pool, then a line of text, rendered in one
        // run: a heading between fields ends whatever block is open.
        QList<QStringList> fields;
        QByteArray all;
        for (const QString &a : pool)
            for (const QString &b : pool)
                for (const QString &c : pool) {
                    fields << QStringList{a, b, c, "text"};
                    all += "\n###### field\n\n" + markdown::fieldLines(fields.last().join("\r\n")).join(u'\n').toUtf8() + "\n";
                }
        const QStringList html = renderedHtml(cmark, all).split("<h6>field</h6>\n");
        QCOMPARE(html.size(), fields.size() + 1);
        static const QRegularExpression runTogether("<p>(?:(?!</p>).)*[^>]\n", QRegularExpression::DotMatchesEverythingOption);
        for (int i = 0; i < fields.size(); ++i)
            QVERIFY2(!html[i + 1].contains(runTogether) && !html[i + 1].contains(" \n") && !holdsRawHtml(html[i + 1]),
                     qPrintable(fields[i].join(" | ") + "\n" + html[i + 1]));
    }

    // A line changed into one no field can hold (too long for a value, not
    // a system), or such a line added, anywhere from the compatible systems
    // to the end: the file is refused, and the box names that very line.
    void damageAfterTheLastField()
    {
        const QByteArray junk(300, 'x');
        for (Written how : {Written::Windows1252Text, Written::Markdown}) {
            for (const QStringList &systems : {fullSystems, QStringList()}) {
                const QList<QByteArray> lines = write(how, fullRecord, systems).split('\n');
                int title = int(lines.size()) - 1;
                while (title > 0 && !lines[title].contains("Compatible OS's"))
                    --title;
                QVERIFY(title > 0);
                for (int k = title + 1; k < lines.size(); ++k) {
                    for (bool added : {false, true}) {
                        QList<QByteArray> damaged = lines;
                        if (added)
                            damaged.insert(k, junk);
                        else
                            damaged[k] = junk;
                        const RecognisedReadme read = recogniseReadme(damaged.join('\n'));
                        // In Markdown an e-mail row is any text: a line added
                        // before it may be the e-mail, and the e-mail the line
                        // added.
                        const bool eitherOfTwo = added && lines[k].startsWith("[jane@");
                        QVERIFY2(!read.recognised && (read.mismatch.lineNumber == k + 1
                                                      || (eitherOfTwo && read.mismatch.lineNumber == k + 2)),
                                 qPrintable(QStringLiteral("%1 systems, line %2 %3: %4").arg(systems.size()).arg(k + 1)
                                                .arg(added ? "added" : "changed").arg(notRecognisedMessage(read))));
                    }
                }
            }
        }
    }

    // Files from other hands, read as Open readme reads them. What a trip
    // through git or an editor makes of a readme (line ends converted, a
    // byte-order mark, trailing blanks stripped, the last line break gone)
    // is recognised, and Create File writes the file as first written. A
    // value its box could not hold, or a file edited out of the layout, is
    // not: the box says which line differs, its first 60 characters, and
    // what was expected there.
    void filesFromOtherHands_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("line");  // 0: recognised
        QTest::addColumn<QString>("expected");
        const QByteArray text = dataFile("readme_full.txt"), md = dataFile("readme_full.md");
        auto row = [](const char *name, QByteArray bytes, const char *from = nullptr, const QByteArray &to = {},
                      int line = 0, const QString &expected = {}) {
            QTest::newRow(name) << (from ? bytes.replace(from, to) : bytes) << line << expected;
        };
        row("text", text);
        row("text, LF line ends", text, "\r\n", "\n");
        row("text, CR line ends", text, "\r\n", "\r");
        row("text, no last line break", text.chopped(2));
        row("text, byte-order mark", "\xEF\xBB\xBF" + text);
        row("Markdown", md);
        row("Markdown, CR LF line ends", md, "\n", "\r\n");
        row("Markdown, trailing blanks stripped", md, "  \n", "\n");

        const QString type = "the type in parentheses: \"Demo\", \"Freeware\", \"ShareWare\", \"UpDate\" or nothing";
        // 41 characters as the box counts them, 40 as a person would.
        row("name of 41", text, "Sample", QString(39, u'n').toUtf8() + "\U0001F600", 5,
            "a program name of at most 40 characters on one line");
        row("version with a space", text, "1.2.3", "1.0 b", 6,
            "a version of at most 20 characters: digits, letters, \".\", \"-\" and \"+\"");
        row("line break in a value, Markdown", md, "Acme Tools", "Acme&#10;Tools", 6,
            "a company of at most 40 characters on one line");
        row("type not in the list", text, "(Freeware)", "(Beta)", 5, type);
        row("type not in the list, Markdown", md, "(Freeware)", "(Beta)", 1, type);
        row("empty file", "", nullptr, {}, 1, "\"------------------------------\"");
        const QByteArray agreement = "AGREEMENT\r\n" + QByteArray(30, '-') + "\r\n\r\n";
        row("agreement typed in by hand", text, agreement, agreement + QByteArray(70, 'x') + "\r\n", 16, "an empty line");
        row("label renamed", text, "4). New Additions:", "4) New Additions:", 55,
            "\"4). New Additions:\" or \"4). New Additions - (none given)\"");
        row("empty row between items removed", text, "\r\n\r\n5). Features:", "\r\n5). Features:", 57, "an empty line");
        row("a system not indented", text, "     Windows 95", "Windows 95", 67,
            "an empty line or a system indented by five spaces");
        row("a label left without its value", text, "Writes the readme of a program.\r\n", "", 51, "an empty line");
        row("a label renamed after an item of none", QByteArray(text).replace("2). Description:\r\nWrites the readme of a program.",
                                                                           "2). Description - (none given)"),
            "3). Instructions:", "3) Instructions:", 51, "\"3). Instructions:\" or \"3). Instructions - (none given)\"");
        row("Markdown, a web site as a bare link", md, "[http://www.acme.example](<http://www.acme.example>)",
            "<http://www.acme.example>");
        row("a line after the last", text + "P.S.\r\n", nullptr, {}, 81, "the end of the file");
        row("a character across the 60th place", text + QByteArray(59, 'x') + "\U0001F600 and on\r\n", nullptr, {}, 81,
            "the end of the file");
        row("cut short", text.left(text.indexOf("AUTHOR")), nullptr, {}, 71, "\"AUTHOR\"");
        row("a line added after the language", text, "English, German\r\n", "English, German\r\nPolish\r\n", 9,
            "two spaces and a further line of the language, or the web site");
        row("cut short in the general facts", text.left(text.indexOf("English, German")), nullptr, {}, 8,
            "a row of the general facts");
        row("Markdown, heading renamed", md, "### 3. Instructions", "### Instructions", 26, "\"### 3. Instructions\"");
    }

    void filesFromOtherHands()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, line);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QVERIFY(velmora::test::writeFile(dir.filePath("readme"), bytes));
        const RecognisedReadme read = recogniseReadmeFile(dir.filePath("readme"));
        if (line == 0) {
            QVERIFY2(read.recognised, qPrintable(notRecognisedMessage(read)));
            QCOMPARE(read.record, fullRecord);
            QCOMPARE(read.compatibleSystems, fullSystems);
            QCOMPARE(writeAgain(read),
                     dataFile(read.format == ReadmeFormat::Markdown ? "readme_full.md" : "readme_full.txt"));
            return;
        }
        QCOMPARE(read.mismatch.lineNumber, line);
        const QStringList lines = QString::fromUtf8(bytes).split(QRegularExpression("\r\n|\n"));
        QString start = lines.value(line - 1).left(60);  // never half a character
        if (start.size() == 60 && start.back().isHighSurrogate())
            start.chop(1);
        QCOMPARE(read.mismatch.lineStart, start);
        QCOMPARE(read.mismatch.expected, expected);
        const QString box = notRecognisedMessage(read);
        QVERIFY2(box.contains(QStringLiteral("Line %1 ").arg(line)) && box.contains(expected), qPrintable(box));
    }
};

QTEST_GUILESS_MAIN(TestReadme)
#include "tst_readme.moc"
