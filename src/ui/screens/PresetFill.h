#pragma once

#include "core/readme/WizardValues.h"

#include <QString>

#include <optional>

class QLineEdit;

namespace velmora {

namespace look {
class MultiLineBox;
}

// What the last preset fill put into one box. A fill changes the box only
// while it still holds exactly that (before the first fill: while it is
// empty), so that new presets appear at once but nothing the user typed is
// ever replaced.
class PresetFill {
public:
    void fill(QLineEdit *box, const QString &value);
    void fill(look::MultiLineBox *box, const QString &value);

    PresetBoxValue valueOf(const QString &boxText) const { return {boxText, m_last}; }
    void remember(const std::optional<QString> &last) { m_last = last; }

private:
    bool mayFill(const QString &boxText) const { return !valueOf(boxText).countsAsTyped(); }

    std::optional<QString> m_last;
};

}  // namespace velmora
