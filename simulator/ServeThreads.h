// The request threads of the phone's web server. The HTTP library gives each
// connection one thread from its task queue for as long as the connection
// lasts: a keep-alive page between two steps, an event stream for as long as
// the page is open, and a client that sent half a request until its read
// times out. With a fixed handful of threads, a few such connections left
// every step of every other page waiting in the queue. Here a connection
// finds an idle thread or gets a new one, up to a bound; only past the bound
// does it wait for a thread to come free. Threads that come free stay for the
// next connection, so a server under steady load keeps a steady number.
#pragma once

#include <httplib.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace simulator {

class ServeThreads final : public httplib::TaskQueue {
public:
    explicit ServeThreads(size_t maximumThreads);
    ~ServeThreads() override;
    ServeThreads(const ServeThreads&) = delete;
    ServeThreads& operator=(const ServeThreads&) = delete;

    void enqueue(std::function<void()>) override;
    // Runs what is queued, then joins every thread; enqueue() does nothing after it.
    void shutdown() override;

    size_t threadCount() const;
    size_t queued() const;

private:
    void work();

    const size_t m_maximumThreads;
    mutable std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<std::function<void()>> m_queue;
    std::vector<std::thread> m_threads;
    size_t m_idle { 0 };
    bool m_shutdown { false };
};

} // namespace simulator
