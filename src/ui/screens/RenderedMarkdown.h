#pragma once

#include <QByteArray>
#include <QString>

namespace velmora {

// Markdown as code hosts render it (CommonMark with GitHub's tables,
// strike-through, bare links and filtered tags), by the cmark-gfm library,
// as HTML. Raw HTML and links to scripts are left out, as code hosts leave
// them out.
QString renderedMarkdown(const QByteArray &markdown);

}  // namespace velmora
