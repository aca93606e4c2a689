#include "core/presets/PresetsFile.h"

#include "core/text/AtomicFile.h"
#include "core/text/BoundedFile.h"
#include "core/text/FilePath.h"
#include "core/text/LineBreaks.h"
#include "core/text/OwnFiles.h"
#include "core/text/Win1252.h"
#include "core/help/HelpPath.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <array>

namespace velmora {

namespace {

// Reads values one after another, never looking back, so a text of any size
// is read in one pass.
class PresetsReader {
public:
    explicit PresetsReader(QStringView text) : m_text(text) {}

    bool atEnd() const { return m_pos >= m_text.size(); }

    // Blank lines (empty or only spaces) between records are passed over, so
    // a file that ends in extra line breaks still ends with a record.
    void skipBlankLines()
    {
        while (!atEnd() && isBlankOrBreak(m_text[m_pos]))
            ++m_pos;
    }

    QString nextValue()
    {
        while (!atEnd() && m_text[m_pos] == u' ')
            ++m_pos;
        if (atEnd())
            return QString();  // a record cut short: the missing values are empty
        if (m_text[m_pos] == u'"')
            return quotedValue();
        return unquotedValue();
    }

private:
    static bool isBlankOrBreak(QChar ch) { return ch == u' ' || ch == u'\r' || ch == u'\n'; }
    static bool isBreak(QChar ch) { return ch == u'\r' || ch == u'\n'; }

    // Everything up to the next double quote, commas and line breaks
    // included; without a closing quote, everything to the end of the text.
    // After the closing quote the rest up to the next comma or line end goes.
    QString quotedValue()
    {
        const qsizetype start = m_pos + 1;
        const qsizetype close = m_text.indexOf(u'"', start);
        if (close < 0) {
            m_pos = m_text.size();
            return m_text.mid(start).toString();
        }
        const QString value = m_text.mid(start, close - start).toString();
        m_pos = close + 1;
        while (!atEnd() && m_text[m_pos] != u',' && !isBreak(m_text[m_pos]))
            ++m_pos;
        consumeSeparator();
        return value;
    }

    // Up to the next comma or line end, which goes with it; trailing blanks
    // are not part of the value.
    QString unquotedValue()
    {
        const qsizetype start = m_pos;
        while (!atEnd() && m_text[m_pos] != u',' && !isBreak(m_text[m_pos]))
            ++m_pos;
        qsizetype end = m_pos;
        while (end > start && m_text[end - 1] == u' ')
            --end;
        consumeSeparator();
        return m_text.mid(start, end - start).toString();
    }

    // A comma, or one line end: CR LF, CR alone or LF alone.
    void consumeSeparator()
    {
        if (atEnd())
            return;
        const QChar ch = m_text[m_pos++];
        if (ch == u'\r' && !atEnd() && m_text[m_pos] == u'\n')
            ++m_pos;
    }

