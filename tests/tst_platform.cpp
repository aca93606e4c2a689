#include "FileTools.h"
#include "app/Navigator.h"
#include "screens/frmAuthor.h"
#include "viewer/frmView.h"
#include "help/HelpBinding.h"
#include "help/HelpWindow.h"
#include "toolkit/Look.h"
#include "toolkit/TextBoxes.h"
#include "app/Display.h"
#include "toolkit/QtPlatform.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>
#include <sys/un.h>
#include <sys/socket.h>
#include <vector>
#include <tuple>
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

// A socket that listens, as a Wayland compositor's does.
class ListeningSocket {
public:
    explicit ListeningSocket(const QString &path) : m_fd(::socket(AF_UNIX, SOCK_STREAM, 0))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path);
        std::memcpy(address.sun_path, name.constData(), std::min<size_t>(name.size(), sizeof address.sun_path - 1));
        m_listening = m_fd >= 0 && ::bind(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
                      && ::listen(m_fd, 4) == 0;
    }
    ~ListeningSocket()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool listening() const { return m_listening; }

private:
    int m_fd;
    bool m_listening = false;
};

// Sets environment variables for as long as it lives.
class Environment {
public:
    void set(const char *name, const QByteArray &value)
    {
        m_saved.emplace_back(name, qEnvironmentVariableIsSet(name), qgetenv(name));
        qputenv(name, value);
    }
    ~Environment()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (std::get<1>(*it))
                qputenv(std::get<0>(*it), std::get<2>(*it));
            else
                qunsetenv(std::get<0>(*it));
        }
    }

