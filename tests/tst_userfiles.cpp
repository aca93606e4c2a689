// Which presets.txt is read and written, and where the file dialogs start,
// for a user who may or may not write the program's folder. Run as a user
// who is not root (run-as-user.sh sees to that), so that a read-only folder
// really refuses.

#include "FileTools.h"
#include "files/AtomicFile.h"
#include "files/FilePath.h"
#include "presets/PresetsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;
using namespace velmora::test;

namespace {

const QByteArray programRecord = "\"Installed Co\",\"i.example\",\"English\",\"i.dll\",\"Ina\",\"ina@x\"\r\n";
const QByteArray userRecord = "\"User Co\",\"u.example\",\"German\",\"u.dll\",\"Uwe\",\"uwe@x\"\r\n";
const PresetRecord newRecord{"New Co", "n.example", "French\r\nDutch", "", "Nia", "nia@x"};
const QByteArray newRecordLine = "\"New Co\",\"n.example\",\"French\r\nDutch\",\"\",\"Nia\",\"nia@x\"\r\n";

// A program folder and a user's folders in one temporary folder.
struct Folders {
    QTemporaryDir dir;
    QString program = dir.filePath("program");
    QString config = dir.filePath("home/.config/Velmora");
    QString documents = dir.filePath("home/Documents");

    QString programFile() const { return program + "/presets.txt"; }
    QString userFile() const { return config + "/presets.txt"; }
    bool readOnlyProgramFolder() const
    {
        return ::chmod(QFile::encodeName(programFile()).constData(), 0444) == 0
               && ::chmod(QFile::encodeName(program).constData(), 0555) == 0;
    }
    ~Folders() { ::chmod(QFile::encodeName(program).constData(), 0755); }
};

}  // namespace

