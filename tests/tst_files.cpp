// Files: the one reader (within its limit, regular files only) and what it
// makes of a file's bytes; presets.txt read from its file; the one writer
// (all or nothing, through a temporary file or in place, only over regular
// files, keeping the replaced file's owner, and the reason it gives when it
// writes nothing); drafts (the format, what a start does with the drafts it
// finds, runs at the same time, and the writer's thread); and files on a
// machine that several people share: which presets.txt a user who may not
// write the program's folder reads and writes, links that another user left
// in a shared folder, and a shared install's folder, which takes no new
// files, with presets.txt read while another Velmora writes it in place.
// Whatever a user who is not root does runs in a child process: as root (as
// in CI), the test makes the files and links of other users, then the child
// drops to nobody; run as anyone else, the child is that user and the rows
// that need a file of someone else are skipped.

#include "FileTools.h"
#include "core/drafts/DraftFile.h"
#include "core/drafts/DraftStore.h"
#include "core/drafts/DraftWriter.h"
#include "core/help/HelpPath.h"
#include "core/systems/OwnSystems.h"
#include "core/presets/PresetsFile.h"
#include "core/text/AtomicFile.h"
#include "core/text/BoundedFile.h"
#include "core/text/FilePath.h"
#include "core/text/Win1252.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

using namespace velmora;
using namespace velmora::test;
using Outcome = BoundedFile::Outcome;

namespace {

const QByteArray oldBytes(5000, 'o');
constexpr uid_t otherUser = 4242;  // neither the writer nor root

const bool asRoot = ::geteuid() == 0;

// Who writes: nobody (65534) when the test runs as root, else the user
// running it.
struct User {
    uid_t uid;
    gid_t gid;
};
const User writer = asRoot ? User{65534, 65534} : User{::geteuid(), ::getegid()};

// The owner of a file or of a link itself.
bool give(const QString &path, uid_t uid, gid_t gid = gid_t(-1))
{
    return ::lchown(QFile::encodeName(path).constData(), uid, gid) == 0;
}

bool setMode(const QString &path, mode_t mode)
{
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

// What is at path, after following links unless flags say
// AT_SYMLINK_NOFOLLOW; all zero for nothing.
struct stat statOf(const QString &path, int flags = 0)
{
    struct stat found {};
    ::fstatat(AT_FDCWD, QFile::encodeName(path).constData(), &found, flags);
    return found;
}

// Puts at path what bytes stand for: "<fifo>", "<folder>", "<2 GiB>" (a
// sparse file), or else a file of these bytes.
bool putAt(const QString &path, const QByteArray &bytes)
{
    if (bytes == "<fifo>")
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (bytes == "<folder>")
        return QDir().mkdir(path);
    if (bytes == "<2 GiB>")
        return writeFile(path, {}) && QFile::resize(path, qint64(2) << 30);
    return writeFile(path, bytes);
}

// Starts work in a child process as the writer, which ends with this
// process. Its checks report as in any test; the child's exit status says
// whether they all held.
pid_t startAsWriter(const std::function<void()> &work)
{
    std::fflush(stdout);  // or the child would print the log so far again
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    if (asRoot
        && (::setgroups(0, nullptr) != 0 || ::setresgid(writer.gid, writer.gid, writer.gid) != 0
            || ::setresuid(writer.uid, writer.uid, writer.uid) != 0))
        ::_exit(2);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    work();
    std::fflush(stdout);
    ::_exit(QTest::currentTestFailed() ? 1 : 0);
}

// Runs work as the writer; true when every check in it held.
bool asWriter(const std::function<void()> &work)
{
    const pid_t child = startAsWriter(work);
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

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

const QByteArray programRecord = "\"Installed Co\",\"i.example\",\"English\",\"i.dll\",\"Ina\",\"ina@x\"\r\n";
const QByteArray userRecord = "\"User Co\",\"u.example\",\"German\",\"u.dll\",\"Uwe\",\"uwe@x\"\r\n";
// What Set writes for newRecord, byte for byte: six quoted values, commas,
// CR LF.
const PresetRecord newRecord{"New Co", "n.example", "French\r\nDutch", "", "Nia", "nia@x"};
const QByteArray newLine = "\"New Co\",\"n.example\",\"French\r\nDutch\",\"\",\"Nia\",\"nia@x\"\r\n";

}  // namespace

class TestFiles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the file-size limit fails instead
    }

    // What the one reader gives for each kind of file, and the text it
    // decodes; its limit (maxBytes) is 1000 bytes.
    void readBoundedFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");  // or what putAt makes of it; "<none>"; a path of its own
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QString>("text");

