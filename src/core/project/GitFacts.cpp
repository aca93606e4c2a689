#include "core/project/ProjectSources.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <git2.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

namespace velmora {

namespace {

// libgit2 started once for the whole run and shut down at its end, so that
// nothing it holds is left for the leak checker.
void startLibgit2()
{
    static const struct Library {
        Library() { git_libgit2_init(); }
        ~Library() { git_libgit2_shutdown(); }
    } library;
}

template<typename T, void (*free)(T *)>
struct Freed {
    void operator()(T *object) const { free(object); }
};
using Repository = std::unique_ptr<git_repository, Freed<git_repository, git_repository_free>>;
using Config = std::unique_ptr<git_config, Freed<git_config, git_config_free>>;

QString lastError()
{
    const git_error *error = git_error_last();
    return error && error->message ? QString::fromUtf8(error->message) : QStringLiteral("unknown error");
}

// The most tags looked at: a repository with more still answers at once.
constexpr int maxTags = 10000;

// A version of one to four numbers, as a tag gives it: v1.4.2, 1.4.2.
struct TagVersion {
    QList<quint32> numbers;
    QString text;
};

bool newer(const TagVersion &a, const TagVersion &b)
{
    for (qsizetype i = 0; i < std::max(a.numbers.size(), b.numbers.size()); ++i) {
        const quint32 x = a.numbers.value(i), y = b.numbers.value(i);
        if (x != y)
            return x > y;
    }
    return a.numbers.size() > b.numbers.size();  // 1.4.0 after 1.4
}

struct TagSearch {
    int seen = 0;
    std::optional<TagVersion> newest;
};

int lookAtTag(const char *reference, void *payload)
{
    static const QRegularExpression version(QStringLiteral(R"(^refs/tags/[vV]?([0-9]{1,9}(\.[0-9]{1,9}){0,3})$)"));
    auto &search = *static_cast<TagSearch *>(payload);
    if (++search.seen > maxTags)
        return 1;  // stops the walk
    const QRegularExpressionMatch match = version.match(QString::fromUtf8(reference));
    if (!match.hasMatch())
        return 0;
    TagVersion found{{}, match.captured(1)};
    for (const QStringView number : QStringView(found.text).split(u'.'))
        found.numbers.append(number.toUInt());
    if (!search.newest || newer(found, *search.newest))
        search.newest = found;
    return 0;
}

}  // namespace

QString webAddressOfRemote(const QString &url)
{
    static const QRegularExpression scpLike(QStringLiteral(R"(^(?:[^@/:]+@)?([^@/:]+\.[^@/:]+):(?!//)(.+)$)"));
    QString host;
    QString path;
    QString scheme = QStringLiteral("https");
    if (url.contains(QStringLiteral("://"))) {
        const QUrl address(url);
        const QString given = address.scheme().toLower();
        if (given != u"https" && given != u"http" && given != u"ssh" && given != u"git" && given != u"git+ssh"
            && given != u"ssh+git")
            return {};
        if (given == u"http")
            scheme = given;
        host = address.host();
        if (address.port() > 0 && (given == u"https" || given == u"http"))
            host += u':' + QString::number(address.port());
        path = address.path();
    } else if (const QRegularExpressionMatch match = scpLike.match(url); match.hasMatch()) {
        host = match.captured(1);
        path = match.captured(2);
    }
    while (path.startsWith(u'/'))
        path.remove(0, 1);
    while (path.endsWith(u'/'))
        path.chop(1);
    if (path.endsWith(QStringLiteral(".git")))
        path.chop(4);
    if (host.isEmpty() || path.isEmpty())
        return {};
    return scheme + QStringLiteral("://") + host + u'/' + path;
}

void readGitFacts(const QString &folder, SourceFacts &out)
{
    // libgit2 reads these whole; one beyond the limit is not given to it.
    for (const char *name : {".git/config", ".git/packed-refs"}) {
        const QFileInfo file(QDir(folder).filePath(QLatin1String(name)));
        if (file.isFile() && file.size() > maxProjectFileBytes) {
            out.fail(0, QStringLiteral("%1 is larger than 1 MiB, not read").arg(QLatin1String(name)));
            return;
        }
    }

    startLibgit2();
    git_repository *opened = nullptr;
    const QByteArray path = QFile::encodeName(folder);
    const int status = git_repository_open_ext(&opened, path.constData(), GIT_REPOSITORY_OPEN_NO_SEARCH, nullptr);
    const Repository repository(opened);
    if (status == GIT_ENOTFOUND)
        return;  // not a repository
    if (status < 0) {
        // Files of the folder named as the other sources name them.
        out.fail(0, lastError().replace(QDir(folder).absolutePath() + u'/', QString()));
        return;
    }

    // The repository's own settings, then the user's and the system's.
    git_config *snapshot = nullptr;
    if (git_repository_config_snapshot(&snapshot, repository.get()) == 0) {
        const Config config(snapshot);
        // The remote as `git remote add` sets it; libgit2 1.5's own lookup
        // of a remote leaks a regular expression's match data.
        for (const auto &[key, field] : {std::pair{"user.name", ProjectField::Author},
                                         std::pair{"user.email", ProjectField::EMail},
                                         std::pair{"remote.origin.url", ProjectField::WebSite}}) {
            const char *value = nullptr;
            if (git_config_get_string(&value, config.get(), key) == 0)
                out.add(field, field == ProjectField::WebSite ? webAddressOfRemote(QString::fromUtf8(value))
                                                              : QString::fromUtf8(value));
        }
    }

    // Only the tags' names: no object is read.
    TagSearch tags;
    git_reference_foreach_glob(repository.get(), "refs/tags/*", lookAtTag, &tags);
    if (tags.newest)
        out.add(ProjectField::Version, tags.newest->text);
    git_error_clear();
}

}  // namespace velmora
