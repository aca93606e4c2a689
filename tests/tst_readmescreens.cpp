// A readme you come back to, on the screens: File > Open readme puts a
// readme Velmora wrote back into the wizard, Tools > Preview shows what
// Create File would write, and Create File writes Markdown when asked to.

#include "Harness.h"
#include "ui/screens/Wizard.h"
#include "core/text/BoundedFile.h"

#include <QMenu>
#include <QtTest>

using namespace velmora;
using namespace velmora::test;

// Presets that differ from every fact of readme_full.* but the company.
const QByteArray otherPresets = QByteArrayLiteral(
    "\"Beta Corp\",\"https://beta.example\",\"French\",\"beta.dll\",\"Bo Builder\",\"bo@beta.example\"\r\n");

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
    // nothing, and neither changes anything on any screen.
    void openByCtrlOChangesNothingUnlessRecognised()
    {
        GeneralInfoScreen *m = start(acmePresets);
        QCOMPARE(fileMenu(m)->actions().indexOf(openAction(m)), 1);
        QCOMPARE(toolsMenu(m)->actions().indexOf(previewAction(m)), 3);
        QCOMPARE(openAction(m)->text() + previewAction(m)->text(), QString("&Open readme\u2026&Preview"));
        QTest::mouseClick(mainButton(h->walkToAuthor()), Qt::LeftButton);
        const WizardValues before = wizardValues(*h->navigator, h->context());

        QByteArray edited = dataFile("readme_full.txt");
        edited.replace("\r\n1.2.3\r\n", "\r\n1.2.3b\r\n");
        QVERIFY(writeFile(h->path("edited.txt"), edited));
        h->platform.dialogAnswers = {h->path("edited.txt"), std::nullopt};
        QTest::keyClick(nameBox(m), Qt::Key_O, Qt::ControlModifier);
        QTest::keyClick(nameBox(m), Qt::Key_O, Qt::ControlModifier);

        QCOMPARE(wizardValues(*h->navigator, h->context()), before);
        QVERIFY(m->isVisible());
        const auto opens = h->platform.callsOf(ScriptedPlatform::Kind::OpenDialog);
        QCOMPARE(opens.size(), size_t(2));
        QCOMPARE(opens[1].filter, QString("Readme (*.txt *.md);;All files (*)"));
        QCOMPARE(opens[0].initialFolder, h->folder());
        QCOMPARE(opens[1].owner, m);
        QCOMPARE(opens[1].offeredFileName, h->path("edited.txt"));
        const auto boxes = h->platform.messages();
        QCOMPARE(boxes.size(), size_t(1));
        QCOMPARE(boxes[0].box, okWarning);
        QCOMPARE(boxes[0].owner, m);
        QVERIFY2(boxes[0].text.contains("Line 6 differs: \"1.2.3b\""), qPrintable(boxes[0].text));
    }

    // A readme Velmora wrote comes back whole: change the version, go on,
    // Create File to a new path, and only the version row differs. The
    // systems the OS list holds leave it; one it lacks is only listed.
    void openChangeTheVersionAndCreate_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("oldRow");
        QTest::addColumn<QByteArray>("newRow");
        QTest::addColumn<QString>("author");
        const QByteArray textRow = "\r\n1.2.3\r\n", newTextRow = "\r\n1.3\r\n";
        QTest::newRow("text") << "readme_full.txt" << textRow << newTextRow << "Jane Doe";
        QTest::newRow("Markdown") << "readme_full.md" << QByteArray("**Version:** 1.2.3\n")
                                  << QByteArray("**Version:** 1.3\n") << "Jane Doe";
        // Create File asks again, and Yes writes UTF-8 again.
        QTest::newRow("text in UTF-8, UTF-8 chosen again")
            << "readme_full.txt" << textRow << newTextRow << "Jane \u4e2d Doe";
    }

    void openChangeTheVersionAndCreate()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, oldRow);
        QFETCH(QByteArray, newRow);
        QFETCH(QString, author);
        GeneralInfoScreen *m = start(acmePresets);
        const QByteArray old = dataFile(qPrintable(name)).replace("Jane Doe", author.toUtf8());
        QVERIFY(writeFile(h->path(name), old));
        // A system moved before: it goes back to the OS list, at its end.
        doubleClickRow(osList(m), rowOf(osList(m), "Windows ME"));
        h->openReadme(h->path(name));

        QVERIFY(h->platform.messages().empty());
        QVERIFY(m->isVisible());
        QCOMPARE(entries(compatibleList(m)), QStringList({"Windows 98", "Windows 95", "Windows NT 4.0"}));
        QCOMPARE(entries(osList(m)),
                 QStringList({"Windows 98SE", "Windows 2000", "Windows NT", "Windows XP", "Windows ME"}));
        QCOMPARE(typeList(m)->currentItem()->text(), QString("Freeware"));
        QVERIFY(typeList(m)->currentItem()->isSelected());
        // An opened readme is a change: the draft holds it at once.
        h->navigator->drafts().waitForWriter();
        QVERIFY(readAll(h->navigator->drafts().draftPath()).contains("Windows NT 4.0"));

        // The Version box takes digits, dots and Backspace alone (Ctrl+A
        // too is refused): selected with Home and Shift+End, typed over.
        QTest::keyClick(versionBox(m), Qt::Key_Home);
        QTest::keyClick(versionBox(m), Qt::Key_End, Qt::ShiftModifier);
        QTest::keyClicks(versionBox(m), "1.3");
        onToAuthor();
        QByteArray expected = old;
        QCOMPARE(expected.count(oldRow), 1);
        expected.replace(oldRow, newRow);
        const QString target = h->path("next" + name.mid(name.lastIndexOf('.')));
        h->platform.messageAnswers = {MessageAnswer::Yes};
        QCOMPARE(h->createFile(target), expected);
        const bool asked = author != "Jane Doe";
        QCOMPARE(h->platform.messages().size(), size_t(asked ? 1 : 0));
    }

    // Presets never replace what was opened: not a value that equals the
    // presets of the moment and is changed there later, not an empty one.
    void presetsDoNotReplaceOpenedValues_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("presetsLater");
        QTest::newRow("presets changed after opening") << "readme_full.txt" << otherPresets;
        QTest::newRow("empty values") << "readme_empty.txt" << acmePresets;
    }

    void presetsDoNotReplaceOpenedValues()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, presetsLater);
        GeneralInfoScreen *m = start(acmePresets);
        h->openReadme(QStringLiteral(VELMORA_TEST_DATA "/") + name);
        h->writePresets(presetsLater);
        // Every screen shown again: each showing reads the presets.
        viewAction(m)->trigger();
        QTest::mouseClick(mainButton(h->viewer()), Qt::LeftButton);
        AuthorScreen *a = onToAuthor();
        QTest::mouseClick(mainButton(a), Qt::LeftButton);
        onToAuthor();
        QCOMPARE(h->createFile(h->path("again.txt")), dataFile(qPrintable(name)));
    }

    // The preview is the text of the file that Create File then writes,
    // read-only; its Main goes back to the general-info screen.
    void previewIsTheFileCreateFileWrites_data()
    {
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("typedName");
        QTest::newRow("the walk-through") << "" << "";
        QTest::newRow("an opened readme, author screen not yet shown") << "readme_full.txt" << "";
        QTest::newRow("characters Windows-1252 cannot hold, UTF-8 chosen") << "" << "\u0141\u00f3d\u017a \u4e2d";
    }

    void previewIsTheFileCreateFileWrites()
    {
        QFETCH(QString, opened);
        QFETCH(QString, typedName);
        GeneralInfoScreen *m = start(acmePresets);
        if (opened.isEmpty()) {
            QTest::mouseClick(mainButton(h->walkToAuthor()), Qt::LeftButton);
        } else {
            h->openReadme(QStringLiteral(VELMORA_TEST_DATA "/") + opened);
            QVERIFY(h->platform.messages().empty());
        }
        if (!typedName.isEmpty()) {
            QTest::keyClick(nameBox(m), Qt::Key_A, Qt::ControlModifier);
            paste(nameBox(m), typedName);
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

        onToAuthor();
        h->platform.messageAnswers = {MessageAnswer::Yes};  // UTF-8, when asked
        QCOMPARE(shown, decodeTextFile(h->createFile(h->path("written.txt"))));
        QVERIFY(shown.startsWith("------------------------------\r\nGENERAL\r\n"));
        if (!typedName.isEmpty())
            QVERIFY(shown.contains(typedName));
    }

    // The Markdown filter or a name ending in ".md" (any case) writes
    // Markdown, UTF-8 already, so the UTF-8 question is not asked; any
    // other name is the text layout. The name is used exactly as typed.
    void markdownByFilterOrName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<bool>("markdown");
        const QString text = "Text (*.txt)", markdown = "Markdown (*.md)";
        QTest::newRow("the Markdown filter, no extension") << "README" << markdown << true;
        QTest::newRow(".md with the text filter") << "README.md" << text << true;
        QTest::newRow(".MD") << "README.MD" << text << true;
        QTest::newRow(".md inside the name") << "README.md.txt" << text << false;
    }

    void markdownByFilterOrName()
    {
        QFETCH(QString, name);
        QFETCH(QString, filter);
        QFETCH(bool, markdown);
        start();
        h->openReadme(QStringLiteral(VELMORA_TEST_DATA "/readme_full.txt"));
        AuthorScreen *a = onToAuthor();
        QTest::keyClick(nameBox(a), Qt::Key_End);
        paste(nameBox(a), " \u4e2d");

        QByteArray expected = dataFile(markdown ? "readme_full.md" : "readme_full.txt");
        expected.replace("Jane Doe", markdown ? QString("Jane Doe \u4e2d").toUtf8() : QByteArray("Jane Doe ?"));
        QCOMPARE(h->createFile(h->path(name), filter), expected);
        QCOMPARE(h->platform.messages().size(), size_t(markdown ? 0 : 1));  // the UTF-8 question, answered No
        QCOMPARE(entriesOf(h->folder()).size(), 2);  // presets.txt and the readme alone
    }
};

QTEST_MAIN(TestReadmeScreens)
#include "tst_readmescreens.moc"
