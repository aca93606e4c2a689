#include "ui/screens/RenderedMarkdown.h"

#include <cmark-gfm-core-extensions.h>
#include <cmark-gfm.h>

#include <memory>

namespace velmora {

QString renderedMarkdown(const QByteArray &markdown)
{
    cmark_gfm_core_extensions_ensure_registered();
    // CMARK_OPT_DEFAULT keeps raw HTML and unsafe links out.
    const int options = CMARK_OPT_DEFAULT;
    std::unique_ptr<cmark_parser, decltype(&cmark_parser_free)> parser(cmark_parser_new(options), cmark_parser_free);
    for (const char *name : {"table", "strikethrough", "autolink", "tagfilter"}) {
        if (cmark_syntax_extension *extension = cmark_find_syntax_extension(name))
            cmark_parser_attach_syntax_extension(parser.get(), extension);
    }
    cmark_parser_feed(parser.get(), markdown.constData(), size_t(markdown.size()));
    std::unique_ptr<cmark_node, decltype(&cmark_node_free)> document(cmark_parser_finish(parser.get()), cmark_node_free);
    char *html = cmark_render_html(document.get(), options, cmark_parser_get_syntax_extensions(parser.get()));
    const QString result = QString::fromUtf8(html);
    cmark_get_default_mem_allocator()->free(html);
    return result;
}

}  // namespace velmora
