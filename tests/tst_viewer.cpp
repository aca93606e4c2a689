#include "Harness.h"
#include "ui/screens/GeneralInfoScreen.h"
#include "core/text/BoundedFile.h"
#include "core/text/WholeFile.h"
#include "ui/screens/ViewerScreen.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

#include "core/text/LineBreaks.h"

using namespace velmora;
using namespace velmora::test;

namespace {

// `lines` lines of `line` each followed by `lineEnd`.
QByteArray linesOf(const QByteArray &line, qint64 lines, const QByteArray &lineEnd = "\r\n")
{
    return (line + lineEnd).repeated(qsizetype(lines));
}

// Readme-like text: lines of words, of at most 70 characters, ended by CR LF,
// exactly `size` bytes long (the last line is cut).
QByteArray readmeLike(qint64 size)
{
    const QByteArray line("The program reads a file and writes its readme, caf\xe9 \x93q\x94.\r\n");
    QByteArray bytes = line.repeated(qsizetype(size / line.size() + 1));
    bytes.truncate(qsizetype(size));
    return bytes;
}

}  // namespace

class TestViewer : public ProgramSuite {
    Q_OBJECT

private slots:
    // The first View asks at once; Cancel shows an empty box, Another and
    // Cancel keep the text, a name that is not there empties it; the dialog
    // offers the name chosen last; nothing is ever said.
    void openAnotherAndCancel()
    {
        start();
        QVERIFY(writeFile(h->path("one.txt"), "Caf\xe9 \x93q\x94\r\nCR\ralone\n"));
        ViewerScreen *v = h->toViewer(std::nullopt);
        QVERIFY(v->isVisible());
        QVERIFY(textBox(v)->toPlainText().isEmpty());
        const auto first = h->platform.callsOf(ScriptedPlatform::Kind::OpenDialog).at(0);
        QCOMPARE(first.title, QString("Open readme file"));
        QCOMPARE(first.filter, QString("Text (*.txt)"));
        QCOMPARE(first.initialFolder, h->folder());
        QCOMPARE(first.owner, v);

        h->platform.dialogAnswers = {h->path("one.txt"), std::nullopt, h->path("does not exist")};
        QTest::mouseClick(anotherButton(v), Qt::LeftButton);
        const QString shown = QString::fromUtf8("Café “q”\nCR\nalone\n");
        QCOMPARE(textBox(v)->toPlainText(), shown);
        QTest::mouseClick(anotherButton(v), Qt::LeftButton);
        QCOMPARE(textBox(v)->toPlainText(), shown);
        QCOMPARE(h->platform.callsOf(ScriptedPlatform::Kind::OpenDialog)[2].offeredFileName, h->path("one.txt"));
        QTest::mouseClick(anotherButton(v), Qt::LeftButton);
        QVERIFY(textBox(v)->toPlainText().isEmpty());
        QVERIFY(h->platform.messages().empty());
    }

    // Files of the shapes that cost the text box the most, just within and
    // just beyond each of the viewer's limits: within, the box shows the
    // file's text exactly, wrapped, editable, with its scroll bar; beyond, it
    // is refused as a file that cannot be read (the box becomes empty).
    void boundedOnEveryShape_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<int>("wrap");  // QTextOption::WrapMode when shown

        const int anywhere = QTextOption::WrapAnywhere;
        const int words = QTextOption::WrapAtWordBoundaryOrAnywhere;
        const qsizetype longest = qsizetype(maxViewerLineChars);
        // One line without a space: a line of 128 Ki characters took the box
        // about a second to lay out, and the time grew with the square of
        // the line's length.
        QTest::newRow("one line without a space, at the line length limit")
            << QByteArray(longest, 'x') << true << anywhere;
        QTest::newRow("one line without a space, one character over")
            << QByteArray(longest + 1, 'x') << false << 0;
        QTest::newRow("words of the longest length that wraps at words")
            << linesOf(QByteArray(qsizetype(maxWordWrapRunChars), 'x') + ' ' + "end", 3) << true << words;
        QTest::newRow("a word one character longer: wraps anywhere")
            << linesOf(QByteArray(qsizetype(maxWordWrapRunChars) + 1, 'x') + ' ' + "end", 3) << true << anywhere;

