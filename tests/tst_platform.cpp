#include "Controls.h"
#include "FileTools.h"
#include "ui/app/Navigator.h"
#include "ui/screens/AuthorScreen.h"
#include "ui/screens/ViewerScreen.h"
#include "ui/help/HelpBinding.h"
#include "ui/help/HelpWindow.h"
#include "ui/toolkit/Placement.h"
#include "ui/toolkit/Input.h"
#include "ui/app/Display.h"
#include "ui/toolkit/QtPlatform.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QTemporaryDir>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <unistd.h>
#include <sys/un.h>
#include <sys/socket.h>
#include <optional>
#include <cstring>

using namespace velmora;
using namespace velmora::test;

namespace {

// Runs act on the next modal window once it is up, the way a person answers
// a box or a dialog that the code under test is waiting on.
void whenModalShown(std::function<void(QWidget *)> act)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        // Should act fail half way, the window is closed after a while so the
        // test fails instead of waiting for ever.
        QPointer<QWidget> guard(modal);
        QTimer::singleShot(10000, [guard] {
            if (guard && guard->isVisible())
                guard->close();
        });
        act(modal);
    });
    poll->start(10);
}

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

// Answers a file dialog as a person would: the name typed into its name
// box, then Save or Open pressed.
void acceptWith(QFileDialog *box, const QString &name, Offered *offered = nullptr)
{
    auto *edit = box->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    if (offered)
        *offered = {edit->text(), edit->selectedText() == edit->text(), box->focusWidget() == edit};
    edit->setText(name);
    QDialogButtonBox *buttons = box->findChild<QDialogButtonBox *>();
    QPushButton *accept = buttons->button(QDialogButtonBox::Save);
    (accept ? accept : buttons->button(QDialogButtonBox::Open))->click();
}