    QStringView m_text;
    qsizetype m_pos = 0;
};

std::array<const QString *, 6> valuesOf(const PresetRecord &record)
{
    return {&record.companyName, &record.webSite,    &record.languages,
            &record.neededFiles, &record.authorName, &record.authorEMail};
}

// How a message names each value.
const std::array<QString, 6> valueNames = {
    QStringLiteral("company name"), QStringLiteral("web site"),
    QStringLiteral("language(s)"),  QStringLiteral("needed files"),
    QStringLiteral("author's name"), QStringLiteral("author's e-mail"),
};

// A regular file this user may write (for root, any regular file on a
// writable file system).
bool mayWrite(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isWritable();
}

}  // namespace

QString presetsPath(const QString &applicationFolder)
{
    return fileInFolder(applicationFolder, QLatin1String(presetsFileName));
}

bool fileExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

namespace {

PresetsLocation choosePresets(const QString &applicationFolder, const QString &userFolder,
                              PresetsUse use)
{
    const QString userFile = fileInFolder(userFolder, QLatin1String(presetsFileName));
    // A program folder that cannot be named: its presets.txt cannot be
    // reached, so the user's own file stands in for it.
    if (applicationFolder.isEmpty()) {
        if (use == PresetsUse::Read)
            return {fileExists(userFile) ? userFile : QString(), false, {}};
        return {userFile, !userFile.isEmpty() && !fileExists(userFile), {}};
    }
    const QString programFile = presetsPath(applicationFolder);
    if (mayWrite(programFile))
        return {programFile, false, {}};
    const QFileInfo programInfo(programFile);
    if (use == PresetsUse::Set && programInfo.exists() && !programInfo.isFile()
        && !programInfo.isDir())
        return {programFile, false, cannotWrite(programFile, QStringLiteral("it is not a regular file"))};
    if (fileExists(userFile))
        return {userFile, false, {}};
    if (!fileExists(programFile))
        return {};
    if (use == PresetsUse::Read)
        return {programFile, false, {}};
    if (userFile.isEmpty())
        return {};
    return {userFile, true, {}};
}

}  // namespace

PresetsLocation locatePresets(const QString &applicationFolder, const QString &userFolder,
                              PresetsUse use)
{
    PresetsLocation where = choosePresets(applicationFolder, userFolder, use);
    // A presets.txt that is a link to the program or to its help file.
    if (use == PresetsUse::Set && where.problem.isEmpty())
        where.problem = ownFileProblem(where.path, {runningProgram(), helpFileOf(applicationFolder)});
    return where;
}

PresetRecord parsePresets(QStringView text)
{
    PresetRecord last;
    PresetsReader reader(text);
    for (;;) {
        reader.skipBlankLines();
        if (reader.atEnd())
            break;
        PresetRecord record;
        record.companyName = reader.nextValue();
        record.webSite = reader.nextValue();
        record.languages = reader.nextValue();
        record.neededFiles = reader.nextValue();
        record.authorName = reader.nextValue();
        record.authorEMail = reader.nextValue();
        last = record;
    }
    return last;
}

PresetRecord readPresetsFile(const QString &path)
{
    // A folder, a pipe or a device in its place reads as no presets, without
    // blocking; so does a file larger than six values ever make, put there by
    // mistake. The shared lock waits for an in-place write to finish, so the
    // record read is the old one or the new one.
    const BoundedFile file =
        readBoundedFile(path, maxPresetsFileBytes, {.decode = true, .lock = FileLock::Shared});
    if (file.outcome != BoundedFile::Outcome::Read)
        return PresetRecord();
    return parsePresets(file.text);
}

PresetRecord readPresets(const QString &applicationFolder, const QString &userFolder)
{
    return readPresetsFile(locatePresets(applicationFolder, userFolder, PresetsUse::Read).path);
}

QByteArray presetRecordLine(const PresetRecord &record)
{
    QString line;
    bool first = true;
    for (const QString *value : valuesOf(record)) {
        if (!first)
            line += u',';
        first = false;
        line += u'"';
        line += *value;
        line += u'"';
    }
    line += crLf;
    // Windows-1252, as every older Velmora wrote it, when that keeps every
    // character: each one fits, and the bytes do not read as UTF-8 text of
    // other characters ("\u00c3\u00a9" is the UTF-8 of one). Otherwise UTF-8,
    // which the reader tells from Windows-1252 by its validity.
    OutsideWindows1252 outside;
    outside.scan(line);
    if (outside.characters().isEmpty()) {
        QByteArray bytes = toWindows1252(line);
        if (decodeTextFile(bytes) == line)
            return bytes;
    }
    return line.toUtf8();
}

QStringList valuesWithDoubleQuote(const PresetRecord &record)
{
    QStringList names;
    const auto values = valuesOf(record);
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i]->contains(u'"'))
            names << valueNames[i];
    }
    return names;
}

PresetsWrite writePresets(const PresetsLocation &where, const PresetRecord &record)
{
    if (where.path.isEmpty())
        return {false, cannotWrite(where.path, QStringLiteral("no file name was given"))};
    if (where.mayCreate) {
        const QString folder = QFileInfo(where.path).absolutePath();
        if (!QDir().mkpath(folder))
            return {false, cannotWrite(where.path,
                                       QStringLiteral("the folder %1 cannot be created")
                                           .arg(QDir::toNativeSeparators(folder)))};
    } else if (!fileExists(where.path)) {
        // The confirmation box may stay open for long; a file that has gone
        // meanwhile is not written anew.
        return {false, cannotWrite(where.path, QStringLiteral("the file is no longer there"))};
    }
    PresetsWrite result;
    result.saved = writeFileAtomically(where.path, presetRecordLine(record), &result.reason);
    return result;
}

}  // namespace velmora
