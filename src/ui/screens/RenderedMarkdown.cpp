#include "ui/screens/RenderedMarkdown.h"

#include <cmark-gfm-core-extensions.h>
#include <cmark-gfm.h>

#include <QLibrary>

#include <type_traits>

namespace velmora {

namespace {

// cmark-gfm, loaded on the first Markdown preview rather than at every
// start, before the first window.
class CmarkGfm {
public:
    static const CmarkGfm &get()
    {
        static const CmarkGfm library;
        return library;
    }

    bool loaded = false;
    QString problem;
    decltype(&cmark_gfm_core_extensions_ensure_registered) ensureRegistered = nullptr;
    decltype(&cmark_parser_new) parserNew = nullptr;
    decltype(&cmark_parser_free) parserFree = nullptr;
    decltype(&cmark_find_syntax_extension) findExtension = nullptr;
    decltype(&cmark_parser_attach_syntax_extension) attachExtension = nullptr;
    decltype(&cmark_parser_feed) parserFeed = nullptr;
    decltype(&cmark_parser_finish) parserFinish = nullptr;
    decltype(&cmark_parser_get_syntax_extensions) parserExtensions = nullptr;
    decltype(&cmark_render_html) renderHtml = nullptr;
    decltype(&cmark_node_free) nodeFree = nullptr;
    decltype(&cmark_get_default_mem_allocator) allocator = nullptr;

private:
    CmarkGfm()
        : m_core(QStringLiteral("cmark-gfm"), QStringLiteral(CMARK_GFM_VERSION_STRING)),
          m_extensions(QStringLiteral("cmark-gfm-extensions"), QStringLiteral(CMARK_GFM_VERSION_STRING))
    {
        auto resolve = [](QLibrary &library, auto &function, const char *name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(library.resolve(name));
            return function != nullptr;
        };
        loaded = m_core.load() && m_extensions.load()
                 && resolve(m_extensions, ensureRegistered, "cmark_gfm_core_extensions_ensure_registered")
                 && resolve(m_core, parserNew, "cmark_parser_new") && resolve(m_core, parserFree, "cmark_parser_free")
                 && resolve(m_core, findExtension, "cmark_find_syntax_extension")
                 && resolve(m_core, attachExtension, "cmark_parser_attach_syntax_extension")
                 && resolve(m_core, parserFeed, "cmark_parser_feed") && resolve(m_core, parserFinish, "cmark_parser_finish")
                 && resolve(m_core, parserExtensions, "cmark_parser_get_syntax_extensions")
                 && resolve(m_core, renderHtml, "cmark_render_html") && resolve(m_core, nodeFree, "cmark_node_free")
                 && resolve(m_core, allocator, "cmark_get_default_mem_allocator");
        problem = m_core.isLoaded() ? m_extensions.errorString() : m_core.errorString();
        if (loaded)
            ensureRegistered();
    }

    QLibrary m_core;
    QLibrary m_extensions;
};

}  // namespace

QString renderedMarkdown(const QByteArray &markdown)
{
    const CmarkGfm &cmark = CmarkGfm::get();
    if (!cmark.loaded)
        return QStringLiteral("<p>The Markdown cannot be shown: %1</p>").arg(cmark.problem.toHtmlEscaped());
    // CMARK_OPT_DEFAULT keeps raw HTML and unsafe links out.
    const int options = CMARK_OPT_DEFAULT;
    cmark_parser *parser = cmark.parserNew(options);
    for (const char *name : {"table", "strikethrough", "autolink", "tagfilter"}) {
        if (cmark_syntax_extension *extension = cmark.findExtension(name))
            cmark.attachExtension(parser, extension);
    }
    cmark.parserFeed(parser, markdown.constData(), size_t(markdown.size()));
    cmark_node *document = cmark.parserFinish(parser);
    char *html = cmark.renderHtml(document, options, cmark.parserExtensions(parser));
    const QString result = QString::fromUtf8(html);
    cmark.allocator()->free(html);
    cmark.nodeFree(document);
    cmark.parserFree(parser);
    return result;
}

}  // namespace velmora
