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

#include <cstring>
#include <optional>
#include <tuple>
#include <vector>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
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

    // Which displays the check lets through: one that answers (a Wayland
    // compositor's socket, when XWayland is gone) or a platform of no
    // display server.
    void displaysThatAnswer_data()
    {
        QTest::addColumn<QString>("qpa");
        QTest::addColumn<bool>("compositor");
        QTest::addColumn<bool>("passes");
        QTest::newRow("X gone, Wayland there") << "xcb;wayland" << true << true;
        QTest::newRow("offscreen") << "offscreen" << false << true;
        QTest::newRow("X gone, offscreen after it") << "xcb;offscreen" << false << true;
        QTest::newRow("nothing chosen: left to Qt") << "" << false << true;
    }

    void displaysThatAnswer()
    {
        QFETCH(QString, qpa);
        QFETCH(bool, compositor);
        QFETCH(bool, passes);
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
        const std::string problem = unreachableDisplay();
        QCOMPARE(problem.empty(), passes);
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
