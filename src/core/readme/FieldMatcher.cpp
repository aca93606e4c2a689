#include "core/readme/FieldMatcher.h"

#include "core/readme/LayoutText.h"

namespace velmora::readback {

std::optional<Mismatch> FieldMatcher::expectRows(int p, const QStringList &rows) const
{
    for (int k = 0; k < rows.size(); ++k) {
        if (!is(p + k, rows[k]))
            return Mismatch{p + k, rows[k].isEmpty() ? anEmptyLine : quoted(rows[k])};
    }
    return std::nullopt;
}

bool FieldMatcher::startsOneOf(int p, const QStringList &rows) const
{
    for (const QString &row : rows) {
        if (is(p, row))
            return true;
    }
    return false;
}

QString FieldMatcher::startRowsExpected(const ItemForm &form)
{
    if (form.noneRows.first() == form.valueHead.first())
        return quoted(form.valueHead.first());
    return quoted(form.valueHead.first()) + QStringLiteral(" or ") + quoted(form.noneRows.first());
}

Mismatch FieldMatcher::missingItem(int first, int i, const std::array<ItemForm, 6> &forms, const QString &compatibleTitle) const
{
    const QString expected =
        i < 5 ? startRowsExpected(forms[i + 1]) : quoted(compatibleTitle);
    const QString wanted = i < 5 ? forms[i + 1].valueHead.first() : compatibleTitle;
    const QString numberPrefix = wanted.left(wanted.indexOf(u' ') + 1);
    // The item's row is there, but not after an empty line.
    const QStringList nextRows = i < 5 ? QStringList{forms[i + 1].valueHead.first(), forms[i + 1].noneRows.first()}
                                       : QStringList{compatibleTitle};
    for (int j = first + 1; j < m_n; ++j) {
        if (nextRows.contains(m_lines[j]))
            return {j, anEmptyLine};
    }
    for (int j = first + 1; j < m_n; ++j) {
        if (!m_lines[j - 1].isEmpty())
            continue;
        const QString &row = m_lines[j];
        bool later = row == compatibleTitle || row == layout::rule || row.startsWith(QStringLiteral("## "));
        for (int k = i + 1; k < 6 && !later; ++k)
            later = forms[k].valueHead.first() == row || forms[k].noneRows.first() == row;
        if (later || (!numberPrefix.isEmpty() && row.startsWith(numberPrefix.left(2))))
            return {j, expected};
    }
    return {m_n, expected};
}

}  // namespace velmora::readback
