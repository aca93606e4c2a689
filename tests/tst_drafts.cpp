// Drafts as files: the format, the store that tells a finished run's draft
// from a running one's, and the writer's thread.
#include "FileTools.h"
#include "drafts/DraftFile.h"
#include "drafts/DraftStore.h"
#include "drafts/DraftWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;
using namespace velmora::test;

Q_DECLARE_METATYPE(velmora::WizardValues)
Q_DECLARE_METATYPE(velmora::DraftReading)

namespace {

// Values in every field, with what boxes and lists may hold: line breaks,
// characters of any plane, a leading byte-order mark, a system moved.
WizardValues fullValues()
{
    WizardValues v;
    v.name = QStringLiteral("Łukasz's Tool 😀");
    v.version = "1.0";
    v.company = {"Typed Co", QString("Acme")};
    v.webSite = {"acme.example", QString("acme.example")};
    v.language = {"", std::nullopt};
    v.filesNeeded = {"a.dll\r\nb.dll\r\n", QString("a.dll")};
    v.otherSystems = {"Windows 98", "Windows 98SE", "Windows ME", "Windows 2000", "Windows NT"};
    v.compatibleSystems = {"Windows XP", "Windows 95"};
    v.type = "ShareWare";
    v.description = QString(QChar(0xFEFF)) + "starts with a byte-order mark";
    v.instructions = "\r\n";
    v.features = "end\nversion 2\n";
    v.additions = QString(3000, u'x');
    v.newFeatures = " ";
    v.authorName = {"Ann", QString("Ann")};
    v.authorEMail = {"", QString("")};
    v.record.programName = "Old name";
    v.record.programType = "ShareWare";
    v.record.filesNeeded = "a.dll";
    return v;
}

QString writeDraft(const QString &folder, const QString &name, const QByteArray &bytes)
{
    const QString path = folder + "/" + name + ".draft";
    writeFile(path, bytes);
    return path;
}

// A lock file that a running program holds, from another open file
// description (as another process would).
int holdLock(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT, 0600);
    ::flock(fd, LOCK_EX);
    return fd;
}

WizardValues typedName(const QString &name)
{
    WizardValues v;
    v.name = name;
    return v;
}

}  // namespace

class TestDrafts : public QObject {
    Q_OBJECT

private slots:
    void formatRoundTrips()
    {
        const WizardValues full = fullValues();
        const DraftRead read = parseDraft(draftBytes(full));
        QCOMPARE(read.outcome, DraftReading::Read);
        QVERIFY(read.values == full);
        // Nothing at all typed, every system still in the OS list.
        QVERIFY(parseDraft(draftBytes(WizardValues())).values == WizardValues());
        // Every system moved: the OS list is empty, not the starting seven.
        WizardValues allMoved;
        allMoved.compatibleSystems = allMoved.otherSystems;
        allMoved.otherSystems.clear();
        QVERIFY(parseDraft(draftBytes(allMoved)).values == allMoved);
    }

    void formatIsTheDocumentedText()
    {
        WizardValues v;
        v.name = "Pixel Pal";
        v.company = {"Acme", QString("Acme")};
        v.otherSystems = {"Windows 98"};
        v.compatibleSystems = {"Windows XP", "Windows 95"};
        v.description = "Line 1\r\nLine 2";
        v.record.programName = "Pixel Pal";
        const QByteArray bytes = draftBytes(v);
        const QByteArray expected =
            "Velmora draft\nversion 1\n"
            "main.name 9\nPixel Pal\nmain.version 0\n\nmain.company 4\nAcme\nmain.company.filled 4\nAcme\n"
            "main.webSite 0\n\nmain.language 0\n\nmain.filesNeeded 0\n\n"
            "main.system 10\nWindows 98\nmain.compatible 10\nWindows XP\nmain.compatible 10\nWindows 95\n"
            "main.type 0\n\nprogram.description 14\nLine 1\r\nLine 2\nprogram.instructions 0\n\n"
            "program.features 0\n\nprogram.additions 0\n\nprogram.newFeatures 0\n\n"
            "author.name 0\n\nauthor.email 0\n\n"
            "record.programName 9\nPixel Pal\nrecord.version 0\n\nrecord.company 0\n\nrecord.webSite 0\n\n"
            "record.language 0\n\nrecord.filesNeeded 0\n\nrecord.programType 0\n\nrecord.description 0\n\n"
            "record.instructions 0\n\nrecord.newAdditions 0\n\nrecord.features 0\n\nrecord.additions 0\n\n"
            "record.authorName 0\n\nrecord.authorEMail 0\n\nend\n";
        QCOMPARE(bytes, expected);
    }

