#pragma once

#include <QString>

namespace velmora {

// The facts entered so far; one instance lives for the whole run and no
// field is ever reset. Texts are held exactly as typed, line breaks as CR LF.
struct ReadmeRecord {
    QString programName;
    QString version;
    QString company;
    QString webSite;
    QString language;
    QString filesNeeded;
    QString programType;
    QString description;
    QString instructions;
    QString newAdditions;
    QString features;
    QString additions;
    QString authorName;
    QString authorEMail;
    // The licence: an SPDX id or a licence's name, and its text (or where
    // the text stands, "See the file LICENSE"); both empty: no licence.
    QString licence;
    QString licenceText;

    friend bool operator==(const ReadmeRecord &, const ReadmeRecord &) = default;
};

}  // namespace velmora
