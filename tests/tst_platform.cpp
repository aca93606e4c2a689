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
#include <functional>
#include <sys/resource.h>

using namespace velmora;

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

void enterNameAndAccept(QWidget *dialog, const QString &name)
{
    auto *edit = dialog->findChild<QLineEdit *>("fileNameEdit");
    QVERIFY(edit);
    // Set rather than typed: typing opens the completer's list, which would
    // take the click meant for the dialog.
    edit->setText(name);
    QDialogButtonBox *buttons = dialog->findChild<QDialogButtonBox *>();
    QPushButton *accept = buttons->button(QDialogButtonBox::Save);
    if (!accept)
        accept = buttons->button(QDialogButtonBox::Open);
    QVERIFY(accept);
    accept->click();
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

    void saveDialogTakesATypedNameUnchanged()
    {
        QtPlatform platform;
        QTemporaryDir dir;
        QFile existing(dir.filePath("old.txt"));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.close();
        FileDialog dialog{"Save file", {"Text (*.txt)"}, dir.path(), {}};

        whenModalShown([&](QWidget *w) {
            auto *box = qobject_cast<QFileDialog *>(w);
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), QString("Save file"));
            QCOMPARE(box->nameFilters(), QStringList({"Text (*.txt)"}));
            QCOMPARE(QDir(box->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
            QCOMPARE(box->acceptMode(), QFileDialog::AcceptSave);
            QVERIFY(box->defaultSuffix().isEmpty());
            enterNameAndAccept(box, "readme");
        });
        const auto chosen = platform.saveFileDialog(nullptr, dialog);
        QCOMPARE(chosen, std::optional<QString>(dir.filePath("readme")));
        QCOMPARE(dialog.fileName, dir.filePath("readme"));

        // An existing file is taken without a question about overwriting.
        whenModalShown([&](QWidget *w) { enterNameAndAccept(w, "old.txt"); });
        QCOMPARE(platform.saveFileDialog(nullptr, dialog), std::optional<QString>(dir.filePath("old.txt")));

        // Opened again it offers the last name; Cancel gives no path.
        whenModalShown([&](QWidget *w) {
            auto *box = qobject_cast<QFileDialog *>(w);
            QCOMPARE(box->findChild<QLineEdit *>("fileNameEdit")->text(), QString("old.txt"));
            box->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)->click();
        });
        QCOMPARE(platform.saveFileDialog(nullptr, dialog), std::nullopt);
        QCOMPARE(dialog.fileName, dir.filePath("old.txt"));
    }

    void openDialogTakesANameThatDoesNotExist()
    {
        QtPlatform platform;
        QTemporaryDir dir;
        FileDialog dialog{"Open readme file", {"Text (*.txt)"}, dir.path(), {}};
        whenModalShown([&](QWidget *w) {
            auto *box = qobject_cast<QFileDialog *>(w);
            QVERIFY(box);
            QCOMPARE(box->acceptMode(), QFileDialog::AcceptOpen);
            QCOMPARE(box->windowTitle(), QString("Open readme file"));
            enterNameAndAccept(box, "not there.txt");
        });
        QCOMPARE(platform.openFileDialog(nullptr, dialog),
                 std::optional<QString>(dir.filePath("not there.txt")));

        whenModalShown([](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); });
        QCOMPARE(platform.openFileDialog(nullptr, dialog), std::nullopt);
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

    void missingFileIsSaidInTheWindow()
    {
        QtPlatform platform;
        QWidget owner;
        QTemporaryDir dir;
        HelpWindow window(&owner);
        platform.showHelpContents(window, dir.filePath("Velmora 1_0.HLP"));
        QVERIFY(window.isVisible());
        QVERIFY(window.browser()->toPlainText().contains("cannot find its help file"));
    }

    void applicationFolderIsTheProgramsFolder()
    {
        QtPlatform platform;
        QCOMPARE(platform.applicationFolder(), QCoreApplication::applicationDirPath());
        QVERIFY(!platform.applicationFolder().endsWith('/'));
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

    // The program itself, started with no QT_QPA_PLATFORM and an X display
    // named, runs on xcb (it fails to connect to the display that is not
    // there, which is how the chosen plug-in shows).
    void programAsksForXcbWhenAnXDisplayIsNamed()
    {
        const QString program = QStringLiteral(VELMORA_PROGRAM);
        if (!QFile::exists(program))
            QSKIP("the program is not built");
        QProcess velmora;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("QT_QPA_PLATFORM");
        env.remove("WAYLAND_DISPLAY");
        env.insert("DISPLAY", ":97");  // no X server there
        velmora.setProcessEnvironment(env);
        velmora.setChildProcessModifier([] {
            const rlimit noCore{0, 0};  // Qt aborts: no core file
            ::setrlimit(RLIMIT_CORE, &noCore);
        });
        velmora.start(program, {});
        QVERIFY(velmora.waitForFinished(20000));
        const QString said = QString::fromLocal8Bit(velmora.readAllStandardError());
        QVERIFY2(said.contains("the X display \":97\""), qPrintable(said));
        QVERIFY(velmora.exitCode() != 0 || velmora.exitStatus() != QProcess::NormalExit);
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
