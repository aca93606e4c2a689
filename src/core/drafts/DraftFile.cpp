#include "core/drafts/DraftFile.h"

#include "core/text/BoundedFile.h"
#include "core/text/TextShape.h"
#include "core/text/WholeFile.h"

#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <initializer_list>

#include <variant>
#include <vector>

namespace velmora {

namespace {

const QByteArray header = QByteArrayLiteral("Velmora draft\n");
const QByteArray versionLine = QByteArrayLiteral("version 1\n");
const QByteArray endLine = QByteArrayLiteral("end\n");

// Where each named value lives in the values.
using Place = std::variant<QString WizardValues::*, PresetBoxValue WizardValues::*,
                           QStringList WizardValues::*, QString ReadmeRecord::*>;
struct Field {
    const char *name;
    Place place;
};

const std::vector<Field> &fields()
{
    static const std::vector<Field> table = {
        {"main.name", &WizardValues::name},
        {"main.version", &WizardValues::version},
        {"main.company", &WizardValues::company},
        {"main.webSite", &WizardValues::webSite},
        {"main.language", &WizardValues::language},
        {"main.filesNeeded", &WizardValues::filesNeeded},
        {"main.system", &WizardValues::otherSystems},
        {"main.compatible", &WizardValues::compatibleSystems},
        {"main.type", &WizardValues::type},
        {"program.description", &WizardValues::description},
        {"program.instructions", &WizardValues::instructions},
        {"program.features", &WizardValues::features},
        {"program.additions", &WizardValues::additions},
        {"program.newFeatures", &WizardValues::newFeatures},
        {"program.licence", &WizardValues::licence},
        {"program.licenceText", &WizardValues::licenceText},
        {"author.name", &WizardValues::authorName},
        {"author.email", &WizardValues::authorEMail},
        {"record.programName", &ReadmeRecord::programName},
        {"record.version", &ReadmeRecord::version},
        {"record.company", &ReadmeRecord::company},
        {"record.webSite", &ReadmeRecord::webSite},
        {"record.language", &ReadmeRecord::language},
        {"record.filesNeeded", &ReadmeRecord::filesNeeded},
        {"record.programType", &ReadmeRecord::programType},
        {"record.description", &ReadmeRecord::description},
        {"record.instructions", &ReadmeRecord::instructions},
        {"record.newAdditions", &ReadmeRecord::newAdditions},
        {"record.features", &ReadmeRecord::features},
        {"record.additions", &ReadmeRecord::additions},
        {"record.authorName", &ReadmeRecord::authorName},
        {"record.authorEMail", &ReadmeRecord::authorEMail},
        {"record.licence", &ReadmeRecord::licence},
        {"record.licenceText", &ReadmeRecord::licenceText},
    };
    return table;
}

const char filledSuffix[] = ".filled";

void putValue(QByteArray &out, const QByteArray &name, const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    out += name;
    out += ' ';
    out += QByteArray::number(utf8.size());
    out += '\n';
    out += utf8;
    out += '\n';
}

DraftRead failed(DraftReading outcome)
{
    return DraftRead{outcome, {}};
}

// Reads the values one after another; every step checks what is left, so
// no length or name in the file can make it read past the end.
class Reader {
public:
    explicit Reader(QByteArrayView bytes) : m_bytes(bytes) {}

    DraftRead read()
    {
        if (!startsWith(header))
            return failed(isCutShort(header) ? DraftReading::CutShort : DraftReading::NotADraft);
        m_pos = header.size();
        if (!startsWith(versionLine)) {
            if (isCutShort(versionLine))
                return failed(DraftReading::CutShort);
            return failed(m_bytes.sliced(m_pos).startsWith("version ") ? DraftReading::OtherVersion
                                                                      : DraftReading::NotADraft);
        }
        m_pos += versionLine.size();

        WizardValues values;
        values.otherSystems.clear();
        QSet<QByteArray> seen;
        for (;;) {
            const qsizetype lineEnd = m_bytes.indexOf('\n', m_pos);
            if (lineEnd < 0)
                return failed(DraftReading::CutShort);
            const QByteArrayView line = m_bytes.sliced(m_pos, lineEnd - m_pos);
            m_pos = lineEnd + 1;
            if (line == "end")
                break;
            const qsizetype space = line.lastIndexOf(' ');
            if (space <= 0)
                return failed(DraftReading::NotADraft);
            const QByteArrayView name = line.first(space);
            const std::optional<qsizetype> length = lengthOf(line.sliced(space + 1));
            if (!length)
                return failed(DraftReading::NotADraft);
            if (*length > m_bytes.size() - m_pos)
                return failed(DraftReading::CutShort);
            const QByteArrayView raw = m_bytes.sliced(m_pos, *length);
            m_pos += *length;
            if (m_pos == m_bytes.size())
                return failed(DraftReading::CutShort);
            if (m_bytes[m_pos] != '\n')
                return failed(DraftReading::NotADraft);
            ++m_pos;

            QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless
                                                            | QStringConverter::Flag::ConvertInitialBom);
            const QString value = utf8.decode(raw);
            if (utf8.hasError() || !place(values, name, value, seen))
                return failed(DraftReading::NotADraft);
        }
        // Nothing after the end, and every single value there but the
        // licence's, which drafts of earlier releases do not hold.
        if (m_pos != m_bytes.size())
            return failed(DraftReading::NotADraft);
        for (const Field &field : fields()) {
            if (!std::holds_alternative<QStringList WizardValues::*>(field.place)
                && !seen.contains(QByteArray(field.name)) && !QByteArrayView(field.name).contains(".licence"))
                return failed(DraftReading::NotADraft);
        }
        if (!withinReadmeLimits(values))
            return failed(DraftReading::BeyondLimits);
        return DraftRead{DraftReading::Read, values};
    }

private:
    bool startsWith(const QByteArray &expected) const
    {
        return m_bytes.sliced(m_pos).startsWith(expected);
    }
    // The rest of the file is a beginning of the expected line.
    bool isCutShort(const QByteArray &expected) const
    {
        const QByteArrayView rest = m_bytes.sliced(m_pos);
        return rest.size() < expected.size() && QByteArrayView(expected).startsWith(rest);
    }

