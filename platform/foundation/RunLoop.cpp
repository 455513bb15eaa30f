#include "RunLoop.h"
#include "RunLoopActivity.h"

#include "Executor.h"
#include "FoundationClasses.h"
#include "NotificationCenter.h"
#include "SystemLog.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <future>
#include <limits>
#include <map>
#include <mutex>
#include <vector>

namespace foundation {

namespace {

    // The clock counts whole nanoseconds so that sums of intervals are exact:
    // ten advances of 0.1 s reach a timer due at 1 s.
    constexpr int64_t TicksPerSecond = 1'000'000'000;
    constexpr double MaxSeconds = 9.0e9; // keeps every sum of two times inside int64_t

    int64_t toTicks(double seconds)
    {
        if (!(seconds > 0))
            return 0;
        return std::llround(std::min(seconds, MaxSeconds) * TicksPerSecond);
    }

    double toSeconds(int64_t ticks) { return static_cast<double>(ticks) / TicksPerSecond; }

    int64_t addTicks(int64_t a, int64_t b)
    {
        int64_t sum;
        if (__builtin_add_overflow(a, b, &sum))
            return std::numeric_limits<int64_t>::max();
        return sum;
    }

    // A timer shorter than this would spin the loop; the platform uses the
    // same floor for intervals of zero or less.
    constexpr double MinimumInterval = 0.0001;

    template <class R, class... A>
    bool sendIfSignature(const runtime::Id& target, const runtime::Method& method, runtime::Sel selector, A&&... args)
    {
        if (method.signature != runtime::signatureOf<R, A...>())
            return false;
        runtime::send<R>(target, selector, std::forward<A>(args)...);
        return true;
    }

    // `performSelector:` as the platform does it: whatever the method
    // answers is dropped.
    template <class... A>
    void sendIgnoringResult(const runtime::Id& target, runtime::Sel selector, A&&... args)
    {
        const runtime::Method* method = target->isa()->lookup(selector);
        if (!method) {
            runtime::send<void>(target, selector, args...); // reports the unknown selector
            return;
        }
        bool sent = sendIfSignature<void>(target, *method, selector, args...)
            || sendIfSignature<runtime::Id>(target, *method, selector, args...)
            || sendIfSignature<bool>(target, *method, selector, args...)
            || sendIfSignature<int64_t>(target, *method, selector, args...)
            || sendIfSignature<double>(target, *method, selector, args...)
            || sendIfSignature<std::string>(target, *method, selector, args...);
        if (!sent)
            runtime::send<void>(target, selector, args...); // reports the mismatch
    }

    struct Entry {
        runtime::Ref<Timer> timer;
        std::function<void()> work;
        std::shared_ptr<std::promise<void>> done;
    };

    using Key = std::pair<int64_t, uint64_t>; // due time, then scheduling order

} // namespace

// MARK: Timer

Timer::Timer(Key, double interval, bool repeats, Callback callback)
    : m_interval(std::isfinite(interval) ? std::max(interval, MinimumInterval) : MinimumInterval)
    , m_repeats(repeats)
    , m_callback(std::move(callback))
{
}

void Timer::registerMethods(runtime::ClassBuilder<Timer>& b)
{
    b.classMethod("scheduledTimerWithTimeInterval:target:selector:userInfo:repeats:",
        [](runtime::Class&, double interval, const runtime::Id& target, const runtime::Sel& selector, const runtime::Id& userInfo, bool repeats) -> runtime::Id {
            return scheduledWithTarget(interval, target, selector, userInfo, repeats);
        });
    b.method<&Timer::invalidate>("invalidate");
    b.method<&Timer::isValid>("isValid");
    b.method<&Timer::userInfo>("userInfo");
    b.method<&Timer::interval>("timeInterval");
    b.method<&Timer::fire>("fire");
}

runtime::Ref<Timer> Timer::once(double seconds, Callback callback)
{
    return scheduled(seconds, false, std::move(callback));
}

runtime::Ref<Timer> Timer::repeating(double seconds, Callback callback)
{
    return scheduled(seconds, true, std::move(callback));
}

runtime::Ref<Timer> Timer::scheduled(double interval, bool repeats, Callback callback)
{
    auto timer = runtime::make<Timer>(Key {}, interval, repeats, std::move(callback));
    RunLoop::main().addTimer(timer);
    return timer;
}

runtime::Ref<Timer> Timer::scheduledWithTarget(double interval, runtime::Id target, runtime::Sel selector, runtime::Id userInfo, bool repeats)
{
    auto timer = runtime::make<Timer>(Key {}, interval, repeats, [](Timer& timer) { timer.sendToTarget(); });
    timer->m_target = std::move(target);
    timer->m_selector = selector;
    timer->m_userInfo = std::move(userInfo);
    RunLoop::main().addTimer(timer);
    return timer;
}

void Timer::sendToTarget()
{
    runtime::Id target = m_target;
    runtime::Sel selector = m_selector;
    if (!target || selector.isNull())
        return;
    if (selector.argumentCount() == 0) {
        sendIgnoringResult(target, selector);
        return;
    }
    runtime::Id self = weak_from_this().lock();
    sendIgnoringResult(target, selector, self);
}

void Timer::releaseTarget()
{
    // Moved out first: the target's destructor may reach this timer again.
    runtime::Id target = std::move(m_target);
    m_target.reset();
}

void Timer::invalidate()
{
    auto keepAlive = weak_from_this().lock();
    if (m_runLoop)
        m_runLoop->removeTimer(*this);
    m_valid = false;
    releaseTarget();
}

bool Timer::isValid() const { return m_valid; }

void Timer::fire()
{
    if (!m_valid)
        return;
    auto keepAlive = weak_from_this().lock();
    if (!m_repeats) {
        if (m_runLoop)
            m_runLoop->removeTimer(*this);
        m_valid = false;
    }
    if (m_callback)
        m_callback(*this);
    if (!m_valid)
        releaseTarget();
}

// MARK: RunLoop

namespace {
    std::atomic<uint64_t> s_entriesStarted { 0 };
}

uint64_t runLoopEntriesStarted() { return s_entriesStarted.load(std::memory_order_relaxed); }

struct RunLoop::Impl {
    mutable std::mutex mutex;
    std::condition_variable wake;
    std::map<Key, Entry> queue;
    uint64_t nextSequence { 1 };
    std::atomic<int64_t> virtualNow { 0 };
    std::chrono::steady_clock::time_point origin { std::chrono::steady_clock::now() };
    std::thread::id mainThread { std::this_thread::get_id() };
    bool stopRequested { false };
    std::function<void()> turnObserver;

