#include "Harness.h"
#include "Layout.h"
#include "screens/frmMain.h"
#include "viewer/WholeFile.h"
#include "viewer/frmView.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace velmora;
using namespace velmora::test;

namespace {

using velmora::test::Harness;

frmView *openViewer(Harness &h, std::optional<QString> firstAnswer)
{
    auto *main = h.startToMain<frmMain>();
    h.platform.dialogAnswers = {firstAnswer};
    main->mnuMTView->trigger();
    return h.screen<frmView>(ScreenId::View);
}

}  // namespace

class TestViewer : public QObject {
    Q_OBJECT

private slots:
    void layoutAndFirstOpenWithCancel()
    {
        Harness h;
        frmView *v = openViewer(h, std::nullopt);
        QVERIFY(v->isVisible());
        QCOMPARE(v->windowTitle(), QString("View"));
        int controls = 0;
        checkLayoutInvariants(v, 7140, 3750, &controls);
        QCOMPARE(controls, 4);
        // The buttons sit in a row below the text box.
        for (QPushButton *b : {v->cmdVClear, v->cmdVAnother, v->cmdVMain})
            QVERIFY(b->y() > v->txtView->geometry().bottom());
        QVERIFY(v->cmdVClear->x() < v->cmdVAnother->x() && v->cmdVAnother->x() < v->cmdVMain->x());
        QVERIFY(!v->txtView->isReadOnly());
        QVERIFY(v->txtView->toPlainText().isEmpty());
        QVERIFY(h.platform.messages().empty());

        const auto dialogs = h.platform.callsOf(ScriptedPlatform::Kind::OpenDialog);
        QCOMPARE(dialogs.size(), size_t(1));
        QCOMPARE(dialogs[0].title, QString("Open readme file"));
        QCOMPARE(dialogs[0].filter, QString("Text (*.txt)"));
        QCOMPARE(dialogs[0].initialFolder, h.folder());
        // The dialog came before the viewer was shown.
        QCOMPARE(dialogs[0].owner, v);
    }

    void anotherCancelKeepsAndMissingEmpties()
    {
        Harness h;
        QVERIFY(writeFile(h.path("one.txt"), "first file\r\n"));
        frmView *v = openViewer(h, h.path("one.txt"));
        h.platform.dialogAnswers = {std::nullopt};
        QTest::mouseClick(v->cmdVAnother, Qt::LeftButton);
        QCOMPARE(v->txtView->toPlainText(), QString("first file\n"));
        // The dialog offers the name chosen last.
        QCOMPARE(h.platform.callsOf(ScriptedPlatform::Kind::OpenDialog)[1].offeredFileName, h.path("one.txt"));

        h.platform.dialogAnswers = {h.path("does not exist")};
        QTest::mouseClick(v->cmdVAnother, Qt::LeftButton);
        QVERIFY(v->txtView->toPlainText().isEmpty());
        QVERIFY(h.platform.messages().empty());
    }

    void filesOfEveryKind_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("readme in Windows-1252, exactly")
            << QByteArray("------------------------------\r\nGENERAL\r\n\r\nCaf\xe9 \x80 \x93q\x94\r\n")
            << QString::fromUtf8("------------------------------\nGENERAL\n\nCafé € “q”\n");
        QTest::newRow("empty file") << QByteArray() << QString();
        QTest::newRow("UTF-8 with byte-order mark")
            << QByteArray("\xef\xbb\xbf" "Gr\xc3\xbc\xc3\x9f" "e \xe2\x82\xac\r\n") << QString::fromUtf8("Grüße €\n");
        QTest::newRow("UTF-8 without mark") << QByteArray("\xe4\xb8\xad\xe6\x96\x87\n") << QString::fromUtf8("中文\n");
        QTest::newRow("CR and LF alone") << QByteArray("a\rb\nc\r\n") << QString("a\nb\nc\n");
        QTest::newRow("name without .txt") << QByteArray("plain") << QString("plain");
        QTest::newRow("over 64 MiB: nothing") << QByteArray("<sparse>") << QString();
    }

    void filesOfEveryKind()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        Harness h;
        QVERIFY(writeFile(h.path("first.txt"), "something before\r\n"));
        if (bytes == "<sparse>") {
            QFile big(h.path("file.dat"));
            QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(maxViewerFileBytes + 1));
        } else {
            QVERIFY(writeFile(h.path("file.dat"), bytes));
        }
        frmView *v = openViewer(h, h.path("first.txt"));
        h.platform.dialogAnswers = {h.path("file.dat")};
        QTest::mouseClick(v->cmdVAnother, Qt::LeftButton);
        QCOMPARE(v->txtView->toPlainText(), shown);
        QVERIFY(h.platform.messages().empty());
    }

    void clearMainViewShowsEmptyWithoutDialog()
    {
        Harness h;
        QVERIFY(writeFile(h.path("one.txt"), "text\r\n"));
        frmView *v = openViewer(h, h.path("one.txt"));
        QTest::keyClicks(v->txtView, "typed ");
        QTest::mouseClick(v->cmdVClear, Qt::LeftButton);
        QVERIFY(v->txtView->toPlainText().isEmpty());
        QTest::mouseClick(v->cmdVMain, Qt::LeftButton);
        auto *main = h.screen<frmMain>(ScreenId::Main);
        main->mnuMTView->trigger();
        QVERIFY(v->isVisible());
        QVERIFY(v->txtView->toPlainText().isEmpty());
        QCOMPARE(h.platform.callsOf(ScriptedPlatform::Kind::OpenDialog).size(), size_t(1));
        QCOMPARE(readAll(h.path("one.txt")), QByteArray("text\r\n"));

        // A close request acts as Main.
        v->close();
        QVERIFY(!v->isVisible() && main->isVisible());
    }
};

QTEST_MAIN(TestViewer)
#include "tst_viewer.moc"
