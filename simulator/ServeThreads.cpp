#include "ServeThreads.h"

namespace simulator {

ServeThreads::ServeThreads(size_t maximumThreads)
    : m_maximumThreads(std::max<size_t>(1, maximumThreads))
{
}

ServeThreads::~ServeThreads()
{
    shutdown();
}

void ServeThreads::enqueue(std::function<void()> task)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_shutdown)
            return;
        m_queue.push_back(std::move(task));
        // Every idle thread may already be promised to a task queued before
        // this one; only a queue longer than the idle threads needs another.
        if (m_queue.size() > m_idle && m_threads.size() < m_maximumThreads)
            m_threads.emplace_back([this] { work(); });
    }
    m_ready.notify_one();
}

void ServeThreads::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        ++m_idle;
        m_ready.wait(lock, [this] { return m_shutdown || !m_queue.empty(); });
        --m_idle;
        if (m_queue.empty())
            return; // shut down, nothing left
        auto task = std::move(m_queue.front());
        m_queue.pop_front();
        lock.unlock();
        task();
        lock.lock();
    }
}

void ServeThreads::shutdown()
{
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(m_mutex);
        if (m_shutdown)
            return;
        m_shutdown = true;
        threads.swap(m_threads);
    }
    m_ready.notify_all();
    for (auto& thread : threads)
        thread.join();
}

size_t ServeThreads::threadCount() const
{
    std::lock_guard lock(m_mutex);
    return m_threads.size();
}

size_t ServeThreads::queued() const
{
    std::lock_guard lock(m_mutex);
    return m_queue.size();
}

} // namespace simulator
