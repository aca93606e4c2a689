#pragma once

#include "core/readme/ReadmeRecord.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace velmora {

// The systems of the general-info screen's OS list at start, in order; the
// user's own (core/systems/OwnSystems) follow them.
QStringList startingSystems();

// A box that the presets fill: its text, and what the last fill put there
// (nothing before the first fill). Its text counts as typed unless it is
// still exactly what the last fill put there, or, before any fill, empty.
struct PresetBoxValue {
    QString text;
    std::optional<QString> filled;

    bool countsAsTyped() const { return filled ? text != *filled : !text.isEmpty(); }

    friend bool operator==(const PresetBoxValue &, const PresetBoxValue &) = default;
};

// Everything the user has put into the three wizard screens, and the record
// that the screens have copied so far: what a draft keeps, and what the
// screens take back as if it had been typed.
struct WizardValues {
    // The general-info screen.
    QString name;
    QString version;
    PresetBoxValue company;
    PresetBoxValue webSite;
    PresetBoxValue language;
    PresetBoxValue filesNeeded;
    QStringList otherSystems = startingSystems();  // the OS list, in order
    QStringList compatibleSystems;                 // the compatible list, in order
    QString type;                                  // the picked type; empty: none
    // The program-info screen.
    QString description;
    QString instructions;
    QString features;
    QString additions;
    QString newFeatures;
    QString licence;
    QString licenceText;
    // The author screen.
    PresetBoxValue authorName;
    PresetBoxValue authorEMail;

    ReadmeRecord record;

    friend bool operator==(const WizardValues &, const WizardValues &) = default;
};

// True when the values hold anything the user did: a box that counts as
// typed, a system moved, a type picked, or a field of the record that is not
// simply what the presets put into its box.
bool holdsTypedText(const WizardValues &values);

// True when now holds something the user did since then (the values just
// after a readme was opened or written; none: since the start): a box whose
// text changed and counts as typed, a system moved, another type picked.
// A box that the presets filled anew is no typing.
bool typedSince(const std::optional<WizardValues> &then, const WizardValues &now);

}  // namespace velmora
