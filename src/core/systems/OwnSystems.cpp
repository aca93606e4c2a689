#include "core/systems/OwnSystems.h"

#include "core/readme/WizardValues.h"
#include "core/text/AtomicFile.h"
#include "core/text/BoundedFile.h"
#include "core/text/FilePath.h"

#include <QDir>

namespace velmora {

namespace {

// Room for the longest list with every name at its longest, in UTF-8, with
// CR LF line ends and a byte-order mark.
constexpr qint64 maxOwnSystemsBytes = maxOwnSystems * (maxOwnSystemLength * 4 + 2) + 3;

bool sameName(const QStringList &names, const QString &name)
{
    return names.contains(name, Qt::CaseInsensitive);
}

}  // namespace

QString ownSystemsPath(const QString &folder)
{
    return fileInFolder(folder, QStringLiteral("systems.txt"));
}

QString ownSystemName(const QString &typed)
{
    const QString name = typed.simplified();
    if (name.size() > maxOwnSystemLength)
        return {};
    for (const QChar c : name)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            return {};
    return name;
}

QStringList parseOwnSystems(const QString &text)
{
    const QStringList builtIn = startingSystems();
    QStringList names;
    for (const QStringView line : QStringView(text).split(u'\n')) {
        const QString name = ownSystemName(line.toString());
        if (name.isEmpty() || sameName(builtIn, name) || sameName(names, name))
            continue;
        names << name;
        if (names.size() == maxOwnSystems)
            break;
    }
    return names;
}

QByteArray ownSystemsBytes(const QStringList &names)
{
    QByteArray bytes;
    for (const QString &name : names)
        bytes += name.toUtf8() + '\n';
    return bytes;
}

QStringList readOwnSystems(const QString &folder)
{
    const QString path = ownSystemsPath(folder);
    if (path.isEmpty())
        return {};
    const BoundedFile file = readBoundedFile(path, maxOwnSystemsBytes, {.decode = true, .lock = std::nullopt});
    return file.outcome == BoundedFile::Outcome::Read ? parseOwnSystems(file.text) : QStringList();
}

bool writeOwnSystems(const QString &folder, const QStringList &names, QString *error)
{
    const QString path = ownSystemsPath(folder);
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (path.isEmpty())
        return fail(cannotWrite(QStringLiteral("systems.txt"), QStringLiteral("there is no config folder")));
    if (!QDir().mkpath(folder))
        return fail(cannotWrite(path, QStringLiteral("the folder %1 cannot be created").arg(QDir::toNativeSeparators(folder))));
    return writeFileAtomically(path, ownSystemsBytes(names), error);
}

}  // namespace velmora
