#include "FileTools.h"
#include "Harness.h"
#include "Layout.h"
#include "readme/ReadmeLayout.h"
#include "screens/frmAuthor.h"
#include "screens/frmMain.h"
#include "screens/frmProgram.h"
#include "toolkit/Look.h"
#include "toolkit/TextBoxes.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace velmora;
using namespace velmora::test;

namespace {

void typeLines(QPlainTextEdit *box, const QStringList &lines)
{
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, lines[i]);
    }
}

// The whole wizard as a person goes through it, up to the author screen.
frmAuthor *walkToAuthor(Harness &h)
{
    auto *main = h.startToMain<frmMain>();
    QTest::keyClicks(main->txtMName, "Pixel Pal");
    QTest::keyClicks(main->txtMVer, "2.1");
    clickRow(main->lstMType, 1);  // Freeware
    doubleClickRow(main->lstMNCompat, rowOf(main->lstMNCompat, "Windows 98"));
    doubleClickRow(main->lstMNCompat, rowOf(main->lstMNCompat, "Windows XP"));
    QTest::mouseClick(main->cmdMNext, Qt::LeftButton);

    auto *program = h.screen<frmProgram>(ScreenId::Program);
    typeLines(program->txtPDesc, {"Draws pixels.", "Saves them too."});
    typeLines(program->txtPInstruct, {"Run it."});
    typeLines(program->txtPFeat, {"Fast"});
    typeLines(program->txtPNew, {"Undo"});
    QTest::mouseClick(program->cmdPNext, Qt::LeftButton);
    return h.screen<frmAuthor>(ScreenId::Author);
}

}  // namespace

class TestAuthor : public QObject {
    Q_OBJECT

private slots:
    void layout()
    {
        Harness h;
        frmAuthor *a = walkToAuthor(h);
        QCOMPARE(a->windowTitle(), QString("Author"));
        int controls = 0;
        checkLayoutInvariants(a, 3495, 1485, &controls);
        QCOMPARE(controls, 7);
        QCOMPARE(a->lblAName->text(), QString("Name:"));
        QCOMPARE(a->lblAEMail->text(), QString("EMail:"));
        QCOMPARE(a->lblAName->palette().color(QPalette::WindowText), QColor(Qt::black));
        // Each label stands left of its box, on its line.
        QVERIFY(a->lblAName->geometry().right() < a->txtAName->x());
        QVERIFY(a->lblAEMail->geometry().right() < a->txtAEMail->x());
        QCOMPARE(a->cmdAClear->text() + a->cmdACreate->text() + a->cmdAMain->text(),
                 QString("ClearCreate FileMain"));
    }

    void walkThroughToTheFile()
    {
        Harness h(acmePresets);
        frmAuthor *author = walkToAuthor(h);
        QVERIFY(author->isVisible());
        QCOMPARE(author->txtAName->text(), QString("Ann Author"));
        QCOMPARE(author->txtAEMail->text(), QString("ann@acme.example"));
        QCOMPARE(author->focusWidget(), author->txtAName);

        const QString target = h.path("readme");  // no ".txt" is added
        h.platform.dialogAnswers = {target};
        QTest::mouseClick(author->cmdACreate, Qt::LeftButton);

        const auto dialogs = h.platform.callsOf(ScriptedPlatform::Kind::SaveDialog);
        QCOMPARE(dialogs.size(), size_t(1));
        QCOMPARE(dialogs[0].title, QString("Save file"));
        QCOMPARE(dialogs[0].filter, QString("Text (*.txt)"));
        QCOMPARE(dialogs[0].initialFolder, h.folder());
        QCOMPARE(dialogs[0].owner, author);
        QVERIFY(h.platform.messages().empty());
        QCOMPARE(readAll(target), dataFile("readme_walkthrough.txt"));
        QVERIFY(!QFile::exists(target + ".txt"));
        // The screen stays as it was.
        QVERIFY(author->isVisible());
        QCOMPARE(author->txtAName->text(), QString("Ann Author"));

        // The dialog offers the name chosen last time.
        h.platform.dialogAnswers = {target};
        QTest::mouseClick(author->cmdACreate, Qt::LeftButton);
        QCOMPARE(h.platform.callsOf(ScriptedPlatform::Kind::SaveDialog)[1].offeredFileName, target);
    }

