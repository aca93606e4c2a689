#include "Harness.h"
#include "platform/Look.h"
#include "presets/frmPreset.h"
#include "screens/frmAuthor.h"
#include "screens/frmMain.h"
#include "screens/frmProgram.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

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
        QCOMPARE(p->size(), QSize(321, 354));
        checkPlaced(p->txtCComName, 1320, 1560, 3375, 285);
        checkPlaced(p->txtCWeb, 1320, 1920, 3375, 285);
        checkPlaced(p->txtCLanguage, 1320, 2280, 3375, 285);
        checkPlaced(p->txtCNeeded, 1320, 2640, 3375, 285);
        checkPlaced(p->txtCAName, 1320, 3720, 2415, 285);
        checkPlaced(p->txtCEmail, 1320, 4080, 2415, 285);
        checkButton(p->cmdCClear, 1440, 4800, "Clear");
        checkButton(p->cmdCSet, 2520, 4800, "Set");
        checkButton(p->cmdCMain, 3720, 4800, "Main");
        checkLabel(p->lblCComName, 120, 1560, "Company name:");
        checkLabel(p->lblCWeb, 600, 1920, "Web site:");
        checkLabel(p->lblCLanguage, 240, 2280, "Language(s):");
        checkLabel(p->lblCNeeded, 240, 2640, "Needed files:");
        checkLabel(p->lblCAName, 120, 3720, "Authors' name:");
        checkLabel(p->lblCEmail, 120, 4080, "Authors' email:");
        checkLabel(p->lblCGen, 120, 1200, "(General info):");
        checkLabel(p->lblCAuthor, 120, 3360, "(Author):");
        // Field labels end left of their boxes; nothing is cut off.
        for (QLabel *l : {p->lblCComName, p->lblCWeb, p->lblCNeeded, p->lblCAName, p->lblCEmail,
                          p->lblCLanguage}) {
            QVERIFY2(l->geometry().right() < 1320 / 15, qPrintable(l->text()));
            QVERIFY(!l->font().bold());
        }
        for (QLabel *l : {p->lblCGen, p->lblCAuthor}) {
            QVERIFY(l->font().bold());
            QCOMPARE(l->palette().color(QPalette::WindowText), look::darkGreen());
        }
        QCOMPARE(p->lblCMsg->palette().color(QPalette::WindowText), look::darkBlue());
        QVERIFY(!p->lblCMsg->font().bold());
        QVERIFY(p->lblCMsg->wordWrap());
        QVERIFY(p->lblCMsg->height() >= p->lblCMsg->heightForWidth(p->lblCMsg->width()));
        QVERIFY(p->lblCMsg->geometry().bottom() < 960 / 15);

        // Empty at first, whatever the file holds; the limits of the target boxes.
        for (QLineEdit *box : {p->txtCComName, p->txtCWeb, p->txtCAName, p->txtCEmail})
            QVERIFY(box->text().isEmpty());
        QVERIFY(p->txtCLanguage->text().isEmpty() && p->txtCNeeded->text().isEmpty());
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
            whileShown = h.readFile(h.presetsPath());
        };
        QTest::mouseClick(p->cmdCSet, Qt::LeftButton);
        const auto boxes = h.platform.messages();
        QCOMPARE(boxes.size(), size_t(1));
        QCOMPARE(boxes[0].text, QString("The entered data is being saved!"));
        QCOMPARE(boxes[0].title, QString("Program Constants"));
        QCOMPARE(boxes[0].style, 4144);
        QCOMPARE(whileShown, oldRecord);
        QCOMPARE(h.readFile(h.presetsPath()), filledRecord);
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
        QCOMPARE(h.readFile(h.presetsPath()), oldRecord);  // Clear touches no file
        QTest::mouseClick(p->cmdCSet, Qt::LeftButton);
        QCOMPARE(h.readFile(h.presetsPath()), QByteArray("\"\",\"\",\"\",\"\",\"\",\"\"\r\n"));
        QTest::mouseClick(p->cmdCMain, Qt::LeftButton);
        QVERIFY(h.screen<frmMain>(ScreenId::Main)->txtMCompany->text().isEmpty());
    }

    void setWithTheFileMissingCreatesNothing()
    {
        Harness h;
        QFile::remove(h.presetsPath());
        frmPreset *p = openPresets(h);
        fill(p);
        QTest::mouseClick(p->cmdCSet, Qt::LeftButton);
        const auto boxes = h.platform.messages();
        QCOMPARE(boxes.size(), size_t(1));
        QCOMPARE(boxes[0].title, QString("File Error"));  // its text is checked with the save itself
        QVERIFY(!QFile::exists(h.presetsPath()));
        QCOMPARE(p->txtCComName->text(), QString("Smith, Jones"));
    }

    void mainWithoutSetLeavesTheFileAlone()
    {
        Harness h(oldRecord);
        frmPreset *p = openPresets(h);
        fill(p);
        QTest::mouseClick(p->cmdCMain, Qt::LeftButton);
        QCOMPARE(h.readFile(h.presetsPath()), oldRecord);
        auto *main = h.screen<frmMain>(ScreenId::Main);
        QCOMPARE(main->txtMCompany->text(), QString("Old Co"));
        // The unsaved values are still there when the screen comes back.
        main->mnuMFConstants->trigger();
        QCOMPARE(p->txtCComName->text(), QString("Smith, Jones"));
        // A close request acts as Main, without saving.
        p->close();
        QVERIFY(!p->isVisible() && main->isVisible());
        QCOMPARE(h.readFile(h.presetsPath()), oldRecord);
    }
};

QTEST_MAIN(TestPresetScreen)
#include "tst_presetscreen.moc"
