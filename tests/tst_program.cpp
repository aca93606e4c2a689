#include "Harness.h"
#include "platform/Look.h"
#include "screens/frmAuthor.h"
#include "screens/frmMain.h"
#include "screens/frmProgram.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace velmora;
using namespace velmora::test;

namespace {

frmProgram *openProgram(Harness &h)
{
    auto *main = h.startToMain<frmMain>();
    QTest::mouseClick(main->cmdMNext, Qt::LeftButton);
    return h.screen<frmProgram>(ScreenId::Program);
}

}  // namespace

class TestProgram : public QObject {
    Q_OBJECT

private slots:
    void layout()
    {
        Harness h;
        frmProgram *p = openProgram(h);
        QCOMPARE(p->windowTitle(), QString("Program Info"));
        QCOMPARE(p->size(), QSize(465, 340));
        checkPlaced(p->txtPDesc, 120, 360, 3255, 855);
        checkPlaced(p->txtPInstruct, 3600, 360, 3255, 855);
        checkPlaced(p->txtPFeat, 120, 1920, 3255, 855);
        checkPlaced(p->txtPAdd, 3600, 1920, 3255, 855);
        checkPlaced(p->txtPNew, 120, 3240, 3255, 855);
        checkButton(p->cmdPClear, 3600, 4560, "Clear");
        checkButton(p->cmdPNext, 4680, 4560, "Next");
        checkButton(p->cmdPMain, 5880, 4560, "Main");
        checkLabel(p->lblPDesc, 120, 120, "Description:");
        checkLabel(p->lblPFeature, 120, 1680, "Features:");
        checkLabel(p->lblPNew, 120, 3000, "New Features:");
        checkLabel(p->lblPAdd, 3600, 1680, "Additional Features:");
        checkLabel(p->lblPInstruct, 3600, 120, "Instructions:");
        for (QLabel *l : {p->lblPDesc, p->lblPFeature, p->lblPNew, p->lblPAdd, p->lblPInstruct}) {
            QVERIFY(l->font().bold());
            QCOMPARE(l->palette().color(QPalette::WindowText), look::darkBlue());
        }
        QCOMPARE(p->focusWidget(), p->txtPDesc);
    }

    void nextCopiesTheFiveTextsUnderTheirReadmeNames()
    {
        Harness h;
        frmProgram *p = openProgram(h);
        QTest::keyClicks(p->txtPDesc, "Line one");
        QTest::keyClick(p->txtPDesc, Qt::Key_Return);
        QTest::keyClicks(p->txtPDesc, "Line two");
        QTest::keyClick(p->txtPDesc, Qt::Key_Return);
        QTest::keyClicks(p->txtPDesc, "Line three");
        // Tab moves on to the next box instead of typing a tab.
        QTest::keyClick(p->txtPDesc, Qt::Key_Tab);
        QCOMPARE(p->focusWidget(), p->txtPInstruct);
        QTest::keyClicks(p->txtPInstruct, "Instruct");
        QTest::keyClicks(p->txtPFeat, "Feat");
        QTest::keyClicks(p->txtPAdd, "Additional");
        QTest::keyClicks(p->txtPNew, "  ");
        QTest::mouseClick(p->cmdPNext, Qt::LeftButton);

        const ReadmeRecord &r = h.ctx().record;
        QCOMPARE(r.description, QString("Line one\r\nLine two\r\nLine three"));
        QCOMPARE(r.instructions, QString("Instruct"));
        QCOMPARE(r.features, QString("Feat"));
        QCOMPARE(r.additions, QString("Additional"));   // the box "Additional Features:"
        QCOMPARE(r.newAdditions, QString("  "));        // the box "New Features:"
        QVERIFY(!p->isVisible());
        QVERIFY(h.screen<frmAuthor>(ScreenId::Author)->isVisible());
    }

    void mainKeepsTextAndRecord()
    {
        Harness h;
        frmProgram *p = openProgram(h);
        QTest::keyClicks(p->txtPDesc, "First");
        QTest::mouseClick(p->cmdPNext, Qt::LeftButton);
        QTest::mouseClick(h.screen<frmAuthor>(ScreenId::Author)->cmdAMain, Qt::LeftButton);
        auto *main = h.screen<frmMain>(ScreenId::Main);
        QTest::mouseClick(main->cmdMNext, Qt::LeftButton);
        QVERIFY(p->isVisible());
        QCOMPARE(p->txtPDesc->text(), QString("First"));

        QTest::keyClicks(p->txtPDesc, " edited");
        QTest::mouseClick(p->cmdPMain, Qt::LeftButton);
        QVERIFY(!p->isVisible() && main->isVisible());
        QCOMPARE(h.ctx().record.description, QString("First"));
    }

    void clearEmptiesBoxesOnly()
    {
        Harness h;
        frmProgram *p = openProgram(h);
        for (look::MultiLineBox *box : {p->txtPDesc, p->txtPInstruct, p->txtPFeat, p->txtPAdd, p->txtPNew})
            QTest::keyClicks(box, "text");
        QTest::mouseClick(p->cmdPNext, Qt::LeftButton);
        QTest::mouseClick(h.screen<frmAuthor>(ScreenId::Author)->cmdAMain, Qt::LeftButton);
        QTest::mouseClick(h.screen<frmMain>(ScreenId::Main)->cmdMNext, Qt::LeftButton);
        p->txtPNew->setFocus();
        QTest::mouseClick(p->cmdPClear, Qt::LeftButton);
        for (look::MultiLineBox *box : {p->txtPDesc, p->txtPInstruct, p->txtPFeat, p->txtPAdd, p->txtPNew})
            QVERIFY(box->text().isEmpty());
        QCOMPARE(p->focusWidget(), p->txtPDesc);
        QCOMPARE(h.ctx().record.description, QString("text"));

        // A close request acts as Main.
        p->close();
        QVERIFY(!p->isVisible());
        QVERIFY(h.screen<frmMain>(ScreenId::Main)->isVisible());
    }

    void boxesTakeAnyLineBreaksAndGiveCrLf()
    {
        look::MultiLineBox box(nullptr, 0, 0, 1500, 900);
        box.setText("a\r\nb\rc\nd");
        QCOMPARE(box.blockCount(), 4);
        QCOMPARE(box.text(), QString("a\r\nb\r\nc\r\nd"));
        box.setText(QString::fromUtf8("non\u00a0breaking"));
        QCOMPARE(box.text(), QString::fromUtf8("non\u00a0breaking"));
        box.setText("ends with a break\r\n");
        QCOMPARE(box.text(), QString("ends with a break\r\n"));
    }
};

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
