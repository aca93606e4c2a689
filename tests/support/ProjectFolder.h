#pragma once

// A project folder's git repository, made with libgit2 as `git init`,
// `git config`, `git commit`, `git tag` and `git remote add` would make it,
// and the MIT licence's text.

#include <QFile>
#include <QString>
#include <QtGlobal>
#include <git2.h>

namespace velmora::test {

inline const QByteArray mit = "MIT License\n\nCopyright (c) 2026 Ann Example\n\n"
                       "Permission is hereby granted, free of charge, to any person obtaining a copy\n"
                       "of this software and associated documentation files (the \"Software\"), to deal\n"
                       "in the Software without restriction.\n\n"
                       "The above copyright notice and this permission notice shall be included in all\n"
                       "copies or substantial portions of the Software.\n";

inline bool check(int status)
{
    return status == 0 || (qWarning("libgit2: %s", git_error_last()->message), false);
}

// The repository of a tool released twice: its author in the repository's
// settings, a first commit, two version tags and a nightly one, a remote
// named origin.
inline bool makeRepository(const QString &folder, const QString &origin)
{
    git_repository *repository = nullptr;
    git_config *config = nullptr;
    git_index *index = nullptr;
    git_signature *author = nullptr;
    git_tree *tree = nullptr;
    git_object *commit = nullptr;
    git_oid treeId{}, commitId{}, tagId{};
    bool made = check(git_repository_init(&repository, QFile::encodeName(folder), false))
                && check(git_repository_config(&config, repository))
                && check(git_config_set_string(config, "user.name", "Ann Example"))
                && check(git_config_set_string(config, "user.email", "ann@example.org"))
                && check(git_repository_index(&index, repository)) && check(git_index_write_tree(&treeId, index))
                && check(git_tree_lookup(&tree, repository, &treeId))
                && check(git_signature_now(&author, "Ann Example", "ann@example.org"))
                && check(git_commit_create_v(&commitId, repository, "HEAD", author, author, nullptr, "First", tree, 0))
                && check(git_object_lookup(&commit, repository, &commitId, GIT_OBJECT_COMMIT));
    for (const char *name : {"v1.4.2", "v1.3.0", "nightly"})
        made = made && check(git_tag_create_lightweight(&tagId, repository, name, commit, false));
    // As `git remote add` sets it (libgit2 1.5's git_remote_create leaks).
    made = made && check(git_config_set_string(config, "remote.origin.url", origin.toUtf8()))
           && check(git_config_set_string(config, "remote.origin.fetch", "+refs/heads/*:refs/remotes/origin/*"));
    git_object_free(commit);
    git_tree_free(tree);
    git_signature_free(author);
    git_index_free(index);
    git_config_free(config);
    git_repository_free(repository);
    return made;
}


}  // namespace velmora::test
