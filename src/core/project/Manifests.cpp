#include "core/project/ProjectSources.h"
#include "core/text/LineBreaks.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <toml++/toml.h>

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

namespace {

// ---- TOML -------------------------------------------------------------

std::optional<toml::table> parseToml(const QByteArray &bytes, SourceFacts &out)
{
    try {
        return toml::parse(std::string_view(bytes.constData(), size_t(bytes.size())));
    } catch (const toml::parse_error &error) {
        QString words = QString::fromUtf8(error.description().data(), qsizetype(error.description().size()));
        // toml++ says what it was parsing first: "Error while parsing
        // key-value pair: expected ...".
        if (const qsizetype colon = words.indexOf(QStringLiteral(": ")); words.startsWith(u"Error while") && colon > 0)
            words = words.sliced(colon + 2);
        words.replace(QStringLiteral("saw '\\n'"), QStringLiteral("saw the end of the line"));
        out.fail(int(error.source().begin.line), words);
        return std::nullopt;
    }
}

QString tomlString(toml::node_view<const toml::node> node)
{
    const std::optional<std::string_view> value = node.value<std::string_view>();
    return value ? QString::fromUtf8(value->data(), qsizetype(value->size())) : QString();
}

// The first value of keys that the table has, keys compared without case,
// '-', '_', '.' or spaces (pyproject's urls: "Homepage", "home-page").
QString tomlUrl(const toml::table *urls, std::initializer_list<const char *> keys)
{
    if (!urls)
        return {};
    for (const char *key : keys) {
        for (const auto &[name, value] : *urls) {
            QString plain = QString::fromUtf8(name.str().data(), qsizetype(name.str().size())).toLower();
            plain.remove(QRegularExpression(QStringLiteral("[-_. ]")));
            if (plain == QLatin1String(key) && value.is_string())
                return tomlString(toml::node_view<const toml::node>(value));
        }
    }
    return {};
}

// ---- debian/changelog -------------------------------------------------

// A Debian version without its epoch, its Debian revision and a repacking
// mark: 1:1.4.2+ds-1 gives 1.4.2.
QString upstreamVersion(QString version)
{
    static const QRegularExpression epoch(QStringLiteral("^[0-9]+:"));
    static const QRegularExpression repacked(QStringLiteral("[+~](ds|dfsg|repack)[0-9.]*$"));
    version.remove(epoch);
    if (const qsizetype dash = version.lastIndexOf(u'-'); dash > 0)
        version.truncate(dash);
    version.remove(repacked);
    return version;
}

// ---- AppStream --------------------------------------------------------

bool inAnotherLanguage(const QXmlStreamReader &xml)
{
    return xml.attributes().hasAttribute(QStringLiteral("xml:lang"));
}

// The text of the element the reader is at, with the markup of its inline
// children (<em>, <code>) dropped and its spaces made single.
QString elementText(QXmlStreamReader &xml)
{
    return xml.readElementText(QXmlStreamReader::IncludeChildElements).simplified();
}

// <description>: paragraphs apart by an empty line, each item of a list on
// its own line after "- ". Paragraphs in another language are left out.
QString descriptionText(QXmlStreamReader &xml)
{
    QStringList blocks;
    while (xml.readNextStartElement()) {
        if (inAnotherLanguage(xml)) {
            xml.skipCurrentElement();
        } else if (xml.name() == u"p") {
            blocks.append(elementText(xml));
        } else if (xml.name() == u"ul" || xml.name() == u"ol") {
            QStringList items;
            while (xml.readNextStartElement()) {
                if (xml.name() == u"li" && !inAnotherLanguage(xml))
                    items.append(QStringLiteral("- ") + elementText(xml));
                else
                    xml.skipCurrentElement();
            }
            blocks.append(items.join(crLf));
        } else {
            xml.skipCurrentElement();
        }
    }
    blocks.removeAll(QString());
    return blocks.join(crLf + crLf);
}

QString firstLetterSmall(QString words)
{
    if (words.endsWith(u'.'))
        words.chop(1);
    if (words.size() > 1 && words[0].isUpper() && words[1].isLower())
        words[0] = words[0].toLower();
    return words;
}

}  // namespace