// Answers the next file dialog so; armed before the dialog opens, it runs
// once the dialog's own event loop does.
void answerNextDialogWith(const QString &name, Offered *offered = nullptr)
{
    QTimer::singleShot(0, [name, offered] {
        if (auto *box = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
            acceptWith(box, name, offered);
    });
}

}  // namespace

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void exitQuestionBox()
    {
        QtPlatform platform;
        QWidget owner;
        owner.show();
        QMessageBox *seen = nullptr;
        whenModalShown([&](QWidget *w) {
            seen = qobject_cast<QMessageBox *>(w);
            QVERIFY(seen);
            QCOMPARE(seen->windowTitle(), QString("Exit?"));
            QCOMPARE(seen->text(), QString("first line\nsecond line"));
            QCOMPARE(seen->icon(), QMessageBox::Question);
            QCOMPARE(seen->standardButtons(), QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(seen->windowModality(), Qt::ApplicationModal);
            QVERIFY(seen->windowFlags() & Qt::WindowStaysOnTopHint);
            QTest::mouseClick(seen->button(QMessageBox::No), Qt::LeftButton);
        });
        QCOMPARE(platform.messageBox(&owner, "first line\r\nsecond line", "Exit?", yesNoQuestion),
                 MessageAnswer::No);
        QVERIFY(seen);

        // Enter takes the default button, Yes.
        whenModalShown([](QWidget *w) { QTest::keyClick(w, Qt::Key_Return); });
        QCOMPARE(platform.messageBox(&owner, "q", "Exit?", yesNoQuestion), MessageAnswer::Yes);
    }

    void okBoxCountsAnyCloseAsOk()
    {
        QtPlatform platform;
        whenModalShown([](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            QVERIFY(box);
            QCOMPARE(box->icon(), QMessageBox::Warning);
            QCOMPARE(box->standardButtons(), QMessageBox::Ok);
            QCOMPARE(box->windowModality(), Qt::ApplicationModal);
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QCOMPARE(platform.messageBox(nullptr, "There seems to be an error.", "Program error!", okWarning),
                 MessageAnswer::Ok);
    }

    // The Save and Open dialogs as the screens set them up: the title and
    // filters given, the folder to start in, no suffix added, a name that
    // is not there taken (Open), an existing file taken without a question
    // (Save); Escape gives no path and keeps the last name.
    void fileDialogs_data()
    {
        QTest::addColumn<bool>("save");
        QTest::newRow("Save") << true;
        QTest::newRow("Open") << false;
    }

    void fileDialogs()
    {
        QFETCH(bool, save);
        QtPlatform platform;
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("old.txt"), "old"));
        FileDialog dialog{"Title", {"Text (*.txt)", "Markdown (*.md)"}, dir.path(), {}};
        const auto ask = [&] { return save ? platform.saveFileDialog(nullptr, dialog) : platform.openFileDialog(nullptr, dialog); };
        whenModalShown([&](QWidget *w) {
            auto *box = qobject_cast<QFileDialog *>(w);
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), QString("Title"));
            QCOMPARE(box->nameFilters(), QStringList({"Text (*.txt)", "Markdown (*.md)"}));
            QCOMPARE(QDir(box->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
            QCOMPARE(box->acceptMode(), save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
            QVERIFY(box->defaultSuffix().isEmpty());
            acceptWith(box, save ? "old.txt" : "not there");
        });
        QCOMPARE(ask(), std::optional<QString>(dir.filePath(save ? "old.txt" : "not there")));
        whenModalShown([](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); });
        QCOMPARE(ask(), std::nullopt);
        QCOMPARE(dialog.fileName, dir.filePath(save ? "old.txt" : "not there"));
    }

    void contentsOpensOneWindowOwnedByTheMainWindow()
    {
        QtPlatform platform;
        QWidget owner;
        owner.show();
        const QString resources = QString(VELMORA_TEST_DATA) + "/../../resources";
        QVERIFY(QFile::exists(resources + "/Velmora 1_0.HLP"));
        HelpBinding help;
        help.bindHelpFile(&owner, resources);

        help.showContents(platform);
        HelpWindow *first = help.helpWindow();
        QVERIFY(first && first->isVisible());
        QCOMPARE(first->parentWidget(), &owner);
        QVERIFY(first->isWindow());
        QVERIFY(first->browser()->toPlainText().contains("General Info"));

        // Scrolled away, then chosen again: the same window, back at the top.
        first->browser()->verticalScrollBar()->setValue(first->browser()->verticalScrollBar()->maximum());
        first->hide();
        help.showContents(platform);
        QCOMPARE(help.helpWindow(), first);
        QVERIFY(first->isVisible());
        QCOMPARE(first->browser()->verticalScrollBar()->value(), 0);
    }

    // The frame, not the client area, is centred: with a title bar the window
    // sits half a title bar higher than its client area alone would.
    void windowsAreCentredWithTheirFrame_data()
    {
        QTest::addColumn<QMargins>("frame");
        QTest::newRow("title bar and borders") << QMargins(4, 27, 4, 4);
        QTest::newRow("odd sizes") << QMargins(1, 23, 3, 2);
    }

    void windowsAreCentredWithTheirFrame()
    {
        QFETCH(QMargins, frame);
        QWidget window;
        window.setFixedSize(385, 370);
        look::centreWithFrame(&window, frame);
        const QRect available = window.screen()->availableGeometry();
        const QRect outer(window.pos(), window.size().grownBy(frame));
        QVERIFY2((outer.center() - available.center()).manhattanLength() <= 1,
                 qPrintable(QString("frame centre %1,%2; screen centre %3,%4")
                                .arg(outer.center().x()).arg(outer.center().y())
                                .arg(available.center().x()).arg(available.center().y())));
        QVERIFY(available.contains(outer));
    }

    // A window with its frame is moved the least way onto the available
    // area; a side longer than the area starts at its top (or left), so that
    // the title bar can always be reached.
    void framesAreKeptInsideTheArea_data()
    {
        QTest::addColumn<QRect>("outer");
        QTest::addColumn<QRect>("expected");
        // The area: 1366x700 below a 30-pixel panel.
        QTest::newRow("inside") << QRect(100, 100, 400, 300) << QRect(100, 100, 400, 300);
        QTest::newRow("past the right") << QRect(1200, 100, 400, 300) << QRect(966, 100, 400, 300);
        QTest::newRow("past the bottom") << QRect(100, 600, 400, 300) << QRect(100, 430, 400, 300);
        QTest::newRow("above and left") << QRect(-20, 10, 400, 300) << QRect(0, 30, 400, 300);
        QTest::newRow("taller, centred") << QRect(100, -20, 400, 800) << QRect(100, 30, 400, 800);
        QTest::newRow("taller, top inside") << QRect(100, 40, 400, 800) << QRect(100, 30, 400, 800);
        QTest::newRow("wider, left inside") << QRect(10, 100, 1400, 300) << QRect(0, 100, 1400, 300);
    }

    void framesAreKeptInsideTheArea()
    {
        QFETCH(QRect, outer);
        QFETCH(QRect, expected);
        QCOMPARE(look::keptInside(outer, QRect(0, 30, 1366, 700)), expected);
    }

    // Each way the three variables decide: the user's choice, no X display,
    // an X display with or without a Wayland one; an empty value counts as
    // not set.
    void qtPlatformChoice_data()
    {
        QTest::addColumn<QString>("qpa");  // "-" for not set
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("wayland");
        QTest::addColumn<QString>("choice");  // "" leaves it to Qt
        QTest::newRow("X11 desktop") << "-" << ":0" << "-" << "xcb";
        QTest::newRow("Wayland without XWayland") << "-" << "-" << "wayland-0" << "";
        QTest::newRow("Wayland with XWayland") << "-" << ":1" << "wayland-0" << "xcb;wayland";
        QTest::newRow("user's choice with both") << "wayland" << ":1" << "wayland-0" << "";
        QTest::newRow("empty DISPLAY is no display") << "-" << "" << "wayland-0" << "";
        QTest::newRow("empty QT_QPA_PLATFORM is not a choice") << "" << ":0" << "-" << "xcb";
    }

    void qtPlatformChoice()
    {
        QFETCH(QString, qpa);
        QFETCH(QString, display);
        QFETCH(QString, wayland);
        QFETCH(QString, choice);
        const QByteArray q = qpa.toLatin1(), d = display.toLatin1(), w = wayland.toLatin1();
        const auto value = [](const QString &v, const QByteArray &bytes) { return v == "-" ? nullptr : bytes.constData(); };
        QCOMPARE(QString::fromStdString(chooseQtPlatform(value(qpa, q), value(display, d), value(wayland, w))), choice);
    }

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
            button = createButton(static_cast<AuthorScreen *>(navigator.screen(ScreenId::Author)));
        } else {
            QVERIFY(writeFile(dir.filePath("a.txt"), "first\r\n"));
            answerNextDialogWith(dir.filePath("a.txt"));
            navigator.show(ScreenId::View);  // its load opens the dialog
            button = anotherButton(static_cast<ViewerScreen *>(navigator.screen(ScreenId::View)));
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
#if !defined(__SANITIZE_ADDRESS__)  // its quarantine holds on to what is freed
        QVERIFY2(grown < 1024 * 1024, qPrintable(QStringLiteral("grew by %1 KiB").arg(grown / 1024)));
#endif
    }

    // Which displays the check lets through: one that answers (a Wayland
    // compositor's socket, when XWayland is gone) or a platform of no
    // display server.
    void displaysThatAnswer_data()
    {
        QTest::addColumn<QString>("qpa");
        QTest::addColumn<bool>("compositor");
        QTest::newRow("X gone, Wayland there") << "xcb;wayland" << true;
        QTest::newRow("X gone, offscreen after it") << "xcb;offscreen" << false;
        QTest::newRow("nothing chosen: left to Qt") << "" << false;
    }

    void displaysThatAnswer()
    {
        QFETCH(QString, qpa);
        QFETCH(bool, compositor);
        QTemporaryDir runtime;
        // A socket that listens, as a compositor's does.
        const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const auto closed = qScopeGuard([socket] { ::close(socket); });
        if (compositor) {
            sockaddr_un address{AF_UNIX, {}};
            const QByteArray name = QFile::encodeName(runtime.filePath("wayland-test"));
            QVERIFY(name.size() < qsizetype(sizeof address.sun_path));
            std::memcpy(address.sun_path, name.constData(), name.size());
            QVERIFY(::bind(socket, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 && ::listen(socket, 4) == 0);
        }
        // The variables the check reads, put back afterwards.
        const char *const names[] = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR", "WAYLAND_SOCKET"};
        const QByteArray values[] = {qpa.toLatin1(), ":97", "wayland-test", QFile::encodeName(runtime.path()), {}};
        const QProcessEnvironment saved = QProcessEnvironment::systemEnvironment();
        const auto putBack = qScopeGuard([&] {
            for (const char *name : names)
                saved.contains(name) ? qputenv(name, saved.value(name).toLocal8Bit()) : qunsetenv(name);
        });
        for (int i = 0; i < 5; ++i)
            qputenv(names[i], values[i]);
        QCOMPARE(QString::fromStdString(unreachableDisplay()), QString());
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
