// The program on the real desktop layer: its file dialogs kept for the whole
// run, and what it does when the display it is given does not answer.

#include "FileTools.h"
#include "app/Display.h"
#include "app/Navigator.h"
#include "screens/frmAuthor.h"
#include "toolkit/QtPlatform.h"
#include "viewer/frmView.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <unistd.h>

using namespace velmora;
using namespace velmora::test;

namespace {

// Resident memory of this process, from /proc/self/statm (in pages).
qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * ::sysconf(_SC_PAGESIZE) : -1;
}

// What the name box of a file dialog offered when it opened.
struct Offered {
    QString name;
    bool selectedWhole = false;  // typing replaces it
    bool focused = false;
};

// Answers the next file dialog as a person would: the name typed into its
// name box, then Save or Open pressed. Armed before the dialog opens; it
// runs once the dialog's own event loop does.
void answerNextDialogWith(const QString &name, Offered *offered = nullptr)
{
    QTimer::singleShot(0, [name, offered] {
        auto *box = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!box)
            return;  // the caller sees no file chosen
        auto *edit = box->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (offered)
            *offered = {edit->text(), edit->selectedText() == edit->text(), box->focusWidget() == edit};
        edit->setText(name);
        QDialogButtonBox *buttons = box->findChild<QDialogButtonBox *>();
        QPushButton *accept = buttons->button(QDialogButtonBox::Save);
        (accept ? accept : buttons->button(QDialogButtonBox::Open))->click();
    });
}

}  // namespace

class TestDesktop : public QObject {
    Q_OBJECT

private slots:
    // Create File on the author screen and Another on the viewer, run many
    // times on the real dialogs: each screen keeps one dialog, which offers
    // the last name again, and the memory stays where it was. (A new Qt file
    // dialog for every use keeps some 20 KB of each.)
    void oneDialogForTheWholeRun_data()
    {
        QTest::addColumn<ScreenId>("screenId");
        QTest::newRow("Create File on the author screen") << ScreenId::Author;
        QTest::newRow("Another on the viewer") << ScreenId::View;
    }

    void oneDialogForTheWholeRun()
    {
        QFETCH(ScreenId, screenId);
        const int runs = qEnvironmentVariableIntValue("VELMORA_DIALOG_RUNS") > 0
                             ? qEnvironmentVariableIntValue("VELMORA_DIALOG_RUNS")
                             : 300;
        QTemporaryDir dir;
        QtPlatform platform;
        Navigator navigator(platform);
        QPushButton *button = nullptr;
        if (screenId == ScreenId::Author) {
            navigator.show(ScreenId::Author);
            button = static_cast<frmAuthor *>(navigator.screen(ScreenId::Author))->cmdACreate;
        } else {
            QVERIFY(writeFile(dir.filePath("a.txt"), "first\r\n"));
            answerNextDialogWith(dir.filePath("a.txt"));
            navigator.show(ScreenId::View);  // its load opens the dialog
            button = static_cast<frmView *>(navigator.screen(ScreenId::View))->cmdVAnother;
        }
        Screen *screen = navigator.screen(screenId);
        QVERIFY(QTest::qWaitForWindowExposed(screen));

        Offered offered;
        const auto useOnce = [&](int i) {
            const QString name = dir.filePath(QStringLiteral("readme%1.txt").arg(i % 2));
            answerNextDialogWith(name, &offered);
            QTest::mouseClick(button, Qt::LeftButton);
        };
        // The first uses load what every dialog needs (icons, the file
        // system model's threads): not counted.
        for (int i = 0; i < 20; ++i)
            useOnce(i);
        const qint64 before = residentBytes();
        for (int i = 0; i < runs; ++i)
            useOnce(i);
        const qint64 grown = residentBytes() - before;
        qInfo("%d runs: resident memory grew by %lld KiB", runs, grown / 1024);

        QCOMPARE(screen->findChildren<QFileDialog *>().size(), 1);
        if (screenId == ScreenId::Author)
            QCOMPARE(readAll(dir.filePath("readme1.txt")), dataFile("readme_empty.txt"));
        // Opened again, the dialog offered the name chosen last time, ready
        // to be typed over.
        QCOMPARE(QFileInfo(offered.name).fileName(), QStringLiteral("readme%1.txt").arg((runs + 18) % 2));
        QVERIFY(offered.selectedWhole);
        QVERIFY(offered.focused);
        QVERIFY2(grown < 1024 * 1024, qPrintable(QStringLiteral("grew by %1 KiB").arg(grown / 1024)));
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
