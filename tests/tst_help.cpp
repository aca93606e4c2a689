#include "help/HelpWindow.h"
#include "platform/QtPlatform.h"

#include <QFile>
#include <QTemporaryDir>
#include <QScrollBar>
#include <QTextBrowser>
#include <QtTest>

using namespace velmora;

class TestHelp : public QObject {
    Q_OBJECT

private slots:
    void contentsOpensOneWindowOwnedByTheMainWindow()
    {
        QtPlatform platform;
        QWidget owner;
        owner.show();
        const QString shipped = QString(VELMORA_TEST_DATA) + "/../../resources/Velmora 1_0.HLP";
        QVERIFY(QFile::exists(shipped));

        platform.showHelpContents(&owner, shipped);
        HelpWindow *first = platform.helpWindow();
        QVERIFY(first && first->isVisible());
        QCOMPARE(first->parentWidget(), &owner);
        QVERIFY(first->isWindow());
        const QString text = first->browser()->toPlainText();
        QVERIFY(text.contains("Contents"));
        QVERIFY(text.contains("General Info"));
        QVERIFY(text.contains("Create File"));

        // Scrolled away, then chosen again: the same window, back at the top.
        first->browser()->verticalScrollBar()->setValue(first->browser()->verticalScrollBar()->maximum());
        first->hide();
        platform.showHelpContents(&owner, shipped);
        QCOMPARE(platform.helpWindow(), first);
        QVERIFY(first->isVisible());
        QCOMPARE(first->browser()->verticalScrollBar()->value(), 0);
    }

    void missingFileIsSaidInTheWindow()
    {
        QtPlatform platform;
        QWidget owner;
        QTemporaryDir dir;
        platform.showHelpContents(&owner, dir.filePath("Velmora 1_0.HLP"));
        QVERIFY(platform.helpWindow()->isVisible());
        QVERIFY(platform.helpWindow()->browser()->toPlainText().contains("cannot find its help file"));
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
