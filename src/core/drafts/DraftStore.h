#pragma once

#include "core/readme/WizardValues.h"

#include <QString>

#include <optional>
#include <utility>

namespace velmora {

// An flock held on an open file for as long as this object lives; the
// system lets go of it when the process ends, however it ends.
class HeldLock {
public:
    HeldLock() = default;
    explicit HeldLock(int fd) : m_fd(fd) {}
    ~HeldLock();
    HeldLock(HeldLock &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    HeldLock &operator=(HeldLock &&other) noexcept;
    HeldLock(const HeldLock &) = delete;
    HeldLock &operator=(const HeldLock &) = delete;

    bool held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// A draft that a run which is no longer running left behind, held by this
// run (no other run can take it meanwhile) until it is let go or discarded.
struct LeftDraft {
    QString draftPath;
    QString lockPath;
    WizardValues values;
    HeldLock lock;

    // Deletes the draft and its lock file.
    void discard();
};

// The drafts of this user's runs, all in one folder: each run's draft
// <name>.draft beside <name>.lock, the name made of the process id and a
// random number, so that two runs never share one. A run holds an flock on
// its .lock for its whole life: a later start that can take that lock knows
// the run is over, whatever process ids the system has handed out since.
//
// Only a folder that no one else may change is used: it must be a folder,
// not a link to one, owned by this user and written by no other. It is
// opened once and reached through that descriptor from then on
// (/proc/self/fd/<n>), so a folder renamed away and replaced meanwhile is
// never the one used. Any other folder keeps no drafts for the whole run,
// and problem() says why.
class DraftStore {
public:
    explicit DraftStore(QString folder);
    ~DraftStore();
    DraftStore(const DraftStore &) = delete;
    DraftStore &operator=(const DraftStore &) = delete;

    QString folder() const { return m_folder; }
    // Why this run keeps no drafts, as one line for standard error that
    // names the folder; empty while nothing is known to be wrong.
    QString problem() const { return m_problem; }

    // Makes the folder (open to this user alone, and never inside a folder
    // of another user) when it is not there, and takes a name for this run,
    // locked from here on. False when that cannot be done: the run keeps no
    // draft.
    bool claim();
    bool claimed() const { return m_lock.held(); }
    // This run's draft; empty until claimed.
    QString draftPath() const;
    // This run's draft and lock file go (Exit).
    void removeOwn();

    // The newest draft left by a run that is over and that holds typed
    // text, now held by this run. On the way a draft that cannot be read is
    // set aside as <name>.unreadable and never looked at again, a draft with
    // nothing typed in it is deleted, and a running program's draft is left
    // alone, as is a link at a draft's or a lock's name and a draft of
    // another user: those are never read. The drafts of other finished runs
    // stay for a later start.
    std::optional<LeftDraft> takeLeftDraft();

private:
    bool openFolder(bool create);
    QString pathOf(const QString &name, const char *suffix) const;

    QString m_folder;
    int m_folderFd = -1;
    QString m_opened;  // the folder through its descriptor
    QString m_problem;
    QString m_name;
    HeldLock m_lock;
};

}  // namespace velmora
