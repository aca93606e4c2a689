// Keyboard and screen-reader use of every screen: Tab and Shift+Tab walk
// each screen's whole chain, every control is named, pasted text stays on
// one line in single-line boxes, and the whole wizard can be done with the
// keyboard alone.

#include "Harness.h"
#include "app/frmSplash.h"
#include "presets/frmPreset.h"
#include "screens/frmAuthor.h"
#include "screens/frmMain.h"
#include "screens/frmProgram.h"
#include "viewer/frmView.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QtTest>

using namespace velmora;
using namespace velmora::test;

namespace {

// Presses a key where the focus is on that screen, as a person would.
void press(QWidget *screen, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QWidget *at = screen->focusWidget();
    QVERIFY2(at, "no focus on the screen");
    QTest::keyClick(at, key, modifiers);
}

void type(QWidget *screen, const QString &text)
{
    QWidget *at = screen->focusWidget();
    QVERIFY2(at, "no focus on the screen");
    QTest::keyClicks(at, text);
}

QString nameOf(QWidget *w)
{
    return w ? w->objectName() + "/" + w->metaObject()->className() : QString("nothing");
}

// Walks the chain from its first control with Tab, then back with
// Shift+Tab, checking every step and the return to the start.
void walkChain(QWidget *screen, const QList<QWidget *> &chain)
{
    chain.first()->setFocus();
    QCOMPARE(screen->focusWidget(), chain.first());
    for (int i = 1; i <= chain.size(); ++i) {
        press(screen, Qt::Key_Tab);
        QVERIFY2(screen->focusWidget() == chain[i % chain.size()],
                 qPrintable(QString("Tab step %1 reached %2").arg(i).arg(nameOf(screen->focusWidget()))));
    }
    for (int i = chain.size() - 1; i >= 0; --i) {
        press(screen, Qt::Key_Tab, Qt::ShiftModifier);
        QVERIFY2(screen->focusWidget() == chain[i],
                 qPrintable(QString("Shift+Tab to %1 reached %2").arg(i).arg(nameOf(screen->focusWidget()))));
    }
}

struct Named {
    QObject *control;
    QAccessible::Role role;
    QString name;
};

void checkNames(const QList<Named> &controls)
{
    for (const Named &c : controls) {
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(c.control);
        QVERIFY2(face, qPrintable(c.name));
        QCOMPARE(face->role(), c.role);
        QCOMPARE(face->text(QAccessible::Name), c.name);
    }
}

// Every line break of a file is CR LF: no CR without its LF, no LF alone.
void checkOnlyCrLf(const QByteArray &bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r')
            QVERIFY2(i + 1 < bytes.size() && bytes[i + 1] == '\n', qPrintable(QString("bare CR at %1").arg(i)));
        if (bytes[i] == '\n')
            QVERIFY2(i > 0 && bytes[i - 1] == '\r', qPrintable(QString("bare LF at %1").arg(i)));
    }
}

void paste(QWidget *box, const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

}  // namespace

class TestKeyboard : public QObject {
    Q_OBJECT

private slots:
    void tabChainOfEveryScreen()
    {
        Harness h(acmePresets);
        auto *m = h.startToMain<frmMain>();
        walkChain(m, {m->txtMName, m->txtMVer, m->txtMCompany, m->txtMWeb, m->txtMLanguage, m->txtMNeed,
                      m->lstMNCompat, m->lstMType, m->cmdMClear, m->cmdMNext, m->cmdMExit, m->lstMCompat});
        QTest::mouseClick(m->cmdMNext, Qt::LeftButton);

        auto *p = h.screen<frmProgram>(ScreenId::Program);
        walkChain(p, {p->txtPDesc, p->txtPInstruct, p->txtPFeat, p->txtPAdd, p->txtPNew, p->cmdPClear,
                      p->cmdPNext, p->cmdPMain});
        QTest::mouseClick(p->cmdPNext, Qt::LeftButton);

        auto *a = h.screen<frmAuthor>(ScreenId::Author);
        walkChain(a, {a->txtAName, a->txtAEMail, a->cmdAClear, a->cmdACreate, a->cmdAMain});
        QTest::mouseClick(a->cmdAMain, Qt::LeftButton);

        m->mnuMFConstants->trigger();
        auto *c = h.screen<frmPreset>(ScreenId::Preset);
        walkChain(c, {c->txtCComName, c->txtCWeb, c->txtCLanguage, c->txtCNeeded, c->txtCAName, c->txtCEmail,
                      c->cmdCClear, c->cmdCSet, c->cmdCMain});
        QTest::mouseClick(c->cmdCMain, Qt::LeftButton);

        h.platform.dialogAnswers = {std::nullopt};
        m->mnuMTView->trigger();
        auto *v = h.screen<frmView>(ScreenId::View);
        walkChain(v, {v->txtView, v->cmdVClear, v->cmdVAnother, v->cmdVMain});
    }