        // Many short lines: every line costs the box memory and time.
        QTest::newRow("CR-only lines, at the line limit")
            << linesOf("abcd", maxViewerFileLines, "\r") << true << words;
        QTest::newRow("CR-only lines, one over") << linesOf("abcd", maxViewerFileLines + 1, "\r") << false << 0;
        QTest::newRow("empty CR LF lines, at the line limit, and a last line without a break")
            << linesOf("", maxViewerFileLines - 1) + "last" << true << words;
        QTest::newRow("empty CR LF lines, the limit and a last line without a break")
            << linesOf("", maxViewerFileLines) + "last" << false << 0;
        QTest::newRow("paragraph separators (UTF-8) count as lines")
            << linesOf("a", maxViewerFileLines + 1, "\xe2\x80\xa9") << false << 0;

        // Bytes: readme-like text of the largest size shown.
        QCOMPARE(readmeLike(maxViewerFileBytes).size(), maxViewerFileBytes);
        QTest::newRow("readme-like text, at the byte limit")
            << readmeLike(maxViewerFileBytes) << true << words;
        QTest::newRow("readme-like text, one byte over")
            << readmeLike(maxViewerFileBytes + 1) << false << 0;
    }

    void boundedOnEveryShape()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, shown);
        QFETCH(int, wrap);
        start();
        QVERIFY(writeFile(h->path("first.txt"), "something before\r\n"));
        QVERIFY(writeFile(h->path("file.txt"), bytes));
        ViewerScreen *v = h->toViewer(h->path("first.txt"));
        h->platform.dialogAnswers = {h->path("file.txt")};
        QTest::mouseClick(anotherButton(v), Qt::LeftButton);
        QCoreApplication::processEvents();  // the box lays out its first page
        if (!shown) {
            QCOMPARE(textBox(v)->document()->characterCount(), 1);  // empty
            return;
        }
        QCOMPARE(textBox(v)->toPlainText(), toLf(decodeTextFile(bytes)));
        QCOMPARE(int(textBox(v)->wordWrapMode()), wrap);
        QVERIFY(!textBox(v)->isReadOnly());
        QCOMPARE(textBox(v)->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        // Wrapped: the first line, laid out, takes as many lines of the box
        // as its length needs, and the scroll bar reaches past the first page.
        const QTextBlock first = textBox(v)->document()->firstBlock();
        QVERIFY(first.layout()->lineCount() >= 1);
        QVERIFY(first.layout()->lineCount() >= first.length() / 200);
        QVERIFY(textBox(v)->verticalScrollBar()->maximum() > 0);
    }

    // Clear, Main, View: an empty box and no dialog; typed text is never
    // written anywhere.
    void clearMainViewShowsEmptyWithoutDialog()
    {
        start();
        QVERIFY(writeFile(h->path("one.txt"), "text\r\n"));
        ViewerScreen *v = h->toViewer(h->path("one.txt"));
        QTest::keyClicks(textBox(v), "typed ");
        QTest::mouseClick(clearButton(v), Qt::LeftButton);
        QVERIFY(textBox(v)->toPlainText().isEmpty());
        QTest::mouseClick(mainButton(v), Qt::LeftButton);
        viewAction(h->main())->trigger();
        QVERIFY(v->isVisible());
        QVERIFY(textBox(v)->toPlainText().isEmpty());
        QCOMPARE(h->platform.callsOf(ScriptedPlatform::Kind::OpenDialog).size(), size_t(1));
        QCOMPARE(readAll(h->path("one.txt")), QByteArray("text\r\n"));
    }
};

QTEST_MAIN(TestViewer)
#include "tst_viewer.moc"
