// Readmes on the screens: File > Open readme puts a readme Velmora wrote
// back into the wizard, Tools > Preview shows what Create File would write,
// Create File writes Markdown when asked to, and Tools > View shows any
// readme; both readers keep the same limits.

#include "Harness.h"
#include "ProjectFolder.h"
#include "ui/screens/Wizard.h"
#include "core/readme/TextLayout.h"
#include "core/text/BoundedFile.h"
#include "core/text/LineBreaks.h"
#include "core/text/Win1252.h"
#include "core/text/WholeFile.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextBrowser>
#include <QtTest>

#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <utility>

using namespace velmora;
using namespace velmora::test;

namespace {

// Run once, right after the next look at a name (stat) in this process.
std::function<void()> afterStat;

}  // namespace

// The system's stat as the reader calls it, with room for a test to act
// between the reader's look at a name and its opening of it.
extern "C" int stat(const char *path, struct stat *found) noexcept
{
    const int result = ::fstatat(AT_FDCWD, path, found, 0);
    if (afterStat)
        std::exchange(afterStat, nullptr)();
    return result;
}

namespace {

// Presets that share no value with readme_full.*.
const QByteArray otherPresets = QByteArrayLiteral(
    "\"Beta Corp\",\"https://beta.example\",\"French\",\"beta.dll\",\"Bo Builder\",\"bo@beta.example\"\r\n");

// `lines` lines of `line` each followed by `lineEnd`.
QByteArray linesOf(const QByteArray &line, qint64 lines, const QByteArray &lineEnd = "\r\n")
{
    return (line + lineEnd).repeated(qsizetype(lines));
}

}  // namespace

class TestReadmeScreens : public ProgramSuite {
    Q_OBJECT