private:
    std::vector<std::tuple<const char *, bool, QByteArray>> m_saved;
};

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
            QCOMPARE(seen->defaultButton(), seen->button(QMessageBox::Yes));
            QCOMPARE(seen->windowModality(), Qt::ApplicationModal);
            QVERIFY(seen->windowFlags() & Qt::WindowStaysOnTopHint);
            QTest::mouseClick(seen->button(QMessageBox::No), Qt::LeftButton);
        });
        QCOMPARE(platform.messageBox(&owner, "first line\r\nsecond line", "Exit?", 4132),
                 MessageAnswer::No);
        QVERIFY(seen);

        // Enter takes the default button, Yes.
        whenModalShown([](QWidget *w) { QTest::keyClick(w, Qt::Key_Return); });
        QCOMPARE(platform.messageBox(&owner, "q", "Exit?", 4132), MessageAnswer::Yes);
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
        QCOMPARE(platform.messageBox(nullptr, "There seems to be an error.", "Program error!", 4144),
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
        help.BindHelpFile(&owner, resources);

        help.ShowHelpContents(platform);
        HelpWindow *first = help.helpWindow();
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
        help.ShowHelpContents(platform);
        QCOMPARE(help.helpWindow(), first);
        QVERIFY(first->isVisible());
        QCOMPARE(first->browser()->verticalScrollBar()->value(), 0);
    }

    // The frame, not the client area, is centred: with a title bar the window
    // sits half a title bar higher than its client area alone would.
    void windowsAreCentredWithTheirFrame_data()
    {
        QTest::addColumn<QMargins>("frame");
        QTest::newRow("no frame") << QMargins();
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

    // Every combination of the three variables, set or not; an empty value
    // counts as not set.
    void qtPlatformChoice_data()
    {
        QTest::addColumn<QString>("qpa");  // "-" for not set
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("wayland");
        QTest::addColumn<QString>("choice");  // "" leaves it to Qt
        QTest::newRow("nothing set") << "-" << "-" << "-" << "";
        QTest::newRow("X11 desktop") << "-" << ":0" << "-" << "xcb";
        QTest::newRow("Wayland without XWayland") << "-" << "-" << "wayland-0" << "";
        QTest::newRow("Wayland with XWayland") << "-" << ":1" << "wayland-0" << "xcb;wayland";
        QTest::newRow("user's choice alone") << "offscreen" << "-" << "-" << "";
        QTest::newRow("user's choice on X11") << "wayland" << ":0" << "-" << "";
        QTest::newRow("user's choice on Wayland") << "xcb" << "-" << "wayland-0" << "";
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
#if !defined(__SANITIZE_ADDRESS__)  // its quarantine holds on to what is freed
        QVERIFY2(grown < 1024 * 1024, qPrintable(QStringLiteral("grew by %1 KiB").arg(grown / 1024)));
#endif
    }

    // The program itself, started on displays that no server answers: one
    // line on stderr that names the display, status 1, and no signal (Qt
    // would abort, leaving a core file). The first row holds only while the
    // program asks Qt for xcb first: left to itself, Qt would abort.
    void displayThatDoesNotAnswer_data()
    {
        QTest::addColumn<QString>("qpa");  // "-": not set
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("wayland");
        QTest::addColumn<QString>("said");
        QTest::newRow("X and Wayland displays, neither answering")
            << "-" << ":97" << "wayland-97"
            << "Velmora cannot show its windows: nothing answers at the X display \":97\" or the "
               "Wayland display \"wayland-97\".\n";
        QTest::newRow("xcb chosen by the user") << "xcb" << ":97" << "wayland-97"
            << "Velmora cannot show its windows: nothing answers at the X display \":97\".\n";
        QTest::newRow("Wayland chosen by the user") << "wayland" << ":97" << "wayland-97"
            << "Velmora cannot show its windows: nothing answers at the Wayland display \"wayland-97\".\n";
        QTest::newRow("no display named at all") << "-" << "-" << "-"
            << "Velmora needs a graphical desktop, but no display was found (DISPLAY and "
               "WAYLAND_DISPLAY are not set).\n";
    }

    void displayThatDoesNotAnswer()
    {
        QFETCH(QString, qpa);
        QFETCH(QString, display);
        QFETCH(QString, wayland);
        QFETCH(QString, said);
        QTemporaryDir runtime;  // no compositor's socket in it
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const auto put = [&env](const char *name, const QString &value) {
            if (value == "-")
                env.remove(name);
            else
                env.insert(name, value);
        };
        put("QT_QPA_PLATFORM", qpa);
        put("DISPLAY", display);
        put("WAYLAND_DISPLAY", wayland);
        env.remove("WAYLAND_SOCKET");
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        QProcess velmora;
        velmora.setProcessEnvironment(env);
        velmora.setChildProcessModifier([] {
            const rlimit noCore{0, 0};  // should Qt abort: no core file
            ::setrlimit(RLIMIT_CORE, &noCore);
        });
        velmora.start(QStringLiteral(VELMORA_PROGRAM), {});
        QVERIFY(velmora.waitForFinished(20000));
        QCOMPARE(QString::fromLocal8Bit(velmora.readAllStandardError()), said);
        QCOMPARE(velmora.exitStatus(), QProcess::NormalExit);
        QCOMPARE(velmora.exitCode(), 1);
    }

    // The program itself, under a file-size limit: the limit makes a save
    // fail with its reason in the box, it does not end the program with
    // everything typed in it (the signal of the limit is ignored).
    void fileSizeLimitDoesNotEndTheProgram()
    {
        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", home.path());
        env.insert("XDG_STATE_HOME", home.filePath("state"));
        QProcess velmora;
        velmora.setProcessEnvironment(env);
        velmora.start(QStringLiteral(VELMORA_PROGRAM), {});
        QVERIFY(velmora.waitForStarted());
        const quint64 xfsz = quint64(1) << (SIGXFSZ - 1);
        // The splash shows for two seconds: by then the program has set up.
        bool ignored = false;
        for (int i = 0; i < 100 && !ignored && velmora.state() == QProcess::Running; ++i) {
            QTest::qWait(50);
            QFile status(QStringLiteral("/proc/%1/status").arg(velmora.processId()));
            if (status.open(QIODevice::ReadOnly))
                for (const QByteArray &line : status.readAll().split('\n'))
                    if (line.startsWith("SigIgn:"))
                        ignored = line.mid(7).trimmed().toULongLong(nullptr, 16) & xfsz;
        }
        velmora.kill();
        velmora.waitForFinished();
        QVERIFY(ignored);
    }

    // Which displays the check lets through: one that answers (a Wayland
    // compositor's socket, when XWayland is gone) or a platform of no
    // display server.
    void displaysThatAnswer_data()
    {
        QTest::addColumn<QString>("qpa");
        QTest::addColumn<bool>("compositor");
        QTest::newRow("X gone, Wayland there") << "xcb;wayland" << true;
        QTest::newRow("offscreen") << "offscreen" << false;
        QTest::newRow("X gone, offscreen after it") << "xcb;offscreen" << false;
        QTest::newRow("nothing chosen: left to Qt") << "" << false;
    }

    void displaysThatAnswer()
    {
        QFETCH(QString, qpa);
        QFETCH(bool, compositor);
        QTemporaryDir runtime;
        std::optional<ListeningSocket> socket;
        if (compositor) {
            socket.emplace(runtime.filePath("wayland-test"));
            QVERIFY(socket->listening());
        }
        Environment env;
        env.set("QT_QPA_PLATFORM", qpa.toLatin1());
        env.set("DISPLAY", ":97");
        env.set("WAYLAND_DISPLAY", "wayland-test");
        env.set("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        env.set("WAYLAND_SOCKET", {});
        QCOMPARE(QString::fromStdString(unreachableDisplay()), QString());
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
