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
        QCOMPARE(p->focusWidget(), ui(p).descriptionBox);
        typeLines(ui(p).descriptionBox, {"Line one", "Line two"});
        // Shift+Enter starts a line as Enter does.
        QTest::keyClick(ui(p).descriptionBox, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(ui(p).descriptionBox, "Line three");
        // Tab moves on to the next box instead of typing a tab.
        QTest::keyClick(ui(p).descriptionBox, Qt::Key_Tab);
        QCOMPARE(p->focusWidget(), ui(p).instructionsBox);
        QTest::keyClicks(ui(p).instructionsBox, "Instruct");
        QTest::keyClicks(ui(p).featuresBox, "Feat");
        QTest::keyClicks(ui(p).additionsBox, "Additional");
        QTest::keyClicks(ui(p).newAdditionsBox, "  ");
        QTest::mouseClick(ui(p).nextButton, Qt::LeftButton);

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
        QTest::keyClicks(ui(p).descriptionBox, "First");
        QTest::mouseClick(ui(p).nextButton, Qt::LeftButton);
        QTest::mouseClick(ui(h->author()).mainButton, Qt::LeftButton);
        h->toProgram();
        QCOMPARE(ui(p).descriptionBox->text(), QString("First"));
        QTest::keyClicks(ui(p).descriptionBox, " edited");
        QTest::mouseClick(ui(p).mainButton, Qt::LeftButton);
        QVERIFY(!p->isVisible() && h->main()->isVisible());
        QCOMPARE(h->context().record.description, QString("First"));

        h->toProgram();
        for (look::MultiLineBox *box : {ui(p).instructionsBox, ui(p).featuresBox, ui(p).additionsBox, ui(p).newAdditionsBox})
            QTest::keyClicks(box, "text");
        ui(p).newAdditionsBox->setFocus();
        QTest::mouseClick(ui(p).clearButton, Qt::LeftButton);
        for (look::MultiLineBox *box : {ui(p).descriptionBox, ui(p).instructionsBox, ui(p).featuresBox, ui(p).additionsBox, ui(p).newAdditionsBox})
            QVERIFY(box->text().isEmpty());
        QCOMPARE(p->focusWidget(), ui(p).descriptionBox);
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
