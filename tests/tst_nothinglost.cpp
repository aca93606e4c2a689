// Nothing the user typed is lost or changed behind their back: preset boxes
// keep what was typed, the presets screen starts from the saved presets,
// Clear gives the systems back, lists and buttons answer the keyboard, and
// no character silently becomes "?".
#include "Harness.h"
#include "presets/frmPreset.h"
#include "screens/frmAuthor.h"
#include "screens/frmMain.h"
#include "screens/frmProgram.h"
#include "viewer/frmView.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace velmora;
using namespace velmora::test;

namespace {

const QByteArray newerPresets =
    "\"Newer Co\",\"newer.example\",\"Dutch\",\"newer.dll\",\"Nina Newer\",\"nina@newer.example\"\r\n";

// Replaces a box's text as a person does: select it all, then type.
void retype(QWidget *box, const QString &text)
{
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    else
        QTest::keyClicks(box, text);
}

// Types any text, one character (of any plane) a key, as an input method
// delivers it; QTest::keyClicks takes Latin-1 alone.
void typeText(QWidget *box, const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text.at(i).isHighSurrogate() ? 2 : 1;
        const QString one = text.mid(i, n);
        i += n - 1;
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, one);
        QApplication::sendEvent(box, &press);
    }
}

// The walk-through of the readme in tests/data, with the program's name
// given, up to the author screen.
frmAuthor *walkToAuthor(Harness &h, const QString &name)
{
    auto *main = h.start();
    typeText(main->txtMName, name);
    QTest::keyClicks(main->txtMVer, "2.1");
    clickRow(main->lstMType, 1);
    doubleClickRow(main->lstMNCompat, rowOf(main->lstMNCompat, "Windows 98"));
    doubleClickRow(main->lstMNCompat, rowOf(main->lstMNCompat, "Windows XP"));
    QTest::mouseClick(main->cmdMNext, Qt::LeftButton);
    auto *program = h.program();
    QTest::keyClicks(program->txtPDesc, "Draws pixels.");
    QTest::keyClick(program->txtPDesc, Qt::Key_Return);
    QTest::keyClicks(program->txtPDesc, "Saves them too.");
    QTest::keyClicks(program->txtPInstruct, "Run it.");
    QTest::keyClicks(program->txtPFeat, "Fast");
    QTest::keyClicks(program->txtPNew, "Undo");
    QTest::mouseClick(program->cmdPNext, Qt::LeftButton);
    return h.author();
}

// Sends a key to the widget with the focus, held down when repeated.
void pressAt(QWidget *widget, Qt::Key key, Qt::KeyboardModifiers mods = {}, bool autoRepeat = false)
{
    const QString text = key == Qt::Key_Space ? " " : (key == Qt::Key_Return || key == Qt::Key_Enter) ? "\r" : "";
    QKeyEvent press(QEvent::KeyPress, key, mods, text, autoRepeat);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text, autoRepeat);
    QApplication::sendEvent(widget, &release);
}

QList<QPushButton *> buttonsOf(QWidget *screen)
{
    return screen->findChildren<QPushButton *>();
}

}  // namespace

