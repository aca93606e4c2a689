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
        ProgramInfoScreen *p = h->toProgram();
        QCOMPARE(p->focusWidget(), descriptionBox(p));
        typeLines(descriptionBox(p), {"Line one", "Line two"});
        // Shift+Enter starts a line as Enter does.
        QTest::keyClick(descriptionBox(p), Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(descriptionBox(p), "Line three");
        // Tab moves on to the next box instead of typing a tab.
        QTest::keyClick(descriptionBox(p), Qt::Key_Tab);
        QCOMPARE(p->focusWidget(), instructionsBox(p));
        QTest::keyClicks(instructionsBox(p), "Instruct");
        QTest::keyClicks(featuresBox(p), "Feat");
        QTest::keyClicks(additionsBox(p), "Additional");
        QTest::keyClicks(newAdditionsBox(p), "  ");
        QTest::mouseClick(nextButton(p), Qt::LeftButton);

        const ReadmeRecord &r = h->context().record;
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
        ProgramInfoScreen *p = h->toProgram();
        QTest::keyClicks(descriptionBox(p), "First");
        QTest::mouseClick(nextButton(p), Qt::LeftButton);
        QTest::mouseClick(mainButton(h->author()), Qt::LeftButton);
        h->toProgram();
        QCOMPARE(descriptionBox(p)->text(), QString("First"));
        QTest::keyClicks(descriptionBox(p), " edited");
        QTest::mouseClick(mainButton(p), Qt::LeftButton);
        QVERIFY(!p->isVisible() && h->main()->isVisible());
        QCOMPARE(h->context().record.description, QString("First"));

        h->toProgram();
        for (look::MultiLineBox *box : {instructionsBox(p), featuresBox(p), additionsBox(p), newAdditionsBox(p)})
            QTest::keyClicks(box, "text");
        newAdditionsBox(p)->setFocus();
        QTest::mouseClick(clearButton(p), Qt::LeftButton);
        for (look::MultiLineBox *box : {descriptionBox(p), instructionsBox(p), featuresBox(p), additionsBox(p), newAdditionsBox(p)})
            QVERIFY(box->text().isEmpty());
        QCOMPARE(p->focusWidget(), descriptionBox(p));
        QCOMPARE(h->context().record.description, QString("First"));
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