    // A screen reader's view: every box, list and button named as the user
    // sees it, every window by its caption.
    void everyControlIsNamed()
    {
        Harness h(acmePresets);
        h.navigator->start();
        frmSplash *s = h.navigator->splash();
        h.tick(s);
        checkNames({{s, QAccessible::Client, "Velmora"}});
        QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(s->pbTaskProgress);
        QCOMPARE(bar->role(), QAccessible::ProgressBar);
        QVERIFY(bar->valueInterface());
        QCOMPARE(bar->valueInterface()->currentValue().toInt(), 5);
        for (int i = 1; i < 20; ++i)
            h.tick(s);

        auto *m = h.screen<frmMain>(ScreenId::Main);
        const auto edit = QAccessible::EditableText;
        const auto button = QAccessible::Button;
        const auto list = QAccessible::List;
        checkNames({{m, QAccessible::Client, "Velmora"},
                    {m->txtMName, edit, "Name"},
                    {m->txtMVer, edit, "Version"},
                    {m->txtMCompany, edit, "Company"},
                    {m->txtMWeb, edit, "Web site"},
                    {m->txtMLanguage, edit, "Language"},
                    {m->txtMNeed, edit, "Files needed"},
                    {m->lstMNCompat, list, "OS list"},
                    {m->lstMCompat, list, "(compatible list)"},
                    {m->lstMType, list, "Type"},
                    {m->cmdMClear, button, "Clear"},
                    {m->cmdMNext, button, "Next"},
                    {m->cmdMExit, button, "Exit"}});
        QTest::mouseClick(m->cmdMNext, Qt::LeftButton);

        auto *p = h.screen<frmProgram>(ScreenId::Program);
        checkNames({{p, QAccessible::Client, "Program Info"},
                    {p->txtPDesc, edit, "Description"},
                    {p->txtPInstruct, edit, "Instructions"},
                    {p->txtPFeat, edit, "Features"},
                    {p->txtPAdd, edit, "Additional Features"},
                    {p->txtPNew, edit, "New Features"},
                    {p->cmdPClear, button, "Clear"},
                    {p->cmdPNext, button, "Next"},
                    {p->cmdPMain, button, "Main"}});
        QTest::mouseClick(p->cmdPNext, Qt::LeftButton);

        auto *a = h.screen<frmAuthor>(ScreenId::Author);
        checkNames({{a, QAccessible::Client, "Author"},
                    {a->txtAName, edit, "Name"},
                    {a->txtAEMail, edit, "EMail"},
                    {a->cmdAClear, button, "Clear"},
                    {a->cmdACreate, button, "Create File"},
                    {a->cmdAMain, button, "Main"}});
        QTest::mouseClick(a->cmdAMain, Qt::LeftButton);

        m->mnuMFConstants->trigger();
        auto *c = h.screen<frmPreset>(ScreenId::Preset);
        checkNames({{c, QAccessible::Client, "Set program constants (presets)"},
                    {c->txtCComName, edit, "Company name"},
                    {c->txtCWeb, edit, "Web site"},
                    {c->txtCLanguage, edit, "Language(s)"},
                    {c->txtCNeeded, edit, "Needed files"},
                    {c->txtCAName, edit, "Authors' name"},
                    {c->txtCEmail, edit, "Authors' email"},
                    {c->cmdCClear, button, "Clear"},
                    {c->cmdCSet, button, "Set"},
                    {c->cmdCMain, button, "Main"}});
        QTest::mouseClick(c->cmdCMain, Qt::LeftButton);

        h.platform.dialogAnswers = {std::nullopt};
        m->mnuMTView->trigger();
        auto *v = h.screen<frmView>(ScreenId::View);
        checkNames({{v, QAccessible::Client, "View"},
                    {v->txtView, edit, "View"},
                    {v->cmdVClear, button, "Clear"},
                    {v->cmdVAnother, button, "Another"},
                    {v->cmdVMain, button, "Main"}});
    }

