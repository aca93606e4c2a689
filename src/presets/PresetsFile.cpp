#include "presets/PresetsFile.h"

#include "platform/AtomicFile.h"
#include "platform/Platform.h"
#include "platform/Win1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <array>

namespace velmora {

namespace {

const QString fileName = QStringLiteral("presets.txt");
const QString crLf = QStringLiteral("\r\n");

bool endsInSeparator(const QString &folder)
{
    return folder.endsWith(u'/') || folder.endsWith(u'\\');
}

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

// How the message that refuses a double quote names each value.
const std::array<QString, 6> valueNames = {
    QStringLiteral("company name"), QStringLiteral("web site"),
    QStringLiteral("language(s)"),  QStringLiteral("needed files"),
    QStringLiteral("author's name"), QStringLiteral("author's e-mail"),
};

QString joinedNames(const QStringList &names)
{
    if (names.size() == 1)
        return names.first();
    return names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ")
           + names.last();
}

const QString programConstants = QStringLiteral("Program Constants");
const QString fileError = QStringLiteral("File Error");

}  // namespace

QString presetsPath(const QString &applicationFolder)
{
    if (applicationFolder.isEmpty())
        return fileName;
    if (endsInSeparator(applicationFolder))
        return applicationFolder + fileName;
    const bool backslashes =
        applicationFolder.contains(u'\\') && !applicationFolder.contains(u'/');
    return applicationFolder + (backslashes ? u'\\' : u'/') + fileName;
}

bool FileExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
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

PresetRecord ReadPresets(const QString &applicationFolder)
{
    const QString path = presetsPath(applicationFolder);
    // Only a regular file is opened: a folder, a pipe or a device in its
    // place reads as no presets, without blocking.
    if (!FileExists(path))
        return PresetRecord();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return PresetRecord();
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return PresetRecord();
    return parsePresets(fromWindows1252(bytes));
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
    return toWindows1252(line);
}

void savePresets(Platform &platform, QWidget *owner, const PresetRecord &record)
{
    const QString path = presetsPath(platform.applicationFolder());
    if (!platform.fileExists(path)) {
        platform.messageBox(owner,
                            QStringLiteral("The needed file wasn't found!") + crLf
                                + QStringLiteral("Please contact the author at:") + crLf
                                + QStringLiteral("   ") + QStringLiteral(VELMORA_CONTACT_EMAIL),
                            fileError, MessageStyle::OkExclamation);
        return;
    }

    // The file format has no escape for a double quote: the reader would end
    // the value there, so such a value is refused rather than stored broken.
    QStringList withQuote;
    const auto values = valuesOf(record);
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i]->contains(u'"'))
            withQuote << valueNames[i];
    }
    if (!withQuote.isEmpty()) {
        const bool one = withQuote.size() == 1;
        platform.messageBox(
            owner,
            QStringLiteral("The %1 %2 a double quote (\").").arg(joinedNames(withQuote),
                                                                 one ? QStringLiteral("holds")
                                                                     : QStringLiteral("hold"))
                + crLf
                + QStringLiteral("presets.txt cannot store that character. Please remove it "
                                 "and save again.")
                + crLf + QStringLiteral("Nothing was saved."),
            programConstants, MessageStyle::OkExclamation);
        return;
    }

    platform.messageBox(owner, QStringLiteral("The entered data is being saved!"),
                        programConstants, MessageStyle::OkExclamation);

    // The box may stay open for long; the program never creates presets.txt,
    // so a file that has gone meanwhile is not written anew.
    QString error;
    bool written = false;
    if (FileExists(path))
        written = writeFileAtomically(path, presetRecordLine(record), &error);
    else
        error = QStringLiteral("Cannot write \"%1\": the file is no longer there.")
                    .arg(QDir::toNativeSeparators(path));
    if (!written) {
        platform.messageBox(owner,
                            QStringLiteral("The presets could not be saved.") + crLf + error,
                            fileError, MessageStyle::OkExclamation);
    }
}

}  // namespace velmora
