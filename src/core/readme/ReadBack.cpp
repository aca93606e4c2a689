#include "core/readme/ReadBack.h"

#include "core/readme/LayoutText.h"

#include <vector>

namespace velmora::readback {

namespace {

// Each value its box could not hold, with the line it stands on.
struct Checked {
    const QString *value;
    int index;
    int maxChars;  // 0: no limit
    QString what;
};

std::optional<Mismatch> checkValues(const std::vector<Checked> &values)
{
    for (const Checked &c : values) {
        if (hasLineBreak(*c.value) || (c.maxChars > 0 && c.value->size() > c.maxChars)) {
            if (c.maxChars > 0)
                return Mismatch{c.index, QStringLiteral("%1 of at most %2 characters on one line").arg(c.what).arg(c.maxChars)};
            return Mismatch{c.index, c.what + QStringLiteral(" on one line")};
        }
    }
    return std::nullopt;
}

std::optional<Mismatch> checkVersion(const QString &version, int index)
{
    if (layout::isVersion(version))
        return std::nullopt;
    return Mismatch{index, QStringLiteral("a version of at most %1 characters: digits, letters, \".\", \"-\" and \"+\"")
                               .arg(layout::maxVersionChars)};
}

}  // namespace

QString quoted(const QString &text)
{
    return u'"' + text + u'"';
}

bool hasLineBreak(const QString &value)
{
    return value.contains(u'\r') || value.contains(u'\n');
}

QString typeExpected()
{
    return QStringLiteral("the type in parentheses: \"") + layout::programTypes.join(QStringLiteral("\", \""))
           + QStringLiteral("\" or nothing");
}

std::optional<Mismatch> checkRecord(const ReadmeRecord &r, int nameLine, int eMailLine,
                                    std::array<int, 5> generalLines)
{
    if (auto bad = checkValues({{&r.programName, nameLine, layout::maxProgramNameChars, QStringLiteral("a program name")}}))
        return bad;
    if (auto bad = checkVersion(r.version, generalLines[0]))
        return bad;
    return checkValues({{&r.company, generalLines[1], layout::maxCompanyChars, QStringLiteral("a company")},
                        {&r.webSite, generalLines[3], 0, QStringLiteral("a web site")},
                        {&r.authorName, generalLines[4], layout::maxAuthorNameChars, QStringLiteral("an author's name")},
                        {&r.authorEMail, eMailLine, layout::maxAuthorEMailChars, QStringLiteral("an e-mail address")}});
}

void setItems(ReadmeRecord &r, const std::array<QString, 6> &values)
{
    r.filesNeeded = values[0];
    r.description = values[1];
    r.instructions = values[2];
    r.newAdditions = values[3];
    r.features = values[4];
    r.additions = values[5];
}

}  // namespace velmora::readback