    // Whatever a crash, a full disk or another program left: never taken
    // for a draft, never read past its end.
    void unreadableDrafts_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<DraftReading>("outcome");
        const QByteArray good = draftBytes(fullValues());
        QTest::newRow("another version") << QByteArray(good).replace("version 1\n", "version 2\n")
                                          << DraftReading::OtherVersion;
        QTest::newRow("not ours") << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10) << DraftReading::NotADraft;
        QTest::newRow("an unknown name") << QByteArray(good).replace("main.type ", "main.kind ")
                                          << DraftReading::NotADraft;
        QTest::newRow("a value named twice")
            << QByteArray(good).replace("main.version 3\n1.0\n", "main.name 3\n1.0\n") << DraftReading::NotADraft;
        QTest::newRow("a value missing")
            << QByteArray(good).replace("main.version 3\n1.0\n", "") << DraftReading::NotADraft;
        QTest::newRow("a length longer than the file")
            << QByteArray(good).replace("main.version 3\n", "main.version 9999999999\n") << DraftReading::CutShort;
        QTest::newRow("a signed length") << QByteArray(good).replace("main.version 3\n", "main.version -3\n")
                                          << DraftReading::NotADraft;
        QTest::newRow("a length that misses the line break")
            << QByteArray(good).replace("main.version 3\n", "main.version 2\n") << DraftReading::NotADraft;
        QTest::newRow("bytes after the end") << good + "main.name 1\nx\n" << DraftReading::NotADraft;
        QTest::newRow("not UTF-8") << QByteArray(good).replace("1.0", "1\xe9" "0") << DraftReading::NotADraft;
        QTest::newRow("a list's filled memory")
            << QByteArray(good).replace("main.type ", "main.system.filled 1\nx\nmain.type ")
            << DraftReading::NotADraft;
    }

    void unreadableDrafts()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(DraftReading, outcome);
        QCOMPARE(parseDraft(bytes).outcome, outcome);
    }

    // A draft cut anywhere, even inside its header, is cut short.
    void everyCutIsSeen()
    {
        const QByteArray good = draftBytes(fullValues());
        for (qsizetype size = 0; size < good.size(); ++size) {
            const DraftReading outcome = parseDraft(QByteArrayView(good).first(size)).outcome;
            QVERIFY2(outcome == DraftReading::CutShort, qPrintable(QString::number(size)));
        }
    }

    void filesThatAreNotRead()
    {
        QTemporaryDir dir;
        // A sparse file of 1 GB: its size alone sets it aside.
        const QString huge = dir.filePath("huge.draft");
        {
            QFile f(huge);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(qint64(1) << 30));
        }
        QCOMPARE(readDraftFile(huge).outcome, DraftReading::TooLarge);
        // A pipe in a draft's place is not opened (it would wait for a writer).
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("pipe.draft")).constData(), 0600), 0);
        QCOMPARE(readDraftFile(dir.filePath("pipe.draft")).outcome, DraftReading::Missing);
    }

    void typedTextIsTold_data()
    {
        QTest::addColumn<WizardValues>("values");
        QTest::addColumn<bool>("typed");
        WizardValues v;
        QTest::newRow("nothing") << v << false;
        v.company = {"Acme", QString("Acme")};
        v.filesNeeded = {"a.dll", QString("a.dll")};
        v.record.company = "Acme";
        v.record.filesNeeded = "a.dll";
        QTest::newRow("presets only, copied by Next") << v << false;
        WizardValues emptied = v;
        emptied.company.text.clear();
        QTest::newRow("a filled box emptied") << emptied << true;
        WizardValues changed = v;
        changed.record.company = "Typed Co";
        QTest::newRow("a typed company in the record only") << changed << true;
        WizardValues beforeFill;
        beforeFill.authorName = {"Ann", std::nullopt};
        QTest::newRow("a box typed into before its first fill") << beforeFill << true;
        WizardValues moved;
        moved.otherSystems.move(0, 6);
        QTest::newRow("the OS list reordered") << moved << true;
        WizardValues type;
        type.record.programType = "Demo";
        QTest::newRow("a type picked") << type << true;
    }

    void typedTextIsTold()
    {
        QFETCH(WizardValues, values);
        QFETCH(bool, typed);
        QCOMPARE(holdsTypedText(values), typed);
    }

    void aRunningProgramsDraftIsLeftAlone()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath("state/velmora");
        DraftStore running(folder);
        QVERIFY(running.claim());
        QVERIFY(writeFile(running.draftPath(), draftBytes(typedName("Typed"))));
        // Its folder is this user's alone.
        QCOMPARE(QFileInfo(folder).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::ExeOther), 0);

        DraftStore later(folder);
        QVERIFY(!later.takeLeftDraft());
        QVERIFY(later.claim());
        QVERIFY(later.draftPath() != running.draftPath());
        QVERIFY(QFile::exists(running.draftPath()));

        // Exit: the draft and its lock go, the other run's stay.
        running.removeOwn();
        QCOMPARE(entriesOf(folder).size(), 1);
        QVERIFY(entriesOf(folder).first().endsWith(".lock"));
    }

    // What a start finds of runs that are over, and what it does with it.
    void leftDrafts_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("lock");  // "none", "free", "held"
        QTest::addColumn<bool>("offered");
        QTest::addColumn<QStringList>("after");  // the folder afterwards
        const QByteArray typed = draftBytes(typedName("Typed"));
        QTest::newRow("a finished run's") << typed << "free" << true << QStringList{"run.draft", "run.lock"};
        QTest::newRow("without its lock file") << typed << "none" << true << QStringList{"run.draft", "run.lock"};
        QTest::newRow("a running program's") << typed << "held" << false << QStringList{"run.draft", "run.lock"};
        QTest::newRow("nothing typed") << draftBytes(WizardValues()) << "free" << false << QStringList{};
        QTest::newRow("cut short") << typed.left(100) << "free" << false << QStringList{"run.unreadable"};
        QTest::newRow("another version") << QByteArray(typed).replace("version 1", "version 7") << "free"
                                         << false << QStringList{"run.unreadable"};
        QTest::newRow("not ours") << QByteArray("<html>") << "none" << false << QStringList{"run.unreadable"};
        QTest::newRow("a lock alone") << QByteArray() << "free" << false << QStringList{};
    }

    void leftDrafts()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, lock);
        QFETCH(bool, offered);
        QFETCH(QStringList, after);
        QTemporaryDir dir;
        const QString lockPath = dir.filePath("run.lock");
        if (!bytes.isEmpty())
            writeDraft(dir.path(), "run", bytes);
        int held = -1;
        if (lock == "free")
            QVERIFY(writeFile(lockPath, {}));
        else if (lock == "held")
            held = holdLock(lockPath);

        DraftStore store(dir.path());
        std::optional<LeftDraft> left = store.takeLeftDraft();
        QCOMPARE(bool(left), offered);
        if (left) {
            QCOMPARE(left->values.name, QString("Typed"));
            // Held while it is offered: another start passes it by.
            QVERIFY(!DraftStore(dir.path()).takeLeftDraft());
            left.reset();
        }
        QCOMPARE(entriesOf(dir.path()), after);
        if (held >= 0)
            ::close(held);
    }

    void newestFirstTheOthersLater()
    {
        QTemporaryDir dir;
        writeDraft(dir.path(), "older", draftBytes(typedName("Older")));
        QFile(dir.filePath("older.draft")).setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                                       QFileDevice::FileModificationTime);
        writeDraft(dir.path(), "newer", draftBytes(typedName("Newer")));

        std::optional<LeftDraft> first = DraftStore(dir.path()).takeLeftDraft();
        QVERIFY(first);
        QCOMPARE(first->values.name, QString("Newer"));
        first->discard();
        std::optional<LeftDraft> second = DraftStore(dir.path()).takeLeftDraft();
        QVERIFY(second);
        QCOMPARE(second->values.name, QString("Older"));
        second->discard();
        QCOMPARE(entriesOf(dir.path()), QStringList());
    }

    // A dead run whose process id is this one's now (ids are handed out
    // again): its draft is still told from this run's by its lock alone.
    void aReusedProcessIdChangesNothing()
    {
        QTemporaryDir dir;
        const QString name = QString::number(::getpid()) + "-0000000000000001";
        writeDraft(dir.path(), name, draftBytes(typedName("Before")));
        QVERIFY(writeFile(dir.filePath(name + ".lock"), {}));
        DraftStore store(dir.path());
        QVERIFY(store.claim());
        std::optional<LeftDraft> left = store.takeLeftDraft();
        QVERIFY(left);
        QCOMPARE(left->values.name, QString("Before"));
    }

    void aFolderThatCannotBeMade()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("state"), "a file"));
        DraftStore store(dir.filePath("state/velmora"));
        QVERIFY(!store.claim());
        QVERIFY(store.draftPath().isEmpty());
        QVERIFY(!store.takeLeftDraft());
        QVERIFY(!DraftStore(QString()).claim());
    }

    void writerKeepsTheNewestValues()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("run.draft");
        std::atomic<int> after{0};
        {
            DraftWriter writer(path);
            for (int i = 0; i < 200; ++i)
                writer.submit(typedName(QString::number(i)), i == 3 ? std::function<void()>([&] { ++after; }) : nullptr);
            writer.waitUntilIdle();
            QCOMPARE(readDraftFile(path).values.name, QString("199"));
            QVERIFY(writer.written() >= 1 && writer.written() <= 200);
            QCOMPARE(after.load(), 1);  // run once, though its own values were passed over
        }
        // A write that fails: what was to follow it waits for the next one.
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkdir(path));  // a folder in the draft's place
        DraftWriter writer(path);
        writer.submit(typedName("A"), [&] { ++after; });
        writer.waitUntilIdle();
        QCOMPARE(writer.written(), 0);
        QCOMPARE(after.load(), 1);
        QVERIFY(QDir().rmdir(path));
        writer.submit(typedName("B"));
        writer.waitUntilIdle();
        QCOMPARE(readDraftFile(path).values.name, QString("B"));
        QCOMPARE(after.load(), 2);
    }
};

QTEST_GUILESS_MAIN(TestDrafts)
#include "tst_drafts.moc"
