#include "Executor.h"

#include "SystemLog.h"

#include <algorithm>
#include <atomic>

namespace foundation {

namespace {
    std::atomic<Executor*> s_shared { nullptr };
}

Executor& Executor::shared()
{
    // Never destroyed: a worker may still be busy while the process exits.
    static auto* executor = [] {
        auto* created = new Executor;
        s_shared.store(created, std::memory_order_release);
        return created;
    }();
    return *executor;
}

Executor* Executor::sharedIfStarted() { return s_shared.load(std::memory_order_acquire); }

Executor::Executor(size_t workers)
{
    workers = std::max<size_t>(workers, 1);
    m_workers.reserve(workers);
    for (size_t i = 0; i < workers; ++i)
        m_workers.emplace_back([this] { workerLoop(); });
}

Executor::~Executor()
{
    {
        std::lock_guard guard(m_mutex);
        m_stopping = true;
    }
    m_taskAvailable.notify_all();
    for (auto& worker : m_workers)
        worker.join();
}

void Executor::submit(std::function<void()> task)
{
    if (!task)
        return;
    {
        std::lock_guard guard(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    m_taskAvailable.notify_one();
}

void Executor::workerLoop()
{
    std::unique_lock lock(m_mutex);
    while (true) {
        m_taskAvailable.wait(lock, [this] { return m_stopping || !m_tasks.empty(); });
        if (m_tasks.empty())
            return; // stopping, and nothing left to run
        auto task = std::move(m_tasks.front());
        m_tasks.pop_front();
        ++m_running;
        lock.unlock();
        callReportingExceptions("background task", task);
        task = nullptr; // captures are released before the executor counts the task as done
        lock.lock();
        --m_running;
        if (m_tasks.empty() && m_running == 0)
            m_idle.notify_all();
    }
}

bool Executor::drain()
{
    if (isWorkerThread())
        return false;
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_tasks.empty() && m_running == 0; });
    return true;
}

bool Executor::waitUntilIdle(std::chrono::nanoseconds timeout)
{
    std::unique_lock lock(m_mutex);
    return m_idle.wait_for(lock, timeout, [this] { return m_tasks.empty() && m_running == 0; });
}

bool Executor::isIdle() const
{
    std::lock_guard guard(m_mutex);
    return m_tasks.empty() && m_running == 0;
}

bool Executor::isWorkerThread() const
{
    auto self = std::this_thread::get_id();
    return std::any_of(m_workers.begin(), m_workers.end(), [&](const std::thread& worker) { return worker.get_id() == self; });
}

} // namespace foundation
