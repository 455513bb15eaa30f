// Background work: the log-size check after a window closes, the background
// preference reload. Tasks run on real worker threads in submission order
// (several at once when there are several workers); `drain()` lets a test
// wait until everything submitted so far, and everything those tasks
// submitted in turn, has finished. A task that throws is reported on the
// console and the worker goes on.
//
// On the virtual clock the shared executor's work belongs to the instant
// that submitted it: the main run loop does not let its clock move on, nor a
// turn end, while that work is still running (see RunLoop), so a scenario
// ends the same way however busy the machine is.
#pragma once

#include "RunLoop.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <type_traits>
#include <vector>

namespace foundation {

class Executor {
public:
    // The process's executor, for the system's background work.
    static Executor& shared();

    explicit Executor(size_t workers = 2);
    // Runs what is still queued, then joins the workers.
    ~Executor();
    Executor(const Executor&) = delete;
    Executor& operator=(const Executor&) = delete;

    void submit(std::function<void()> task);

    // Runs `work` in the background, then `completion` with its result (if
    // any) on the main run loop. A `work` that throws has no completion.
    template <class Work, class Completion>
    void submitThenOnMain(Work work, Completion completion)
    {
        submit([work = std::move(work), completion = std::move(completion)]() mutable {
            if constexpr (std::is_void_v<std::invoke_result_t<Work&>>) {
                work();
                RunLoop::main().performOnMain(std::move(completion));
            } else {
                auto result = work();
                RunLoop::main().performOnMain([completion = std::move(completion), result = std::move(result)]() mutable {
                    completion(std::move(result));
                });
            }
        });
    }

    // Blocks until no task is queued or running. Answers false, without
    // waiting, when called from one of this executor's own workers (it would
    // wait for itself).
    bool drain();

    // Waits at most `timeout` for no task to be queued or running; answers
    // whether that is so.
    bool waitUntilIdle(std::chrono::nanoseconds timeout);
    bool isIdle() const;

    // The shared executor if something has used it yet (no threads are
    // started just to ask), else null.
    static Executor* sharedIfStarted();

    bool isWorkerThread() const;
    size_t workerCount() const { return m_workers.size(); }

private:
    void workerLoop();

    mutable std::mutex m_mutex;
    std::condition_variable m_taskAvailable;
    std::condition_variable m_idle;
    std::deque<std::function<void()>> m_tasks;
    size_t m_running { 0 };
    bool m_stopping { false };
    std::vector<std::thread> m_workers;
};

} // namespace foundation
