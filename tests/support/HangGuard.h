// Ends a run loop that a test turns with run() when the test has waited far
// longer than it ever should, and fails the test, so a fault that keeps the
// loop turning ends in a test failure instead of in ctest's time-out. The
// guard watches from a thread of its own and puts nothing in the loop's
// queue, so an idle loop stays idle; once it has fired it keeps stopping the
// loop, so later run() calls in the same test end too.
#pragma once

#include <foundation/RunLoop.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace testsupport {

class HangGuard {
public:
    explicit HangGuard(foundation::RunLoop& loop, std::chrono::seconds limit = std::chrono::seconds(20))
        : m_watcher([this, &loop, limit] { watch(loop, limit); })
    {
    }
    ~HangGuard()
    {
        {
            std::lock_guard guard(m_mutex);
            m_disarmed = true;
        }
        m_changed.notify_all();
        m_watcher.join();
        if (m_fired)
            ADD_FAILURE() << "the run loop hung: the hang guard stopped it";
    }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;

private:
    void watch(foundation::RunLoop& loop, std::chrono::seconds limit)
    {
        std::unique_lock lock(m_mutex);
        if (m_changed.wait_for(lock, limit, [this] { return m_disarmed; }))
            return;
        m_fired = true;
        do
            loop.stop();
        while (!m_changed.wait_for(lock, std::chrono::milliseconds(100), [this] { return m_disarmed; }));
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_disarmed { false };
    bool m_fired { false };
    std::thread m_watcher; // last: starts once the members it reads exist
};

} // namespace testsupport
