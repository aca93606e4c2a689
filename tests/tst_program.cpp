#include "Harness.h"
#include "Layout.h"
#include "toolkit/Look.h"
#include "toolkit/TextBoxes.h"
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
        int controls = 0;
        checkLayoutInvariants(p, 6975, 5100, &controls);
        QCOMPARE(controls, 15);  // five boxes, three buttons, five labels, two separators
        // Each label stands just above its box.
        const std::pair<QLabel *, QWidget *> above[] = {
            {p->lblPDesc, p->txtPDesc}, {p->lblPInstruct, p->txtPInstruct}, {p->lblPFeature, p->txtPFeat},
            {p->lblPAdd, p->txtPAdd},   {p->lblPNew, p->txtPNew}};
        for (const auto &[label, box] : above) {
            QCOMPARE(label->x(), box->x());
            QVERIFY(label->geometry().bottom() < box->y());
            QVERIFY(box->y() - label->geometry().bottom() < 12);
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
