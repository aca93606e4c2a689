#pragma once

#include "core/project/ProjectFacts.h"

#include <QByteArray>
#include <QString>

#include <utility>

namespace velmora {

// What one source of a project gave: its facts, or why it gave none.
class SourceFacts {
public:
    explicit SourceFacts(QString source) : m_source(std::move(source)) {}

    const QString &source() const { return m_source; }
    // A value, without the spaces around it; an empty one is no fact.
    void add(ProjectField field, const QString &value);
    // The source is broken at line (0: no line to name); words as "expected
    // a value". Only the first problem is kept.
    void fail(int line, const QString &words);
    bool failed() const { return !m_problem.isEmpty(); }
    // The facts, none once the source has failed.
    QList<ProjectFact> facts() const { return failed() ? QList<ProjectFact>{} : m_facts; }
    // "Cargo.toml: line 3: expected a value"
    const QString &problem() const { return m_problem; }

private:
    QString m_source;
    QList<ProjectFact> m_facts;
    QString m_problem;
};

// Each reads one file's text (or bytes) into out.
void readCMakeLists(const QString &text, SourceFacts &out);
void readMesonBuild(const QString &text, SourceFacts &out);
void readCargoToml(const QByteArray &bytes, SourceFacts &out);
void readPyprojectToml(const QByteArray &bytes, SourceFacts &out);
void readPackageJson(const QByteArray &bytes, SourceFacts &out);
void readDebianChangelog(const QString &text, SourceFacts &out);
void readMetainfo(const QByteArray &bytes, SourceFacts &out);

// A licence's text: its SPDX id where the text is one of the common
// licences, recognised by phrases only that licence has; else empty.
QString recogniseLicence(const QString &text);

// The repository at folder itself (never a folder above it): user.name and
// user.email (the repository's settings, then the user's), the highest
// version, compared number by number, among the tags whose names read as one
// (v1.4.2 gives 1.4.2), and the origin remote as a web address. Nothing
// outside .git is looked at.
void readGitFacts(const QString &folder, SourceFacts &out);

// A remote's address as a web address: git@host:a/b.git and
// ssh://git@host/a/b.git give https://host/a/b, without any user name or
// password; a local path gives nothing.
QString webAddressOfRemote(const QString &url);

// "Name <mail> (url)", the form of npm and Cargo, into its name and e-mail.
void addPersonTo(SourceFacts &out, const QString &person);

}  // namespace velmora
