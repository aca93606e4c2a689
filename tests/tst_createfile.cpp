// The program-info and author screens on the way to Create File: the five
// texts into the record, Main and Clear; the readme byte for byte from a walk
// through the wizard, what the Save dialog is asked, Cancel, a write that
// fails, and no state folder for the draft.

#include "Harness.h"

#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using namespace velmora;
using namespace velmora::test;

const QString sentence = "There seems to be an error. Please contact the author.";

class TestCreateFile : public ProgramSuite {
    Q_OBJECT

private slots:
    // Next copies the texts into the record under their readme names (the
    // others' names: the walk-through readme below), every line break as
    // CR LF, spaces (non-breaking ones too) kept. Main
    // copies nothing, and the boxes keep their text while hidden; Clear
    // empties them and touches no record.
    void programScreen()
    {
        start();
        ProgramInfoScreen *p = h->toProgram();
        QCOMPARE(p->focusWidget(), descriptionBox(p));
        typeLines(descriptionBox(p), {"Line one", "Line two"});
        // Shift+Enter starts a line as Enter does.
        QTest::keyClick(descriptionBox(p), Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(descriptionBox(p), "Line three");
        typeLines(additionsBox(p), {"Additional", ""});
        QTest::keyClicks(newAdditionsBox(p), "non\u00a0breaking ");
        QTest::mouseClick(nextButton(p), Qt::LeftButton);

        const QString description = "Line one\r\nLine two\r\nLine three";
        const ReadmeRecord &r = h->context().record;
        QCOMPARE(r.description, description);
        QCOMPARE(r.additions, QString("Additional\r\n"));            // the box "Additional Features:"
        QCOMPARE(r.newAdditions, QString("non\u00a0breaking "));  // the box "New Features:"

        QTest::mouseClick(mainButton(h->author()), Qt::LeftButton);
        h->toProgram();
        QCOMPARE(descriptionBox(p)->text(), description);
        QTest::keyClicks(descriptionBox(p), " edited");
        QTest::mouseClick(mainButton(p), Qt::LeftButton);
        QVERIFY(!p->isVisible() && h->main()->isVisible());
        QCOMPARE(r.description, description);

        h->toProgram();
        newAdditionsBox(p)->setFocus();
        QTest::mouseClick(clearButton(p), Qt::LeftButton);
        for (look::MultiLineBox *box : {descriptionBox(p), instructionsBox(p), featuresBox(p), additionsBox(p), newAdditionsBox(p)})
            QVERIFY(box->text().isEmpty());
        QCOMPARE(p->focusWidget(), descriptionBox(p));
        QCOMPARE(r.description, description);
    }

    // A state folder that cannot be made costs the draft alone. Cancel: the
    // error box, nothing copied or written. A write that fails keeps the old
    // file and says why on a line of its own (the writer's reasons are the
    // writer suite's); with room again the walk-through readme is written
    // whole, to the name exactly as given. A second run reads the boxes and
    // the compatible list again, and the dialog offers the name chosen last;
    // Clear empties the author rows.
    void walkThroughToTheFile()
    {
        QVERIFY(writeFile(h->path("state"), "a file where the folder should be"));
        h->platform.userState = h->path("state/velmora");
        start(acmePresets);
        AuthorScreen *a = h->walkToAuthor();
        h->navigator->drafts().flush();
        QVERIFY(h->navigator->drafts().draftPath().isEmpty());
        QCOMPARE(nameBox(a)->text(), QString("Ann Author"));
        QCOMPARE(a->focusWidget(), nameBox(a));
        h->platform.dialogAnswers = {std::nullopt};
        QTest::mouseClick(createButton(a), Qt::LeftButton);
        const auto boxes = h->platform.messages();
        QCOMPARE(boxes.size(), size_t(1));
        QCOMPARE(boxes[0].text, sentence);
        QCOMPARE(boxes[0].title, QString("Program error!"));
        QCOMPARE(boxes[0].box, okWarning);
        QVERIFY(h->context().record.authorName.isEmpty());
        QCOMPARE(entriesOf(h->folder()), QStringList({"presets.txt", "state"}));

        const QString target = h->path("readme");  // no ".txt" is added
        QVERIFY(writeFile(target, "An older readme\r\n"));
        std::signal(SIGXFSZ, SIG_IGN);
        const rlim_t limit = setFileSizeLimit(300);  // a full disk for this process
        const QByteArray kept = h->createFile(target);
        setFileSizeLimit(limit);
        QCOMPARE(kept, QByteArray("An older readme\r\n"));
        QCOMPARE(h->platform.messages().size(), size_t(2));
        QVERIFY(h->platform.messages().back().text.startsWith(sentence + "\r\nCannot write \"" + target + "\": "));
        QCOMPARE(h->createFile(target), dataFile("readme_walkthrough.txt"));
        QCOMPARE(entriesOf(h->folder()), QStringList({"presets.txt", "readme", "state"}));
        const auto dialogs = h->platform.callsOf(ScriptedPlatform::Kind::SaveDialog);
        QCOMPARE(dialogs.size(), size_t(3));
        QCOMPARE(dialogs[2].title, QString("Save file"));
        QCOMPARE(dialogs[2].filter, QString("Text (*.txt);;Markdown (*.md)"));
        QCOMPARE(dialogs[2].initialFolder, h->folder());
        QCOMPARE(dialogs[2].owner, a);
        QCOMPARE(h->platform.messages().size(), size_t(2));
        QVERIFY(a->isVisible());

        QTest::keyClick(emailBox(a), Qt::Key_End);  // a filled box starts at its first character
        QTest::keyClicks(emailBox(a), ".uk");
        doubleClickRow(compatibleList(h->main()), 0);  // Windows 98 back out
        const QByteArray two = h->createFile(h->path("two.txt"));
        QCOMPARE(h->platform.callsOf(ScriptedPlatform::Kind::SaveDialog)[3].offeredFileName, target);
        QVERIFY(two.contains("7). Compatible OS's:\r\n     Windows XP\r\n\r\n"));
        QVERIFY(two.contains("\r\n  ann@acme.example.uk\r\n"));

        QTest::mouseClick(clearButton(a), Qt::LeftButton);
        QCOMPARE(a->focusWidget(), nameBox(a));
        const QList<QByteArray> rows = h->createFile(h->path("cleared.txt")).split('\n');
        QCOMPARE(rows[9], QByteArray("\r"));                // row 10, the author's name
        QCOMPARE(rows[rows.size() - 5], QByteArray("  \r"));  // the e-mail row
    }
};

QTEST_MAIN(TestCreateFile)
#include "tst_createfile.moc"
