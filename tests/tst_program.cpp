// The program-info screen: five texts into the record under their readme
// names, kept across visits; Clear; the multi-line boxes' line breaks.

#include "Harness.h"

#include <QtTest>

using namespace velmora;
using namespace velmora::test;

class TestProgram : public ProgramSuite {
    Q_OBJECT

private slots:
    void nextCopiesTheFiveTextsUnderTheirReadmeNames()
    {
        start();
        frmProgram *p = h->toProgram();
        QCOMPARE(p->focusWidget(), p->txtPDesc);
        typeLines(p->txtPDesc, {"Line one", "Line two"});
        // Shift+Enter starts a line as Enter does.
        QTest::keyClick(p->txtPDesc, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(p->txtPDesc, "Line three");
        // Tab moves on to the next box instead of typing a tab.
        QTest::keyClick(p->txtPDesc, Qt::Key_Tab);
        QCOMPARE(p->focusWidget(), p->txtPInstruct);
        QTest::keyClicks(p->txtPInstruct, "Instruct");
        QTest::keyClicks(p->txtPFeat, "Feat");
        QTest::keyClicks(p->txtPAdd, "Additional");
        QTest::keyClicks(p->txtPNew, "  ");
        QTest::mouseClick(p->cmdPNext, Qt::LeftButton);

        const ReadmeRecord &r = h->ctx().record;
        QCOMPARE(r.description, QString("Line one\r\nLine two\r\nLine three"));
        QCOMPARE(r.instructions, QString("Instruct"));
        QCOMPARE(r.features, QString("Feat"));
        QCOMPARE(r.additions, QString("Additional"));  // the box "Additional Features:"
        QCOMPARE(r.newAdditions, QString("  "));       // the box "New Features:"
        QVERIFY(!p->isVisible());
        QVERIFY(h->author()->isVisible());
    }

    // Main copies nothing; the boxes keep their text while hidden; Clear
    // empties them and touches no record.
    void mainKeepsTextAndRecordClearEmptiesBoxesOnly()
    {
        start();
        frmProgram *p = h->toProgram();
        QTest::keyClicks(p->txtPDesc, "First");
        QTest::mouseClick(p->cmdPNext, Qt::LeftButton);
        QTest::mouseClick(h->author()->cmdAMain, Qt::LeftButton);
        h->toProgram();
        QCOMPARE(p->txtPDesc->text(), QString("First"));
        QTest::keyClicks(p->txtPDesc, " edited");
        QTest::mouseClick(p->cmdPMain, Qt::LeftButton);
        QVERIFY(!p->isVisible() && h->main()->isVisible());
        QCOMPARE(h->ctx().record.description, QString("First"));

        h->toProgram();
        for (look::MultiLineBox *box : {p->txtPInstruct, p->txtPFeat, p->txtPAdd, p->txtPNew})
            QTest::keyClicks(box, "text");
        p->txtPNew->setFocus();
        QTest::mouseClick(p->cmdPClear, Qt::LeftButton);
        for (look::MultiLineBox *box : {p->txtPDesc, p->txtPInstruct, p->txtPFeat, p->txtPAdd, p->txtPNew})
            QVERIFY(box->text().isEmpty());
        QCOMPARE(p->focusWidget(), p->txtPDesc);
        QCOMPARE(h->ctx().record.description, QString("First"));
    }

    void boxesTakeAnyLineBreaksAndGiveCrLf()
    {
        look::MultiLineBox box(nullptr, 0, 0, 1500, 900);
        box.setText("a\r\nb\rc\nd");
        QCOMPARE(box.blockCount(), 4);
        QCOMPARE(box.text(), QString("a\r\nb\r\nc\r\nd"));
        box.setText(QString::fromUtf8("non\u00a0breaking, ends with a break\r\n"));
        QCOMPARE(box.text(), QString::fromUtf8("non\u00a0breaking, ends with a break\r\n"));
    }
};

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
