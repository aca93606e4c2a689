// The presets screen: what it opens with, Main without Set, Clear, and every
// way Set can end.

#include "Harness.h"
#include "core/presets/PresetsFile.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

#include <sys/stat.h>

using namespace velmora;
using namespace velmora::test;

const QByteArray oldRecord = "\"Old Co\",\"old.example\",\"Old\",\"old.dll\",\"Old Name\",\"old@mail\"\r\n";

class TestPresetScreen : public ProgramSuite {
    Q_OBJECT

private slots:
    // The screen opens with what is saved. Main without Set leaves
    // presets.txt alone, and the other screens with it, but keeps what was
    // typed for the next visit; Set then keeps the other five values, line
    // breaks and all. Clear touches no file; Clear, then Set, writes the
    // empty record. A company beyond Windows-1252 is saved in UTF-8, with no
    // question, and comes back as typed on the screens and in the readme.
    void mainWithoutSetThenSetThenClearAndSet()
    {
        const QByteArray saved =
            "\"Acme, Inc.\",\"acme.example\",\"English\r\nGerman\",\"a.dll\r\nb.dll\",\"Ann\",\"ann@acme\"\r\n";
        const QByteArray changed = QByteArray(saved).replace("Acme, Inc.", "Acme, Inc. Ltd");
        start(saved);
        PresetsScreen *p = h->toPresets();
        QCOMPARE(p->focusWidget(), companyBox(p));
        QTest::keyClick(companyBox(p), Qt::Key_End);
        QTest::keyClicks(companyBox(p), " Ltd");
        QTest::mouseClick(mainButton(p), Qt::LeftButton);
        QCOMPARE(readAll(h->presetsPath()), saved);
        QCOMPARE(companyBox(h->main())->text(), QString("Acme, Inc."));
        QCOMPARE(companyBox(h->toPresets())->text(), QString("Acme, Inc. Ltd"));
        QTest::mouseClick(setButton(p), Qt::LeftButton);
        QCOMPARE(readAll(h->presetsPath()), changed);
        QTest::mouseClick(clearButton(p), Qt::LeftButton);
        QCOMPARE(p->focusWidget(), companyBox(p));
        QCOMPARE(readAll(h->presetsPath()), changed);
        QTest::mouseClick(setButton(p), Qt::LeftButton);
        QCOMPARE(readAll(h->presetsPath()), emptyPresets);

        paste(companyBox(p), "\u0141ukasiewicz Labs");
        QTest::mouseClick(setButton(p), Qt::LeftButton);
        QCOMPARE(readAll(h->presetsPath()), "\"\xc5\x81ukasiewicz Labs" + emptyPresets.mid(1));
        QTest::mouseClick(mainButton(p), Qt::LeftButton);
        QCOMPARE(companyBox(h->main())->text(), QString("\u0141ukasiewicz Labs"));
        QTest::keyClicks(nameBox(h->main()), "tidyclip");
        h->toAuthor();
        QVERIFY(h->createFile(h->path("README.md")).contains("\n- **Company:** \xc5\x81ukasiewicz Labs\n"));
        QCOMPARE(h->platform.messages().size(), size_t(3));  // each Set's "being saved" alone
    }

