#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>

namespace velmora::layout {

// The fixed texts of the readme layout, shared by the writers of both
// layouts and by the reader that recognises them.

inline const QString rule = QStringLiteral("------------------------------");  // 30 hyphens

inline const QString general = QStringLiteral("GENERAL");
inline const QString agreement = QStringLiteral("END USER AGREEMENT");
inline const QString freeware = QStringLiteral("FREEWARE DEFINITION");
inline const QString program = QStringLiteral("PROGRAM");
inline const QString author = QStringLiteral("AUTHOR");

// Items 1 to 6 of PROGRAM, in order: the label row of a filled item, the row
// of an empty one, and the item's title in the Markdown layout.
struct Item {
    QString label;
    QString noneGiven;
    QString markdownTitle;
};
inline const std::array<Item, 6> items = {{
    {QStringLiteral("1). Files needed:"), QStringLiteral("1). Files needed - (none given)"),
     QStringLiteral("1. Files needed")},
    {QStringLiteral("2). Description:"), QStringLiteral("2). Description - (none given)"),
     QStringLiteral("2. Description")},
    {QStringLiteral("3). Instructions:"), QStringLiteral("3). Instructions - (none given)"),
     QStringLiteral("3. Instructions")},
    {QStringLiteral("4). New Additions:"), QStringLiteral("4). New Additions - (none given)"),
     QStringLiteral("4. New Additions")},
    {QStringLiteral("5). Features:"), QStringLiteral("5). Features - (none given)"),
     QStringLiteral("5. Features")},
    {QStringLiteral("6). Additions:"), QStringLiteral("6). Additions - (none given)"),
     QStringLiteral("6. Additions")},
}};

// The first row of the agreement when a licence is given: "Licence: MIT".
inline const QString licenceLabel = QStringLiteral("Licence: ");

inline const QString compatibleTitle = QStringLiteral("7). Compatible OS's:");
inline const QString compatibleMarkdownTitle = QStringLiteral("7. Compatible OS's");
inline const QString compatibleIndent = QStringLiteral("     ");  // five spaces
inline const QString eMailIndent = QStringLiteral("  ");
// Before each further line of a value of several lines among the general facts.
inline const QString continuationIndent = QStringLiteral("  ");

inline const QString reachLine1 = QStringLiteral("If you have any suggestions, constructive criticism and/or ideas");
inline const QString reachLine2 = QStringLiteral("for this program, the author can be reached by:");
inline const QString thanks = QStringLiteral("Thanks for trying my program :)");

// The entries of the general-info screen's type list, in its order.
inline const QStringList programTypes = {QStringLiteral("Demo"), QStringLiteral("Freeware"),
                                         QStringLiteral("ShareWare"), QStringLiteral("UpDate")};

// What the single-line boxes hold at most, in UTF-16 code units as the
// boxes count them.
constexpr int maxProgramNameChars = 40;
constexpr int maxVersionChars = 20;
constexpr int maxCompanyChars = 40;
constexpr int maxAuthorNameChars = 30;
constexpr int maxAuthorEMailChars = 30;

// What the version box takes, and so what a readme's version row may hold:
// at most maxVersionChars ASCII digits, letters, '.', '-' and '+'
// ("1.0.0-rc1", "v2.1", "1.2+build.5"). Every version of the older,
// narrower rule (seven digits and full stops) is one.
inline bool isVersion(QStringView text)
{
    if (text.size() > maxVersionChars)
        return false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool fits = (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z')
                          || u == u'.' || u == u'-' || u == u'+';
        if (!fits)
            return false;
    }
    return true;
}

}  // namespace velmora::layout