    int64_t nowTicks(ClockKind kind) const
    {
        if (kind == ClockKind::Virtual)
            return virtualNow.load(std::memory_order_acquire);
        return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - origin).count();
    }

    void insertLocked(int64_t due, Entry entry)
    {
        queue.emplace(Key { due, nextSequence++ }, std::move(entry));
    }

    void moveVirtualClockTo(ClockKind kind, int64_t ticks)
    {
        if (kind == ClockKind::Virtual && ticks > virtualNow.load(std::memory_order_relaxed))
            virtualNow.store(ticks, std::memory_order_release);
    }

    // Takes the earliest entry if it is due by `limit`, moving the virtual
    // clock to its time. A repeating timer is put back for its next firing
    // before its callback runs, so the callback may invalidate it.
    std::optional<std::pair<int64_t, Entry>> takeDue(ClockKind kind, int64_t limit)
    {
        std::lock_guard guard(mutex);
        if (queue.empty() || queue.begin()->first.first > limit)
            return std::nullopt;
        auto node = queue.extract(queue.begin());
        int64_t due = node.key().first;
        Entry entry = std::move(node.mapped());
        moveVirtualClockTo(kind, due);
        if (Timer* timer = entry.timer.get()) {
            if (timer->m_repeats) {
                int64_t interval = std::max<int64_t>(toTicks(timer->m_interval), 1);
                int64_t next = addTicks(due, interval);
                int64_t current = nowTicks(kind);
                if (next <= current) // a late system clock skips the firings it missed
                    next = addTicks(due, ((current - due) / interval + 1) * interval);
                timer->m_fireTick = next;
                timer->m_fireDate = toSeconds(next);
                timer->m_sequence = nextSequence;
                insertLocked(next, Entry { entry.timer, {}, {} });
            } else {
                timer->m_valid = false;
                timer->m_runLoop = nullptr;
            }
        }
        return std::make_pair(due, std::move(entry));
    }

    static void runEntry(Entry& entry)
    {
        s_entriesStarted.fetch_add(1, std::memory_order_relaxed);
        if (auto timer = entry.timer) {
            if (timer->m_callback)
                callReportingExceptions("timer callback", [&] { timer->m_callback(*timer); });
            if (!timer->m_valid)
                timer->releaseTarget();
            return;
        }
        if (entry.work)
            callReportingExceptions("main run loop work", entry.work);
        if (entry.done)
            entry.done->set_value();
    }

    std::optional<int64_t> earliestDue() const
    {
        std::lock_guard guard(mutex);
        if (queue.empty())
            return std::nullopt;
        return queue.begin()->first.first;
    }
};

namespace {

    std::mutex& mainLoopMutex()
    {
        static auto* mutex = new std::mutex;
        return *mutex;
    }

    std::atomic<RunLoop*> s_mainLoop { nullptr };

    // A replaced main loop is emptied but never freed, so that a reference
    // someone kept to it stays valid.
    std::vector<RunLoop*>& retiredLoops()
    {
        static auto* loops = new std::vector<RunLoop*>;
        return *loops;
    }