    // Every way Set can end: the boxes shown, in order, each OK with an
    // exclamation mark, and presets.txt after; nothing is written before the
    // box is answered. The writer's own failures are the writer suite's.
    void setShowsItsBoxes_data()
    {
        QTest::addColumn<QString>("setup");        // presets.txt before: "file" (oldRecord), "none", "fifo"
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QStringList>("boxes");    // title and text of each box; "%1" is the path
        QTest::addColumn<QByteArray>("after");     // presets.txt afterwards; null when no file

        const QStringList savingBox{"Program Constants", "The entered data is being saved!"};
        const QString quote = " a double quote (\").\r\npresets.txt cannot store that character. "
                              "Please remove it and save again.\r\nNothing was saved.";
        const QStringList six{"Acme, Inc.", "www.x", "English\r\nGerman", "", "Jane \u00c9", "j@x"};

        // Each value cut to the box it is later loaded into; Windows-1252.
        QTest::newRow("saved")
            << "file" << QStringList{"Smith, Jones" + QString(40, 'c'), "sj.example", "English", "a.dll\r\nb.dll",
                                     "\u00c9" + QString(34, 'n'), "sam@sj.example"}
            << savingBox << "\"Smith, Jones" + QByteArray(28, 'c') + "\",\"sj.example\",\"English\",\"a.dll\r\nb.dll\",\""
                                + "\xc9" + QByteArray(29, 'n') + "\",\"sam@sj.example\"\r\n";
        QTest::newRow("no file: none created")
            << "none" << six
            << QStringList{"File Error", "The needed file wasn't found!\r\nPlease contact the author at:\r\n   "
                                         VELMORA_CONTACT_EMAIL}
            << QByteArray();
        QTest::newRow("pipe in the file's place")
            << "fifo" << six
            << QStringList{"File Error", "The presets could not be saved.\r\nCannot write \"%1\": "
                                         "it is not a regular file."}
            << QByteArray();
        QTest::newRow("double quote in one value")
            << "file" << QStringList{"Acme \"Best\"", "", "", "", "", ""}
            << QStringList{"Program Constants", "The company name holds" + quote} << oldRecord;
        QTest::newRow("double quotes in two values")
            << "file" << QStringList{"ok", "ok", "English\r\n\"German\"", "ok", "ok", "j\"@x"}
            << QStringList{"Program Constants", "The language(s) and author's e-mail hold" + quote} << oldRecord;
        QTest::newRow("file removed while the box is shown")
            << "file" << six
            << savingBox + QStringList{"File Error", "The presets could not be saved.\r\nCannot write \"%1\": "
                                                     "the file is no longer there."}
            << QByteArray();
    }

    void setShowsItsBoxes()
    {
        QFETCH(QString, setup);
        QFETCH(QStringList, values);
        QFETCH(QStringList, boxes);
        QFETCH(QByteArray, after);
        start(oldRecord);
        const QString path = h->presetsPath();
        if (setup != "file")
            QVERIFY(QFile::remove(path));
        if (setup == "fifo")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        // Typed into emptied boxes, with Return between the lines of the
        // multi-line boxes.
        PresetsScreen *p = h->toPresets();
        QTest::mouseClick(clearButton(p), Qt::LeftButton);
        QTest::keyClicks(companyBox(p), values[0]);
        QTest::keyClicks(webBox(p), values[1]);
        typeLines(languageBox(p), values[2].split("\r\n"));
        typeLines(filesNeededBox(p), values[3].split("\r\n"));
        QTest::keyClicks(authorNameBox(p), values[4]);
        QTest::keyClicks(emailBox(p), values[5]);

        QStringList shown;
        h->platform.whileMessageShown = [&](const ScriptedPlatform::Call &call) {
            shown << call.title << call.text;
            QCOMPARE(call.box, okWarning);
            if (setup == "file" && call.title == "Program Constants")
                QCOMPARE(readAll(path), oldRecord);
            if (QTest::currentDataTag() == QLatin1String("file removed while the box is shown"))
                QFile::remove(path);
        };
        QTest::mouseClick(setButton(p), Qt::LeftButton);
        boxes.replaceInStrings("%1", QDir::toNativeSeparators(path));
        QCOMPARE(shown, boxes);
        QCOMPARE(QFileInfo(path).isFile(), !after.isNull());
        if (!after.isNull())
            QCOMPARE(readAll(path), after);
        QCOMPARE(entriesOf(h->folder()).size(), setup == "fifo" || !after.isNull() ? 1 : 0);
        QCOMPARE(companyBox(p)->text(), values[0].left(40));
    }
};

QTEST_MAIN(TestPresetScreen)
#include "tst_presetscreen.moc"
