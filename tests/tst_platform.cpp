// The real platform as the screens use it: Qt's message boxes and file
// dialogs (one kept for each screen for the whole run), where a window and
// its frame go, which Qt platform is asked for, and which displays the
// start-up check lets through.

#include "Harness.h"
#include "ui/toolkit/Placement.h"
#include "ui/app/Display.h"
#include "ui/toolkit/QtPlatform.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QProcessEnvironment>
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

// Runs act on the modal window that the code under test waits on, once its
// event loop runs: the way a person answers a box or a dialog.
void whenModalShown(std::function<void(QWidget *)> act)
{
    QTimer::singleShot(0, [act] {
        const QPointer<QWidget> modal = QApplication::activeModalWidget();
        // Should act fail half way, the window is closed after a while so the
        // test fails instead of waiting for ever.
        QTimer::singleShot(10000, [modal] {
            if (modal && modal->isVisible())
                modal->close();
        });
        act(modal);
    });
}

// What a file dialog offered when it opened: the name in its name box and
// the folder it showed.
struct Offered {
    QString name, folder;
    bool selectedWhole = false, focused = false;  // typing replaces the name; it has the focus
};

// Answers the next file dialog as a person would: the name typed into its
// name box, then Enter for its Save or Open button. Armed before the dialog
// opens, it runs once the dialog's own event loop does.
void answerNextDialogWith(const QString &name, Offered *offered = nullptr)
{
    QTimer::singleShot(0, [name, offered] {
        auto *box = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(box);
        auto *edit = box->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (offered)
            *offered = {edit->text(), box->directory().path(), edit->selectedText() == edit->text(),
                        box->focusWidget() == edit};
        edit->setText(name);
        QTest::keyClick(edit, Qt::Key_Return);
    });
}

}  // namespace

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    // A box as the screens ask for it: the title and text given (line
    // breaks as Qt wants them), the icon and buttons of its kind, modal to the
    // whole program and above every window. The key a person presses gives
    // the answer: Enter the Yes/No box's default, Yes; any close of an OK box
    // counts as OK.
    void messageBoxes_data()
    {
        QTest::addColumn<MessageKind>("kind");
        QTest::addColumn<int>("key");
        QTest::addColumn<MessageAnswer>("answer");
        QTest::newRow("Yes/No, Escape") << yesNoQuestion << int(Qt::Key_Escape) << MessageAnswer::No;
        QTest::newRow("Yes/No, Enter") << yesNoQuestion << int(Qt::Key_Return) << MessageAnswer::Yes;
        QTest::newRow("OK, Escape") << okWarning << int(Qt::Key_Escape) << MessageAnswer::Ok;
    }

    void messageBoxes()
    {
        QFETCH(MessageKind, kind);
        QFETCH(int, key);
        QFETCH(MessageAnswer, answer);
        const bool yesNo = kind.buttons == MessageKind::Buttons::YesNo;
        QtPlatform platform;
        QWidget owner;
        owner.show();
        bool seen = false;
        whenModalShown([&](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            QVERIFY(box);
            seen = true;
            QCOMPARE(box->windowTitle(), QString("Title"));
            QCOMPARE(box->text(), QString("first line\nsecond line"));
            QCOMPARE(box->icon(), yesNo ? QMessageBox::Question : QMessageBox::Warning);
            QCOMPARE(box->standardButtons(), yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
            QCOMPARE(box->windowModality(), Qt::ApplicationModal);
            QVERIFY(box->windowFlags() & Qt::WindowStaysOnTopHint);
            QTest::keyClick(box, Qt::Key(key));
        });
        QCOMPARE(platform.messageBox(&owner, "first line\r\nsecond line", "Title", kind), answer);
        QVERIFY(seen);
    }

    // The Save dialog as the screens set it up: the title and filters given,
    // the folder to start in, no suffix added, an existing file taken
    // without a question; Escape gives no path and keeps the last name. (The
    // Open dialog, which the same code sets up, is used by the viewer in
    // oneDialogForTheWholeRun: there it takes names that are not there.)
    void fileDialogs()
    {
        QtPlatform platform;
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("old.txt"), "old"));
        FileDialog dialog{"Title", {"Text (*.txt)", "Markdown (*.md)"}, dir.path(), {}};
        const QString name = dir.filePath("old.txt");
        Offered offered;
        answerNextDialogWith(name, &offered);
        QCOMPARE(platform.saveFileDialog(nullptr, dialog), std::optional<QString>(name));
        QCOMPARE(QDir(offered.folder).canonicalPath(), QDir(dir.path()).canonicalPath());
        // The dialog, kept for the next use, as it was shown.
        auto *box = qobject_cast<QFileDialog *>(dialog.kept.window());
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), QString("Title"));
        QCOMPARE(box->nameFilters(), QStringList({"Text (*.txt)", "Markdown (*.md)"}));
        QCOMPARE(box->acceptMode(), QFileDialog::AcceptSave);
        QVERIFY(box->defaultSuffix().isEmpty());

        whenModalShown([](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); });
        QCOMPARE(platform.saveFileDialog(nullptr, dialog), std::nullopt);
        QCOMPARE(dialog.fileName, name);
    }

    // The frame, not the client area, is centred: with a title bar the window
    // sits half a title bar higher than its client area alone would.
    void windowsAreCentredWithTheirFrame()
    {
        const QMargins frame(1, 23, 3, 2);  // a title bar and borders of odd sizes
        QWidget window;
        window.setFixedSize(385, 370);
        look::centreWithFrame(&window, frame);
        const QRect available = window.screen()->availableGeometry();
        const QRect outer(window.pos(), window.size().grownBy(frame));
        QCOMPARE(outer.center(), available.center());
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
        const int runs = 300;
        QTemporaryDir dir;
        QtPlatform platform;
        Navigator navigator(platform);
        if (screenId == ScreenId::View) {  // its load opens the dialog
            QVERIFY(writeFile(dir.filePath("a.txt"), "first\r\n"));
            answerNextDialogWith(dir.filePath("a.txt"));
        }
        navigator.show(screenId);
        Screen *screen = navigator.screen(screenId);
        QPushButton *button = screenId == ScreenId::Author ? createButton(static_cast<AuthorScreen *>(screen))
                                                           : anotherButton(static_cast<ViewerScreen *>(screen));
        QVERIFY(QTest::qWaitForWindowExposed(screen));

        // Create File writes back to the file it wrote last: the same name
        // each time, so that no question of another file's replacing stops
        // the run.
        const bool author = screenId == ScreenId::Author;
        navigator.context().record.programName = "Pal";
        Offered offered;
        const auto useOnce = [&](int i) {
            const QString name = dir.filePath(QStringLiteral("readme%1.txt").arg(author ? 1 : i % 2));
            answerNextDialogWith(name, &offered);
            QTest::mouseClick(button, Qt::LeftButton);
        };
        // The first uses load what every dialog needs (icons, the file
        // system model's threads): not counted.
        for (int i = 0; i < 20; ++i)
            useOnce(i);
        const qint64 before = memoryBytes(1);  // resident
        for (int i = 0; i < runs; ++i)
            useOnce(i);
        const qint64 grown = memoryBytes(1) - before;
        qInfo("%d runs: resident memory grew by %lld KiB", runs, grown / 1024);

        QCOMPARE(screen->findChildren<QFileDialog *>().size(), 1);
        QCOMPARE(screen->findChild<QFileDialog *>()->acceptMode(),
                 screenId == ScreenId::Author ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        if (screenId == ScreenId::Author)
            QCOMPARE(readAll(dir.filePath("readme1.txt")), dataFile("readme_empty.txt").replace(" - ()", "Pal - ()"));
        // Opened again, the dialog offered the name chosen last time, ready
        // to be typed over.
        QCOMPARE(QFileInfo(offered.name).fileName(), QStringLiteral("readme%1.txt").arg(author ? 1 : (runs + 18) % 2));
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