    void clearThenCreateWritesEmptyAuthorRows()
    {
        Harness h(acmePresets);
        frmAuthor *author = walkToAuthor(h);
        QTest::mouseClick(author->cmdAClear, Qt::LeftButton);
        QVERIFY(author->txtAName->text().isEmpty() && author->txtAEMail->text().isEmpty());
        QCOMPARE(author->focusWidget(), author->txtAName);

        const QString target = h.path("cleared.txt");
        h.platform.dialogAnswers = {target};
        QTest::mouseClick(author->cmdACreate, Qt::LeftButton);
        const QList<QByteArray> rows = readAll(target).split('\n');
        // Rows 1-10 are one line each; the e-mail row is the 11th line from the end.
        QCOMPARE(rows[9], QByteArray("\r"));
        QCOMPARE(rows[rows.size() - 5], QByteArray("  \r"));
        QCOMPARE(h.ctx().record.authorName, QString());
    }

    void twoRunsWithChangesBetweenGiveTwoFiles()
    {
        Harness h(acmePresets);
        frmAuthor *author = walkToAuthor(h);
        h.platform.dialogAnswers = {h.path("one.txt"), h.path("two.txt")};
        QTest::mouseClick(author->cmdACreate, Qt::LeftButton);
        QTest::keyClick(author->txtAEMail, Qt::Key_End);  // a filled box starts at its first character
        QTest::keyClicks(author->txtAEMail, ".uk");
        auto *main = h.screen<frmMain>(ScreenId::Main);
        doubleClickRow(main->lstMCompat, 0);  // Windows 98 back out, read at write time
        QTest::mouseClick(author->cmdACreate, Qt::LeftButton);

        const QByteArray one = readAll(h.path("one.txt"));
        const QByteArray two = readAll(h.path("two.txt"));
        QCOMPARE(one, dataFile("readme_walkthrough.txt"));
        QVERIFY(two.contains("  ann@acme.example.uk\r\n"));
        QVERIFY(!two.contains("Windows 98\r\n"));
        QVERIFY(two.contains("7). Compatible OS's:\r\n     Windows XP\r\n\r\n"));
        // The systems that are not compatible never appear.
        QVERIFY(!one.contains("Windows 95") && !two.contains("Windows 95"));
    }

    void cancelShowsTheErrorAndWritesNothing()
    {
        Harness h(acmePresets);
        frmAuthor *author = walkToAuthor(h);
        h.ctx().record.authorName = "Earlier";
        h.platform.dialogAnswers = {std::nullopt};
        QTest::mouseClick(author->cmdACreate, Qt::LeftButton);

        const auto boxes = h.platform.messages();
        QCOMPARE(boxes.size(), size_t(1));
        QCOMPARE(boxes[0].text, QString("There seems to be an error. Please contact the author."));
        QCOMPARE(boxes[0].title, QString("Program error!"));
        QCOMPARE(boxes[0].style, 4144);
        QCOMPARE(h.ctx().record.authorName, QString("Earlier"));
        QCOMPARE(QDir(h.folder()).entryList(QDir::Files), QStringList({"presets.txt"}));
        QVERIFY(author->isVisible());
    }