    void pasteIntoASingleLineBox_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("shown");
        QTest::newRow("CR LF") << "a\r\nb" << "a b";
        QTest::newRow("LF") << "a\nb" << "a b";
        QTest::newRow("CR") << "a\rb" << "a b";
        QTest::newRow("two breaks, one at the end") << "a\n\nb\r\n" << "a  b ";
        QTest::newRow("cut at the box's limit") << "Ann\r\n" + QString(40, 'x') << "Ann " + QString(26, 'x');
    }

    // Every way in: Ctrl+V, the box's context menu and a drop.
    void pasteIntoASingleLineBox()
    {
        QFETCH(QString, pasted);
        QFETCH(QString, shown);
        Harness h;
        auto *m = h.startToMain<frmMain>();
        QTest::mouseClick(m->cmdMNext, Qt::LeftButton);
        QTest::mouseClick(h.screen<frmProgram>(ScreenId::Program)->cmdPNext, Qt::LeftButton);
        auto *a = h.screen<frmAuthor>(ScreenId::Author);

        paste(a->txtAName, pasted);
        QCOMPARE(a->txtAName->text(), shown);

        a->txtAEMail->clear();
        QGuiApplication::clipboard()->setText(pasted);
        QContextMenuEvent menuAsked(QContextMenuEvent::Keyboard, QPoint(5, 5), a->txtAEMail->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(a->txtAEMail, &menuAsked);
        QMenu *menu = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *candidate = qobject_cast<QMenu *>(w); candidate && candidate->isVisible())
                menu = candidate;
        QVERIFY(menu);
        QAction *pasteAction = nullptr;
        for (QAction *action : menu->actions())
            if (action->text().remove('&').startsWith("Paste"))
                pasteAction = action;
        QVERIFY(pasteAction && pasteAction->isEnabled());
        pasteAction->trigger();
        menu->close();
        QCOMPARE(a->txtAEMail->text(), shown);

        a->txtAEMail->clear();
        QMimeData dragged;
        dragged.setText(pasted);
        const QPointF at(5, 5);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &dragged, Qt::LeftButton, {});
        QApplication::sendEvent(a->txtAEMail, &enter);
        QDropEvent drop(at, Qt::CopyAction, &dragged, Qt::LeftButton, {});
        QApplication::sendEvent(a->txtAEMail, &drop);
        QCOMPARE(a->txtAEMail->text(), shown);
    }

    // What the files get: pasted breaks never reach the readme or
    // presets.txt as a bare CR or LF; a multi-line box keeps its lines.
    void pastedTextInTheFiles()
    {
        Harness h;
        auto *m = h.startToMain<frmMain>();
        m->mnuMFConstants->trigger();
        auto *c = h.screen<frmPreset>(ScreenId::Preset);
        paste(c->txtCComName, "Acme\nTools");
        paste(c->txtCWeb, "acme\r.example");
        paste(c->txtCLanguage, "English\rGerman");  // multi-line: two lines
        paste(c->txtCAName, "Ann\r\nAuthor");
        paste(c->txtCEmail, "ann@\nacme");
        h.platform.messageAnswers = {MessageAnswer::Yes};
        QTest::mouseClick(c->cmdCSet, Qt::LeftButton);
        const QByteArray presets = readAll(h.presetsPath());
        QCOMPARE(presets, QByteArray("\"Acme Tools\",\"acme .example\",\"English\r\nGerman\",\"\",\"Ann Author\",\"ann@ acme\"\r\n"));
        QTest::mouseClick(c->cmdCMain, Qt::LeftButton);

        paste(m->txtMName, "Pixel\rPal");
        paste(m->txtMNeed, "a.dll\nb.dll");
        QTest::mouseClick(m->cmdMNext, Qt::LeftButton);
        auto *p = h.screen<frmProgram>(ScreenId::Program);
        paste(p->txtPDesc, "One\rTwo\r\n");
        QTest::mouseClick(p->cmdPNext, Qt::LeftButton);
        auto *a = h.screen<frmAuthor>(ScreenId::Author);
        h.platform.dialogAnswers = {h.path("readme.txt")};
        QTest::mouseClick(a->cmdACreate, Qt::LeftButton);
        const QByteArray readme = readAll(h.path("readme.txt"));
        checkOnlyCrLf(readme);
        QVERIFY(readme.contains("\r\nPixel Pal - ("));
        QVERIFY(readme.contains("\r\nAcme Tools\r\n"));
        QVERIFY(readme.contains("1). Files needed:\r\na.dll\r\nb.dll\r\n"));
        QVERIFY(readme.contains("2). Description:\r\nOne\r\nTwo\r\n"));
        QVERIFY(readme.contains("  ann@ acme\r\n"));
    }

    // The whole wizard with the keyboard alone: Tab, Space, arrows, typing.
    void wholeWizardByKeyboard()
    {
        Harness h(acmePresets);
        auto *m = h.startToMain<frmMain>();
        QCOMPARE(m->focusWidget(), m->txtMName);
        type(m, "Pixel Pal");
        press(m, Qt::Key_Tab);
        type(m, "2.1");
        for (int i = 0; i < 5; ++i)  // company, web site, language, files needed: from the presets
            press(m, Qt::Key_Tab);
        QCOMPARE(m->focusWidget(), m->lstMNCompat);
        press(m, Qt::Key_Tab);
        QCOMPARE(m->focusWidget(), m->lstMType);
        press(m, Qt::Key_Down);  // from Demo to Freeware
        press(m, Qt::Key_Tab);
        press(m, Qt::Key_Tab);
        QCOMPARE(m->focusWidget(), m->cmdMNext);
        press(m, Qt::Key_Space);

        auto *p = h.screen<frmProgram>(ScreenId::Program);
        QVERIFY(p->isVisible());
        type(p, "Draws pixels.");
        press(p, Qt::Key_Return);
        type(p, "Saves them too.");
        press(p, Qt::Key_Tab);
        type(p, "Run it.");
        press(p, Qt::Key_Tab);
        type(p, "Fast");
        press(p, Qt::Key_Tab);
        press(p, Qt::Key_Tab);
        type(p, "Undo");
        press(p, Qt::Key_Tab);
        press(p, Qt::Key_Tab);
        QCOMPARE(p->focusWidget(), p->cmdPNext);
        press(p, Qt::Key_Space);

        auto *a = h.screen<frmAuthor>(ScreenId::Author);
        QVERIFY(a->isVisible());
        QCOMPARE(a->focusWidget(), a->txtAName);
        for (int i = 0; i < 3; ++i)
            press(a, Qt::Key_Tab);
        QCOMPARE(a->focusWidget(), a->cmdACreate);
        h.platform.dialogAnswers = {h.path("readme.txt")};
        press(a, Qt::Key_Space);

        // The mouse walk-through's readme, less the compatible systems that
        // only a double-click adds.
        QByteArray expected = dataFile("readme_walkthrough.txt");
        const QByteArray systems = "     Windows 98\r\n     Windows XP\r\n";
        QVERIFY(expected.contains(systems));
        expected.replace(systems, "");
        QCOMPARE(readAll(h.path("readme.txt")), expected);
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
