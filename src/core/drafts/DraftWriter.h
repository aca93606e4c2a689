#pragma once

#include "core/readme/WizardValues.h"

#include <QString>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace velmora {

// Writes a run's draft on a thread of its own, so that turning the values
// into bytes and putting them on disk never makes typing wait. Only the
// newest values matter: values handed over while a write is under way
// replace any that still wait.
class DraftWriter {
public:
    // path: this run's draft, in a folder of this user's alone (DraftStore),
    // written with replacePrivateFile.
    explicit DraftWriter(QString path);
    // Finishes the write under way; values still waiting are dropped.
    ~DraftWriter();
    DraftWriter(const DraftWriter &) = delete;
    DraftWriter &operator=(const DraftWriter &) = delete;

    // afterWritten runs on the writer's thread once these values (or newer
    // ones) are on disk; never when they could not be written.
    void submit(const WizardValues &values, std::function<void()> afterWritten = {});
    // Returns once everything handed over is written or has failed.
    void waitUntilIdle();
    // Writes that reached the disk so far.
    int written() const;

private:
    struct Job {
        WizardValues values;
        std::vector<std::function<void()>> afterWritten;
    };
    void run();

    const QString m_path;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::optional<Job> m_waiting;
    std::vector<std::function<void()>> m_unfinished;  // after a write that failed
    bool m_busy = false;
    bool m_stopping = false;
    int m_written = 0;
    std::thread m_thread;
};

}  // namespace velmora
