#pragma once

#include <QString>
#include <QStringView>

namespace velmora::markdown {

// How a single-line value is written into Markdown, and read back, so that
// renderers show it exactly as typed.

// Where the value stands: inside a line after other text, as a heading's
// text (where '#' and parentheses mean something to the readme layout), at
// the start of a block (a list entry, a paragraph of its own), or as the
// text of a link (where code hosts make no further links).
enum class Place { Inline, Title, BlockStart, LinkText };

// The value with every character that Markdown would take as syntax
// escaped, and spaces or tabs at either end written as character
// references (renderers drop them otherwise).
QString escapeText(QStringView value, Place place);

// The text a renderer shows for escaped source: backslash escapes and
// character references resolved, everything else as it stands.
QString unescapeText(QStringView source);

// A web site that is an address of the web (http://, https:// or www.),
// written as a link; the link's target.
bool isWebAddress(QStringView value);
QString webAddressTarget(const QString &value);
// An e-mail address (one '@' between two non-empty parts, nothing a mail
// address cannot hold), written as a mailto link.
bool isEMailAddress(QStringView value);

// "[text](<target>)", the text escaped.
QString link(QStringView text, QStringView target);
// The text of a link written by link(), or of a hand-written "[text](target)"
// or "<target>"; false when source is no link of these shapes.
bool readLink(QStringView source, QString &text);

}  // namespace velmora::markdown