void addPersonTo(SourceFacts &out, const QString &person)
{
    static const QRegularExpression form(QStringLiteral(R"(^\s*([^<(]*?)\s*(?:<([^<>]*)>)?\s*(?:\(([^()]*)\))?\s*$)"));
    const QRegularExpressionMatch match = form.match(person);
    if (!match.hasMatch()) {
        out.add(ProjectField::Author, person);
        return;
    }
    out.add(ProjectField::Author, match.captured(1));
    out.add(ProjectField::EMail, match.captured(2));
}

void readCargoToml(const QByteArray &bytes, SourceFacts &out)
{
    const std::optional<toml::table> document = parseToml(bytes, out);
    if (!document)
        return;
    const auto package = (*document)["package"];
    out.add(ProjectField::Name, tomlString(package["name"]));
    out.add(ProjectField::Version, tomlString(package["version"]));  // not { workspace = true }
    out.add(ProjectField::Description, toCrLf(tomlString(package["description"])));
    const QString homepage = tomlString(package["homepage"]);
    out.add(ProjectField::WebSite, homepage.isEmpty() ? tomlString(package["repository"]) : homepage);
    out.add(ProjectField::LicenceId, tomlString(package["license"]));
    if (const toml::array *authors = package["authors"].as_array(); authors && !authors->empty())
        addPersonTo(out, tomlString(toml::node_view<const toml::node>((*authors)[0])));
}

void readPyprojectToml(const QByteArray &bytes, SourceFacts &out)
{
    const std::optional<toml::table> document = parseToml(bytes, out);
    if (!document)
        return;
    const auto project = (*document)["project"];
    out.add(ProjectField::Name, tomlString(project["name"]));
    out.add(ProjectField::Version, tomlString(project["version"]));  // absent when it is dynamic
    out.add(ProjectField::Description, toCrLf(tomlString(project["description"])));
    const toml::table *urls = project["urls"].as_table();
    const QString homepage = tomlUrl(urls, {"homepage", "home"});
    out.add(ProjectField::WebSite, homepage.isEmpty() ? tomlUrl(urls, {"repository", "source"}) : homepage);
    // license = "MIT" (an SPDX expression) or { text = "..." }; a
    // { file = "..." } is read as the licence file it names is.
    if (project["license"].is_string()) {
        out.add(ProjectField::LicenceId, tomlString(project["license"]));
    } else if (const QString text = tomlString(project["license"]["text"]); !text.isEmpty()) {
        const bool oneLine = !text.trimmed().contains(u'\n');
        out.add(oneLine ? ProjectField::LicenceId : ProjectField::LicenceText, toCrLf(text));
    }
    if (const toml::array *authors = project["authors"].as_array(); authors && !authors->empty()) {
        const auto author = toml::node_view<const toml::node>((*authors)[0]);
        out.add(ProjectField::Author, tomlString(author["name"]));
        out.add(ProjectField::EMail, tomlString(author["email"]));
    }
}

void readPackageJson(const QByteArray &bytes, SourceFacts &out)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        const int line = 1 + int(bytes.left(qBound(0, error.offset, int(bytes.size()))).count('\n'));
        out.fail(line, firstLetterSmall(error.errorString()));
        return;
    }
    if (!document.isObject()) {
        out.fail(1, QStringLiteral("expected an object"));
        return;
    }
    const QJsonObject package = document.object();
    out.add(ProjectField::Name, package.value(u"name").toString());
    out.add(ProjectField::Version, package.value(u"version").toString());
    out.add(ProjectField::Description, toCrLf(package.value(u"description").toString()));
    out.add(ProjectField::WebSite, package.value(u"homepage").toString());
    const QJsonValue author = package.value(u"author");
    if (author.isString()) {
        addPersonTo(out, author.toString());
    } else {
        out.add(ProjectField::Author, author[u"name"].toString());
        out.add(ProjectField::EMail, author[u"email"].toString());
    }
    const QJsonValue license = package.value(u"license");
    const QString licence = license.isObject() ? license[u"type"].toString() : license.toString();
    // "SEE LICENSE IN <file>" and "UNLICENSED" (all rights kept) name no licence.
    if (!licence.startsWith(u"SEE LICENSE IN", Qt::CaseInsensitive) && licence != u"UNLICENSED")
        out.add(ProjectField::LicenceId, licence);
}

