// The author screen and Create File: the readme byte for byte from a walk
// through the wizard, what the Save dialog is asked, Cancel and a write that
// fails, and what each showing puts into the two boxes.

#include "Harness.h"

#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using namespace velmora;
using namespace velmora::test;

namespace {

const QString sentence = "There seems to be an error. Please contact the author.";

}  // namespace

class TestAuthor : public ProgramSuite {
    Q_OBJECT

private slots:
    void walkThroughToTheFile()
    {
        start(acmePresets);
        AuthorScreen *a = h->walkToAuthor();
        QCOMPARE(nameBox(a)->text(), QString("Ann Author"));
        QCOMPARE(a->focusWidget(), nameBox(a));

        const QString target = h->path("readme");  // no ".txt" is added
        QCOMPARE(h->createFile(target), dataFile("readme_walkthrough.txt"));
        QVERIFY(!QFile::exists(target + ".txt"));
        const auto dialogs = h->platform.callsOf(ScriptedPlatform::Kind::SaveDialog);
        QCOMPARE(dialogs.size(), size_t(1));
        QCOMPARE(dialogs[0].title, QString("Save file"));
        QCOMPARE(dialogs[0].filter, QString("Text (*.txt);;Markdown (*.md)"));
        QCOMPARE(dialogs[0].initialFolder, h->folder());
        QCOMPARE(dialogs[0].owner, a);
        QVERIFY(h->platform.messages().empty());
        QVERIFY(a->isVisible());

        // A second run reads the boxes and the compatible list again; the
        // dialog offers the name chosen last time.
        QTest::keyClick(emailBox(a), Qt::Key_End);  // a filled box starts at its first character
        QTest::keyClicks(emailBox(a), ".uk");
        doubleClickRow(compatibleList(h->main()), 0);  // Windows 98 back out
        const QByteArray two = h->createFile(h->path("two.txt"));
        QCOMPARE(h->platform.callsOf(ScriptedPlatform::Kind::SaveDialog)[1].offeredFileName, target);
        QVERIFY(two.contains("7). Compatible OS's:\r\n     Windows XP\r\n\r\n"));
        QVERIFY(two.contains("\r\n  ann@acme.example.uk\r\n"));

        // Clear, then Create File: empty author rows.
        QTest::mouseClick(clearButton(a), Qt::LeftButton);
        QCOMPARE(a->focusWidget(), nameBox(a));
        const QList<QByteArray> rows = h->createFile(h->path("cleared.txt")).split('\n');
        QCOMPARE(rows[9], QByteArray("\r"));                // row 10, the author's name
        QCOMPARE(rows[rows.size() - 5], QByteArray("  \r"));  // the e-mail row
    }

    void cancelShowsTheErrorAndWritesNothing()
    {
        start(acmePresets);
        AuthorScreen *a = h->walkToAuthor();
        h->context().record.authorName = "Earlier";
        h->platform.dialogAnswers = {std::nullopt};
        QTest::mouseClick(createButton(a), Qt::LeftButton);
        const auto boxes = h->platform.messages();
        QCOMPARE(boxes.size(), size_t(1));
        QCOMPARE(boxes[0].text, sentence);
        QCOMPARE(boxes[0].title, QString("Program error!"));
        QCOMPARE(boxes[0].box, okWarning);
        QCOMPARE(h->context().record.authorName, QString("Earlier"));
        QCOMPARE(entriesOf(h->folder()), QStringList({"presets.txt"}));
    }

    // The box says why on a line of its own (the writer's reasons are the
    // writer suite's); with room again the same path is written whole.
    void writeThatFailsKeepsTheOldFileAndSaysWhy()
    {
        start(acmePresets);
        h->walkToAuthor();
        QCOMPARE(h->createFile(h->path("no/such/folder/readme.txt")), QByteArray("<unreadable>"));
        QCOMPARE(h->platform.messages().back().text,
                 sentence + "\r\nCannot write \"" + h->path("no/such/folder/readme.txt")
                     + "\": the folder " + h->path("no/such/folder") + " does not exist.");

        const QString target = h->path("readme.txt");
        QVERIFY(writeFile(target, "An older readme\r\n"));
        std::signal(SIGXFSZ, SIG_IGN);
        const rlim_t limit = setFileSizeLimit(300);  // a full disk for this process
        const QByteArray kept = h->createFile(target);
        setFileSizeLimit(limit);
        QCOMPARE(kept, QByteArray("An older readme\r\n"));
        QCOMPARE(h->platform.messages().size(), size_t(2));
        QVERIFY(h->platform.messages().back().text.startsWith(sentence + "\r\nCannot write \"" + target + "\": "));
        QCOMPARE(entriesOf(h->folder()), QStringList({"presets.txt", "readme.txt"}));
        QCOMPARE(h->createFile(target), dataFile("readme_walkthrough.txt"));
    }

};

QTEST_MAIN(TestAuthor)
#include "tst_author.moc"