    // The virtual clock's rule for background work (see Executor.h): the
    // shared executor's tasks belong to the instant that submitted them.
    // Called when nothing more is due at the current instant of the main
    // loop; waits a moment for those tasks and answers true while some are
    // still running, so that the caller looks at the queue again (a finished
    // task's completion is due at this same instant). The waits are short
    // because a task may itself be waiting for work it posted to the main
    // thread.
    bool waitForBackgroundWork(const RunLoop& loop)
    {
        if (loop.clockKind() != ClockKind::Virtual || s_mainLoop.load(std::memory_order_acquire) != &loop || !loop.isMainThread())
            return false;
        Executor* executor = Executor::sharedIfStarted();
        if (!executor || executor->isWorkerThread() || executor->isIdle())
            return false;
        executor->waitUntilIdle(std::chrono::milliseconds(1));
        return true;
    }

} // namespace

RunLoop& RunLoop::main()
{
    if (RunLoop* loop = s_mainLoop.load(std::memory_order_acquire))
        return *loop;
    std::lock_guard guard(mainLoopMutex());
    if (!s_mainLoop.load(std::memory_order_relaxed))
        s_mainLoop.store(new RunLoop(ClockKind::Virtual), std::memory_order_release);
    return *s_mainLoop.load(std::memory_order_relaxed);
}

RunLoop& RunLoop::configureMain(ClockKind kind)
{
    std::lock_guard guard(mainLoopMutex());
    auto* fresh = new RunLoop(kind);
    if (RunLoop* old = s_mainLoop.exchange(fresh, std::memory_order_acq_rel)) {
        old->clear();
        retiredLoops().push_back(old);
    }
    return *fresh;
}

RunLoop::RunLoop(ClockKind kind)
    : m_impl(std::make_unique<Impl>())
    , m_clockKind(kind)
{
}

RunLoop::~RunLoop() { clear(); }

double RunLoop::now() const { return toSeconds(m_impl->nowTicks(m_clockKind)); }

bool RunLoop::isMainThread() const { return std::this_thread::get_id() == m_impl->mainThread; }

void RunLoop::addTimer(const runtime::Ref<Timer>& timer)
{
    if (!timer)
        return;
    if (timer->m_runLoop && timer->m_runLoop != this)
        timer->m_runLoop->removeTimer(*timer);
    std::optional<Entry> replaced;
    {
        std::lock_guard guard(m_impl->mutex);
        if (timer->m_runLoop == this) {
            if (auto node = m_impl->queue.extract(Key { timer->m_fireTick, timer->m_sequence }))
                replaced = std::move(node.mapped());
        }
        int64_t due = addTicks(m_impl->nowTicks(m_clockKind), std::max<int64_t>(toTicks(timer->m_interval), 1));
        timer->m_fireTick = due;
        timer->m_fireDate = toSeconds(due);
        timer->m_sequence = m_impl->nextSequence;
        timer->m_valid = true;
        timer->m_runLoop = this;
        m_impl->insertLocked(due, Entry { timer, {}, {} });
    }
    m_impl->wake.notify_all();
}

void RunLoop::removeTimer(Timer& timer)
{
    std::optional<Entry> removed; // destroyed after the lock is released
    std::lock_guard guard(m_impl->mutex);
    if (timer.m_runLoop != this)
        return;
    if (auto node = m_impl->queue.extract(Key { timer.m_fireTick, timer.m_sequence }))
        removed = std::move(node.mapped());
    timer.m_runLoop = nullptr;
}

void RunLoop::performOnMain(std::function<void()> work, WaitUntilDone wait)
{
    if (wait == WaitUntilDone::Yes && isMainThread()) {
        callReportingExceptions("main run loop work", work);
        return;
    }
    std::shared_ptr<std::promise<void>> done;
    std::future<void> finished;
    if (wait == WaitUntilDone::Yes) {
        done = std::make_shared<std::promise<void>>();
        finished = done->get_future();
    }
    {
        // Notified under the lock: once the work is visible, this thread no
        // longer touches the loop, which may then go away.
        std::lock_guard guard(m_impl->mutex);
        m_impl->insertLocked(m_impl->nowTicks(m_clockKind), Entry { nullptr, std::move(work), std::move(done) });
        m_impl->wake.notify_all();
    }
    if (finished.valid())
        finished.wait(); // also returns when the loop drops the work unrun
}

void RunLoop::performAfter(double seconds, std::function<void()> work)
{
    {
        std::lock_guard guard(m_impl->mutex);
        m_impl->insertLocked(addTicks(m_impl->nowTicks(m_clockKind), toTicks(seconds)), Entry { nullptr, std::move(work), nullptr });
    }
    m_impl->wake.notify_all();
}