    // Next on the general-info and program-info screens, as a person goes
    // on to Create File.
    AuthorScreen *onToAuthor()
    {
        QTest::mouseClick(nextButton(h->main()), Qt::LeftButton);
        QTest::mouseClick(nextButton(h->program()), Qt::LeftButton);
        return h->author();
    }

private slots:
    // File > Open readme after Constants, Tools > Preview after View; Ctrl+O
    // opens the main screen's own Open dialog, which offers the last name
    // again. A file out of the layout is told in one box, Cancel says
    // nothing, and neither changes anything on any screen. A readme Velmora
    // wrote comes back whole (changed and written again on the real program:
    // open_and_update.sh): the systems the OS list holds leave it, one it
    // lacks is only listed, and the draft holds it at once. Presets never
    // replace what was opened: not a value that equals the presets of the
    // moment and is changed there later, not an empty one. Over what was
    // typed since the start, the last open or the last write, Open asks
    // first, No the default, and No keeps every box. The opened file names
    // the screens and is where the Save dialog starts, in its filter; one
    // without a program name is not written.
    void openReadme()
    {
        GeneralInfoScreen *m = start(acmePresets);
        QCOMPARE(fileMenu(m)->actions().indexOf(openAction(m)), 1);
        QCOMPARE(toolsMenu(m)->actions().indexOf(previewAction(m)), 3);
        QCOMPARE(openAction(m)->text() + previewAction(m)->text(), QString("&Open readme\u2026&Preview"));
        QTest::mouseClick(mainButton(h->walkToAuthor()), Qt::LeftButton);
        clickRow(typeList(m), rowOf(typeList(m), "ShareWare"));
        // A system moved before: it goes back to the OS list, at its end.
        doubleClickRow(osList(m), rowOf(osList(m), "Windows ME"));
        const WizardValues before = wizardValues(*h->navigator, h->context());

        QByteArray edited = dataFile("readme_full.txt");
        edited.replace("\r\n1.2.3\r\n", "\r\n1.2.3 b\r\n");
        QVERIFY(writeFile(h->path("edited.txt"), edited));
        h->platform.dialogAnswers = {h->path("edited.txt"), std::nullopt};
        QTest::keyClick(nameBox(m), Qt::Key_O, Qt::ControlModifier);
        QTest::keyClick(nameBox(m), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(wizardValues(*h->navigator, h->context()), before);
        const auto opens = h->platform.callsOf(ScriptedPlatform::Kind::OpenDialog);
        QCOMPARE(opens.size(), size_t(2));
        QCOMPARE(opens[1].filter, QString("Readme (*.txt *.md);;All files (*)"));
        QCOMPARE(opens[1].owner, m);
        QCOMPARE(opens[1].offeredFileName, h->path("edited.txt"));
        const auto boxes = h->platform.messages();
        QCOMPARE(boxes.size(), size_t(1));
        QCOMPARE(boxes[0].box, okWarning);
        QCOMPARE(boxes[0].owner, m);
        QVERIFY2(boxes[0].text.contains("Line 6 differs: \"1.2.3 b\""), qPrintable(boxes[0].text));

        const QString full = QStringLiteral(VELMORA_TEST_DATA "/readme_full.txt");
        h->platform.messageAnswers = {MessageAnswer::No};
        h->openReadme(full);
        QCOMPARE(wizardValues(*h->navigator, h->context()), before);
        QCOMPARE(h->platform.messages().size(), size_t(2));
        QCOMPARE(h->platform.messages()[1].text, QString("Replace what you typed with readme_full.txt?"));
        QCOMPARE(h->platform.messages()[1].box, yesNoNoByDefault);
        QCOMPARE(m->windowTitle(), QString("Velmora"));
        h->platform.messageAnswers = {MessageAnswer::Yes};
        h->openReadme(full);
        QCOMPARE(h->platform.messages().size(), size_t(3));
        QCOMPARE(m->windowTitle(), QString("Velmora - readme_full.txt"));
        QCOMPARE(entries(compatibleList(m)), QStringList({"Windows 98", "Windows 95", "Windows NT 4.0"}));
        QCOMPARE(entries(osList(m)), QStringList({"Windows 98SE", "Windows 2000", "Windows NT", "Windows 10", "Windows 11",
                                                  "macOS", "Linux", "FreeBSD", "Android", "iOS", "Web browser",
                                                  "Windows XP", "Windows ME"}));
        QCOMPARE(typeList(m)->currentItem()->text(), QString("Freeware"));
        QVERIFY(typeList(m)->currentItem()->isSelected());
        h->navigator->drafts().waitForWriter();
        QVERIFY(readAll(h->navigator->drafts().draftPath()).contains("Windows NT 4.0"));
        // Every screen shown again after the presets changed.
        h->writePresets(otherPresets);
        QTest::mouseClick(mainButton(h->toViewer(std::nullopt)), Qt::LeftButton);
        onToAuthor();
        QCOMPARE(h->createFile(h->path("again.txt")), dataFile("readme_full.txt"));
        const auto saves = h->platform.callsOf(ScriptedPlatform::Kind::SaveDialog);
        QCOMPARE(saves.back().offeredFileName + saves.back().offeredFilter, full + "Text (*.txt)");

        QTest::mouseClick(mainButton(h->author()), Qt::LeftButton);
        h->openReadme(QStringLiteral(VELMORA_TEST_DATA "/readme_full.md"));  // nothing typed since the write
        QCOMPARE(h->platform.messages().size(), size_t(3));
        onToAuthor();
        QCOMPARE(h->createFile(h->path("again.md")), dataFile("readme_full.md"));
        QCOMPARE(h->platform.callsOf(ScriptedPlatform::Kind::SaveDialog).back().offeredFilter, QString("Markdown (*.md)"));
        QTest::mouseClick(mainButton(h->author()), Qt::LeftButton);
        h->openReadme(QStringLiteral(VELMORA_TEST_DATA "/readme_empty.txt"));
        onToAuthor();
        QCOMPARE(h->createFile(h->path("empty.txt")), QByteArray("<unreadable>"));
        QVERIFY(h->platform.messages().back().text.startsWith("The readme needs the program's name."));
    }

    // File > From project folder, right after Open readme, on a project made
    // as one is: the facts as a person reads them (a check box, the value,
    // its source; the versions that disagree side by side; a broken file in
    // a line), checked where the box is untouched, a preset's fill being no
    // typing. Cancel changes nothing; Use fills the checked facts alone,
    // the other version chosen, and Create File writes them. The readme now
    // in the folder is offered, and opens as Open readme opens it.
    void factsFromProjectFolder()
    {
        const QString folder = h->path("tidyclip");
        git_libgit2_init();
        QVERIFY(QDir().mkpath(folder) && makeRepository(folder, "git@github.com:ann/tidyclip.git"));
        git_libgit2_shutdown();
        QVERIFY(writeFile(folder + "/CMakeLists.txt", "project(tidyclip VERSION 1.4.3 DESCRIPTION \"Keeps the clipboard tidy\")"));
        QVERIFY(writeFile(folder + "/LICENSE", mit) && writeFile(folder + "/package.json", "{\"name\": }"));
        GeneralInfoScreen *m = start(acmePresets);
        QCOMPARE(fileMenu(m)->actions().indexOf(projectAction(m)), 2);
        QTest::keyClicks(nameBox(m), "Tidy Clip");
        QTest::keyClicks(versionBox(m), "0.9");
        const WizardValues before = wizardValues(*h->navigator, h->context());
        // What shows, row by row from the top, left to right.
        const auto shown = [](ProjectFactsScreen *f) {
            QList<QWidget *> all = f->client()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
            all.removeIf([](QWidget *w) { return w->isHidden() || !(qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w)); });
            // A row: what stands beside the highest control not yet placed, left to right.
            std::ranges::sort(all, {}, [](QWidget *w) { return w->y(); });
            QStringList rows;
            while (!all.isEmpty()) {
                const QRect first = all.first()->geometry();
                QList<QWidget *> row = all;
                row.removeIf([&](QWidget *w) { return w->geometry().center().y() > first.bottom(); });
                all.remove(0, row.size());
                std::ranges::sort(row, {}, [](QWidget *w) { return w->x(); });
                QStringList texts;
                for (QWidget *w : row) {
                    auto *b = qobject_cast<QAbstractButton *>(w);
                    const QString mark = !b || !b->isCheckable() ? "" : qobject_cast<QRadioButton *>(b) ? (b->isChecked() ? "(o) " : "( ) ")
                                                                                                     : (b->isChecked() ? "[x] " : "[ ] ");
                    texts << mark + (b ? b->text().remove(u'&') : static_cast<QLabel *>(w)->text());
                }
                rows << texts.join(" | ");
            }
            return rows;
        };
        const QStringList found{"Check the facts to put into the wizard:", "Fact | Value | From",
                                "[ ] Name | tidyclip | CMakeLists.txt", "[ ] Version | (o) 1.4.2 | git",
                                "( ) 1.4.3 | CMakeLists.txt", "[x] Description | Keeps the clipboard tidy | CMakeLists.txt",
                                "[x] Web site | https://github.com/ann/tidyclip | git", "[x] Author | Ann Example | git",
                                "[x] E-mail | ann@example.org | git", "[x] Licence | MIT | LICENSE",
                                "[x] Licence text | See the file LICENSE | LICENSE", "package.json: line 1: object is missing after a comma", "Use | Cancel"};
        QCOMPARE(shown(h->toProjectFacts(folder)), found);
        QCOMPARE(h->projectFacts()->windowTitle(), "From project folder - " + folder);
        QTest::mouseClick(control<QPushButton>(h->projectFacts(), "Cancel"), Qt::LeftButton);
        QVERIFY(m->isVisible());
        QCOMPARE(wizardValues(*h->navigator, h->context()), before);

        ProjectFactsScreen *f = h->toProjectFacts(folder);
        QCOMPARE(h->platform.callsOf(ScriptedPlatform::Kind::FolderDialog).back().offeredFileName, folder);
        QTest::mouseClick(control<QCheckBox>(f, "Version"), Qt::LeftButton);
        QTest::mouseClick(control<QRadioButton>(f, "1.4.3"), Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>(f, "Use"), Qt::LeftButton);
        QCOMPARE(nameBox(m)->text() + ' ' + versionBox(m)->text(), "Tidy Clip 1.4.3");
        onToAuthor();
        QCOMPARE(h->createFile(folder + "/README.txt"), dataFile("readme_project.txt"));

        QTest::mouseClick(mainButton(h->author()), Qt::LeftButton);
        retype(nameBox(m), "Tidy");
        h->platform.messageAnswers = {MessageAnswer::Yes};
        f = h->toProjectFacts(folder);
        QCOMPARE(shown(f).mid(found.size() - 1), QStringList({"Velmora wrote README.txt here. | Open readme", "Use | Cancel"}));
        QTest::mouseClick(control<QPushButton>(f, "Open readme"), Qt::LeftButton);
        QCOMPARE(h->platform.messages().back().text, QString("Replace what you typed with README.txt?"));
        QCOMPARE(m->windowTitle() + ' ' + nameBox(m)->text(), "Velmora - README.txt Tidy Clip");
    }