class TestNothingLost : public QObject {
    Q_OBJECT

private slots:
    // A preset box is filled only while it holds what the last fill put
    // there: what the user typed stays, untouched boxes follow the presets.
    void presetBoxesKeepWhatWasTyped_data()
    {
        QTest::addColumn<QByteArray>("before");  // presets.txt at start; "<none>": no file
        QTest::addColumn<QString>("box");        // company, need, authorName, authorEMail
        QTest::addColumn<QString>("typed");      // what the user leaves in it; "<untouched>"
        QTest::addColumn<QString>("shown");      // after the presets changed and the screen came back
        const QByteArray acme = acmePresets;
        QTest::newRow("company typed") << acme << "company" << "Typed Co" << "Typed Co";
        QTest::newRow("company emptied") << acme << "company" << "" << "";
        QTest::newRow("company untouched follows") << acme << "company" << "<untouched>" << "Newer Co";
        QTest::newRow("files needed untouched follows") << acme << "need" << "<untouched>" << "newer.dll";
        QTest::newRow("no presets at first, then some") << QByteArray("<none>") << "company" << "<untouched>"
                                                        << "Newer Co";
        QTest::newRow("typed before there were presets") << QByteArray("<none>") << "company" << "Mine" << "Mine";
        QTest::newRow("a company cut to 40 still follows")
            << QByteArray("\"" + QByteArray(45, 'c') + "\",\"\",\"\",\"\",\"\",\"\"\r\n") << "company"
            << "<untouched>" << "Newer Co";
        QTest::newRow("needed files with bare line feeds still follow")
            << QByteArray("\"\",\"\",\"\",\"a.dll\nb.dll\",\"\",\"\"\r\n") << "need" << "<untouched>" << "newer.dll";
        QTest::newRow("author's name typed") << acme << "authorName" << "Bo Builder" << "Bo Builder";
        QTest::newRow("author's e-mail untouched follows") << acme << "authorEMail" << "<untouched>"
                                                           << "nina@newer.example";
    }

    void presetBoxesKeepWhatWasTyped()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Harness h;
        if (before == "<none>")
            QFile::remove(h.presetsPath());
        else
            h.writePresets(before);
        auto *main = h.start();
        const bool onAuthor = box.startsWith("author");
        if (onAuthor) {
            QTest::mouseClick(main->cmdMNext, Qt::LeftButton);
            QTest::mouseClick(h.program()->cmdPNext, Qt::LeftButton);
        }
        auto *author = h.author();
        QWidget *target = box == "company"      ? static_cast<QWidget *>(main->txtMCompany)
                          : box == "need"       ? static_cast<QWidget *>(main->txtMNeed)
                          : box == "authorName" ? static_cast<QWidget *>(author->txtAName)
                                                : static_cast<QWidget *>(author->txtAEMail);
        if (typed != "<untouched>")
            retype(target, typed);

