// What holds on every screen (layout, names for a screen reader, Tab and
// Shift+Tab), pasting into single-line boxes, and the whole wizard without
// a mouse.

#include "Harness.h"
#include "Layout.h"
#include "ui/help/HelpBinding.h"
#include "ui/toolkit/QtPlatform.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBrowser>
#include <QRadioButton>
#include <QtTest>

using namespace velmora;
using namespace velmora::test;

namespace {

// Where the focus is on the one screen shown.
QWidget *focus()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qobject_cast<Screen *>(w) && w->isVisible())
            return w->focusWidget();
    return nullptr;
}

// Presses a key where the focus is, as a person would.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QWidget *at = focus();
    QVERIFY2(at, "no focus");
    QTest::keyClick(at, key, modifiers);
}

// Each screen and the way a person takes to it from the main screen.
const std::pair<const char *, Screen *(*)(Harness &)> screens[] = {
    {"general info", [](Harness &h) -> Screen * { return h.main(); }},
    {"program info", [](Harness &h) -> Screen * { return h.toProgram(); }},
    {"author", [](Harness &h) -> Screen * { return h.toAuthor(); }},
    {"presets", [](Harness &h) -> Screen * { return h.toPresets(); }},
    {"view", [](Harness &h) -> Screen * { return h.toViewer(std::nullopt); }},
    {"preview", [](Harness &h) -> Screen * { return h.toPreview(); }},
    {"project facts", [](Harness &h) -> Screen * {  // two versions to choose from, a broken file, a readme
         QDir(h.folder()).mkdir("project");
         for (const auto &[name, bytes] : {std::pair{"CMakeLists.txt", QByteArray("project(tidyclip VERSION 1.4.3)")},
                                           {"package.json", "{\"version\": \"1.4.2\"}"}, {"Cargo.toml", "[package"},
                                           {"readme.txt", dataFile("readme_walkthrough.txt")}})
             writeFile(h.path("project/") + name, bytes);
         return h.toProjectFacts(h.path("project"));
     }},
};

// The access key of a caption ("E&xit": x), none when it has none.
QChar accessKey(const QString &caption)
{
    const qsizetype at = caption.indexOf(u'&');
    return at >= 0 && at + 1 < caption.size() ? caption.at(at + 1).toLower() : QChar();
}

// Every caption has an access key that no other caption of the same group
// has: the screen's buttons with its menu titles, and each menu's entries.
void checkAccessKeys(const QStringList &captions)
{
    QSet<QChar> taken;
    for (const QString &caption : captions) {
        const QChar key = accessKey(caption);
        QVERIFY2(!key.isNull(), qPrintable(caption + " has no access key"));
        QVERIFY2(!taken.contains(key), qPrintable(caption + " takes a key taken before it"));
        taken.insert(key);
    }
}

// The controls Tab stops at: the enabled ones; of a group of radio buttons, the checked one
// (arrows move within the group).
QList<QWidget *> focusable(const Screen *screen)
{
    QList<QWidget *> out = screen->client()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    out.removeIf([](QWidget *w) {
        auto *radio = qobject_cast<QRadioButton *>(w);
        return !w->isVisible() || !w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus) || (radio && !radio->isChecked());
    });
    return out;
}

}  // namespace