    // The preview is the text of the file that Create File then writes,
    // read-only; its Main goes back to the wizard screen that showed it.
    void previewIsTheFileCreateFileWrites_data()
    {
        QTest::addColumn<bool>("opened");
        QTest::newRow("an opened readme, author screen not yet shown") << true;
        QTest::newRow("the walk-through, a name Windows-1252 cannot hold, UTF-8 chosen") << false;
    }

    void previewIsTheFileCreateFileWrites()
    {
        QFETCH(bool, opened);
        GeneralInfoScreen *m = start(acmePresets);
        const QString name = "\u0141\u00f3d\u017a \u4e2d";
        if (opened) {
            h->openReadme(QStringLiteral(VELMORA_TEST_DATA "/readme_full.txt"));
            QVERIFY(h->platform.messages().empty());
        } else {
            QTest::mouseClick(mainButton(h->walkToAuthor()), Qt::LeftButton);
            QTest::keyClick(nameBox(m), Qt::Key_A, Qt::ControlModifier);
            paste(nameBox(m), name);
            QTest::mouseClick(mainButton(onToAuthor()), Qt::LeftButton);
        }

        PreviewScreen *p = h->toPreview();
        QVERIFY(p->isVisible() && !m->isVisible());
        const QString shown = textBox(p)->text();
        QTest::keyClicks(textBox(p), "typed");
        QTest::keyClick(textBox(p), Qt::Key_Delete);
        QCOMPARE(textBox(p)->text(), shown);
        QTest::mouseClick(mainButton(p), Qt::LeftButton);
        QVERIFY(m->isVisible() && !p->isVisible());

        // Ctrl+P on the author screen: Main goes back there.
        AuthorScreen *a = onToAuthor();
        QApplication::setActiveWindow(a);  // the offscreen platform activates no window itself
        QTest::keyClick(nameBox(a), Qt::Key_P, Qt::ControlModifier);
        QVERIFY(p->isVisible() && !a->isVisible());
        QCOMPARE(textBox(p)->text(), shown);
        QTest::mouseClick(mainButton(p), Qt::LeftButton);
        QVERIFY(a->isVisible() && !p->isVisible());
        h->platform.messageAnswers = {MessageAnswer::Yes};  // UTF-8, when asked
        QCOMPARE(shown, decodeTextFile(h->createFile(h->path("written.txt"))));
        QCOMPARE(shown.contains(name), !opened);
    }

