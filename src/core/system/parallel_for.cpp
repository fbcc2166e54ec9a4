// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/parallel_for.h"

#include <QThread>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace orvane {
namespace {

// What the threads of one run share: the next index to take, how many are done, how many
// threads still work, and the first exception.
class SharedRun {
public:
    SharedRun(int count, int threads, const Progress& progress,
              const std::function<void(int)>& work)
        : m_count(count), m_active(threads), m_progress(progress), m_work(work)
    {
    }

    // Takes indices until none is left, the run is stopped or a work failed.
    void work()
    {
        for (int k = m_next++; k < m_count && !m_failed && !m_progress.stopRequested();
             k = m_next++) {
            try {
                m_work(k);
            } catch (...) {
                const std::lock_guard lock(m_mutex);
                if (!m_failure)
                    m_failure = std::current_exception();
                m_failed = true;
                break;
            }
            {
                const std::lock_guard lock(m_mutex);
                ++m_done;
            }
            m_changed.notify_one();
        }
        {
            const std::lock_guard lock(m_mutex);
            --m_active;
        }
        m_changed.notify_one();
    }

    // Tells the progress of each index done, one by one, until every worker has ended. The
    // listener is called without the lock held, so a slow one does not hold up the workers.
    void reportUntilEnded()
    {
        int reported = 0;
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [&] { return m_done > reported || m_active == 0; });
            const int done = m_done;
            const bool ended = m_active == 0;
            lock.unlock();
            while (reported < done)
                m_progress.report(++reported, m_count);
            lock.lock();
            if (ended)
                return;
        }
    }

    int done()
    {
        const std::lock_guard lock(m_mutex);
        return m_done;
    }

    void rethrowFailure()
    {
        if (m_failure)
            std::rethrow_exception(m_failure);
    }

private:
    const int m_count;
    std::atomic_int m_next{0};
    std::atomic_bool m_failed{false};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_done = 0;    // guarded by m_mutex
    int m_active = 0;  // guarded by m_mutex
    std::exception_ptr m_failure;
    const Progress& m_progress;
    const std::function<void(int)>& m_work;
};

}  // namespace

int parallelFor(int count, int jobs, const Progress& progress,
                const std::function<void(int index)>& work)
{
    if (count <= 0)
        return 0;
    const int threads = std::clamp(jobs > 0 ? jobs : QThread::idealThreadCount(), 1, count);
    if (threads == 1) {
        int done = 0;
        while (done < count && !progress.stopRequested()) {
            work(done);
            ++done;
            progress.report(done, count);
        }
        return done;
    }
    SharedRun run(count, threads, progress, work);
    const bool reporting = progress.isHeard();
    std::vector<std::thread> pool;
    for (int t = reporting ? 0 : 1; t < threads; ++t)
        pool.emplace_back([&run] { run.work(); });
    if (reporting)
        run.reportUntilEnded();
    else
        run.work();  // the calling thread works too
    for (std::thread& thread : pool)
        thread.join();
    run.rethrowFailure();
    return run.done();
}

}  // namespace orvane
