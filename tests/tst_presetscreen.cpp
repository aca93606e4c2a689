#include "Harness.h"
#include "Layout.h"
#include "toolkit/Look.h"
#include "toolkit/TextBoxes.h"
#include "presets/PresetsFile.h"
#include "presets/frmPreset.h"
#include "screens/frmAuthor.h"
#include "screens/frmMain.h"
#include "screens/frmProgram.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>

using namespace velmora;
using namespace velmora::test;

namespace {

const QByteArray oldRecord = "\"Old Co\",\"old.example\",\"Old\",\"old.dll\",\"Old Name\",\"old@mail\"\r\n";

frmPreset *openPresets(Harness &h)
{
    auto *main = h.startToMain<frmMain>();
    main->mnuMFConstants->trigger();
    return h.screen<frmPreset>(ScreenId::Preset);
}

void fill(frmPreset *p)
{
    QTest::mouseClick(p->cmdCClear, Qt::LeftButton);
    QTest::keyClicks(p->txtCComName, "Smith, Jones");
    QTest::keyClicks(p->txtCWeb, "sj.example");
    QTest::keyClicks(p->txtCLanguage, "English");
    QTest::keyClicks(p->txtCNeeded, "a.dll");
    QTest::keyClick(p->txtCNeeded, Qt::Key_Return);
    QTest::keyClicks(p->txtCNeeded, "b.dll");
    QTest::keyClicks(p->txtCAName, "Sam Smith");
    QTest::keyClicks(p->txtCEmail, "sam@sj.example");
}

const QByteArray filledRecord =
    "\"Smith, Jones\",\"sj.example\",\"English\",\"a.dll\r\nb.dll\",\"Sam Smith\",\"sam@sj.example\"\r\n";

}  // namespace

class TestPresetScreen : public QObject {
    Q_OBJECT

private slots:
    void layout()
    {
        Harness h(oldRecord);
        frmPreset *p = openPresets(h);
        QCOMPARE(p->windowTitle(), QString("Set program constants (presets)"));
        int controls = 0;
        checkLayoutInvariants(p, 4815, 5310, &controls);
        QCOMPARE(controls, 21);  // six boxes, three buttons, nine labels, three separators
        // Field labels stand on their box's line, ending just left of it.
        const std::pair<QLabel *, QWidget *> beside[] = {
            {p->lblCComName, p->txtCComName}, {p->lblCWeb, p->txtCWeb},     {p->lblCLanguage, p->txtCLanguage},
            {p->lblCNeeded, p->txtCNeeded},   {p->lblCAName, p->txtCAName}, {p->lblCEmail, p->txtCEmail}};
        for (const auto &[l, box] : beside) {
            QVERIFY2(l->geometry().right() < box->x() && box->x() - l->geometry().right() < 12,
                     qPrintable(l->text()));
            QCOMPARE(l->y(), box->y());
        }
        QVERIFY(p->lblCMsg->height() >= p->lblCMsg->heightForWidth(p->lblCMsg->width()));
        QVERIFY(p->lblCMsg->geometry().bottom() < 960 / 15);

        // The saved presets at first; the limits of the target boxes.
        QCOMPARE(p->txtCComName->text() + p->txtCWeb->text() + p->txtCLanguage->text() + p->txtCNeeded->text()
                     + p->txtCAName->text() + p->txtCEmail->text(),
                 QString("Old Coold.exampleOldold.dllOld Nameold@mail"));
        QTest::keyClicks(p->txtCComName, QString(45, 'c'));
        QTest::keyClicks(p->txtCAName, QString(35, 'n'));
        QTest::keyClicks(p->txtCEmail, QString(35, 'e'));
        QCOMPARE(p->txtCComName->text().size(), 40);
        QCOMPARE(p->txtCAName->text().size(), 30);
        QCOMPARE(p->txtCEmail->text().size(), 30);
        QCOMPARE(p->focusWidget(), p->txtCComName);
    }

    void setWritesAfterTheMessageIsAnswered()
    {
        Harness h(oldRecord);
        frmPreset *p = openPresets(h);
        fill(p);
        QByteArray whileShown;
        h.platform.whileMessageShown = [&](const ScriptedPlatform::Call &) {
            whileShown = readAll(h.presetsPath());
        };
        QTest::mouseClick(p->cmdCSet, Qt::LeftButton);
        const auto boxes = h.platform.messages();
        QCOMPARE(boxes.size(), size_t(1));
        QCOMPARE(boxes[0].text, QString("The entered data is being saved!"));
        QCOMPARE(boxes[0].title, QString("Program Constants"));
        QCOMPARE(boxes[0].style, 4144);
        QCOMPARE(whileShown, oldRecord);
        QCOMPARE(readAll(h.presetsPath()), filledRecord);
        QVERIFY(p->isVisible());
        QCOMPARE(p->txtCNeeded->text(), QString("a.dll\r\nb.dll"));
    }