    // Preview's other two views, chosen with the keyboard: the README.md
    // that Create File writes, as its source and as a code host renders it;
    // Markdown typed renders (the asterisks are emphasis), what is no
    // Markdown shows as typed, and the view chosen holds for the next
    // showing.
    void previewShowsTheMarkdown()
    {
        GeneralInfoScreen *m = start();
        QTest::keyClicks(nameBox(m), "tidyclip");
        ProgramInfoScreen *program = h->toProgram();
        paste(instructionsBox(program), "tidyclip --strip '*_tmp*' <file> >clean.txt & more");
        QTest::mouseClick(nextButton(program), Qt::LeftButton);
        QTest::mouseClick(mainButton(h->author()), Qt::LeftButton);

        PreviewScreen *p = h->toPreview();
        QVERIFY(QTest::qWaitForWindowActive(p));
        QTest::keyClick(p->focusWidget(), Qt::Key_S, Qt::AltModifier);
        QTRY_VERIFY(textBox(p)->text().startsWith("# tidyclip"));
        const QString source = textBox(p)->text();
        QTest::keyClick(p->focusWidget(), Qt::Key_K, Qt::AltModifier);
        auto *rendered = control<QTextBrowser>(p, "Preview as rendered");
        QTRY_VERIFY(rendered->isVisible() && !textBox(p)->isVisible());
        QStringList italic;
        for (QTextBlock b = rendered->document()->begin(); b.isValid(); b = b.next())
            for (auto f = b.begin(); !f.atEnd(); ++f) {
                if (f.fragment().charFormat().fontItalic())
                    italic << f.fragment().text();
            }
        QCOMPARE(italic.count("_tmp"), 1);
        QVERIFY2(rendered->toPlainText().contains("tidyclip --strip '_tmp' <file> >clean.txt & more"),
                 qPrintable(rendered->toPlainText()));
        QTest::mouseClick(mainButton(p), Qt::LeftButton);
        QVERIFY(h->toPreview() == p && rendered->isVisible());

        onToAuthor();
        QCOMPARE(toLf(source).toUtf8(), h->createFile(h->path("README.md")));
    }