        // New presets saved, a message box answered (no new showing), then
        // away and back: Next and Main, or Main, Next and Next.
        h.writePresets(newerPresets);
        h.platform.messageAnswers = {MessageAnswer::No};
        main->mnuMFExit->trigger();
        if (onAuthor) {
            QTest::mouseClick(author->cmdAMain, Qt::LeftButton);
            QTest::mouseClick(main->cmdMNext, Qt::LeftButton);
            QTest::mouseClick(h.program()->cmdPNext, Qt::LeftButton);
        } else {
            QTest::mouseClick(main->cmdMNext, Qt::LeftButton);
            QTest::mouseClick(h.program()->cmdPMain, Qt::LeftButton);
        }
        const QString now = qobject_cast<QLineEdit *>(target) ? qobject_cast<QLineEdit *>(target)->text()
                                                               : static_cast<look::MultiLineBox *>(target)->text();
        QCOMPARE(now, shown);
        // Each showing puts the focus into the screen's first box.
        QCOMPARE(target->window()->focusWidget(),
                 onAuthor ? static_cast<QWidget *>(author->txtAName) : static_cast<QWidget *>(main->txtMName));
    }

    // The presets screen opens with what is saved; one value changed and Set
    // keeps the other five; afterwards it keeps what the user left in it.
    void presetsScreenStartsFromTheSavedPresets()
    {
        Harness h("\"Acme, Inc.\",\"acme.example\",\"English\r\nGerman\",\"a.dll\r\nb.dll\",\"Ann\",\"ann@acme\"\r\n");
        auto *main = h.start();
        main->mnuMFConstants->trigger();
        auto *p = h.presets();
        QCOMPARE(QStringList({p->txtCComName->text(), p->txtCWeb->text(), p->txtCLanguage->text(),
                              p->txtCNeeded->text(), p->txtCAName->text(), p->txtCEmail->text()}),
                 QStringList({"Acme, Inc.", "acme.example", "English\r\nGerman", "a.dll\r\nb.dll", "Ann", "ann@acme"}));
        QCOMPARE(p->focusWidget(), p->txtCComName);

        retype(p->txtCEmail, "ann@acme.example");
        QTest::mouseClick(p->cmdCSet, Qt::LeftButton);
        QCOMPARE(readAll(h.presetsPath()),
                 QByteArray("\"Acme, Inc.\",\"acme.example\",\"English\r\nGerman\",\"a.dll\r\nb.dll\",\"Ann\","
                            "\"ann@acme.example\"\r\n"));

        // Unsaved text stays on the screen, whatever the file says meanwhile.
        retype(p->txtCComName, "Unsaved Co");
        QTest::mouseClick(p->cmdCMain, Qt::LeftButton);
        h.writePresets(newerPresets);
        main->mnuMFConstants->trigger();
        QCOMPARE(p->txtCComName->text(), QString("Unsaved Co"));
        QCOMPARE(p->txtCEmail->text(), QString("ann@acme.example"));
    }

    // Clear empties the compatible list and each system goes back to the end
    // of the OS list, in the order it stood.
    void clearGivesTheSystemsBack_data()
    {
        QTest::addColumn<QStringList>("moved");  // double-clicked into the compatible list, in order
        QTest::addColumn<QStringList>("after");  // the OS list after Clear
        QTest::newRow("none") << QStringList() << QStringList{"Windows 95", "Windows 98", "Windows 98SE", "Windows ME",
                                                              "Windows 2000", "Windows NT", "Windows XP"};
        QTest::newRow("one") << QStringList{"Windows ME"}
                             << QStringList{"Windows 95", "Windows 98", "Windows 98SE", "Windows 2000", "Windows NT",
                                            "Windows XP", "Windows ME"};
        QTest::newRow("three, last first")
            << QStringList{"Windows XP", "Windows 95", "Windows ME"}
            << QStringList{"Windows 98", "Windows 98SE", "Windows 2000", "Windows NT", "Windows XP", "Windows 95",
                           "Windows ME"};
        QTest::newRow("all seven") << QStringList{"Windows NT", "Windows 95", "Windows 98", "Windows 98SE",
                                                   "Windows ME", "Windows 2000", "Windows XP"}
                                   << QStringList{"Windows NT", "Windows 95", "Windows 98", "Windows 98SE",
                                                  "Windows ME", "Windows 2000", "Windows XP"};
    }

    void clearGivesTheSystemsBack()
    {
        QFETCH(QStringList, moved);
        QFETCH(QStringList, after);
        Harness h;
        auto *main = h.start();
        for (const QString &system : moved)
            doubleClickRow(main->lstMNCompat, rowOf(main->lstMNCompat, system));
        QCOMPARE(entries(main->lstMCompat), moved);
        QTest::mouseClick(main->cmdMClear, Qt::LeftButton);
        QVERIFY(entries(main->lstMCompat).isEmpty());
        QCOMPARE(entries(main->lstMNCompat), after);
        // A second Clear changes nothing more.
        QTest::mouseClick(main->cmdMClear, Qt::LeftButton);
        QCOMPARE(entries(main->lstMNCompat), after);
    }

    // Return, Enter and Space move the current row as a double-click does;
    // a double-click still moves one system, once.
    void listsByKeyboard_data()
    {
        QTest::addColumn<QString>("list");  // where the keys go: "os" or "compatible"
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QStringList>("compatible");  // afterwards
        QTest::newRow("Return on the OS list") << "os" << QList<int>{Qt::Key_Home, Qt::Key_Down, Qt::Key_Return}
                                               << 0 << QStringList{"Windows 98"};
        QTest::newRow("Enter on the OS list") << "os" << QList<int>{Qt::Key_Home, Qt::Key_Enter}
                                              << int(Qt::KeypadModifier) << QStringList{"Windows 95"};
        QTest::newRow("Space on the OS list") << "os" << QList<int>{Qt::Key_End, Qt::Key_Space} << 0
                                              << QStringList{"Windows XP"};
        QTest::newRow("two in a row")
            << "os" << QList<int>{Qt::Key_Home, Qt::Key_Return, Qt::Key_Home, Qt::Key_Down, Qt::Key_Space} << 0
            << QStringList{"Windows 95", "Windows 98SE"};
        QTest::newRow("Ctrl+Space only marks the row") << "os" << QList<int>{Qt::Key_Home, Qt::Key_Space}
                                                       << int(Qt::ControlModifier) << QStringList{};
        QTest::newRow("Return on the compatible list") << "compatible" << QList<int>{Qt::Key_Home, Qt::Key_Return}
                                                       << 0 << QStringList{"Windows XP"};
        QTest::newRow("Return on an empty compatible list") << "empty" << QList<int>{Qt::Key_Down, Qt::Key_Return}
                                                            << 0 << QStringList{};
        QTest::newRow("a double-click") << "double-click" << QList<int>{} << 0 << QStringList{"Windows 95"};
    }

    void listsByKeyboard()
    {
        QFETCH(QString, list);
        QFETCH(QList<int>, keys);
        QFETCH(int, modifiers);
        QFETCH(QStringList, compatible);
        Harness h;
        auto *main = h.start();
        QListWidget *at = main->lstMNCompat;
        if (list == "compatible") {
            doubleClickRow(main->lstMNCompat, 0);
            doubleClickRow(main->lstMNCompat, rowOf(main->lstMNCompat, "Windows XP"));
            at = main->lstMCompat;  // Windows 95 is its first row
        } else if (list == "empty") {
            at = main->lstMCompat;
        } else if (list == "double-click") {
            doubleClickRow(main->lstMNCompat, 0);
        }
        at->setFocus();
        for (int key : keys) {
            const bool moving = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
            pressAt(at, Qt::Key(key), Qt::KeyboardModifiers(moving ? modifiers : 0));
        }
        QCOMPARE(entries(main->lstMCompat), compatible);
        QStringList others = entries(main->lstMNCompat);
        if (list != "compatible") {
            // Every system is in exactly one list.
            QCOMPARE(others.size() + compatible.size(), 7);
            for (const QString &system : compatible)
                QVERIFY(!others.contains(system));
        } else {
            QCOMPARE(others.last(), QString("Windows 95"));
        }
        // A moved row leaves no selection behind, as after a double-click.
        if (modifiers != Qt::ControlModifier)
            QVERIFY(at->selectedItems().isEmpty());
    }

    // Return and Enter press the focused button on every screen, once even
    // when held; in a text box they press nothing.
    void buttonsByKeyboard_data()
    {
        QTest::addColumn<int>("screen");
        QTest::addColumn<int>("key");
        const std::pair<ScreenId, QByteArray> screens[] = {{ScreenId::Main, "general info"},
                                                           {ScreenId::Program, "program info"},
                                                           {ScreenId::Author, "author"},
                                                           {ScreenId::Preset, "presets"},
                                                           {ScreenId::View, "viewer"}};
        for (const auto &[id, name] : screens) {
            QTest::newRow(name + ", Return") << int(id) << int(Qt::Key_Return);
            QTest::newRow(name + ", Enter") << int(id) << int(Qt::Key_Enter);
        }
    }

    void buttonsByKeyboard()
    {
        QFETCH(int, screen);
        QFETCH(int, key);
        const auto id = ScreenId(screen);
        Harness h;
        h.start();
        const Qt::KeyboardModifiers mods = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        h.navigator->show(id);
        QWidget *shown = h.navigator->screen(id);
        const QList<QPushButton *> buttons = buttonsOf(shown);
        QVERIFY(buttons.size() >= 3);

        // In a text box: nothing pressed, the screen stays.
        QList<QSignalSpy *> spies;
        for (QPushButton *b : buttons)
            spies << new QSignalSpy(b, &QAbstractButton::clicked);
        for (QWidget *box : shown->findChildren<QLineEdit *>()) {
            box->setFocus();
            pressAt(box, Qt::Key(key), mods);
        }
        for (QSignalSpy *spy : spies)
            QCOMPARE(spy->count(), 0);
        QVERIFY(shown->isVisible());
        qDeleteAll(spies);

        for (QPushButton *b : buttons) {
            // Back to the screen, wherever the last button led.
            for (QWidget *w : QApplication::topLevelWidgets())
                if (qobject_cast<Screen *>(w))
                    w->hide();
            h.navigator->show(id);
            h.platform.messageAnswers = {MessageAnswer::No};
            h.platform.dialogAnswers = {std::nullopt};
            QSignalSpy clicked(b, &QAbstractButton::clicked);
            b->setFocus();
            pressAt(b, Qt::Key(key), mods, false);
            pressAt(b, Qt::Key(key), mods, true);  // the key held down
            QVERIFY2(clicked.count() == 1, qPrintable(b->text()));
        }
    }

    // A readme with characters Windows-1252 cannot hold asks once, after the
    // Save dialog and before writing; one that it holds is written as
    // always, without a question.
    void charactersOutsideWindows1252_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("named");  // the characters the question names; empty: no question
        QTest::addColumn<int>("answer");     // MessageAnswer
        QTest::addColumn<QByteArray>("written");  // the name as it is in the file
        const QString polish = QStringLiteral("Łukasz Wiśniewski");
        QTest::newRow("Yes writes UTF-8") << polish << QStringLiteral("Ł ś") << int(MessageAnswer::Yes)
                                          << polish.toUtf8();
        QTest::newRow("No writes question marks") << polish << QStringLiteral("Ł ś") << int(MessageAnswer::No)
                                                  << QByteArray("?ukasz Wi?niewski");
        QTest::newRow("Windows-1252 holds it: no question")
            << QStringLiteral("Jürgen Müller €") << QString() << int(MessageAnswer::Yes)
            << QByteArray("J\xfcrgen M\xfcller \x80");
        QTest::newRow("a character outside the basic plane is one")
            << QStringLiteral("Pal 😀😀") << QStringLiteral("😀") << int(MessageAnswer::No) << QByteArray("Pal ??");
        const QString many = QStringLiteral("ĀāĂăĄąĆćĈĉĊċĀ");
        QTest::newRow("ten named, the rest counted")
            << many << QStringLiteral("Ā ā Ă ă Ą ą Ć ć Ĉ ĉ and 2 more") << int(MessageAnswer::Yes) << many.toUtf8();
    }

    void charactersOutsideWindows1252()
    {
        QFETCH(QString, name);
        QFETCH(QString, named);
        QFETCH(int, answer);
        QFETCH(QByteArray, written);
        Harness h(acmePresets);
        frmAuthor *author = walkToAuthor(h, name);
        const QString target = h.path("readme.txt");
        QVERIFY(writeFile(target, "older\r\n"));
        h.platform.dialogAnswers = {target};
        h.platform.messageAnswers = {MessageAnswer(answer)};
        QByteArray whileAsked;
        h.platform.whileMessageShown = [&](const ScriptedPlatform::Call &) { whileAsked = readAll(target); };
        QTest::mouseClick(author->cmdACreate, Qt::LeftButton);

        const auto boxes = h.platform.messages();
        if (named.isEmpty()) {
            QCOMPARE(boxes.size(), size_t(0));
        } else {
            QCOMPARE(boxes.size(), size_t(1));
            QCOMPARE(boxes[0].title, QString("Save as UTF-8?"));
            QCOMPARE(boxes[0].style, 4132);
            QCOMPARE(boxes[0].owner, author);
            QCOMPARE(boxes[0].text.split("\r\n").value(1), named);
            QCOMPARE(whileAsked, QByteArray("older\r\n"));
        }
        QByteArray expected = dataFile("readme_walkthrough.txt");
        expected.replace("Pixel Pal - (", written + " - (");
        QCOMPARE(readAll(target), expected);

        // Cancel in the dialog: no question.
        h.platform.calls.clear();
        h.platform.dialogAnswers = {std::nullopt};
        QTest::mouseClick(author->cmdACreate, Qt::LeftButton);
        QCOMPARE(h.platform.messages().size(), size_t(1));
        QCOMPARE(h.platform.messages()[0].title, QString("Program error!"));
    }
};

QTEST_MAIN(TestNothingLost)
#include "tst_nothinglost.moc"