    static std::optional<qsizetype> lengthOf(QByteArrayView digits)
    {
        if (digits.isEmpty() || digits.size() > 10)
            return std::nullopt;
        qsizetype value = 0;
        for (char c : digits) {
            if (c < '0' || c > '9')
                return std::nullopt;
            value = value * 10 + (c - '0');
        }
        return value;
    }

    // Puts one value where its name says; false for a name we do not know,
    // or a single value given twice.
    static bool place(WizardValues &values, QByteArrayView name, const QString &value,
                      QSet<QByteArray> &seen)
    {
        QByteArrayView base = name;
        const bool filled = name.endsWith(filledSuffix);
        if (filled)
            base.chop(qsizetype(sizeof filledSuffix) - 1);
        for (const Field &field : fields()) {
            if (base != field.name)
                continue;
            if (auto list = std::get_if<QStringList WizardValues::*>(&field.place)) {
                if (filled)
                    return false;
                (values.*(*list)).append(value);
                return true;
            }
            if (seen.contains(name.toByteArray()))
                return false;
            seen.insert(name.toByteArray());
            if (auto box = std::get_if<PresetBoxValue WizardValues::*>(&field.place)) {
                if (filled)
                    (values.*(*box)).filled = value;
                else
                    (values.*(*box)).text = value;
                return true;
            }
            if (filled)
                return false;
            if (auto text = std::get_if<QString WizardValues::*>(&field.place))
                values.*(*text) = value;
            else
                values.record.*std::get<QString ReadmeRecord::*>(field.place) = value;
            return true;
        }
        return false;
    }

    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

// Lines and characters of texts that stand as one, each at least a line;
// false once a line is longer than the viewer shows.
class Extent {
public:
    bool add(const QString &text)
    {
        const TextShape shape = shapeOfText(text);
        m_lines += std::max<qint64>(shape.lines, 1);
        m_chars += text.size();
        return shape.longestLine <= maxViewerLineChars;
    }
    bool add(std::initializer_list<const QString *> texts)
    {
        return std::all_of(texts.begin(), texts.end(), [this](const QString *text) { return add(*text); });
    }
    bool add(const QStringList &texts)
    {
        return std::all_of(texts.begin(), texts.end(), [this](const QString &text) { return add(text); });
    }
    bool fits() const { return m_lines <= maxViewerFileLines && m_chars <= maxViewerFileBytes; }

private:
    qint64 m_lines = 0;
    qint64 m_chars = 0;
};

}  // namespace

bool withinReadmeLimits(const WizardValues &v)
{
    const ReadmeRecord &r = v.record;
    Extent boxes, record, rest;
    for (const PresetBoxValue *box : {&v.company, &v.webSite, &v.language, &v.filesNeeded, &v.authorName, &v.authorEMail}) {
        if (box->filled && !rest.add(*box->filled))
            return false;
    }
    return boxes.add({&v.name, &v.version, &v.company.text, &v.webSite.text, &v.language.text,
                      &v.filesNeeded.text, &v.type, &v.description, &v.instructions, &v.features,
                      &v.additions, &v.newFeatures, &v.licence, &v.licenceText, &v.authorName.text,
                      &v.authorEMail.text})
           && boxes.add(v.compatibleSystems)
           && record.add({&r.programName, &r.version, &r.company, &r.webSite, &r.language, &r.filesNeeded,
                          &r.programType, &r.description, &r.instructions, &r.newAdditions, &r.features,
                          &r.additions, &r.authorName, &r.authorEMail, &r.licence, &r.licenceText})
           && record.add(v.compatibleSystems) && rest.add(v.otherSystems) && boxes.fits() && record.fits()
           && rest.fits();
}

QByteArray draftBytes(const WizardValues &values)
{
    QByteArray out = header + versionLine;
    for (const Field &field : fields()) {
        const QByteArray name(field.name);
        std::visit(
            [&](auto member) {
                using Member = decltype(member);
                if constexpr (std::is_same_v<Member, QString ReadmeRecord::*>) {
                    putValue(out, name, values.record.*member);
                } else if constexpr (std::is_same_v<Member, QStringList WizardValues::*>) {
                    for (const QString &entry : values.*member)
                        putValue(out, name, entry);
                } else if constexpr (std::is_same_v<Member, PresetBoxValue WizardValues::*>) {
                    putValue(out, name, (values.*member).text);
                    if ((values.*member).filled)
                        putValue(out, name + filledSuffix, *(values.*member).filled);
                } else {
                    putValue(out, name, values.*member);
                }
            },
            field.place);
    }
    out += endLine;
    return out;
}

DraftRead parseDraft(QByteArrayView bytes)
{
    return Reader(bytes).read();
}

DraftRead readDraftFile(const QString &path)
{
    const BoundedFile file = readBoundedFile(path, maxDraftBytes);
    switch (file.outcome) {
    case BoundedFile::Outcome::Read:
        return parseDraft(file.bytes);
    case BoundedFile::Outcome::TooLarge:
        return failed(DraftReading::TooLarge);
    case BoundedFile::Outcome::Missing:
    case BoundedFile::Outcome::NotAFile:
    case BoundedFile::Outcome::Unreadable:
        break;
    }
    return failed(DraftReading::Missing);
}

}  // namespace velmora