void RunLoop::notifyTurn()
{
    std::function<void()> observer;
    {
        std::lock_guard guard(m_impl->mutex);
        observer = m_impl->turnObserver;
    }
    if (observer)
        callReportingExceptions("run loop turn observer", observer);
}

int RunLoop::runDue(int64_t limit, Turns turns)
{
    int total = 0;
    int inTurn = 0;
    int64_t turnTime = 0;
    while (true) {
        auto due = m_impl->earliestDue();
        bool instantIsOver = m_clockKind == ClockKind::Virtual && (!due || *due > m_impl->nowTicks(m_clockKind));
        if (instantIsOver && waitForBackgroundWork(*this))
            continue;
        if (!due || *due > limit)
            break;
        if (turns == Turns::OnePerTimestamp && inTurn && *due != turnTime) {
            notifyTurn();
            inTurn = 0;
        }
        auto taken = m_impl->takeDue(m_clockKind, limit);
        if (!taken)
            break;
        turnTime = taken->first;
        Impl::runEntry(taken->second);
        ++inTurn;
        ++total;
    }
    if (inTurn)
        notifyTurn();
    return total;
}

void RunLoop::advance(double seconds)
{
    int64_t target = addTicks(m_impl->nowTicks(m_clockKind), toTicks(seconds));
    if (m_clockKind == ClockKind::Virtual) {
        runDue(target, Turns::OnePerTimestamp);
        m_impl->moveVirtualClockTo(m_clockKind, target);
        return;
    }
    while (true) {
        int64_t current = std::min(m_impl->nowTicks(m_clockKind), target);
        if (runDue(current, Turns::One))
            continue;
        if (current >= target)
            return;
        std::unique_lock lock(m_impl->mutex);
        int64_t wakeAt = target;
        if (!m_impl->queue.empty())
            wakeAt = std::min(wakeAt, m_impl->queue.begin()->first.first);
        m_impl->wake.wait_until(lock, m_impl->origin + std::chrono::nanoseconds(wakeAt));
    }
}

int RunLoop::runPending() { return runDue(m_impl->nowTicks(m_clockKind), Turns::One); }

void RunLoop::run()
{
    int inTurn = 0;
    while (true) {
        if (m_clockKind == ClockKind::Virtual) {
            auto due = m_impl->earliestDue();
            if ((!due || *due > m_impl->nowTicks(m_clockKind)) && waitForBackgroundWork(*this))
                continue;
        }
        std::unique_lock lock(m_impl->mutex);
        if (m_impl->stopRequested) {
            m_impl->stopRequested = false;
            break;
        }
        int64_t current = m_impl->nowTicks(m_clockKind);
        bool haveEntry = !m_impl->queue.empty();
        int64_t due = haveEntry ? m_impl->queue.begin()->first.first : 0;
        // The virtual clock never waits for time to pass: it jumps to the next entry.
        if (haveEntry && (due <= current || m_clockKind == ClockKind::Virtual)) {
            lock.unlock();
            if (auto taken = m_impl->takeDue(m_clockKind, std::max(due, current))) {
                Impl::runEntry(taken->second);
                ++inTurn;
            }
            continue;
        }
        if (inTurn) {
            lock.unlock();
            notifyTurn();
            inTurn = 0;
            continue;
        }
        if (haveEntry)
            m_impl->wake.wait_until(lock, m_impl->origin + std::chrono::nanoseconds(due));
        else
            m_impl->wake.wait(lock);
    }
    if (inTurn)
        notifyTurn();
}

void RunLoop::stop()
{
    {
        std::lock_guard guard(m_impl->mutex);
        m_impl->stopRequested = true;
    }
    m_impl->wake.notify_all();
}

void RunLoop::setTurnObserver(std::function<void()> observer)
{
    std::lock_guard guard(m_impl->mutex);
    m_impl->turnObserver = std::move(observer);
}

size_t RunLoop::pendingCount() const
{
    std::lock_guard guard(m_impl->mutex);
    return m_impl->queue.size();
}

std::optional<double> RunLoop::secondsUntilNextEntry() const
{
    auto due = m_impl->earliestDue();
    if (!due)
        return std::nullopt;
    return toSeconds(std::max<int64_t>(*due - m_impl->nowTicks(m_clockKind), 0));
}

void RunLoop::clear()
{
    std::map<Key, Entry> dropped;
    {
        std::lock_guard guard(m_impl->mutex);
        dropped.swap(m_impl->queue);
        for (auto& [key, entry] : dropped) {
            if (entry.timer && entry.timer->m_runLoop == this) {
                entry.timer->m_runLoop = nullptr;
                entry.timer->m_valid = false;
            }
        }
    }
    // Destroying the entries releases anyone waiting for their work.
}

void registerRunLoopClasses()
{
    // The phone boots through this one; it brings the file classes along.
    registerFoundationClasses();
}

} // namespace foundation