    void pathsThatCannotBeWritten_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QString>("why");  // the box's second line; %1 is the folder
        QTest::newRow("folder that does not exist")
            << "no/such/folder/readme.txt" << "the folder %1/no/such/folder does not exist.";
        QTest::newRow("a folder in the file's place")
            << "afolder" << "a folder of that name is in the way.";
        QTest::newRow("parent is a file") << "presets.txt/readme.txt" << "%1/presets.txt is a file, not a folder.";
        QTest::newRow("a FIFO, which stays") << "pipe" << "it is not a regular file.";
    }

    void pathsThatCannotBeWritten()
    {
        QFETCH(QString, relative);
        QFETCH(QString, why);
        Harness h(acmePresets);
        QDir(h.folder()).mkdir("afolder");
        QCOMPARE(::mkfifo(QFile::encodeName(h.path("pipe")).constData(), 0600), 0);
        frmAuthor *author = walkToAuthor(h);
        h.platform.dialogAnswers = {h.path(relative)};
        QTest::mouseClick(author->cmdACreate, Qt::LeftButton);
        QCOMPARE(h.platform.messages().size(), size_t(1));
        QCOMPARE(h.platform.messages()[0].title, QString("Program error!"));
        // The sentence, then why, on a line of its own.
        QCOMPARE(h.platform.messages()[0].text,
                 "There seems to be an error. Please contact the author.\r\nCannot write \""
                     + h.path(relative) + "\": " + why.arg(h.folder()));
        QCOMPARE(entriesOf(h.folder()), QStringList({"afolder", "pipe", "presets.txt"}));
        QVERIFY(QDir(h.path("afolder")).isEmpty());
        struct stat node {};
        QVERIFY(::lstat(QFile::encodeName(h.path("pipe")).constData(), &node) == 0 && S_ISFIFO(node.st_mode));
        QCOMPARE(readAll(h.presetsPath()), acmePresets);
    }

    // A full disk: the write fails part way; the readme already at that path
    // stays exactly as it was and no stray file is left.
    void fullDiskKeepsTheOldFile()
    {
        Harness h(acmePresets);
        frmAuthor *author = walkToAuthor(h);
        const QString target = h.path("readme.txt");
        const QByteArray old = "An older readme\r\n";
        {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(old);
        }
        h.platform.dialogAnswers = {target};
        std::signal(SIGXFSZ, SIG_IGN);
        const rlim_t limit = setFileSizeLimit(300);  // a full disk for this process
        QTest::mouseClick(author->cmdACreate, Qt::LeftButton);
        setFileSizeLimit(limit);
        QCOMPARE(h.platform.messages().size(), size_t(1));
        QCOMPARE(h.platform.messages()[0].title, QString("Program error!"));
        // The system's own words for the failure follow the path.
        const QString lead = "There seems to be an error. Please contact the author.\r\nCannot write \""
                             + target + "\": ";
        QVERIFY2(h.platform.messages()[0].text.startsWith(lead)
                     && h.platform.messages()[0].text.size() > lead.size() + 1,
                 qPrintable(h.platform.messages()[0].text));
        QCOMPARE(readAll(target), old);
        QCOMPARE(QDir(h.folder()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"presets.txt", "readme.txt"}));

        // With room again the same path is written whole.
        h.platform.dialogAnswers = {target};
        QTest::mouseClick(author->cmdACreate, Qt::LeftButton);
        QCOMPARE(readAll(target), dataFile("readme_walkthrough.txt"));
    }

    void everyShowingRefillsFromPresets()
    {
        QByteArray presets = "\"\",\"\",\"\",\"\",\"" + QByteArray(35, 'n') + "\",\"" +
                             QByteArray(31, 'e') + "\"\r\n";
        Harness h(presets);
        frmAuthor *author = walkToAuthor(h);
        QCOMPARE(author->txtAName->text(), QString(30, 'n'));
        QCOMPARE(author->txtAEMail->text(), QString(30, 'e'));
        QTest::keyClicks(author->txtAName, "more");  // the limit holds
        QCOMPARE(author->txtAName->text().size(), 30);

        author->txtAName->clear();
        QTest::keyClicks(author->txtAName, "Typed");
        h.platform.dialogAnswers = {std::nullopt};
        QTest::mouseClick(author->cmdACreate, Qt::LeftButton);  // a message box: no refill
        QCOMPARE(author->txtAName->text(), QString("Typed"));

        QTest::mouseClick(author->cmdAMain, Qt::LeftButton);
        auto *main = h.screen<frmMain>(ScreenId::Main);
        QVERIFY(main->isVisible() && !author->isVisible());
        h.writePresets("\"\",\"\",\"\",\"\",\"\",\"only@mail\"\r\n");
        QTest::mouseClick(main->cmdMNext, Qt::LeftButton);
        QTest::mouseClick(h.screen<frmProgram>(ScreenId::Program)->cmdPNext, Qt::LeftButton);
        QVERIFY(author->isVisible());
        QCOMPARE(author->txtAName->text(), QString("Typed"));
        QCOMPARE(author->txtAEMail->text(), QString("only@mail"));

        // A close request acts as Main.
        author->close();
        QVERIFY(!author->isVisible() && main->isVisible());
    }
};

QTEST_MAIN(TestAuthor)
#include "tst_author.moc"