class TestUserFiles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(::geteuid() != 0, "run through run-as-user.sh: root may write any folder");
    }

    // Rows: the program folder's presets.txt (writable, read-only, missing,
    // a folder), the user's file (there or not): what is read, what Set
    // writes, and the files afterwards.
    void presetsFile_data()
    {
        QTest::addColumn<QString>("program");  // "writable", "read-only", "none", "folder"
        QTest::addColumn<bool>("userFile");
        QTest::addColumn<QByteArray>("read");        // the record read before Set
        QTest::addColumn<QByteArray>("programAfter");  // null: no such file
        QTest::addColumn<QByteArray>("userAfter");

        QTest::newRow("writable program folder: as always")
            << "writable" << true << programRecord << newRecordLine << userRecord;
        QTest::newRow("read-only, no user file: defaults read, user file created")
            << "read-only" << false << programRecord << programRecord << newRecordLine;
        QTest::newRow("read-only with a user file: the user's file")
            << "read-only" << true << userRecord << programRecord << newRecordLine;
        QTest::newRow("neither file: nothing read, nothing created")
            << "none" << false << QByteArray() << QByteArray() << QByteArray();
        QTest::newRow("no program file, a user file: the user's file")
            << "none" << true << userRecord << QByteArray() << newRecordLine;
        QTest::newRow("folder in the program file's place: as if missing")
            << "folder" << false << QByteArray() << QByteArray() << QByteArray();
    }

    void presetsFile()
    {
        QFETCH(QString, program);
        QFETCH(bool, userFile);
        QFETCH(QByteArray, read);
        QFETCH(QByteArray, programAfter);
        QFETCH(QByteArray, userAfter);

        Folders f;
        QVERIFY(QDir().mkpath(f.program));
        if (program == "writable" || program == "read-only")
            QVERIFY(writeFile(f.programFile(), programRecord));
        else if (program == "folder")
            QVERIFY(QDir().mkdir(f.programFile()));
        if (userFile) {
            QVERIFY(QDir().mkpath(f.config));
            QVERIFY(writeFile(f.userFile(), userRecord));
        }
        if (program == "read-only")
            QVERIFY(f.readOnlyProgramFolder());

        const PresetRecord before = ReadPresets(f.program, f.config);
        QCOMPARE(before, read.isNull() ? PresetRecord() : parsePresets(QString::fromLatin1(read)));

        const PresetsLocation where = locatePresets(f.program, f.config, PresetsUse::Set);
        QCOMPARE(where.path.isEmpty(), programAfter.isNull() && userAfter.isNull());
        if (!where.path.isEmpty()) {
            const PresetsWrite written = writePresets(where, newRecord);
            QVERIFY2(written.saved, qPrintable(written.reason));
            QCOMPARE(ReadPresets(f.program, f.config), newRecord);
        }
        QCOMPARE(QFileInfo(f.programFile()).isFile(), !programAfter.isNull());
        if (!programAfter.isNull())
            QCOMPARE(readAll(f.programFile()), programAfter);
        QCOMPARE(QFileInfo(f.userFile()).isFile(), !userAfter.isNull());
        if (!userAfter.isNull())
            QCOMPARE(readAll(f.userFile()), userAfter);
        if (userAfter.isNull())
            QVERIFY(!QFileInfo::exists(f.config));  // not even the folder
    }

    void userFolderThatCannotBeMade()
    {
        Folders f;
        QVERIFY(QDir().mkpath(f.program));
        QVERIFY(writeFile(f.programFile(), programRecord));
        QVERIFY(f.readOnlyProgramFolder());
        // ~/.config is a file, so ~/.config/Velmora cannot be made.
        QVERIFY(QDir().mkpath(f.dir.filePath("home")));
        QVERIFY(writeFile(f.dir.filePath("home/.config"), "a file"));

        const PresetsLocation where = locatePresets(f.program, f.config, PresetsUse::Set);
        QCOMPARE(where.path, f.userFile());
        const PresetsWrite written = writePresets(where, newRecord);
        QVERIFY(!written.saved);
        QCOMPARE(written.reason, QString("Cannot write \"%1\": the folder %2 cannot be created.")
                                     .arg(f.userFile(), f.config));
        QCOMPARE(readAll(f.programFile()), programRecord);
        QCOMPARE(readAll(f.dir.filePath("home/.config")), QByteArray("a file"));
    }

    // A file of the user's in a folder that takes no new files is written in
    // place, and a failure part way keeps every old byte: the readme and
    // presets.txt alike.
    void inPlaceSaveKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("limit");  // the file-size limit that stops the write
        QTest::newRow("readme, longer") << "readme.txt" << QByteArray(9000, 'L') << 1000;
        QTest::newRow("readme, shorter") << "readme.txt" << QByteArray(1500, 'S') << 1000;
        QTest::newRow("presets.txt through Set") << "presets.txt" << QByteArray() << 20;
    }

    void inPlaceSaveKeepsTheOldFile()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(int, limit);
        Folders f;
        QVERIFY(QDir().mkpath(f.program));
        const QString path = f.program + "/" + name;
        const QByteArray old = name == "presets.txt" ? programRecord + QByteArray(3000, ' ') : QByteArray(5000, 'o');
        QVERIFY(writeFile(path, old));
        QVERIFY(::chmod(QFile::encodeName(f.program).constData(), 0555) == 0);

        const auto save = [&](QString *reason) {
            if (name != "presets.txt")
                return writeFileAtomically(path, bytes, reason);
            const PresetsLocation where = locatePresets(f.program, f.config, PresetsUse::Set);
            if (where.path != path)
                return false;
            const PresetsWrite written = writePresets(where, newRecord);
            *reason = written.reason;
            return written.saved;
        };

        std::signal(SIGXFSZ, SIG_IGN);
        const rlim_t before = setFileSizeLimit(rlim_t(limit));  // a disk that fills part way
        QString reason;
        const bool failed = !save(&reason);
        setFileSizeLimit(before);
        QVERIFY(failed);
        QVERIFY2(reason.startsWith("Cannot write \"" + path + "\": File too large"), qPrintable(reason));
        QCOMPARE(readAll(path), old);

        QVERIFY2(save(&reason), qPrintable(reason));
        QCOMPARE(readAll(path), name == "presets.txt" ? newRecordLine : bytes);
        QCOMPARE(entriesOf(f.program), QStringList({name}));
        QVERIFY(!QFileInfo::exists(f.config));
    }

    void readOnlyTargetSaysWhy()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("readme.txt");
        QVERIFY(writeFile(path, "old"));
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0444) == 0);
        QString reason;
        QVERIFY(!writeFileAtomically(path, "new", &reason));
        QCOMPARE(reason, "Cannot write \"" + path + "\": Existing file " + path + " is not writable.");
        QCOMPARE(readAll(path), QByteArray("old"));
    }

    void dialogsStartWhereTheUserMayWrite()
    {
        Folders f;
        QVERIFY(QDir().mkpath(f.program));
        QVERIFY(writeFile(f.programFile(), programRecord));
        QCOMPARE(dialogStartFolder(f.program, f.documents), f.program);
        QVERIFY(f.readOnlyProgramFolder());
        QCOMPARE(dialogStartFolder(f.program, f.documents), f.documents);
        QCOMPARE(dialogStartFolder(f.dir.filePath("gone"), f.documents), f.documents);
    }
};

QTEST_APPLESS_MAIN(TestUserFiles)
#include "tst_userfiles.moc"