        QTest::newRow("not UTF-8: Windows-1252, decoded exactly")
            << QByteArray("Caf\xe9 \x99 - (\x81 \x80)\r\n") << Outcome::Read
            << QStringLiteral("Caf\u00e9 \u2122 - (\u0081 \u20ac)\r\n");
        QTest::newRow("UTF-8 without BOM, line ends kept")
            << QByteArray("\xc5\x81\xc3\xb3\x64\r\xf0\x9f\x98\x80\n\r\n") << Outcome::Read
            << QStringLiteral("\u0141\u00f3d\r\U0001F600\n\r\n");
        QTest::newRow("UTF-8 with BOM, BOM not kept")
            << QByteArray("\xef\xbb\xbfGr\xc3\xbc\xc3\x9f") << Outcome::Read
            << QStringLiteral("Gr\u00fc\u00df");
        QTest::newRow("BOM, then bytes not UTF-8: still UTF-8")
            << QByteArray("\xef\xbb\xbf" "caf\xe9") << Outcome::Read << QStringLiteral("caf\ufffd");
        QTest::newRow("two BOMs: the second is text")
            << QByteArray("\xef\xbb\xbf\xef\xbb\xbf") << Outcome::Read << QString(QChar(0xFEFF));
        QTest::newRow("UTF-8 cut off at the end is Windows-1252")
            << QByteArray("caf\xc3") << Outcome::Read << QStringLiteral("caf\u00c3");
        QTest::newRow("empty file") << QByteArray() << Outcome::Read << QString();
        QTest::newRow("nothing there") << QByteArray("<none>") << Outcome::Missing << QString();
        QTest::newRow("a folder") << QByteArray("<folder>") << Outcome::NotAFile << QString();
        QTest::newRow("FIFO") << QByteArray("<fifo>") << Outcome::NotAFile << QString();
        // A file whose size says nothing and that never ends: read only up to
        // the limit (it stands for a file that grows while it is read). A
        // reader that ran on would take the memory of the machine (the reads
        // are held to 1 GiB more) or the suite's time.
        QTest::newRow("/proc/self/pagemap: size 0, endless")
            << QByteArray("/proc/self/pagemap") << Outcome::TooLarge << QString();
        QTest::newRow("at the limit") << QByteArray(1000, 'x') << Outcome::Read << QString(1000, u'x');
        QTest::newRow("one byte over the limit") << QByteArray(1001, 'x') << Outcome::TooLarge << QString();
    }

    void readBoundedFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Outcome, outcome);
        QFETCH(QString, text);
        QTemporaryDir dir;
        const bool own = bytes.startsWith('/');
        const QString path = own ? QString::fromLatin1(bytes) : dir.filePath("readme.txt");
        if (!own && bytes != "<none>")
            QVERIFY(putAt(path, bytes));

        BoundedFile read;
        withinOneMoreGiB([&] { read = velmora::readBoundedFile(path, 1000, {.decode = true, .lock = {}}); });
        QCOMPARE(read.outcome, outcome);
        QCOMPARE(read.text, text);
        QCOMPARE(read.bytes, outcome == Outcome::Read ? bytes : QByteArray());
        // The bytes read; when too large, the size found.
        QVERIFY2(outcome == Outcome::TooLarge ? read.size > 1000 : read.size == read.bytes.size(),
                 qPrintable(QString::number(read.size)));
        if (outcome == Outcome::Missing)
            QCOMPARE(read.reason, QString::fromLocal8Bit(std::strerror(ENOENT)));
    }

    // presets.txt read from its file: its bytes in UTF-8 when they are valid
    // UTF-8, else in Windows-1252, whatever they are, up to the size limit; a FIFO in its place, a file one byte
    // over the limit or far over it (not even read) hold no record. The
    // file is left as it is.
    void presetsFileBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");  // or what putAt makes of it
        QTest::addColumn<bool>("read");
        const QByteArray head("\"Co\",\"web\",\"En\",\""), tail("\",\"Me\",\"m@x\"\r\n");
        const QByteArray atLimit = head + QByteArray(maxPresetsFileBytes - head.size() - tail.size(), 'f') + tail;
        QTest::newRow("Windows-1252 bytes and binary garbage")
            << QByteArray("\"Caf\xe9 \x80\x93\",\"\x81\r\n\",") + QByteArray("\x00\x01\xff,\x80\x00\n\x90", 8) << true;
        QTest::newRow("at the size limit") << atLimit << true;
        QTest::newRow("one byte over") << QByteArray(atLimit).insert(head.size(), 'f') << false;
        QTest::newRow("far over") << QByteArray("<2 GiB>") << false;
        QTest::newRow("FIFO in its place") << QByteArray("<fifo>") << false;
    }

    void presetsFileBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, read);
        QTemporaryDir dir;
        const QString path = dir.filePath("presets.txt");
        QVERIFY(putAt(path, bytes));
        PresetRecord record;
        withinOneMoreGiB([&] { record = velmora::readPresetsFile(path); });
        QVERIFY(record == (read ? parsePresets(decodeTextFile(bytes)) : PresetRecord()));
        if (!bytes.startsWith('<'))
            QCOMPARE(readAll(path), bytes);  // left as it is
    }

    // The one writer, through a temporary file or in place, in a folder
    // (%1) that holds old.txt (as root: another user's), a file named file,
    // an empty folder and, at readme.txt, what the row puts there. The name
    // is written whole, or refused with the reason; either way nothing else
    // changes. A replaced old.txt is a new file with the old one's owner,
    // group and mode; a link is followed and kept; a node that is not a
    // regular file stays as it was, also for the writer in place. In place,
    // every failure leaves the old bytes, even one that ends the program at
    // the first byte that does not fit.
    void writes_data()
    {
        QTest::addColumn<QString>("node");    // at readme.txt: fifo, link to fifo, link to old, dangling link
        QTest::addColumn<QString>("name");    // the name written
        QTest::addColumn<QString>("how");     // replace, in place; killed: in place, by the file-size limit
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");  // empty: written; File too large: under a file-size limit of 1000 bytes
        const auto row = [](const char *tag, const char *node, const char *name, const char *how, const QByteArray &bytes,
                            const QString &reason = {}) { QTest::newRow(tag) << node << name << how << bytes << reason; };
        const QString notRegular = "it is not a regular file", tooLarge = "File too large";
        row("replace a longer file", "", "%1/old.txt", "replace", "short\r\n\x80\xe9");
        row("folder in the file's place", "", "%1/folder", "replace", "new", "a folder of that name is in the way");
        row("folder does not exist", "", "%1/nowhere/out.txt", "replace", "new", "the folder %1/nowhere does not exist");
        row("parent is a file", "", "%1/file/out.txt", "replace", "new", "%1/file is a file, not a folder");
        row("a name without a folder, never the working folder", "", "out.txt", "replace", "new",
            "the name does not say which folder it is in");
        // Small enough for a write buffer: the failure shows only at the flush.
        row("full disk, small write", "", "%1/old.txt", "replace", QByteArray(1045, 'z'), tooLarge);
        row("FIFO", "fifo", "%1/readme.txt", "replace", "Readme\r\n", notRegular);
        row("link to a FIFO", "link to fifo", "%1/readme.txt", "replace", "Readme\r\n", notRegular);
        row("link to a regular file: the file is replaced", "link to old", "%1/readme.txt", "replace", "Readme\r\n");
        row("dangling link: its target is made", "dangling link", "%1/readme.txt", "replace", "Readme\r\n");
        row("in place, longer", "", "%1/old.txt", "in place", QByteArray(9000, 'L'));
        row("in place, shorter", "", "%1/old.txt", "in place", "Short\r\n");
        row("in place, file-size limit, shorter, cut part way", "", "%1/old.txt", "in place", QByteArray(3000, 'S'), tooLarge);
        row("in place, killed by the limit: no byte changed before room was reserved", "", "%1/old.txt", "killed",
            QByteArray(9000, 'L'), tooLarge);
        row("in place: a FIFO, without waiting for a reader", "fifo", "%1/readme.txt", "in place", "Readme\r\n", notRegular);
    }

    void writes()
    {
        QFETCH(QString, node);
        QFETCH(QString, name);
        QFETCH(QString, how);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString old = dir.filePath("old.txt"), readme = dir.filePath("readme.txt"), other = dir.filePath("other.txt");
        QVERIFY(writeFile(old, oldBytes) && writeFile(dir.filePath("file"), "I am a file\r\n"));
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        QVERIFY(setMode(old, 0640) && (!asRoot || give(old, writer.uid, writer.gid)));
        if (node.endsWith("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(node == "fifo" ? readme : other).constData(), 0600), 0);
        if (node.contains("link"))
            QCOMPARE(::symlink(node == "link to old" ? "old.txt" : "other.txt", QFile::encodeName(readme).constData()), 0);
        const struct stat before = statOf(old);
        const mode_t nodeBefore = statOf(readme, AT_SYMLINK_NOFOLLOW).st_mode & S_IFMT;
        QStringList entries = entriesOf(dir.path());
        const QString path = name.replace("%1", dir.path());

        const rlim_t oldLimit = setFileSizeLimit(reason == "File too large" ? 1000 : RLIM_INFINITY);
        QString error;
        bool written = false;
        if (how == "killed") {
            const pid_t child = ::fork();
            if (child == 0) {
                std::signal(SIGXFSZ, SIG_DFL);
                const rlimit noCore{0, 0};
                ::setrlimit(RLIMIT_CORE, &noCore);
                ::_exit(writeFileInPlace(path, bytes) ? 0 : 1);
            }
            int status = 0;
            written = !(::waitpid(child, &status, 0) == child && WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ);
        } else {
            written = how == "in place" ? writeFileInPlace(path, bytes, &error) : writeFileAtomically(path, bytes, &error);
        }
        setFileSizeLimit(oldLimit);

        QCOMPARE(error, reason.isEmpty() || how == "killed" ? QString() : cannotWrite(path, reason.replace("%1", dir.path())));
        QCOMPARE(written, reason.isEmpty());
        QCOMPARE(statOf(readme, AT_SYMLINK_NOFOLLOW).st_mode & S_IFMT, nodeBefore);  // nothing replaced the node or the link
        if (node == "dangling link")
            entries = QStringList{"file", "folder", "old.txt", "other.txt", "readme.txt"};
        QCOMPARE(entriesOf(dir.path()), entries);  // no temporary file left, nothing else made
        QCOMPARE(readAll(node == "dangling link" ? other : old), written ? bytes : oldBytes);
        QCOMPARE(readAll(dir.filePath("file")), QByteArray("I am a file\r\n"));
        QCOMPARE(entriesOf(dir.filePath("folder")), QStringList());
        const struct stat after = statOf(old);
        // A new file took the old one's place, or it is the same file.
        QCOMPARE(after.st_ino != before.st_ino, written && how == "replace" && node != "dangling link");
        QCOMPARE(QString("%1:%2 %3").arg(after.st_uid).arg(after.st_gid).arg(after.st_mode & 07777, 0, 8),
                 QString("%1:%2 640").arg(before.st_uid).arg(before.st_gid));  // owner:group mode
    }

    // The format byte for byte, read back the same; every value comes back
    // whole; a draft cut anywhere, even inside its header, is cut short.
    void draftFormat()
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
            "program.licence 0\n\nprogram.licenceText 0\n\n"
            "author.name 0\n\nauthor.email 0\n\n"
            "record.programName 9\nPixel Pal\nrecord.version 0\n\nrecord.company 0\n\nrecord.webSite 0\n\n"
            "record.language 0\n\nrecord.filesNeeded 0\n\nrecord.programType 0\n\nrecord.description 0\n\n"
            "record.instructions 0\n\nrecord.newAdditions 0\n\nrecord.features 0\n\nrecord.additions 0\n\n"
            "record.authorName 0\n\nrecord.authorEMail 0\n\nrecord.licence 0\n\nrecord.licenceText 0\n\nend\n";
        QCOMPARE(draftBytes(v), text);
        QVERIFY(parseDraft(text).values == v);
        // A draft left by a Velmora that kept no licence.
        const QByteArray older = QByteArray(text)
                                     .replace("program.licence 0\n\nprogram.licenceText 0\n\n", "")
                                     .replace("record.licence 0\n\nrecord.licenceText 0\n\n", "");
        QVERIFY(parseDraft(older).values == v);

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
        QTest::addColumn<QByteArray>("bytes");  // the draft, or what putAt makes of it; empty: none
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
        // Values Open readme would refuse: a line or lines beyond the viewer's.
        const qsizetype longest = 128 * 1024;
        presetsAnd("a line at the viewer's line limit", true, [&](WizardValues &v) { v.description = QString(longest, u'x'); });
        presetsAnd("200,000 systems", true, [](WizardValues &v) { v.otherSystems = QStringList(200000, "S"); });
        const auto beyond = [&](const char *row, const std::function<void(WizardValues &)> &change) {
            WizardValues v = typedName("Typed");
            change(v);
            unreadable(row, draftBytes(v));
        };
        beyond("a line over it", [&](WizardValues &v) { v.description = QString(longest + 1, u'x'); });
        beyond("a line over it in the record", [&](WizardValues &v) { v.record.webSite = QString(longest + 1, u'x'); });
        beyond("a line over it in a fill's memory", [&](WizardValues &v) { v.company.filled = QString(longest + 1, u'x'); });
        beyond("more systems than the viewer's lines", [](WizardValues &v) { v.compatibleSystems = QStringList(300000, "S"); });
        unreadable("2 GiB, not read", "<2 GiB>");
        unreadable("a FIFO, not opened", "<fifo>");
    }

    void leftDrafts()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, lock);
        QFETCH(bool, offered);
        QFETCH(QStringList, after);
        QTemporaryDir dir;
        const QString draftPath = dir.filePath("run.draft");
        if (!bytes.isEmpty())
            QVERIFY(putAt(draftPath, bytes));
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
    void draftRuns()
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

    // On a machine shared with others, where XDG_STATE_HOME is a folder
    // everyone may write: drafts are kept only in a folder of the writer's
    // own that no one else may write, and only the writer's own regular
    // files there are offered. In every row nothing is written through a
    // link, nothing another user made is offered, and the writer's draft
    // and lock are 0600; where the folder is refused the reason says why and
    // nothing is made at all.
    void draftsTrustOnlyTheirOwn_data()
    {
        QTest::addColumn<QString>("folder");   // what is at the state folder's name: owner:mode, or a link
        QTest::addColumn<QString>("draft");    // what is at x.draft in it: owner, or a link
        QTest::addColumn<QString>("problem");  // why no drafts are kept; empty: they are
        QTest::addColumn<bool>("offered");
        QTest::newRow("another user's folder, 0777") << "other:777" << "other" << "belongs to another user" << false;
        QTest::newRow("another user's folder, 0700") << "other:700" << "other" << "belongs to another user" << false;
        QTest::newRow("the writer's folder, 0777") << "writer:777" << "writer" << "may be written by other users" << false;
        QTest::newRow("the writer's folder, 0770") << "writer:770" << "writer" << "may be written by other users" << false;
        QTest::newRow("another user's link to the writer's folder") << "link" << "" << "is a symbolic link" << false;
        QTest::newRow("another user's draft") << "writer:700" << "other" << "" << false;
        QTest::newRow("a link at a draft's name") << "writer:700" << "link" << "" << false;
        QTest::newRow("a link at a lock's name") << "writer:700" << "lock link" << "" << false;
        QTest::newRow("the writer's own draft: offered") << "writer:700" << "writer" << "" << true;
    }

    void draftsTrustOnlyTheirOwn()
    {
        QFETCH(QString, folder);
        QFETCH(QString, draft);
        QFETCH(QString, problem);
        QFETCH(bool, offered);
        if (!asRoot && (folder.startsWith("other") || draft == "other" || folder == "link"))
            QSKIP("a file of another user can only be made as root");
        QTemporaryDir dir;
        const QString state = dir.filePath("state"), drafts = state + "/velmora", victim = dir.filePath("victim");
        const QString typed = victim + "/typed.draft", notes = victim + "/notes.txt";
        QVERIFY(setMode(dir.path(), 0755) && QDir().mkdir(state) && setMode(state, 01777) && QDir().mkdir(victim));
        QVERIFY(writeFile(notes, "A's notes\r\n") && writeFile(typed, draftBytes(typedName("Typed"))));
        for (const QString &path : {victim, notes, typed})
            QVERIFY(give(path, writer.uid, writer.gid));
        const uid_t owner = folder.startsWith("other") || folder == "link" ? otherUser : writer.uid;
        if (folder == "link") {
            QVERIFY(QFile::link(victim, drafts));
        } else {
            QVERIFY(QDir().mkdir(drafts) && setMode(drafts, mode_t(folder.mid(folder.indexOf(':') + 1).toInt(nullptr, 8))));
            if (draft.endsWith("link"))
                QVERIFY(QFile::link(draft == "link" ? typed : notes, drafts + (draft == "link" ? "/x.draft" : "/x.lock")));
            if (draft != "link")
                QVERIFY(writeFile(drafts + "/x.draft", draftBytes(typedName("Typed"))));
            // A link in the writer's folder can only be the writer's own.
            QVERIFY(give(drafts + "/x.draft", draft == "other" ? otherUser : writer.uid));
        }
        QVERIFY(give(drafts, owner));
        const QStringList before = entriesOf(victim);

        const auto asTheWriter = [&] {
            DraftStore store(drafts);
            std::optional<LeftDraft> left = store.takeLeftDraft();
            QCOMPARE(left ? left->values.name : QString(), offered ? QString("Typed") : QString());
            QCOMPARE(store.claim(), problem.isEmpty());
            QCOMPARE(store.problem(), problem.isEmpty() ? QString()
                                                        : "Velmora keeps no drafts in this run: \"" + drafts + "\" " + problem + ".");
            if (!store.claimed())
                return;
            DraftWriter writer(store.draftPath());
            writer.submit(typedName("Mine"));
            writer.waitUntilIdle();
            QCOMPARE(readDraftFile(store.draftPath()).values.name, QString("Mine"));
            QString lock = store.draftPath();
            lock.replace(".draft", ".lock");
            for (const QString &own : {store.draftPath(), lock})
                QCOMPARE(statOf(own, AT_SYMLINK_NOFOLLOW).st_mode & 07777, mode_t(0600));
        };
        QVERIFY(asWriter(asTheWriter));
        QCOMPARE(entriesOf(victim), before);
        QCOMPARE(readAll(notes), QByteArray("A's notes\r\n"));
        QCOMPARE(parseDraft(readAll(typed)).values.name, QString("Typed"));
        if (!problem.isEmpty())
            QCOMPARE(entriesOf(state), QStringList{"velmora"});
        if (folder.startsWith("other"))
            QCOMPARE(entriesOf(drafts), QStringList{"x.draft"});
    }

    // The newest values handed over are the ones on disk, and what is to
    // follow a write runs once; after a write that fails, it waits for the
    // next one.
    void draftWriterKeepsTheNewestValues()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("run.draft");
        std::atomic<int> after{0};
        {
            DraftWriter drafts(path);
            for (int i = 0; i < 200; ++i)
                drafts.submit(typedName(QString::number(i)), i == 3 ? std::function<void()>([&] { ++after; }) : nullptr);
            drafts.waitUntilIdle();
            QCOMPARE(readDraftFile(path).values.name, QString("199"));
            QCOMPARE(after.load(), 1);
        }
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkdir(path));  // a folder in the draft's place
        DraftWriter drafts(path);
        drafts.submit(typedName("A"), [&] { ++after; });
        drafts.waitUntilIdle();
        QCOMPARE(after.load(), 1);
        QVERIFY(QDir().rmdir(path));
        drafts.submit(typedName("B"));
        drafts.waitUntilIdle();
        QCOMPARE(readDraftFile(path).values.name, QString("B"));
        QCOMPARE(after.load(), 2);
    }

    // The program folder's presets.txt (writable, read-only, missing, a
    // folder, or a program folder that cannot be named, started from the
    // folder that holds it) and the user's own (there, missing, or its
    // folder cannot be made): what is read, what Set writes, the files after.
    void presetsFile_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QByteArray>("read");          // the record read before Set
        QTest::addColumn<QByteArray>("programAfter");  // null: no such file
        QTest::addColumn<QByteArray>("userAfter");

        QTest::newRow("writable program file: it wins") << "writable" << "file" << programRecord << newLine << userRecord;
        QTest::newRow("read-only, no user file: defaults read, user file created")
            << "read-only" << "none" << programRecord << programRecord << newLine;
        QTest::newRow("read-only with a user file: the user's file")
            << "read-only" << "file" << userRecord << programRecord << newLine;
        QTest::newRow("neither file: nothing read, nothing created")
            << "none" << "none" << QByteArray() << QByteArray() << QByteArray();
        QTest::newRow("a folder in the program file's place: as if missing")
            << "folder" << "none" << QByteArray() << QByteArray() << QByteArray();
        QTest::newRow("a program folder that cannot be named: never the working folder's file")
            << "unnamed" << "none" << QByteArray() << programRecord << newLine;
        QTest::newRow("the user's folder cannot be made (~/.config is a file)")
            << "read-only" << "blocked" << programRecord << programRecord << QByteArray();
    }

    void presetsFile()
    {
        QFETCH(QString, program);
        QFETCH(QString, user);
        QFETCH(QByteArray, read);
        QFETCH(QByteArray, programAfter);
        QFETCH(QByteArray, userAfter);
        const auto asTheWriter = [&] {
            QTemporaryDir dir;
            const QString folder = dir.filePath("program"), config = dir.filePath("home/.config/Velmora");
            const QString programFile = folder + "/presets.txt", userFile = config + "/presets.txt";
            QVERIFY(QDir().mkpath(program == "folder" ? programFile : folder) && QDir().mkpath(dir.filePath("home")));
            if (program != "none" && program != "folder")
                QVERIFY(writeFile(programFile, programRecord));
            if (user == "file")
                QVERIFY(QDir().mkpath(config) && writeFile(userFile, userRecord));
            if (user == "blocked")
                QVERIFY(writeFile(dir.filePath("home/.config"), "a file"));
            const auto writable = qScopeGuard([&] { setMode(folder, 0755); });
            if (program == "read-only")
                QVERIFY(setMode(programFile, 0444) && setMode(folder, 0555));
            const QString app = program == "unnamed" ? QString() : folder;
            if (program == "unnamed") {
                QVERIFY(QDir::setCurrent(folder));  // this child's own working folder
                QCOMPARE(presetsPath(app) + helpFilePathFor(app), QString());  // nothing joined to no folder
            }

            QCOMPARE(readPresets(app, config), parsePresets(QString::fromLatin1(read)));
            const PresetsLocation where = locatePresets(app, config, PresetsUse::Set);
            QCOMPARE(where.path.isEmpty(), programAfter.isNull() && userAfter.isNull());
            const PresetsWrite written = writePresets(where, newRecord);
            QCOMPARE(written.saved, written.reason.isEmpty());
            QCOMPARE(written.reason, where.path.isEmpty() ? cannotWrite({}, "no file name was given")
                                     : user != "blocked"  ? QString()
                                                          : cannotWrite(userFile, "the folder " + config + " cannot be created"));
            QCOMPARE(QFileInfo(programFile).isFile() ? readAll(programFile) : QByteArray(), programAfter);
            QCOMPARE(QFileInfo(userFile).isFile() ? readAll(userFile) : QByteArray(), userAfter);
            QCOMPARE(QFileInfo::exists(config), !userAfter.isNull());  // not even the folder
        };
        QVERIFY(asWriter(asTheWriter));
    }

    // The user's own systems: a foreign or broken systems.txt gives the
    // names it holds, each once, none of Velmora's, none too long or with
    // a control character, at most fifty; one too large for that gives
    // none. A folder that cannot be made says so and writes nothing.
    void ownSystemsFile()
    {
        QTemporaryDir dir;
        QByteArray foreign = "\xef\xbb\xbfHaiku\r\nhaiku\r\nwindows xp\r\n\x01" "bell\r\n" + QByteArray(41, 'x')
                             + "\n  Plan\t  9 \r\n\xc3\x85ngstr\xc3\xb6m\n";
        QStringList expected{"Haiku", "Plan 9", QStringLiteral("\u00c5ngstr\u00f6m")};
        for (int i = 0; i < 60; ++i) {
            foreign += "OS " + QByteArray::number(i) + '\n';
            expected << QString("OS %1").arg(i);
        }
        QVERIFY(writeFile(dir.filePath("systems.txt"), foreign));
        QCOMPARE(readOwnSystems(dir.path()), expected.first(maxOwnSystems));
        QVERIFY(writeOwnSystems(dir.path(), {"Haiku", QStringLiteral("\u00c5ngstr\u00f6m")}, nullptr));
        QCOMPARE(readAll(dir.filePath("systems.txt")), QByteArray("Haiku\n\xc3\x85ngstr\xc3\xb6m\n"));
        QVERIFY(writeFile(dir.filePath("systems.txt"), QByteArray(9000, 'x') + "\nHaiku\n"));
        QCOMPARE(readOwnSystems(dir.path()), QStringList());
        QVERIFY(writeFile(dir.filePath("config"), "a file"));
        QString reason;
        QVERIFY(!writeOwnSystems(dir.filePath("config/Velmora"), {"Haiku"}, &reason));
        QCOMPARE(reason, cannotWrite(dir.filePath("config/Velmora/systems.txt"),
                                     "the folder " + dir.filePath("config/Velmora") + " cannot be created"));
    }

    // A readme saved through a link in a shared folder such as /tmp: the
    // link is followed only where the kernel's rule for such folders lets
    // the writer follow it; otherwise nothing changes. The link leads to a
    // file of the writer's own, which another user must not get replaced.
    void linksInSharedFolders_data()
    {
        QTest::addColumn<QString>("kind");       // file, folder (a link on the way), chain
        QTest::addColumn<int>("folderMode");     // of the shared folder, owned by root
        QTest::addColumn<QString>("linkOwner");  // writer, root (the folder's owner), other
        QTest::addColumn<bool>("followed");

        QTest::newRow("another user's link in a sticky folder everyone may write: refused")
            << "file" << 01777 << "other" << false;
        QTest::newRow("another user's link to a folder on the way: refused") << "folder" << 01777 << "other" << false;
        QTest::newRow("the writer's own link to another user's link: refused") << "chain" << 01777 << "other" << false;
        QTest::newRow("the writer's own link there: followed") << "file" << 01777 << "writer" << true;
        QTest::newRow("a link of the folder's owner: followed") << "file" << 01777 << "root" << true;
        QTest::newRow("a folder everyone may write that is not sticky: followed") << "file" << 0777 << "other" << true;
        QTest::newRow("a sticky folder only its owner may write: followed") << "folder" << 01755 << "other" << true;
    }

    void linksInSharedFolders()
    {
        QFETCH(QString, kind);
        QFETCH(int, folderMode);
        QFETCH(QString, linkOwner);
        QFETCH(bool, followed);
        if (!asRoot && linkOwner != "writer")
            QSKIP("a link of another user can only be made as root");
        QTemporaryDir dir;
        const QString victim = dir.filePath("victim"), shared = dir.filePath("shared"), notes = victim + "/notes.txt";
        QVERIFY(setMode(dir.path(), 0755) && QDir().mkdir(victim) && QDir().mkdir(shared));
        QVERIFY(writeFile(notes, "A's notes\r\n") && give(victim, writer.uid, writer.gid)
                && give(notes, writer.uid, writer.gid));
        QVERIFY(setMode(shared, mode_t(folderMode)));
        QString target = shared + "/velmora-readme.txt", link = target;
        if (kind == "file") {
            QVERIFY(QFile::link(notes, link));
        } else if (kind == "folder") {
            link = shared + "/docs";
            target = link + "/notes.txt";
            QVERIFY(QFile::link(victim, link));
        } else {
            link = shared + "/theirs.txt";
            QVERIFY(QFile::link(link, target) && QFile::link(notes, link) && give(target, writer.uid));
        }
        QVERIFY(give(link, linkOwner == "writer" ? writer.uid : linkOwner == "root" ? 0 : otherUser));
        const QStringList entries = entriesOf(shared);
        const QString pointsTo = QFileInfo(link).symLinkTarget();

        const auto asTheWriter = [&] {
            QString reason;
            writeFileAtomically(target, "Readme\r\n", &reason);
            QCOMPARE(reason, followed ? QString()
                                      : cannotWrite(target, "the link " + link + " in the shared folder " + shared
                                                                + " was made by another user"));
        };
        QVERIFY(asWriter(asTheWriter));
        QCOMPARE(readAll(notes), followed ? QByteArray("Readme\r\n") : QByteArray("A's notes\r\n"));
        QCOMPARE(entriesOf(shared), entries);
        QCOMPARE(QFileInfo(link).symLinkTarget(), pointsTo);
        QCOMPARE(entriesOf(victim), QStringList{"notes.txt"});
    }

    // A shared install: the program folder takes no new files, not even
    // from the owner of the presets.txt in it. For that owner the dialogs
    // start in the documents folder, a read-only file there is left as it
    // is, with the reason, and Set writes presets.txt in place, over and
    // over with two records of different lengths, while this process reads
    // it: every read is one record or the other, never a mix.
    void sharedInstall()
    {
        QTemporaryDir dir;
        const QString program = dir.filePath("program"), path = program + "/presets.txt", theirs = program + "/theirs.txt";
        const QString x(20000, 'a'), y(12000, 'b');
        const PresetRecord a{x, x, x, x, x, x}, b{y, y, y, y, y, y};
        QVERIFY(setMode(dir.path(), 0755) && QDir().mkdir(program));
        QVERIFY(writeFile(path, presetRecordLine(a)) && give(path, writer.uid, writer.gid));
        QVERIFY(writeFile(theirs, "old") && give(theirs, writer.uid, writer.gid) && setMode(theirs, 0444));
        QVERIFY(setMode(program, 0555));
        const ino_t before = statOf(path).st_ino;

        const pid_t child = startAsWriter([&] {
            QCOMPARE(dialogStartFolder(program, "/docs"), QString("/docs"));
            QString reason;
            QVERIFY(!writeFileAtomically(theirs, "new", &reason));
            QCOMPARE(reason, cannotWrite(theirs, "Existing file " + theirs + " is not writable"));
            for (int i = 0;; ++i) {  // until it is stopped
                const PresetsWrite written = writePresets(locatePresets(program, "", PresetsUse::Set), i % 2 ? a : b);
                QVERIFY2(written.saved, qPrintable(written.reason));
            }
        });
        QVERIFY(child > 0);
        const auto stop = qScopeGuard([&] {
            if (::waitpid(child, nullptr, WNOHANG) == 0 && ::kill(child, SIGKILL) == 0)
                ::waitpid(child, nullptr, 0);
            setMode(program, 0755);
        });
        // Read until the content has changed 300 times, however busy the
        // machine keeps the writer: a torn read is a change too.
        int changes = 0, torn = 0;
        PresetRecord last = a;
        for (int reads = 0; changes < 300 && reads < 300000; ++reads) {
            const PresetRecord r = readPresetsFile(path);
            torn += r != a && r != b;
            changes += r != last;
            last = r;
        }
        QVERIFY2(::waitpid(child, nullptr, WNOHANG) == 0, "the writer stopped");
        QCOMPARE(torn, 0);
        QCOMPARE(changes, 300);
        QCOMPARE(statOf(path).st_ino, before);  // written in place all along
        QCOMPARE(readAll(theirs), QByteArray("old"));
        QCOMPARE(entriesOf(program), QStringList({"presets.txt", "theirs.txt"}));  // nothing left over
    }
};

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
