#include "core/readme/TextLayout.h"

#include "core/text/LineBreaks.h"
#include "core/text/Win1252.h"
#include "core/readme/LayoutText.h"

namespace velmora {

namespace {

using layout::rule;

void appendUtf8(QByteArray &out, QStringView text)
{
    out.append(text.toUtf8());
}

// Rows go straight into the file's bytes, so that a readme with large
// fields is not held twice.
class Rows {
public:
    Rows(qsizetype expectedSize, ReadmeEncoding encoding)
        : m_append(encoding == ReadmeEncoding::Utf8 ? appendUtf8 : appendWindows1252)
    {
        m_out.reserve(expectedSize);
    }

    // One row: its parts appended in place, then CR LF.
    template <class... Parts>
    void row(const Parts &...parts)
    {
        (m_append(m_out, QStringView(parts)), ...);
        m_append(m_out, crLf);
    }
    void emptyRows(int count)
    {
        for (int i = 0; i < count; ++i)
            row();
    }
    // The rule, the title, the rule, an empty row.
    void sectionHeader(const QString &title)
    {
        row(rule);
        row(title);
        row(rule);
        row();
    }
    // A labelled item: the "(none given)" row only for a field with no
    // characters at all; otherwise the label on its own line and the field,
    // unchanged, from the next line on.
    void item(const layout::Item &item, const QString &field)
    {
        if (field.isEmpty())
            row(item.noneGiven);
        else
            row(item.label, crLf, field);
    }
    QByteArray result() && { return std::move(m_out); }

private:
    void (*m_append)(QByteArray &, QStringView);
    QByteArray m_out;
};

}  // namespace

QByteArray readmeBytes(const ReadmeRecord &record, const QStringList &compatibleSystems,
                       ReadmeEncoding encoding)
{
    // The fixed rows take under 2,000 characters; the fields may be large.
    qsizetype size = 2048;
    for (const QString *field :
         {&record.programName, &record.programType, &record.version, &record.company,
          &record.language, &record.webSite, &record.authorName, &record.filesNeeded,
          &record.description, &record.instructions, &record.newAdditions, &record.features,
          &record.additions, &record.authorEMail})
        size += field->size();
    for (const QString &system : compatibleSystems)
        size += system.size() + 7;
    Rows r(size, encoding);
    r.sectionHeader(layout::general);                                                 // 1-4
    r.row(record.programName, QStringLiteral(" - ("), record.programType, QStringLiteral(")"));  // 5
    r.row(record.version);                                                            // 6
    r.row(record.company);                                                            // 7
    r.row(record.language);                                                           // 8
    r.row(record.webSite);                                                            // 9
    r.row(record.authorName);                                                         // 10
    r.row();                                                                          // 11

    r.sectionHeader(layout::agreement);                      // 12-15
    r.emptyRows(4);                                          // 16-19
    r.row();                                                 // 20
    r.emptyRows(11);                                         // 21-31
    r.row();                                                 // 32

    r.sectionHeader(layout::freeware);                        // 33-36
    r.emptyRows(3);                                           // 37-39
    r.row();                                                  // 40

    r.sectionHeader(layout::program);               // 41-44
    r.item(layout::items[0], record.filesNeeded);   // 45
    r.row();                                         // 46
    r.item(layout::items[1], record.description);   // 47
    r.row();                                         // 48
    r.item(layout::items[2], record.instructions);  // 49
    r.row();                                         // 50
    r.item(layout::items[3], record.newAdditions);  // 51
    r.row();                                         // 52
    r.item(layout::items[4], record.features);      // 53
    r.row();                                         // 54
    r.item(layout::items[5], record.additions);     // 55
    r.row();                                         // 56
    r.row(layout::compatibleTitle);                  // 57
    for (const QString &system : compatibleSystems)
        r.row(layout::compatibleIndent, system);
    r.row();  // 58

    r.sectionHeader(layout::author);                 // 59-62
    r.row(layout::reachLine1);                       // 63
    r.row(layout::reachLine2);                       // 64
    r.row();                                         // 65
    r.row(layout::eMailIndent, record.authorEMail);  // 66
    r.row();                                         // 67
    r.row();                                         // 68
    r.row(layout::thanks);                           // 69
    return std::move(r).result();
}

QList<char32_t> charactersOutsideWindows1252(const ReadmeRecord &record,
                                             const QStringList &compatibleSystems)
{
    // The fields in the order the rows write them; the fixed texts are ASCII.
    OutsideWindows1252 outside;
    for (const QString *field :
         {&record.programName, &record.programType, &record.version, &record.company,
          &record.language, &record.webSite, &record.authorName, &record.filesNeeded,
          &record.description, &record.instructions, &record.newAdditions, &record.features,
          &record.additions})
        outside.scan(*field);
    for (const QString &system : compatibleSystems)
        outside.scan(system);
    outside.scan(record.authorEMail);
    return outside.characters();
}

}  // namespace velmora
