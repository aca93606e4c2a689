#include "core/drafts/DraftWriter.h"

#include "core/drafts/DraftFile.h"
#include "core/text/AtomicFile.h"

namespace velmora {

DraftWriter::DraftWriter(QString path) : m_path(std::move(path)) {}

DraftWriter::~DraftWriter()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_waiting.reset();
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void DraftWriter::submit(const WizardValues &values, std::function<void()> afterWritten)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping)
            return;
        Job job{values, std::move(m_unfinished)};
        m_unfinished.clear();
        if (m_waiting) {
            for (auto &then : m_waiting->afterWritten)
                job.afterWritten.push_back(std::move(then));
        }
        if (afterWritten)
            job.afterWritten.push_back(std::move(afterWritten));
        m_waiting = std::move(job);
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
    }
    m_wake.notify_one();
}

void DraftWriter::waitUntilIdle()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return !m_waiting && !m_busy; });
}

int DraftWriter::written() const
{
    std::lock_guard lock(m_mutex);
    return m_written;
}

void DraftWriter::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || m_waiting; });
        if (m_stopping)
            break;
        Job job = std::move(*m_waiting);
        m_waiting.reset();
        m_busy = true;
        lock.unlock();

        // A draft too large to be read back is not written: the last one
        // that fits stays.
        const QByteArray bytes = draftBytes(job.values);
        const bool ok = bytes.size() <= maxDraftBytes && replacePrivateFile(m_path, bytes);
        if (ok) {
            for (const auto &then : job.afterWritten)
                then();
            job.afterWritten.clear();
        }
        job.values = WizardValues();  // let go of here, not under the lock

        lock.lock();
        if (ok)
            ++m_written;
        // What was to follow a write that failed follows the next one.
        for (auto &then : job.afterWritten) {
            if (m_waiting)
                m_waiting->afterWritten.push_back(std::move(then));
            else
                m_unfinished.push_back(std::move(then));
        }
        m_busy = false;
        if (!m_waiting)
            m_idle.notify_all();
    }
    m_busy = false;
    m_idle.notify_all();
}

}  // namespace velmora
