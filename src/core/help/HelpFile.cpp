#include "core/help/HelpFile.h"

#include "core/text/BoundedFile.h"

#include <QFileInfo>

namespace velmora {

std::optional<QByteArray> readHelpResource(const QString &folder, const QString &path)
{
    const QString inside = QFileInfo(folder).canonicalFilePath();
    // Every link followed: where the name really leads.
    const QString real = QFileInfo(path).canonicalFilePath();
    if (inside.isEmpty() || real.isEmpty())
        return std::nullopt;
    const QString prefix = inside.endsWith(QLatin1Char('/')) ? inside : inside + QLatin1Char('/');
    if (!real.startsWith(prefix))
        return std::nullopt;
    const BoundedFile file = readBoundedFile(real, maxHelpResourceBytes);
    if (file.outcome != BoundedFile::Outcome::Read)
        return std::nullopt;
    return file.bytes;
}

}  // namespace velmora
