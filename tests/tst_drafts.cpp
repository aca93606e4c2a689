// Drafts as files: the format, what a start does with the drafts it finds,
// runs at the same time, and the writer's thread.
#include "FileTools.h"
#include "core/drafts/DraftFile.h"
#include "core/drafts/DraftStore.h"
#include "core/drafts/DraftWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;
using namespace velmora::test;

namespace {

// Values in every field, with what boxes and lists may hold: line breaks,
// characters of any plane, a leading byte-order mark, a long value, boxes
// with and without the memory of a fill.
WizardValues fullValues()
{
    WizardValues v;
    v.name = QStringLiteral("Łukasz's Tool 😀");
    v.version = "1.0";
    v.company = {"Typed Co", QString("Acme")};
    v.webSite = {"acme.example", QString("acme.example")};
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
    return v;
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
    // The format byte for byte, read back the same; every value comes back
    // whole; a draft cut anywhere, even inside its header, is cut short.
    void format()
    {
        WizardValues v;
        v.name = "Pixel Pal";
        v.company = {"Acme", QString("Acme")};
        v.otherSystems = {"Windows 98"};
        v.compatibleSystems = {"Windows XP", "Windows 95"};
        v.description = "Line 1\r\nLine 2";
        v.record.programName = "Pixel Pal";
        const QByteArray text =
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
        QCOMPARE(draftBytes(v), text);
        QVERIFY(parseDraft(text).values == v);

        const QByteArray full = draftBytes(fullValues());
        const DraftRead read = parseDraft(full);
        QCOMPARE(read.outcome, DraftReading::Read);
        QVERIFY(read.values == fullValues());
        for (qsizetype size = 0; size < full.size(); ++size)
            QVERIFY2(parseDraft(QByteArrayView(full).first(size)).outcome == DraftReading::CutShort,
                     qPrintable(QString::number(size)));
    }

    // What a start finds of a run that is over, and what it leaves in the
    // folder: a draft with typed text is offered (and held meanwhile), one
    // without is deleted, one that cannot be read is set aside, a running
    // program's is left alone.
    void leftDrafts_data()
    {
        QTest::addColumn<QByteArray>("bytes");  // the draft; "<pipe>", "<1 GB>"; empty: none
        QTest::addColumn<QString>("lock");      // its lock file: "none", "free", "held"
        QTest::addColumn<bool>("offered");
        QTest::addColumn<QStringList>("after");  // the folder afterwards
        const QStringList kept{"run.draft", "run.lock"}, aside{"run.unreadable"};
        const QByteArray typed = draftBytes(typedName("Typed"));
        QTest::newRow("a finished run's") << typed << "free" << true << kept;
        QTest::newRow("without its lock file") << typed << "none" << true << kept;
        QTest::newRow("a running program's") << typed << "held" << false << kept;
        QTest::newRow("a lock alone") << QByteArray() << "free" << false << QStringList();

        QTest::newRow("nothing typed") << draftBytes(WizardValues()) << "free" << false << QStringList();
        // A finished run's draft of the presets alone, copied by Next, and
        // one change to it.
        const auto presetsAnd = [&](const char *row, bool offered, const std::function<void(WizardValues &)> &change) {
            WizardValues v;
            v.company = {"Acme", QString("Acme")};
            v.record.company = "Acme";
            change(v);
            QTest::newRow(row) << draftBytes(v) << "free" << offered << (offered ? kept : QStringList());
        };
        presetsAnd("presets only, copied by Next", false, [](WizardValues &) {});
        presetsAnd("a filled box emptied", true, [](WizardValues &v) { v.company.text.clear(); });
        presetsAnd("a typed company in the record only", true, [](WizardValues &v) { v.record.company = "Typed Co"; });
        presetsAnd("a box typed into before its first fill", true,
                   [](WizardValues &v) { v.authorName = {"Ann", std::nullopt}; });
        presetsAnd("the OS list reordered", true, [](WizardValues &v) { v.otherSystems.move(0, 6); });
        presetsAnd("a type picked", true, [](WizardValues &v) { v.record.programType = "Demo"; });

        const QByteArray full = draftBytes(fullValues());
        const auto unreadable = [&](const char *row, const QByteArray &bytes) {
            QTest::newRow(row) << bytes << "free" << false << aside;
        };
        unreadable("cut short", typed.left(100));
        unreadable("another version", QByteArray(full).replace("version 1\n", "version 2\n"));
        unreadable("not ours", QByteArray("\x89PNG\r\n\x1a\n\0\0", 10));
        unreadable("an unknown name", QByteArray(full).replace("main.type ", "main.kind "));
        unreadable("a value named twice", QByteArray(full).replace("main.version 3\n1.0\n", "main.name 3\n1.0\n"));
        unreadable("a value missing", QByteArray(full).replace("main.version 3\n1.0\n", ""));
        unreadable("a length past the end", QByteArray(full).replace("main.version 3\n", "main.version 9999999999\n"));
        unreadable("a signed length", QByteArray(full).replace("main.version 3\n", "main.version -3\n"));
        unreadable("a length short of the line break", QByteArray(full).replace("main.version 3\n", "main.version 2\n"));
        unreadable("bytes after the end", full + "main.name 1\nx\n");
        unreadable("not UTF-8", QByteArray(full).replace("1.0", "1\xe9" "0"));
        unreadable("a list's filled memory", QByteArray(full).replace("main.type ", "main.system.filled 1\nx\nmain.type "));
        unreadable("1 GB, not read", "<1 GB>");
        unreadable("a pipe, not opened", "<pipe>");
    }

    void leftDrafts()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, lock);
        QFETCH(bool, offered);
        QFETCH(QStringList, after);
        QTemporaryDir dir;
        const QString draftPath = dir.filePath("run.draft");
        if (bytes == "<pipe>") {
            QCOMPARE(::mkfifo(QFile::encodeName(draftPath).constData(), 0600), 0);
        } else if (bytes == "<1 GB>") {
            QFile sparse(draftPath);
            QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(qint64(1) << 30));
        } else if (!bytes.isEmpty()) {
            QVERIFY(writeFile(draftPath, bytes));
        }
        const QString lockPath = dir.filePath("run.lock");
        if (lock == "free")
            QVERIFY(writeFile(lockPath, {}));
        // Held by a running program: locked through another open file, as
        // another process would.
        const int held = lock == "held" ? ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT, 0600) : -1;
        if (held >= 0)
            QCOMPARE(::flock(held, LOCK_EX), 0);

        std::optional<LeftDraft> left = DraftStore(dir.path()).takeLeftDraft();
        QCOMPARE(bool(left), offered);
        if (left) {
            QCOMPARE(draftBytes(left->values), bytes);
            QVERIFY(!DraftStore(dir.path()).takeLeftDraft());  // held while it is offered
            left.reset();
        }
        QCOMPARE(entriesOf(dir.path()), after);
        if (held >= 0)
            ::close(held);
    }

    // Runs before and at the same time as this one, in a folder open to
    // this user alone, each with a draft of its own: a start takes the
    // newest finished run's first and the others at later starts, even one
    // whose process id the system has handed to this run since, never a
    // running program's; Exit takes only its own. No folder at all: no
    // draft, never a file of the working folder.
    void runs()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath("state/velmora");
        DraftStore running(folder);
        QVERIFY(running.claim());
        QVERIFY(writeFile(running.draftPath(), draftBytes(typedName("Running"))));
        QCOMPARE(QFileInfo(folder).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::ExeOther), 0);
        const QString older = folder + "/" + QString::number(::getpid()) + "-0000000000000001.draft";
        QVERIFY(writeFile(older, draftBytes(typedName("Older"))));
        QFile aged(older);
        QVERIFY(aged.open(QIODevice::ReadWrite));
        QVERIFY(aged.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
        aged.close();
        QVERIFY(writeFile(folder + "/newer.draft", draftBytes(typedName("Newer"))));
        for (const char *name : {"Newer", "Older"}) {
            DraftStore store(folder);
            QVERIFY(store.claim());
            QVERIFY(store.draftPath() != running.draftPath());
            std::optional<LeftDraft> left = store.takeLeftDraft();
            QVERIFY(left);
            QCOMPARE(left->values.name, QString(name));
            left->discard();
            store.removeOwn();
        }
        QVERIFY(!DraftStore(folder).takeLeftDraft());
        QCOMPARE(readDraftFile(running.draftPath()).values.name, QString("Running"));
        running.removeOwn();
        QCOMPARE(entriesOf(folder), QStringList());
        QVERIFY(!DraftStore(QString()).claim());
    }

    // The newest values handed over are the ones on disk, and what is to
    // follow a write runs once; after a write that fails, it waits for the
    // next one.
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
            QCOMPARE(after.load(), 1);
        }
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkdir(path));  // a folder in the draft's place
        DraftWriter writer(path);
        writer.submit(typedName("A"), [&] { ++after; });
        writer.waitUntilIdle();
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
