#include "core/project/ProjectFacts.h"

#include "core/project/ProjectSources.h"
#include "core/readme/ReadmeReading.h"
#include "core/text/BoundedFile.h"
#include "core/text/LineBreaks.h"

#include <QDir>
#include <QDirIterator>

#include <algorithm>
#include <functional>

namespace velmora {

namespace {

// The folders, under the project's, where an AppStream metainfo may lie.
const char *const metainfoFolders[] = {"", "data", "data/metainfo", "share/metainfo"};
// The most metainfo files read from each of them.
constexpr int maxMetainfoFiles = 4;

const char *const licenceFiles[] = {"LICENSE", "LICENSE.md", "LICENSE.txt", "LICENCE",
                                    "COPYING", "COPYING.md", "COPYING.txt"};
const char *const readmeFiles[] = {"README.txt", "README.md", "README", "readme.txt", "Readme.txt", "ReadMe.txt"};

// The file at name under folder, read within the limit; nullopt (and the
// problem said) when it is there but cannot be read, and when it is missing.
std::optional<QByteArray> readProjectFile(const QString &folder, SourceFacts &out)
{
    const BoundedFile file = readBoundedFile(QDir(folder).filePath(out.source()), maxProjectFileBytes);
    switch (file.outcome) {
    case BoundedFile::Outcome::Read:
        return file.bytes;
    case BoundedFile::Outcome::Missing:
        break;
    case BoundedFile::Outcome::NotAFile:
        out.fail(0, QStringLiteral("not a regular file, not read"));
        break;
    case BoundedFile::Outcome::TooLarge:
        out.fail(0, QStringLiteral("larger than 1 MiB, not read"));
        break;
    case BoundedFile::Outcome::Unreadable:
        out.fail(0, QStringLiteral("cannot be read: %1").arg(file.reason));
        break;
    }
    return std::nullopt;
}

void readLicence(const QByteArray &bytes, SourceFacts &out)
{
    const QString text = toCrLf(decodeTextFile(bytes)).trimmed();
    out.add(ProjectField::LicenceId, recogniseLicence(text));
    out.add(ProjectField::LicenceText, text);
}

// The metainfo files of the fixed folders, by name: *.metainfo.xml, and the
// older *.appdata.xml.
QStringList metainfoFiles(const QString &folder)
{
    QStringList found;
    for (const char *under : metainfoFolders) {
        QStringList here;
        QDirIterator files(QDir(folder).filePath(QLatin1String(under)),
                           {QStringLiteral("*.metainfo.xml"), QStringLiteral("*.appdata.xml")},
                           QDir::Files | QDir::Hidden);
        while (files.hasNext() && here.size() < maxMetainfoFiles) {
            files.next();
            here.append(*under ? QLatin1String(under) + u'/' + files.fileName() : files.fileName());
        }
        here.sort();
        found += here;
    }
    return found;
}

}  // namespace

void SourceFacts::add(ProjectField field, const QString &value)
{
    if (const QString trimmed = value.trimmed(); !trimmed.isEmpty())
        m_facts.append({field, trimmed, m_source});
}

void SourceFacts::fail(int line, const QString &words)
{
    if (failed())
        return;
    m_problem = line > 0 ? QStringLiteral("%1: line %2: %3").arg(m_source).arg(line).arg(words)
                         : QStringLiteral("%1: %2").arg(m_source, words);
}

QList<ProjectFact> ProjectFacts::factsFor(ProjectField field) const
{
    QList<ProjectFact> found;
    std::copy_if(facts.begin(), facts.end(), std::back_inserter(found),
                 [field](const ProjectFact &fact) { return fact.field == field; });
    return found;
}

ProjectFacts readProjectFacts(const QString &folder)
{
    QList<SourceFacts> sources;
    sources.append(SourceFacts(QStringLiteral("git")));
    readGitFacts(folder, sources.last());

    const auto readFile = [&](const QString &name, const std::function<void(const QByteArray &, SourceFacts &)> &read) {
        SourceFacts source(name);
        if (const std::optional<QByteArray> bytes = readProjectFile(folder, source))
            read(*bytes, source);
        sources.append(source);
    };
    const auto asText = [](void (*read)(const QString &, SourceFacts &)) {
        return [read](const QByteArray &bytes, SourceFacts &out) { read(decodeTextFile(bytes), out); };
    };
    readFile(QStringLiteral("CMakeLists.txt"), asText(readCMakeLists));
    readFile(QStringLiteral("meson.build"), asText(readMesonBuild));
    readFile(QStringLiteral("Cargo.toml"), readCargoToml);
    readFile(QStringLiteral("pyproject.toml"), readPyprojectToml);
    readFile(QStringLiteral("package.json"), readPackageJson);
    readFile(QStringLiteral("debian/changelog"), asText(readDebianChangelog));
    for (const QString &name : metainfoFiles(folder))
        readFile(name, readMetainfo);
    for (const char *name : licenceFiles)
        readFile(QLatin1String(name), readLicence);

    ProjectFacts result;
    for (const SourceFacts &source : std::as_const(sources)) {
        result.facts += source.facts();
        if (source.failed())
            result.problems.append(source.problem());
    }
    std::stable_sort(result.facts.begin(), result.facts.end(),
                     [](const ProjectFact &a, const ProjectFact &b) { return a.field < b.field; });

    for (const char *name : readmeFiles) {
        const QString path = QDir(folder).filePath(QLatin1String(name));
        if (recogniseReadmeFile(path).recognised) {
            result.readmePath = path;
            break;
        }
    }
    return result;
}

}  // namespace velmora
