#include "core/commands/ReleaseCommands.h"

#include "core/presets/PresetsFile.h"
#include "core/project/ProjectFacts.h"
#include "core/readme/LayoutText.h"
#include "core/readme/ReadBack.h"
#include "core/readme/ReadmeFile.h"
#include "core/readme/ReadmeReading.h"
#include "core/text/BoundedFile.h"
#include "core/text/FilePath.h"
#include "core/text/LineBreaks.h"
#include "core/text/WholeFile.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <optional>

namespace velmora {

namespace {

// What a field's box holds: any lines, one line, the version box's
// characters, an entry of the type list, or the compatible list (one
// system a line).
enum class Shape { Lines, OneLine, Version, Type, Systems };

struct Field {
    const char *name;
    QString ReadmeRecord::*member;  // null for the systems
    Shape shape;
    int maxChars;  // 0: no limit
    const char *what;
};

const Field fields[] = {
    {"name", &ReadmeRecord::programName, Shape::OneLine, layout::maxProgramNameChars, "a program name"},
    {"version", &ReadmeRecord::version, Shape::Version, 0, "a version"},
    {"type", &ReadmeRecord::programType, Shape::Type, 0, "a type"},
    {"company", &ReadmeRecord::company, Shape::OneLine, layout::maxCompanyChars, "a company"},
    {"web-site", &ReadmeRecord::webSite, Shape::OneLine, 0, "a web site"},
    {"language", &ReadmeRecord::language, Shape::OneLine, 0, "a language"},
    {"files-needed", &ReadmeRecord::filesNeeded, Shape::Lines, 0, ""},
    {"description", &ReadmeRecord::description, Shape::Lines, 0, ""},
    {"instructions", &ReadmeRecord::instructions, Shape::Lines, 0, ""},
    {"new-additions", &ReadmeRecord::newAdditions, Shape::Lines, 0, ""},
    {"features", &ReadmeRecord::features, Shape::Lines, 0, ""},
    {"additions", &ReadmeRecord::additions, Shape::Lines, 0, ""},
    {"licence", &ReadmeRecord::licence, Shape::OneLine, 0, "a licence"},
    {"licence-text", &ReadmeRecord::licenceText, Shape::Lines, 0, ""},
    {"author", &ReadmeRecord::authorName, Shape::OneLine, layout::maxAuthorNameChars, "an author's name"},
    {"e-mail", &ReadmeRecord::authorEMail, Shape::OneLine, layout::maxAuthorEMailChars, "an e-mail address"},
    {"systems", nullptr, Shape::Systems, 0, ""},
};

const Field *fieldNamed(const QString &name)
{
    for (const Field &f : fields) {
        if (name == QLatin1String(f.name))
            return &f;
    }
    return nullptr;
}

// What the field's box could not hold of value, in the readers' words
// (readback::checkRecord); nothing when it holds it.
std::optional<QString> notHeld(const Field &f, const QString &value)
{
    switch (f.shape) {
    case Shape::Lines:
    case Shape::Systems:
        return std::nullopt;
    case Shape::Type:
        if (value.isEmpty() || layout::programTypes.contains(value))
            return std::nullopt;
        return QStringLiteral("a type: \"") + layout::programTypes.join(QStringLiteral("\", \""))
               + QStringLiteral("\" or nothing");
    case Shape::Version: {
        ReadmeRecord r;
        r.version = value;
        if (auto bad = readback::checkRecord(r, 0, 0, {0, 0, 0, 0, 0}))
            return bad->expected;
        return std::nullopt;
    }
    case Shape::OneLine:
        if (readback::hasLineBreak(value))
            return QLatin1String(f.what) + QStringLiteral(" on one line");
        if (f.maxChars > 0 && value.size() > f.maxChars)
            return QStringLiteral("%1 of at most %2 characters").arg(QLatin1String(f.what)).arg(f.maxChars);
        return std::nullopt;
    }
    return std::nullopt;
}

// A value as a message shows it: its first line, up to 60 characters.
QString shown(const QString &value)
{
    const QString line = value.section(u'\r', 0, 0);
    return line.size() > 60 || line.size() < value.size() ? line.left(60) + QStringLiteral("...") : line;
}

struct Setting {
    const Field *field;
    QString value;  // line breaks as CR LF
};

// The end of a command: its status and the line on standard error.
CommandLineAnswer ended(int exitCode, const QString &error, bool withUsage = false)
{
    CommandLineAnswer answer;
    answer.startProgram = false;
    answer.exitCode = exitCode;
    answer.standardError = error.isEmpty() ? QString()
                                           : QStringLiteral("velmora: ") + error + u'\n'
                                                 + (withUsage ? u'\n' + commandLineUsage() : QString());
    return answer;
}

// The text of the file a --set value names (FIELD=@PATH): read as a
// readme is read, line breaks as the boxes hold them, a final one dropped.
std::optional<QString> readValueFile(const QString &path, QString *why)
{
    BoundedRead how;
    how.decode = true;
    const BoundedFile file = readBoundedFile(path, maxViewerFileBytes, how);
    switch (file.outcome) {
    case BoundedFile::Outcome::Read: {
        QString text = toCrLf(file.text);
        if (text.endsWith(crLf))
            text.chop(2);
        return text;
    }
    case BoundedFile::Outcome::Missing:
        *why = QStringLiteral("the file does not exist");
        break;
    case BoundedFile::Outcome::NotAFile:
        *why = QStringLiteral("it is not a regular file");
        break;
    case BoundedFile::Outcome::TooLarge:
        *why = QStringLiteral("it is larger than 16 MiB");
        break;
    case BoundedFile::Outcome::Unreadable:
        *why = file.reason;
        break;
    }
    return std::nullopt;
}

// The --set options, checked: each names a field and a value its box holds.
std::optional<QList<Setting>> readSettings(const QStringList &options, CommandLineAnswer *refusal)
{
    QList<Setting> settings;
    for (const QString &option : options) {
        const qsizetype equals = option.indexOf(u'=');
        const Field *field = equals < 0 ? nullptr : fieldNamed(option.left(equals));
        if (!field) {
            QStringList names;
            for (const Field &f : fields)
                names << QLatin1String(f.name);
            *refusal = ended(2, QStringLiteral("--set \"%1\": expected FIELD=VALUE or FIELD=@PATH, FIELD one of %2")
                                    .arg(option, names.join(QStringLiteral(", "))));
            return std::nullopt;
        }
        Setting s{field, option.mid(equals + 1)};
        if (s.value.startsWith(u'@')) {
            QString why;
            const std::optional<QString> text = readValueFile(s.value.mid(1), &why);
            if (!text) {
                *refusal = ended(2, QStringLiteral("--set %1: cannot read \"%2\": %3.")
                                        .arg(QLatin1String(field->name), s.value.mid(1), why));
                return std::nullopt;
            }
            s.value = *text;
        } else {
            s.value = toCrLf(s.value);
        }
        if (const std::optional<QString> expected = notHeld(*field, s.value)) {
            *refusal = ended(2, QStringLiteral("--set %1=\"%2\": expected %3.")
                                    .arg(QLatin1String(field->name), shown(s.value), *expected));
            return std::nullopt;
        }
        settings << s;
    }
    return settings;
}

void apply(const QList<Setting> &settings, ReadmeRecord &record, QStringList &systems)
{
    for (const Setting &s : settings) {
        if (s.field->member) {
            record.*(s.field->member) = s.value;
            continue;
        }
        systems.clear();
        for (const QString &line : s.value.split(crLf)) {
            if (!line.trimmed().isEmpty())
                systems << line;
        }
    }
}

// What update and new share: their options, read by QCommandLineParser.
struct Options {
    QStringList files;
    QList<Setting> settings;
    QString output;
    QString project;
    bool utf8 = false;
};

std::optional<Options> readOptions(const QString &command, const QStringList &arguments, CommandLineAnswer *refusal)
{
    QCommandLineParser parser;
    const QCommandLineOption set(QStringLiteral("set"), QString(), QStringLiteral("FIELD=VALUE"));
    const QCommandLineOption output(QStringLiteral("output"), QString(), QStringLiteral("OUT"));
    const QCommandLineOption encoding(QStringLiteral("encoding"), QString(), QStringLiteral("ENCODING"));
    const QCommandLineOption project(QStringLiteral("project"), QString(), QStringLiteral("DIR"));
    parser.addOptions({set, output, encoding});
    if (command == u"new")
        parser.addOption(project);
    if (!parser.parse(QStringList{QStringLiteral("velmora")} + arguments)) {
        *refusal = ended(2, command + QStringLiteral(": ") + parser.errorText(), true);
        return std::nullopt;
    }
    Options o;
    o.files = parser.positionalArguments();
    o.output = parser.value(output);
    if (command == u"new")
        o.project = parser.value(project);
    const QString chosen = parser.value(encoding);
    o.utf8 = chosen.compare(QLatin1String("utf-8"), Qt::CaseInsensitive) == 0
             || chosen.compare(QLatin1String("utf8"), Qt::CaseInsensitive) == 0;
    if (parser.isSet(encoding) && !o.utf8) {
        *refusal = ended(2, QStringLiteral("--encoding \"%1\": the one encoding to choose is utf-8").arg(chosen), true);
        return std::nullopt;
    }
    const std::optional<QList<Setting>> settings = readSettings(parser.values(set), refusal);
    if (!settings)
        return std::nullopt;
    o.settings = *settings;
    return o;
}

// Writes the readme as Create File would, without a question: a text
// readme that Windows-1252 cannot hold is refused, naming the characters.
CommandLineAnswer writeReadme(const QString &path, const ReadmeRecord &record, const QStringList &systems,
                              ReadmeFormat format, ReadmeEncoding encoding)
{
    if (record.programName.trimmed().isEmpty())
        return ended(2, QStringLiteral("the readme needs the program's name: give --set name=NAME"));
    if (format == ReadmeFormat::Text && encoding == ReadmeEncoding::Windows1252) {
        const QList<char32_t> outside = charactersOutsideWindows1252(record, systems);
        if (!outside.isEmpty())
            return ended(1, QStringLiteral("%1 not written: the readme holds characters that Windows-1252 cannot hold: "
                                           "%2. Give --encoding utf-8 to write it in UTF-8.")
                                .arg(path, namedCharacters(outside)));
    }
    QString reason;
    if (!writeReadmeFile(QFileInfo(path).absoluteFilePath(), record, systems, format, encoding, programFolder(), userConfigFolder(), &reason))
        return ended(1, reason);
    return ended(0, QString());
}

}  // namespace

CommandLineAnswer checkReadme(const QString &file)
{
    const RecognisedReadme readme = recogniseReadmeFile(file);
    if (readme.recognised)
        return ended(0, QString());
    const QString where = readme.readError.isEmpty() ? QStringLiteral("%1:%2").arg(file).arg(readme.mismatch.lineNumber)
                                                     : file;
    CommandLineAnswer answer = ended(1, QString());
    answer.standardError = where + QStringLiteral(": ") + notRecognisedMessage(readme).split(crLf).join(u' ') + u'\n';
    return answer;
}

CommandLineAnswer updateReadme(const QStringList &arguments)
{
    CommandLineAnswer refusal;
    const std::optional<Options> o = readOptions(QStringLiteral("update"), arguments, &refusal);
    if (!o)
        return refusal;
    if (o->files.size() != 1)
        return ended(2, QStringLiteral("update takes one readme file"), true);
    const QString &file = o->files.first();
    RecognisedReadme readme = recogniseReadmeFile(file);
    if (!readme.recognised)
        return checkReadme(file);
    const ReadmeEncoding opened = keptEncoding(readme);  // before the values change
    apply(o->settings, readme.record, readme.compatibleSystems);
    const QString out = o->output.isEmpty() ? file : o->output;
    const ReadmeFormat format = o->output.isEmpty() ? readme.format : formatNamedBy(out).value_or(readme.format);
    return writeReadme(out, readme.record, readme.compatibleSystems, format,
                       o->utf8 ? ReadmeEncoding::Utf8 : opened);
}

CommandLineAnswer newReadme(const QStringList &arguments)
{
    CommandLineAnswer refusal;
    const std::optional<Options> o = readOptions(QStringLiteral("new"), arguments, &refusal);
    if (!o)
        return refusal;
    if (!o->files.isEmpty() || o->project.isEmpty() || o->output.isEmpty())
        return ended(2, QStringLiteral("new takes --project DIR and --output OUT, and no file name"), true);
    if (!QFileInfo(o->project).isDir())
        return ended(2, QStringLiteral("--project \"%1\": no such folder").arg(o->project));
    if (QFileInfo(o->output).exists() || QFileInfo(o->output).isSymLink())
        return ended(1, QStringLiteral("%1 already exists: new writes only a new readme (update changes one)")
                            .arg(o->output));

    ReadmeRecord r;
    const PresetRecord presets = readPresets(programFolder(), userConfigFolder());
    r.company = presets.companyName;
    r.webSite = presets.webSite;
    r.language = presets.languages;
    r.filesNeeded = presets.neededFiles;
    r.authorName = presets.authorName;
    r.authorEMail = presets.authorEMail;

    const ProjectFacts facts = readProjectFacts(o->project);
    QString notes;
    for (const QString &problem : facts.problems)
        notes += QStringLiteral("velmora: note: %1\n").arg(problem);
    const std::pair<ProjectField, const char *> factFields[] = {
        {ProjectField::Name, "name"},          {ProjectField::Version, "version"},
        {ProjectField::Description, "description"}, {ProjectField::WebSite, "web-site"},
        {ProjectField::Author, "author"},      {ProjectField::EMail, "e-mail"},
        {ProjectField::LicenceId, "licence"},  {ProjectField::LicenceText, "licence-text"}};
    for (const auto &[projectField, name] : factFields) {
        const Field &field = *fieldNamed(QString::fromLatin1(name));
        for (const ProjectFact &fact : facts.factsFor(projectField)) {
            if (const std::optional<QString> expected = notHeld(field, fact.value)) {
                notes += QStringLiteral("velmora: note: %1 \"%2\" of %3 left out: expected %4.\n")
                             .arg(QLatin1String(name), shown(fact.value), fact.source, *expected);
                continue;
            }
            r.*(field.member) = fact.value;
            break;
        }
    }
    QStringList systems;
    apply(o->settings, r, systems);
    CommandLineAnswer answer = writeReadme(o->output, r, systems, formatNamedBy(o->output).value_or(ReadmeFormat::Text),
                                           o->utf8 ? ReadmeEncoding::Utf8 : ReadmeEncoding::Windows1252);
    answer.standardError.prepend(notes);
    return answer;
}

}  // namespace velmora