    void setThenMainShowsTheValuesAtOnce()
    {
        Harness h(oldRecord);
        frmPreset *p = openPresets(h);
        fill(p);
        QTest::mouseClick(p->cmdCSet, Qt::LeftButton);
        QTest::mouseClick(p->cmdCMain, Qt::LeftButton);
        auto *main = h.screen<frmMain>(ScreenId::Main);
        QCOMPARE(main->txtMCompany->text(), QString("Smith, Jones"));
        QCOMPARE(main->txtMWeb->text(), QString("sj.example"));
        QCOMPARE(main->txtMLanguage->text(), QString("English"));
        QCOMPARE(main->txtMNeed->text(), QString("a.dll\r\nb.dll"));
        QTest::mouseClick(main->cmdMNext, Qt::LeftButton);
        QTest::mouseClick(h.screen<frmProgram>(ScreenId::Program)->cmdPNext, Qt::LeftButton);
        auto *author = h.screen<frmAuthor>(ScreenId::Author);
        QCOMPARE(author->txtAName->text(), QString("Sam Smith"));
        QCOMPARE(author->txtAEMail->text(), QString("sam@sj.example"));
    }

    void clearThenSetWritesTheEmptyRecord()
    {
        Harness h(oldRecord);
        frmPreset *p = openPresets(h);
        fill(p);
        QTest::mouseClick(p->cmdCClear, Qt::LeftButton);
        QCOMPARE(p->focusWidget(), p->txtCComName);
        QCOMPARE(readAll(h.presetsPath()), oldRecord);  // Clear touches no file
        QTest::mouseClick(p->cmdCSet, Qt::LeftButton);
        QCOMPARE(readAll(h.presetsPath()), QByteArray("\"\",\"\",\"\",\"\",\"\",\"\"\r\n"));
        QTest::mouseClick(p->cmdCMain, Qt::LeftButton);
        QVERIFY(h.screen<frmMain>(ScreenId::Main)->txtMCompany->text().isEmpty());
    }

    // A presets.txt of the largest size is read; one byte more holds no
    // record, and Set writes one record over it, as over any other.
    void setOverAFileTooLargeToRead()
    {
        const QByteArray head("\"Big Co\",\"big.example\",\"En\",\""), tail("\",\"Big\",\"b@x\"\r\n");
        // The needed files padded with words: the box lays out a long run
        // without a space slowly.
        QByteArray padding = QByteArray("f.dll ").repeated(maxPresetsFileBytes / 6);
        padding.resize(maxPresetsFileBytes - head.size() - tail.size(), 'f');
        QByteArray big = head + padding + tail;
        {
            Harness h(big);
            auto *main = h.startToMain<frmMain>();
            QCOMPARE(main->txtMCompany->text(), QString("Big Co"));
            QCOMPARE(main->txtMNeed->text().size(), maxPresetsFileBytes - head.size() - tail.size());
        }
        big.insert(head.size(), 'f');
        Harness h(big);
        auto *main = h.startToMain<frmMain>();
        QCOMPARE(main->txtMCompany->text(), QString());
        QCOMPARE(main->txtMNeed->text(), QString());
        QCOMPARE(readAll(h.presetsPath()), big);
        main->mnuMFConstants->trigger();
        frmPreset *p = h.screen<frmPreset>(ScreenId::Preset);
        fill(p);
        QTest::mouseClick(p->cmdCSet, Qt::LeftButton);
        QCOMPARE(h.platform.messages().size(), size_t(1));
        QCOMPARE(readAll(h.presetsPath()), filledRecord);
        QTest::mouseClick(p->cmdCMain, Qt::LeftButton);
        QCOMPARE(main->txtMCompany->text(), QString("Smith, Jones"));
    }

    // Every way Set can end: the boxes shown, in order, and presets.txt after.
    void setShowsItsBoxes_data()
    {
        QTest::addColumn<QString>("setup");        // presets.txt before: "file" (oldRecord), "none", "folder", "fifo"
        QTest::addColumn<QString>("whileSaving");  // done while the box before the write is open
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QStringList>("boxes");    // title and text of each box; "%1" is the path
        QTest::addColumn<QByteArray>("after");     // presets.txt afterwards; null when no file

        const QStringList savingBox{"Program Constants", "The entered data is being saved!"};
        const QStringList missingBox{"File Error", "The needed file wasn't found!\r\n"
                                                   "Please contact the author at:\r\n   " VELMORA_CONTACT_EMAIL};
        const QString quote = " a double quote (\").\r\npresets.txt cannot store that character. "
                              "Please remove it and save again.\r\nNothing was saved.";
        // The reason after the path comes from the system and is not compared.
        const QStringList failedBox{"File Error", "The presets could not be saved.\r\nCannot write \"%1\": "};
        const QStringList six{"Acme, Inc.", "www.x", "English\r\nGerman", "", "Jane \u00c9", "j@x"};

        QTest::newRow("written after the box")
            << "file" << "" << six << savingBox
            << QByteArray("\"Acme, Inc.\",\"www.x\",\"English\r\nGerman\",\"\",\"Jane \xc9\",\"j@x\"\r\n");
        QTest::newRow("no file: none created") << "none" << "" << six << missingBox << QByteArray();
        QTest::newRow("folder in the file's place") << "folder" << "" << six << missingBox << QByteArray();
        QTest::newRow("pipe in the file's place")
            << "fifo" << "" << six
            << QStringList{"File Error", "The presets could not be saved.\r\nCannot write \"%1\": "
                                         "it is not a regular file."}
            << QByteArray();
        QTest::newRow("double quote in one value")
            << "file" << "" << QStringList{"Acme \"Best\"", "", "", "", "", ""}
            << QStringList{"Program Constants", "The company name holds" + quote} << oldRecord;
        QTest::newRow("double quotes in two values")
            << "file" << "" << QStringList{"ok", "ok", "English\r\n\"German\"", "ok", "ok", "j\"@x"}
            << QStringList{"Program Constants", "The language(s) and author's e-mail hold" + quote} << oldRecord;
        QTest::newRow("disk full while the box is shown")
            << "file" << "full disk" << six << savingBox + failedBox << oldRecord;
        QTest::newRow("file removed while the box is shown")
            << "file" << "remove" << six << savingBox + failedBox << QByteArray();
    }