    // The Markdown filter or a name ending in ".md" (any case) writes
    // Markdown, UTF-8 already, so the UTF-8 question is not asked; any
    // other name is the text layout. The name is used exactly as typed.
    // Markdown cannot show a NUL and a NUL byte makes it a binary file: a
    // readme that holds one is refused, with the reason, and nothing written;
    // the text layout holds it as typed.
    void markdownByFilterOrName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<bool>("markdown");
        QTest::addColumn<QString>("pasted");  // at the end of the author's name
        const QString text = "Text (*.txt)", markdown = "Markdown (*.md)", nul = QChar(0) + QString(" \u4e2d");
        QTest::newRow("the Markdown filter, no extension") << "README" << markdown << true << " \u4e2d";
        QTest::newRow(".md with the text filter") << "README.md" << text << true << " \u4e2d";
        QTest::newRow(".MD") << "README.MD" << text << true << " \u4e2d";
        QTest::newRow(".md inside the name") << "README.md.txt" << text << false << " \u4e2d";
        QTest::newRow("a NUL, Markdown") << "README.md" << text << true << nul;
        QTest::newRow("a NUL, text") << "README.txt" << text << false << nul;
    }

    void markdownByFilterOrName()
    {
        QFETCH(QString, name);
        QFETCH(QString, filter);
        QFETCH(bool, markdown);
        QFETCH(QString, pasted);
        start();
        h->openReadme(QStringLiteral(VELMORA_TEST_DATA "/readme_full.txt"));
        AuthorScreen *a = onToAuthor();
        QTest::keyClick(nameBox(a), Qt::Key_End);
        paste(nameBox(a), pasted);

        QByteArray expected = dataFile(markdown ? "readme_full.md" : "readme_full.txt");
        expected.replace("Jane Doe", ("Jane Doe" + pasted).toUtf8());
        const bool refused = markdown && pasted.contains(QChar(0));
        h->platform.messageAnswers = {MessageAnswer::Yes};
        QCOMPARE(h->createFile(h->path(name), filter), refused ? QByteArray("<unreadable>") : expected);
        const auto boxes = h->platform.messages();
        QCOMPARE(boxes.size(), size_t(markdown == refused ? 1 : 0));  // the UTF-8 question, answered Yes
        if (refused)
            QCOMPARE(boxes[0].text, "There seems to be an error. Please contact the author.\r\nMarkdown cannot hold the NUL "
                                    "character (U+0000) that the author's name holds: take it out, or save the readme as text (*.txt).");
        QCOMPARE(entriesOf(h->folder()).size(), refused ? 1 : 2);  // presets.txt and the readme alone
    }

    // The first View asks at once; Cancel shows an empty box, Another and
    // Cancel keep the text, a name that is not there empties it; the dialog
    // offers the name chosen last; nothing is ever said. The text can be
    // edited, never written anywhere; Clear, Main, View: an empty box and no
    // dialog.
    void viewerOpenAnotherAndCancel()
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

        h->platform.dialogAnswers = {h->path("one.txt"), std::nullopt, h->path("does not exist"), h->path("one.txt")};
        QTest::mouseClick(anotherButton(v), Qt::LeftButton);
        const QString shown = QString::fromUtf8("Café “q”\nCR\nalone\n");
        QCOMPARE(textBox(v)->toPlainText(), shown);
        QTest::mouseClick(anotherButton(v), Qt::LeftButton);
        QCOMPARE(textBox(v)->toPlainText(), shown);
        QCOMPARE(h->platform.callsOf(ScriptedPlatform::Kind::OpenDialog)[2].offeredFileName, h->path("one.txt"));
        QTest::mouseClick(anotherButton(v), Qt::LeftButton);
        QVERIFY(textBox(v)->toPlainText().isEmpty());
        QVERIFY(h->platform.messages().empty());

        QTest::mouseClick(anotherButton(v), Qt::LeftButton);
        QVERIFY(!textBox(v)->isReadOnly());
        QTest::keyClicks(textBox(v), "typed ");
        QTest::mouseClick(clearButton(v), Qt::LeftButton);
        QVERIFY(textBox(v)->toPlainText().isEmpty());
        QTest::mouseClick(mainButton(v), Qt::LeftButton);
        viewAction(h->main())->trigger();
        QVERIFY(v->isVisible());
        QVERIFY(textBox(v)->toPlainText().isEmpty());
        QCOMPARE(h->platform.callsOf(ScriptedPlatform::Kind::OpenDialog).size(), size_t(5));
        QCOMPARE(readAll(h->path("one.txt")), QByteArray("Caf\xe9 \x93q\x94\r\nCR\ralone\n"));
    }

    // The reader's limits, one file a row, read by both of its readers. The
    // viewer (Tools > View, Another...): within the limits it shows the
    // file's text exactly, wrapped, editable, with its scroll bar; beyond,
    // the file cannot be read (the box becomes empty). File > Open readme
    // (Ctrl+O), each open within its time: a readme within the limits opens
    // twice and Create File writes it again byte for byte; any other file
    // is refused in one box that says why, and changes nothing. A FIFO given
    // the name between the reader's look and its opening is refused at once.
    void readerLimits_data()
    {
        QTest::addColumn<QByteArray>("bytes");  // or "<fifo>" given the name, "<folder>", "<missing>", "<sparse>"
        QTest::addColumn<int>("wrap");          // the viewer's QTextOption::WrapMode; 0: not shown
        QTest::addColumn<QString>("box");       // how Open readme's box ends; none: opened (twice, each within 2 s)

        const int anywhere = QTextOption::WrapAnywhere;
        const int words = QTextOption::WrapAtWordBoundaryOrAnywhere;
        const QString notAReadme = "Expected there: \"" + QString(30, u'-') + "\".";
        const QString tooLong = " differs: \"" + QString(60, u'x') + "\"\r\nExpected there: a line of at most 131,072 characters.";
        const QString tooMany = "Expected there: the end of the file: a readme has at most 300,000 lines.";
        const QString cannot = "This file cannot be read: ";
        ReadmeRecord r;
        auto described = [&r](qsizetype chars) { r.description = QString(chars, u'x'); return readmeBytes(r, {}); };
        const qsizetype longest = qsizetype(maxViewerLineChars);
        // One line without a space: a line of 128 Ki characters took the box
        // about a second to lay out, and the time grew with the square of
        // the line's length; Open readme took minutes on a readme with a
        // line of 10 MB.
        QTest::newRow("one line without a space, at the line length limit") << QByteArray(longest, 'x') << anywhere << notAReadme;
        QTest::newRow("one line without a space, one character over") << QByteArray(longest + 1, 'x') << 0 << "Line 1" + tooLong;
        QTest::newRow("a readme with a line at the limit") << described(longest) << anywhere << QString();
        QTest::newRow("a readme with a line of 10 MB") << described(10'000'000) << 0 << "Line 48" + tooLong;
        QTest::newRow("words of the longest length that wraps at words, after a space or U+2028")
            << linesOf(QByteArray(qsizetype(maxWordWrapRunChars), 'x') + ' ' + QByteArray(qsizetype(maxWordWrapRunChars), 'x')
                           + "\u2028end", 3) << words << notAReadme;
        QTest::newRow("a word one character longer: wraps anywhere")
            << linesOf(QByteArray(qsizetype(maxWordWrapRunChars) + 1, 'x') + ' ' + "end", 3) << anywhere << notAReadme;
        // 100,000 systems: the second open took minutes, each system looked
        // up in the whole OS list.
        QStringList systems;
        for (int i = 0; i < 100000; ++i)
            systems << QString("System %1").arg(i);
        QTest::newRow("100,000 systems") << readmeBytes({}, systems) << words << QString();

        // Many short lines: every line costs the box memory and time.
        QTest::newRow("CR-only lines, at the line limit") << linesOf("abcd", maxViewerFileLines, "\r") << words << notAReadme;
        QTest::newRow("CR-only lines, one over") << linesOf("abcd", maxViewerFileLines + 1, "\r") << 0 << tooMany;
        QTest::newRow("empty CR LF lines, at the line limit, and a last line without a break")
            << linesOf("", maxViewerFileLines - 1) + "last" << words << notAReadme;
        QTest::newRow("empty CR LF lines, the limit and a last line without a break")
            << linesOf("", maxViewerFileLines) + "last" << 0 << tooMany;
        QTest::newRow("paragraph separators (UTF-8) count as lines")
            << linesOf("a", maxViewerFileLines + 1, "\xe2\x80\xa9") << 0 << tooMany;

        // Bytes: readme-like text of the largest size shown, in lines of 64
        // bytes, and one byte more.
        const QByteArray readme = linesOf("The program reads a file and then writes its readme, caf\xe9 \x93q\x94.",
                                          maxViewerFileBytes / 64);
        const QString large = cannot + "it is larger than 16 MiB, which no readme is.";
        QTest::newRow("readme-like text, at the byte limit") << readme << words << notAReadme;
        QTest::newRow("readme-like text, one byte over") << readme + "x" << 0 << large;
        QTest::newRow("16 MiB and a byte, sparse") << QByteArray("<sparse>") << 0 << large;
        QTest::newRow("a FIFO given the name") << QByteArray("<fifo>") << 0 << cannot + "it is not a regular file.";
        QTest::newRow("a folder") << QByteArray("<folder>") << 0 << cannot + "it is not a regular file.";
        QTest::newRow("missing") << QByteArray("<missing>") << 0 << cannot + "the file does not exist.";
    }

    void readerLimits()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, wrap);
        QFETCH(QString, box);
        const int ms = box.isEmpty() ? 2000 : 1000;  // a file refused within 1 s
        GeneralInfoScreen *m = start();
        const QString path = h->path("file.txt");
        const QByteArray pipe = QFile::encodeName(h->path("pipe"));
        if (bytes == "<fifo>") {
            QVERIFY(writeFile(path, dataFile("readme_full.txt")) && mkfifo(pipe.constData(), 0600) == 0);
            afterStat = [&] { ::rename(pipe.constData(), QFile::encodeName(path).constData()); };
        } else if (bytes == "<folder>") {
            QVERIFY(QDir().mkdir(path));
        } else if (bytes == "<sparse>") {
            QVERIFY(writeFile(path, {}) && QFile::resize(path, (16 << 20) + 1));
        } else if (bytes != "<missing>") {
            QVERIFY(writeFile(path, bytes));
        }

        const WizardValues before = wizardValues(*h->navigator, h->context());
        for (int open = 0; open < (box.isEmpty() ? 2 : 1); ++open) {
            h->platform.dialogAnswers = {path};
            QElapsedTimer took;
            took.start();
            QTest::keyClick(nameBox(m), Qt::Key_O, Qt::ControlModifier);
            QVERIFY2(took.elapsed() < ms, qPrintable(QString("open %1 took %2 ms").arg(open + 1).arg(took.elapsed())));
        }
        QVERIFY(!afterStat);
        const auto boxes = h->platform.messages();
        QCOMPARE(boxes.size(), size_t(box.isEmpty() ? 0 : 1));
        if (!box.isEmpty()) {
            QVERIFY2(boxes[0].text.endsWith(box), qPrintable(boxes[0].text.left(300)));
            QCOMPARE(wizardValues(*h->navigator, h->context()), before);
        } else {
            QCOMPARE(textBox(h->toPreview())->text(), decodeTextFile(bytes));
            QTest::mouseClick(mainButton(h->preview()), Qt::LeftButton);
        }
        if (bytes.startsWith('<'))
            return;
        QVERIFY(writeFile(h->path("first.txt"), "something before\r\n"));
        ViewerScreen *v = h->toViewer(h->path("first.txt"));
        h->platform.dialogAnswers = {path};
        QTest::mouseClick(anotherButton(v), Qt::LeftButton);
        QCoreApplication::processEvents();  // the box lays out its first page
        // The box gives U+2028, a break inside a line, as a line end.
        QCOMPARE(textBox(v)->toPlainText(), wrap ? toLf(decodeTextFile(bytes)).replace(QChar(0x2028), u'\n') : QString());
        if (wrap) {
            QCOMPARE(int(textBox(v)->wordWrapMode()), wrap);
            // Wrapped: the first line, laid out, takes as many lines of
            // the box as its length needs, and the scroll bar reaches
            // past the first page.
            const QTextBlock first = textBox(v)->document()->firstBlock();
            QVERIFY(first.layout()->lineCount() >= std::max(1, first.length() / 200));
            QVERIFY(textBox(v)->verticalScrollBar()->maximum() > 0);
        }
    }
};

QTEST_MAIN(TestReadmeScreens)
#include "tst_readmescreens.moc"
