#include "readme/ReadmeLayout.h"

#include "files/LineBreaks.h"
#include "files/Win1252.h"

namespace velmora {

namespace {

const QString rule = QStringLiteral("------------------------------");  // 30 hyphens

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
    void item(const QString &label, const QString &noneGiven, const QString &field)
    {
        if (field.isEmpty())
            row(noneGiven);
        else
            row(label, crLf, field);
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
    r.sectionHeader(QStringLiteral("GENERAL"));                                          // 1-4
    r.row(record.programName, QStringLiteral(" - ("), record.programType, QStringLiteral(")"));  // 5
    r.row(record.version);                                                            // 6
    r.row(record.company);                                                            // 7
    r.row(record.language);                                                           // 8
    r.row(record.webSite);                                                            // 9
    r.row(record.authorName);                                                         // 10
    r.row();                                                                          // 11

    r.sectionHeader(QStringLiteral("END USER AGREEMENT"));  // 12-15
    r.emptyRows(4);                                          // 16-19
    r.row();                                                 // 20
    r.emptyRows(11);                                         // 21-31
    r.row();                                                 // 32

    r.sectionHeader(QStringLiteral("FREEWARE DEFINITION"));  // 33-36
    r.emptyRows(3);                                           // 37-39
    r.row();                                                  // 40

    r.sectionHeader(QStringLiteral("PROGRAM"));  // 41-44
    r.item(QStringLiteral("1). Files needed:"), QStringLiteral("1). Files needed - (none given)"),
           record.filesNeeded);  // 45
    r.row();                     // 46
    r.item(QStringLiteral("2). Description:"), QStringLiteral("2). Description - (none given)"),
           record.description);  // 47
    r.row();                     // 48
    r.item(QStringLiteral("3). Instructions:"), QStringLiteral("3). Instructions - (none given)"),
           record.instructions);  // 49
    r.row();                      // 50
    r.item(QStringLiteral("4). New Additions:"), QStringLiteral("4). New Additions - (none given)"),
           record.newAdditions);  // 51
    r.row();                      // 52
    r.item(QStringLiteral("5). Features:"), QStringLiteral("5). Features - (none given)"),
           record.features);  // 53
    r.row();                  // 54
    r.item(QStringLiteral("6). Additions:"), QStringLiteral("6). Additions - (none given)"),
           record.additions);  // 55
    r.row();                   // 56
    r.row(QStringLiteral("7). Compatible OS's:"));  // 57
    for (const QString &system : compatibleSystems)
        r.row(QStringLiteral("     "), system);
    r.row();  // 58

    r.sectionHeader(QStringLiteral("AUTHOR"));  // 59-62
    r.row(QStringLiteral("If you have any suggestions, constructive criticism and/or ideas"));  // 63
    r.row(QStringLiteral("for this program, the author can be reached by:"));                  // 64
    r.row();                                                                                    // 65
    r.row(QStringLiteral("  "), record.authorEMail);                                           // 66
    r.row();                                                                                    // 67
    r.row();                                                                                    // 68
    r.row(QStringLiteral("Thanks for trying my program :)"));                                  // 69
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
