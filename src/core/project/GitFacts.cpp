#include "core/project/ProjectSources.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QRegularExpression>
#include <QUrl>

#include <git2.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

namespace velmora {

namespace {

// libgit2, loaded on the first project folder read: the program does not
// load it (and the libraries it needs) at every start, before its first
// window. Started once for the whole run and shut down at its end, so that
// nothing it holds is left for the leak checker.
class Libgit2 {
public:
    static const Libgit2 &get()
    {
        static const Libgit2 library;
        return library;
    }

    bool loaded() const { return m_loaded; }
    QString problem() const { return m_library.errorString(); }

    decltype(&git_repository_open_ext) repositoryOpen = nullptr;
    decltype(&git_repository_free) repositoryFree = nullptr;
    decltype(&git_repository_config_snapshot) configSnapshot = nullptr;
    decltype(&git_config_free) configFree = nullptr;
    decltype(&git_config_get_string) configGetString = nullptr;
    decltype(&git_reference_foreach_glob) referenceForeachGlob = nullptr;
    decltype(&git_error_last) errorLast = nullptr;
    decltype(&git_error_clear) errorClear = nullptr;

private:
    Libgit2() : m_library(QStringLiteral("git2"), QStringLiteral(LIBGIT2_SOVERSION))
    {
        auto resolve = [this](auto &function, const char *name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(m_library.resolve(name));
            return function != nullptr;
        };
        m_loaded = m_library.load() && resolve(m_init, "git_libgit2_init") && resolve(m_shutdown, "git_libgit2_shutdown")
                   && resolve(repositoryOpen, "git_repository_open_ext") && resolve(repositoryFree, "git_repository_free")
                   && resolve(configSnapshot, "git_repository_config_snapshot")
                   && resolve(configFree, "git_config_free") && resolve(configGetString, "git_config_get_string")
                   && resolve(referenceForeachGlob, "git_reference_foreach_glob")
                   && resolve(errorLast, "git_error_last") && resolve(errorClear, "git_error_clear");
        if (m_loaded)
            m_init();
    }
    ~Libgit2()
    {
        if (m_loaded)
            m_shutdown();
    }

    QLibrary m_library;
    bool m_loaded = false;
    decltype(&git_libgit2_init) m_init = nullptr;
    decltype(&git_libgit2_shutdown) m_shutdown = nullptr;
};

struct RepositoryFree {
    void operator()(git_repository *repository) const { Libgit2::get().repositoryFree(repository); }
};
struct ConfigFree {
    void operator()(git_config *config) const { Libgit2::get().configFree(config); }
};
using Repository = std::unique_ptr<git_repository, RepositoryFree>;
using Config = std::unique_ptr<git_config, ConfigFree>;

QString lastError()
{
    const git_error *error = Libgit2::get().errorLast();
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

    const Libgit2 &git = Libgit2::get();
    if (!git.loaded()) {
        out.fail(0, QStringLiteral("libgit2 cannot be loaded: %1").arg(git.problem()));
        return;
    }
    git_repository *opened = nullptr;
    const QByteArray path = QFile::encodeName(folder);
    const int status = git.repositoryOpen(&opened, path.constData(), GIT_REPOSITORY_OPEN_NO_SEARCH, nullptr);
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
    if (git.configSnapshot(&snapshot, repository.get()) == 0) {
        const Config config(snapshot);
        // The remote as `git remote add` sets it; libgit2 1.5's own lookup
        // of a remote leaks a regular expression's match data.
        for (const auto &[key, field] : {std::pair{"user.name", ProjectField::Author},
                                         std::pair{"user.email", ProjectField::EMail},
                                         std::pair{"remote.origin.url", ProjectField::WebSite}}) {
            const char *value = nullptr;
            if (git.configGetString(&value, config.get(), key) == 0)
                out.add(field, field == ProjectField::WebSite ? webAddressOfRemote(QString::fromUtf8(value))
                                                              : QString::fromUtf8(value));
        }
    }

    // Only the tags' names: no object is read.
    TagSearch tags;
    git.referenceForeachGlob(repository.get(), "refs/tags/*", lookAtTag, &tags);
    if (tags.newest)
        out.add(ProjectField::Version, tags.newest->text);
    git.errorClear();
}

}  // namespace velmora
