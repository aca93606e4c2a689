// The program-info and author screens on the way to Create File: the five
// texts into the record, Main and Clear; the readme byte for byte from a walk
// through the wizard, what the Save dialog is asked, Cancel, a write that
// fails, and no state folder for the draft.

#include "Harness.h"
#include "Layout.h"

#include <QLabel>
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

        // A readme has a name: without one, Create File says so in one box,
        // asks for no file, and takes the user to the Name box.
        QTest::mouseClick(nextButton(p), Qt::LeftButton);
        QTest::mouseClick(createButton(h->author()), Qt::LeftButton);
        QCOMPARE(h->platform.calls.size(), size_t(1));
        QCOMPARE(h->platform.calls[0].text, QString("The readme needs the program's name.\r\nType it into the Name box."));
        QVERIFY(h->main()->isVisible());
        QCOMPARE(h->main()->focusWidget(), nameBox(h->main()));
        QCOMPARE(entriesOf(h->folder()), QStringList({"presets.txt"}));
    }

    // A state folder that cannot be made costs the draft alone. Cancel says
    // nothing, copies and writes nothing. Another file of the chosen name is
    // replaced only on Yes to a question whose default is No. A write that
    // fails keeps the old file and says why on a line of its own (the
    // writer's reasons are the writer suite's); with room again the
    // walk-through readme is written whole, to the name exactly as given,
    // the author screen says where and when in one line, and the titles
    // name the file. A second run reads the boxes and the compatible list
    // again, and the dialog offers the file written last; writing back onto
    // it asks nothing. Clear empties the author rows.
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
        QVERIFY(h->platform.messages().empty());
        QVERIFY(h->context().record.authorName.isEmpty());
        QCOMPARE(entriesOf(h->folder()), QStringList({"presets.txt", "state"}));

        const QString target = h->path("readme");  // no ".txt" is added
        const QByteArray older = "An older readme\r\n";
        QVERIFY(writeFile(target, older));
        h->platform.messageAnswers = {MessageAnswer::No};
        QCOMPARE(h->createFile(target), older);
        QCOMPARE(h->platform.messages().size(), size_t(1));
        QCOMPARE(h->platform.messages()[0].text, QString("readme already exists. Replace it?"));
        QCOMPARE(h->platform.messages()[0].box, yesNoNoByDefault);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlim_t limit = setFileSizeLimit(300);  // a full disk for this process
        h->platform.messageAnswers = {MessageAnswer::Yes};
        const QByteArray kept = h->createFile(target);
        setFileSizeLimit(limit);
        QCOMPARE(kept, older);
        QCOMPARE(h->platform.messages().size(), size_t(3));
        QVERIFY(h->platform.messages().back().text.startsWith(sentence + "\r\nCannot write \"" + target + "\": "));
        h->platform.messageAnswers = {MessageAnswer::Yes};
        const QString before = QTime::currentTime().toString("HH:mm");
        QCOMPARE(h->createFile(target), dataFile("readme_walkthrough.txt"));
        const QString after = QTime::currentTime().toString("HH:mm");
        QCOMPARE(entriesOf(h->folder()), QStringList({"presets.txt", "readme", "state"}));
        // Shown whole, or with its middle left out, and read out whole.
        QLabel *written = nullptr;
        for (QLabel *l : a->findChildren<QLabel *>())
            if (l->toolTip().startsWith("Written to "))
                written = l;
        QVERIFY(written && written->isVisible());
        QVERIFY(written->toolTip() == "Written to " + target + " at " + before
                || written->toolTip() == "Written to " + target + " at " + after);
        QCOMPARE(spokenName(written), written->toolTip());
        QVERIFY(written->text().endsWith(written->toolTip().right(5)));
        checkLayoutInvariants(a);
        QCOMPARE(a->windowTitle() + "|" + h->main()->windowTitle() + "|" + h->program()->windowTitle(),
                 QString("Author - readme|Velmora - readme|Program Info - readme"));
        const auto dialogs = h->platform.callsOf(ScriptedPlatform::Kind::SaveDialog);
        QCOMPARE(dialogs.size(), size_t(4));
        QCOMPARE(dialogs[3].title, QString("Save file"));
        QCOMPARE(dialogs[3].filter, QString("Text (*.txt);;Markdown (*.md)"));
        QCOMPARE(dialogs[3].initialFolder, h->folder());
        QCOMPARE(dialogs[3].owner, a);
        QCOMPARE(h->platform.messages().size(), size_t(4));
        QVERIFY(a->isVisible());

        QTest::keyClick(emailBox(a), Qt::Key_End);  // a filled box starts at its first character
        QTest::keyClicks(emailBox(a), ".uk");
        doubleClickRow(compatibleList(h->main()), 0);  // Windows 98 back out
        const QByteArray two = h->createFile(h->path("two.txt"));
        QCOMPARE(h->platform.callsOf(ScriptedPlatform::Kind::SaveDialog)[4].offeredFileName, target);
        QVERIFY(two.contains("7). Compatible OS's:\r\n     Windows XP\r\n\r\n"));
        QVERIFY(two.contains("\r\n  ann@acme.example.uk\r\n"));

        QTest::mouseClick(clearButton(a), Qt::LeftButton);
        QCOMPARE(a->focusWidget(), nameBox(a));
        const QList<QByteArray> rows = h->createFile(h->path("cleared.txt")).split('\n');
        QCOMPARE(rows[9], QByteArray("\r"));                // row 10, the author's name
        QCOMPARE(rows[rows.size() - 5], QByteArray("  \r"));  // the e-mail row
        QCOMPARE(h->createFile(h->path("cleared.txt")).split('\n'), rows);
        QCOMPARE(h->platform.messages().size(), size_t(4));
    }
};

QTEST_MAIN(TestCreateFile)
#include "tst_createfile.moc"
