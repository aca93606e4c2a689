#pragma once

#include "core/readme/ReadBack.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace velmora::readback {

// The engine that reads a readme's lines back into the layout's items: it
// matches the fixed rows and weighs every way of splitting the lines
// between them into fields. Either layout gives it its own rows.

// The items of PROGRAM: the rows of an empty item and the rows that stand
// before a filled item's value, in either layout.
struct ItemForm {
    QStringList noneRows;
    QStringList valueHead;
};

struct Items {
    std::array<QStringList, 6> values;  // the lines of each value, empty for "(none given)"
    int compatibleStart = 0;             // the compatible systems' title row
};

class FieldMatcher {
public:
    explicit FieldMatcher(const QStringList &lines) : m_lines(lines), m_n(int(lines.size())) {}

    const QString &line(int i) const
    {
        static const QString none;
        return i >= 0 && i < m_n ? m_lines[i] : none;
    }
    bool is(int i, const QString &text) const { return i < m_n && m_lines[i] == text; }
    bool matches(int p, const QStringList &rows) const
    {
        for (int k = 0; k < rows.size(); ++k) {
            if (!is(p + k, rows[k]))
                return false;
        }
        return true;
    }
    int size() const { return m_n; }

    // The first of rows that is not found at p, as a mismatch.
    std::optional<Mismatch> expectRows(int p, const QStringList &rows) const;

    // Items 1 to 6 from start on, followed by the compatible systems where
    // compatibleFits says they fit. Every way of splitting the lines is
    // weighed (each item's possible ends, from the last item back), so a
    // field holding rows of the layout never hides a split that works; of
    // those that work, an empty item is taken first, and each field takes
    // the fewest lines. shape says which lines make a field the writer
    // could have written, so that the record writes the same lines again.
    // Empty when the file does not follow the layout, or when its fields
    // hold the layout's rows so often that weighing them would take minutes.
    template <class CompatibleFits, class Shape>
    std::optional<Items> readItems(int start, const std::array<ItemForm, 6> &forms,
                                   CompatibleFits compatibleFits, Shape &shape) const
    {
        const int n = m_n;
        // fits[i][p]: item i (6: the systems) can start at p and the rest follows.
        std::array<std::vector<char>, 7> fits;
        fits[6].assign(n + 2, 0);
        for (int p = 0; p <= n; ++p)
            fits[6][p] = compatibleFits(p);
        // valueEnd[i][p]: the empty row after the value of item i when it starts at p.
        std::array<std::vector<int>, 6> valueEnd;
        qint64 budget = qint64(64) * 1024 * 1024;
        for (int i = 5; i >= 0; --i) {
            const std::vector<char> &next = fits[i + 1];
            fits[i].assign(n + 2, 0);
            valueEnd[i].assign(n + 2, -1);
            const ItemForm &form = forms[i];
            const int noneLength = int(form.noneRows.size());
            const int headLength = int(form.valueHead.size());
            // firstEnd[q]: the first empty row j >= q after which item i + 1 fits.
            std::vector<int> firstEnd(n + 3, -1);
            if constexpr (Shape::anyLines) {
                for (int q = n - 1; q >= 0; --q)
                    firstEnd[q] = (m_lines[q].isEmpty() && next[q + 1]) ? q : firstEnd[q + 1];
            }
            for (int p = 0; p < n; ++p) {
                const bool empty = matches(p, form.noneRows) && is(p + noneLength, QString())
                                   && next[p + noneLength + 1];
                if (matches(p, form.valueHead) && Shape::anyLines) {
                    // Any lines make a field but one empty line alone: the
                    // first end is looked up, in linear time however often
                    // the fields repeat the layout's rows.
                    const int s = p + headLength;
                    int end = s + 1 <= n ? firstEnd[s + 1] : -1;
                    if (end == s + 1 && m_lines[s].isEmpty())
                        end = firstEnd[s + 2];
                    valueEnd[i][p] = end;
                } else if (matches(p, form.valueHead)) {
                    shape.reset();
                    for (int j = p + headLength; j + 1 < n; ++j) {
                        if (--budget < 0 || !shape.add(m_lines[j]))
                            break;
                        if (m_lines[j + 1].isEmpty() && next[j + 2] && shape.whole()) {
                            valueEnd[i][p] = j + 1;
                            break;
                        }
                    }
                }
                fits[i][p] = empty || valueEnd[i][p] >= 0;
            }
            if (budget < 0)
                return std::nullopt;
        }
        if (!fits[0][start])
            return std::nullopt;

        Items items;
        int p = start;
        for (int i = 0; i < 6; ++i) {
            const ItemForm &form = forms[i];
            const int noneLength = int(form.noneRows.size());
            if (matches(p, form.noneRows) && is(p + noneLength, QString()) && fits[i + 1][p + noneLength + 1]) {
                p += noneLength + 1;
                continue;
            }
            const int first = p + int(form.valueHead.size());
            const int end = valueEnd[i][p];
            items.values[i] = m_lines.mid(first, end - first);
            p = end + 1;
        }
        items.compatibleStart = p;
        return items;
    }

    // Where the greedy walk (each field ending at the first place the next
    // item's row stands after an empty line) first leaves the layout. Run
    // only when the file does not follow it, to say where.
    template <class CompatibleMismatch>
    Mismatch whereItemsDiffer(int start, const std::array<ItemForm, 6> &forms,
                              const std::array<QStringList, 6> &startRows, const QString &compatibleTitle,
                              CompatibleMismatch compatibleMismatch) const
    {
        int p = start;
        for (int i = 0; i < 6; ++i) {
            const ItemForm &form = forms[i];
            const int noneLength = int(form.noneRows.size());
            if (matches(p, form.noneRows)) {
                if (!is(p + noneLength, QString()))
                    return {p + noneLength, anEmptyLine};
                p += noneLength + 1;
                continue;
            }
            if (!matches(p, form.valueHead)) {
                // Name the row of the two forms that the line comes closest to.
                const auto none = expectRows(p, form.noneRows);
                const auto head = expectRows(p, form.valueHead);
                if (none->index > head->index)
                    return *none;
                return head->index > p ? *head : Mismatch{p, startRowsExpected(forms[i])};
            }
            const QStringList &nextRows = i < 5 ? startRows[i + 1] : QStringList{compatibleTitle};
            const int first = p + int(form.valueHead.size());
            int j = first + 1;
            while (j < m_n && !(m_lines[j].isEmpty() && startsOneOf(j + 1, nextRows)))
                ++j;
            if (j >= m_n)
                return missingItem(first, i, forms, compatibleTitle);
            p = j + 1;
        }
        if (!is(p, compatibleTitle))
            return {p, quoted(compatibleTitle)};
        return compatibleMismatch(p);
    }

private:
    bool startsOneOf(int p, const QStringList &rows) const;
    static QString startRowsExpected(const ItemForm &form);
    // Item i + 1 was not found after item i's value began at first: the
    // line where it most likely stood is the first one after an empty line
    // that belongs to a later part of the layout, or that begins like it.
    Mismatch missingItem(int first, int i, const std::array<ItemForm, 6> &forms, const QString &compatibleTitle) const;

    const QStringList &m_lines;
    const int m_n;
};

}  // namespace velmora::readback