class TestKeyboard : public ProgramSuite {
    Q_OBJECT

private slots:
    // CTest runs this suite at several scale factors: the factor really
    // applies (a typo in the environment would test 1 every time).
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::primaryScreen()->devicePixelRatio(), qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());
    }

    void everyScreen_data()
    {
        QTest::addColumn<int>("screen");
        for (int i = 0; i < int(std::size(screens)); ++i)
            QTest::newRow(screens[i].first) << i;
    }

    // Whatever the screen and the scale factor: the layout's invariants;
    // every box framed on all four sides; on the screen, and centred when it
    // fits; no close button; every
    // box, list and button named as a screen reader should say it (after
    // the label that stands for it, without the colon); Tab from the
    // screen's first field visits every control once and comes back, and
    // Shift+Tab walks the same way back.
    void everyScreen()
    {
        QFETCH(int, screen);
        start();
        Screen *s = screens[screen].second(*h);
        QVERIFY(QTest::qWaitForWindowActive(s));

        checkLayoutInvariants(s);
        checkFramesDrawn(s);
        // On the screen; centred on it when first shown, if it fits.
        checkOnTheScreen(s);
        const QRect available = s->screen()->availableGeometry();
        const QPoint off = s->frameGeometry().center() - available.center();
        if (s->frameGeometry().height() <= available.height())
            QVERIFY2(off.manhattanLength() <= 2, qPrintable(QString("%1,%2 from the centre").arg(off.x()).arg(off.y())));
        // The viewer and the preview grow with their window, the text
        // taking what it gains; the wizard and the presets keep their size.
        const bool grows = s->windowTitle() == "View" || s->windowTitle() == "Preview";
        QVERIFY(!(s->windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(bool(s->windowFlags() & (Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint)), grows);
        QCOMPARE(spokenName(s), s->windowTitle());

        // Access keys: one on every button and menu, none twice at once.
        QStringList reached;
        for (QAbstractButton *b : s->client()->findChildren<QAbstractButton *>())
            reached << b->text();
        if (auto *bar = s->findChild<QMenuBar *>()) {
            for (QAction *title : bar->actions()) {
                reached << title->text();
                QStringList entries;
                for (QAction *entry : title->menu()->actions())
                    if (!entry->isSeparator())
                        entries << entry->text();
                checkAccessKeys(entries);
            }
        }
        checkAccessKeys(reached);
        // Alt with a letter that is no access key types nothing.
        const QChar unused = *std::find_if(u"qjkzgyw", u"qjkzgyw" + 7, [&](QChar c) {
            return std::none_of(reached.begin(), reached.end(), [&](const QString &t) { return accessKey(t) == c; });
        });
        if (auto *box = qobject_cast<QPlainTextEdit *>(s->focusWidget())) {
            const QString before = box->toPlainText();
            press(Qt::Key(Qt::Key_A + (unused.unicode() - 'a')), Qt::AltModifier);
            QCOMPARE(box->toPlainText(), before);
        } else if (auto *line = qobject_cast<QLineEdit *>(s->focusWidget())) {
            const QString before = line->text();
            press(Qt::Key(Qt::Key_A + (unused.unicode() - 'a')), Qt::AltModifier);
            QCOMPARE(line->text(), before);
        }

        QCOMPARE(s->minimumSize() == s->maximumSize(), !grows);
        if (grows) {
            auto *text = s->client()->findChild<QPlainTextEdit *>();
            const QSize designed = s->size(), textSize = text->size();
            s->resize(designed + QSize(300, 200));
            checkLayoutInvariants(s);
            QCOMPARE(text->size(), textSize + QSize(300, 200));
            s->resize(designed);
        }

        const QList<QWidget *> controls = focusable(s);
        for (QWidget *w : controls) {
            const QString name = spokenName(w);
            QVERIFY2(!name.isEmpty() && !name.endsWith(':') && name == name.trimmed(),
                     qPrintable(nameOf(w)));
        }

        QWidget *first = s->focusWidget();
        QVERIFY(first && controls.contains(first));
        QList<QWidget *> seen{first};
        for (int i = 1; i <= controls.size(); ++i) {
            press(Qt::Key_Tab);
            seen << s->focusWidget();
        }
        QCOMPARE(seen.last(), first);
        seen.removeLast();
        QCOMPARE(QSet<QWidget *>(seen.begin(), seen.end()).size(), controls.size());
        for (int i = controls.size() - 1; i >= 0; --i) {
            press(Qt::Key_Tab, Qt::ShiftModifier);
            QCOMPARE(s->focusWidget(), seen[i]);
        }
    }

    // The splash, and the help window opened on the real platform over a
    // main window dragged to the screen's corner, stay on the screen too.
    // Contents opens one help window of its own that the main window owns;
    // scrolled away, hidden and chosen again, it is the same window, back at
    // the top.
    void otherWindowsStayOnTheScreen()
    {
        h->navigator->start();
        QVERIFY(QTest::qWaitForWindowExposed(h->navigator->splash()));
        checkOnTheScreen(h->navigator->splash());
        GeneralInfoScreen *m = start();
        m->move(m->screen()->availableGeometry().bottomRight() - QPoint(100, 100));
        QtPlatform platform;
        HelpBinding help;
        help.bindHelpFile(m, QStringLiteral(VELMORA_TEST_DATA "/../../resources"));
        help.showContents(platform);
        HelpWindow *window = help.helpWindow();
        QVERIFY(window && QTest::qWaitForWindowExposed(window));
        checkOnTheScreen(window);
        QCOMPARE(window->parentWidget(), m);
        QVERIFY(window->isWindow());
        QVERIFY(window->browser()->toPlainText().contains("General Info"));

        QScrollBar *bar = window->browser()->verticalScrollBar();
        bar->setValue(bar->maximum());
        window->hide();
        help.showContents(platform);
        QCOMPARE(help.helpWindow(), window);
        QVERIFY(window->isVisible());
        QCOMPARE(bar->value(), 0);
    }

    void pasteIntoASingleLineBox_data()
    {
        QTest::addColumn<bool>("version");  // the version box, else the author's e-mail box
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("shown");  // after "1.0" and the paste
        // Each kind of line break alone: tst_text's line-break rows.
        QTest::newRow("two breaks, one at the end") << false << "a\n\nb\r\n" << "1.0a  b ";
        QTest::newRow("cut at the box's limit") << false << "Ann\r\n" + QString(40, 'x') << "1.0Ann " + QString(23, 'x');
        QTest::newRow("cut inside a character") << false << QString(26, 'x') + "\U0001F600" << "1.0" + QString(26, 'x');
        QTest::newRow("version") << true << "-rc1+b.7" << "1.0-rc1+b.7";
        QTest::newRow("version with a line break: refused whole") << true << "-rc\n1" << "1.0";
        QTest::newRow("version over 20: refused whole") << true << QString(18, '1') << "1.0";
    }

    // Every way in: Ctrl+V, Shift+Insert, the middle button (where the
    // desktop has a selection), the box's context menu and a drop. A drop
    // the box refuses is not taken, so a drag that moves text keeps it.
    void pasteIntoASingleLineBox()
    {
        QFETCH(bool, version);
        QFETCH(QString, pasted);
        QFETCH(QString, shown);
        start();
        QLineEdit *box = version ? versionBox(h->main()) : emailBox(h->toAuthor());
        const QPoint end(box->width() - 3, 5);
        QMimeData dragged;
        dragged.setText(pasted);
        QDropEvent drop(end, Qt::CopyAction | Qt::MoveAction, &dragged, Qt::LeftButton, {});
        drop.setDropAction(Qt::MoveAction);
        const std::function<void()> ways[] = {
            [&] { QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier); },
            [&] { QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier); },
            [&] { QTest::mouseClick(box, Qt::MiddleButton, {}, end); },
            [&] {
                QContextMenuEvent menuAsked(QContextMenuEvent::Keyboard, end, box->mapToGlobal(end));
                QApplication::sendEvent(box, &menuAsked);
                QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_P);  // &Paste
            },
            [&] {
                QDragEnterEvent enter(end, Qt::MoveAction, &dragged, Qt::LeftButton, {});
                QApplication::sendEvent(box, &enter);
                QApplication::sendEvent(box, &drop);
            }};
        for (const auto &way : ways) {
            box->setText("1.0");
            QGuiApplication::clipboard()->setText(pasted);
            QGuiApplication::clipboard()->setText(pasted, QClipboard::Selection);
            way();
            QCOMPARE(box->text(), &way == &ways[2] && !QGuiApplication::clipboard()->supportsSelection() ? QString("1.0") : shown);
        }
        QVERIFY(!QApplication::activePopupWidget());
        QCOMPARE(drop.isAccepted(), shown != "1.0");
    }

    // The walk-through readme without the mouse: typed with the keyboard
    // alone, or pasted with every kind of line break; the two systems moved
    // with Return and Space on the OS list.
    void wholeWizard_data()
    {
        QTest::addColumn<bool>("pasted");
        QTest::newRow("keyboard alone") << false;
        QTest::newRow("pasted with CR, LF and CR LF") << true;
    }

    void wholeWizard()
    {
        QFETCH(bool, pasted);
        const auto enter = [&](const QString &text) { pasted ? paste(focus(), text) : QTest::keyClicks(focus(), text); };
        GeneralInfoScreen *m = start(acmePresets);
        QCOMPARE(m->focusWidget(), nameBox(m));
        enter(pasted ? "Pixel\nPal" : "Pixel Pal");
        press(Qt::Key_Tab);
        QTest::keyClicks(focus(), "1.0.0-rc1");
        for (int i = 0; i < 5; ++i)  // company, web site, language, files needed: from the presets
            press(Qt::Key_Tab);
        QCOMPARE(m->focusWidget(), typeList(m));
        press(Qt::Key_Down);  // no type, Demo, Freeware
        press(Qt::Key_Down);
        press(Qt::Key_Tab);
        QCOMPARE(m->focusWidget(), osList(m));
        // Windows 98, then Windows XP: after a move, the row in its place is
        // current.
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Return, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down,
                            Qt::Key_Space})
            press(key);
        QCOMPARE(osList(m)->currentItem()->text(), QString("Windows 10"));
        // Add and Remove, with no name typed and none of the user's systems
        // chosen, are passed over.
        for (QWidget *next : std::initializer_list<QWidget *>{compatibleList(m), control<QLineEdit>(m, "Own system"),
                                                              clearButton(m), nextButton(m)}) {
            press(Qt::Key_Tab);
            QCOMPARE(m->focusWidget(), next);
        }
        press(Qt::Key_X);  // a letter presses no button
        QVERIFY(!h->program());
        press(Qt::Key_Space);

        ProgramInfoScreen *p = h->program();
        QVERIFY(p->isVisible());
        enter("Draws pixels.\rSaves them too.");  // typed, \r is Return
        for (const QString text : {"Run it.", "Fast", "", "Undo", "", "", "", ""}) {
            press(Qt::Key_Tab);
            if (!text.isEmpty())
                enter(text);
        }
        QCOMPARE(p->focusWidget(), nextButton(p));
        press(Qt::Key_Space);

        AuthorScreen *a = h->author();
        QVERIFY(a->isVisible());
        for (int i = 0; i < 3; ++i)
            press(Qt::Key_Tab);
        QCOMPARE(a->focusWidget(), createButton(a));
        h->platform.dialogAnswers = {h->path("readme.txt")};
        press(Qt::Key_Space);

        QCOMPARE(readAll(h->path("readme.txt")), dataFile("readme_walkthrough.txt"));
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