void readDebianChangelog(const QString &text, SourceFacts &out)
{
    static const QRegularExpression heading(QStringLiteral(R"(^([a-z0-9][a-z0-9+.-]*) \(([^()\s]+)\) [^;]*;.*$)"));
    static const QRegularExpression trailer(QStringLiteral(R"(^ -- (.*?) ?<([^<>]+)>  \S)"));
    const QStringList lines = text.split(u'\n');
    qsizetype at = 0;
    while (at < lines.size() && lines[at].trimmed().isEmpty())
        ++at;
    if (at == lines.size())
        return;
    const QRegularExpressionMatch first = heading.match(lines[at].trimmed());
    if (!first.hasMatch()) {
        out.fail(int(at) + 1, QStringLiteral("expected \"package (version) distribution; urgency=...\""));
        return;
    }
    out.add(ProjectField::Name, first.captured(1));
    out.add(ProjectField::Version, upstreamVersion(first.captured(2)));
    // The entry's closing line, before the next entry's heading.
    for (++at; at < lines.size(); ++at) {
        QString line = lines[at];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (const QRegularExpressionMatch match = trailer.match(line); match.hasMatch()) {
            out.add(ProjectField::Author, match.captured(1));
            out.add(ProjectField::EMail, match.captured(2));
            return;
        }
        if (!line.isEmpty() && !line[0].isSpace())
            break;
    }
    out.fail(int(at) + 1, QStringLiteral("expected the entry's closing line \" -- name <e-mail>  date\""));
}

void readMetainfo(const QByteArray &bytes, SourceFacts &out)
{
    QXmlStreamReader xml(bytes);
    if (xml.readNextStartElement()) {
        if (xml.name() != u"component") {
            out.fail(int(xml.lineNumber()), QStringLiteral("expected <component>"));
            return;
        }
        while (xml.readNextStartElement()) {
            const QStringView name = xml.name();
            if (inAnotherLanguage(xml)) {
                xml.skipCurrentElement();
            } else if (name == u"name") {
                out.add(ProjectField::Name, elementText(xml));
            } else if (name == u"summary") {
                out.add(ProjectField::Description, elementText(xml));
            } else if (name == u"description") {
                out.add(ProjectField::Description, descriptionText(xml));
            } else if (name == u"url" && xml.attributes().value(QStringLiteral("type")) == u"homepage") {
                out.add(ProjectField::WebSite, elementText(xml));
            } else if (name == u"developer_name") {
                out.add(ProjectField::Author, elementText(xml));
            } else if (name == u"developer") {
                while (xml.readNextStartElement()) {
                    if (xml.name() == u"name" && !inAnotherLanguage(xml))
                        out.add(ProjectField::Author, elementText(xml));
                    else
                        xml.skipCurrentElement();
                }
            } else if (name == u"project_license") {
                out.add(ProjectField::LicenceId, elementText(xml));
            } else {
                xml.skipCurrentElement();
            }
        }
    }
    // The rest of the document is read too, so a file cut short is broken.
    while (!xml.atEnd() && !xml.hasError())
        xml.readNext();
    if (xml.hasError())
        out.fail(int(xml.lineNumber()), firstLetterSmall(xml.errorString()));
}

}  // namespace velmora
