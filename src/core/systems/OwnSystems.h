#pragma once

#include <QString>
#include <QStringList>

namespace velmora {

// The systems a user added to the OS list themselves, kept in systems.txt in
// the user's config folder: UTF-8, one name a line. presets.txt is not
// touched by them.

// The most systems kept, and the longest name taken.
inline constexpr int maxOwnSystems = 50;
inline constexpr int maxOwnSystemLength = 40;

// systems.txt in folder; empty when folder is.
QString ownSystemsPath(const QString &folder);

// A name as the OS list takes it: the typed text trimmed, with every run of
// blanks one space. Empty when nothing is left, when it is longer than
// maxOwnSystemLength or holds a control character.
QString ownSystemName(const QString &typed);

// The names of a systems.txt's text, in order: each line that gives a name
// (ownSystemName), none twice (case ignored) and none of the starting
// systems, up to maxOwnSystems. Anything else in the file is passed over.
QStringList parseOwnSystems(const QString &text);
// The file's bytes for names.
QByteArray ownSystemsBytes(const QStringList &names);

// The user's own systems: none when the file is missing, not a regular file,
// larger than any list of maxOwnSystems makes, or unreadable.
QStringList readOwnSystems(const QString &folder);
// Writes the list, creating the folder when needed. False, with the reason,
// when it cannot.
bool writeOwnSystems(const QString &folder, const QStringList &names, QString *error);

}  // namespace velmora
