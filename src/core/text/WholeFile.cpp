#include "core/text/WholeFile.h"

#include "core/text/BoundedFile.h"

namespace velmora {

bool fitsTheViewer(const TextShape &shape)
{
    return shape.lines <= maxViewerFileLines && shape.longestLine <= maxViewerLineChars;
}

QString readWholeFile(const QString &path)
{
    BoundedFile file = readBoundedFile(path, maxViewerFileBytes, {.decode = true, .lock = std::nullopt});
    if (file.outcome != BoundedFile::Outcome::Read || !fitsTheViewer(shapeOfText(file.text)))
        return QString();
    return std::move(file.text);
}

}  // namespace velmora
