#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace velmora {

// What a project's own files already say about it: its git repository and
// the files that build, package and describe it. Nothing here changes a
// file or runs a program.

enum class ProjectField {
    Name,
    Version,
    Description,
    WebSite,
    Author,
    EMail,
    LicenceId,    // an SPDX id, or the licence's name as the project gives it
    LicenceText,  // the text of the licence; its source is the file that holds it
};

// One fact, and where it stands: a file of the folder ("Cargo.toml",
// "debian/changelog") or "git". Multi-line values have CR LF line breaks.
struct ProjectFact {
    ProjectField field = ProjectField::Name;
    QString value;
    QString source;

    friend bool operator==(const ProjectFact &, const ProjectFact &) = default;
};

struct ProjectFacts {
    // By field, in the order of ProjectField; for one field, every source
    // that gave a value, in the order the sources are read: git,
    // CMakeLists.txt, meson.build, Cargo.toml, pyproject.toml, package.json,
    // debian/changelog, the AppStream metainfo, the licence files. Two
    // sources that agree both stand.
    QList<ProjectFact> facts;
    // One line for each source that could not be read or is broken, such as
    // "Cargo.toml: line 3: expected a value". A broken file gives no facts.
    QStringList problems;
    // A readme in the folder that Velmora wrote (in either layout), if any.
    QString readmePath;

    QList<ProjectFact> factsFor(ProjectField field) const;
};

// The most bytes read of any one file of the folder.
constexpr qint64 maxProjectFileBytes = qint64(1) * 1024 * 1024;

// Reads the facts of the project in folder. Only files of fixed names are
// read, each within maxProjectFileBytes, and the folder is listed only in a
// few fixed places for the metainfo, so a folder of any size answers at once.
ProjectFacts readProjectFacts(const QString &folder);

}  // namespace velmora