    void setShowsItsBoxes()
    {
        QFETCH(QString, setup);
        QFETCH(QString, whileSaving);
        QFETCH(QStringList, values);
        QFETCH(QStringList, boxes);
        QFETCH(QByteArray, after);

        std::signal(SIGXFSZ, SIG_IGN);  // a write past the file-size limit fails instead
        Harness h(oldRecord);
        const QString path = h.presetsPath();
        if (setup != "file")
            QVERIFY(QFile::remove(path));
        if (setup == "folder")
            QVERIFY(QDir().mkdir(path));
        else if (setup == "fifo")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        frmPreset *p = openPresets(h);
        // Typed, and pasted where a value has line breaks.
        QTest::mouseClick(p->cmdCClear, Qt::LeftButton);
        QLineEdit *lines[] = {p->txtCComName, p->txtCWeb, nullptr, nullptr, p->txtCAName, p->txtCEmail};
        for (int i = 0; i < 6; ++i) {
            if (lines[i])
                QTest::keyClicks(lines[i], values[i]);
        }
        p->txtCLanguage->setText(values[2]);
        p->txtCNeeded->setText(values[3]);

        QStringList shown;
        QList<int> styles;
        QByteArray bytesWhileSaving;
        rlim_t oldLimit = 0;
        h.platform.whileMessageShown = [&](const ScriptedPlatform::Call &call) {
            shown << call.title << call.text;
            styles << call.style;
            if (!call.text.contains("being saved"))
                return;
            bytesWhileSaving = readAll(path);
            if (whileSaving == "full disk")
                oldLimit = setFileSizeLimit(16);  // fewer bytes than the record line
            else if (whileSaving == "remove")
                QFile::remove(path);
        };
        QTest::mouseClick(p->cmdCSet, Qt::LeftButton);
        if (whileSaving == "full disk")
            setFileSizeLimit(oldLimit);

        boxes.replaceInStrings("%1", QDir::toNativeSeparators(path));
        if (boxes.last().endsWith(": ") && shown.size() == boxes.size())
            shown.last().truncate(boxes.last().size());
        QCOMPARE(shown, boxes);
        QCOMPARE(styles, QList<int>(boxes.size() / 2, 4144));  // OK with an exclamation mark
        if (boxes.contains("The entered data is being saved!"))
            QCOMPARE(bytesWhileSaving, oldRecord);
        QCOMPARE(QFileInfo(path).isFile(), !after.isNull());
        if (!after.isNull())
            QCOMPARE(readAll(path), after);
        // Nothing else appeared beside the program; the screen keeps its text.
        QStringList expected{"presets.txt"};
        if (after.isNull() && setup != "folder" && setup != "fifo")
            expected.clear();
        QCOMPARE(entriesOf(h.folder()), expected);
        QVERIFY(p->isVisible());
        QCOMPARE(p->txtCComName->text(), values[0]);
    }

    void mainWithoutSetLeavesTheFileAlone()
    {
        Harness h(oldRecord);
        frmPreset *p = openPresets(h);
        fill(p);
        QTest::mouseClick(p->cmdCMain, Qt::LeftButton);
        QCOMPARE(readAll(h.presetsPath()), oldRecord);
        auto *main = h.screen<frmMain>(ScreenId::Main);
        QCOMPARE(main->txtMCompany->text(), QString("Old Co"));
        // The unsaved values are still there when the screen comes back.
        main->mnuMFConstants->trigger();
        QCOMPARE(p->txtCComName->text(), QString("Smith, Jones"));
        // A close request acts as Main, without saving.
        p->close();
        QVERIFY(!p->isVisible() && main->isVisible());
        QCOMPARE(readAll(h.presetsPath()), oldRecord);
    }
};

QTEST_MAIN(TestPresetScreen)
#include "tst_presetscreen.moc"
