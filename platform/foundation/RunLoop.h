// The phone's main run loop. Everything the system does runs on it: hooks,
// timers, UI events, notification callbacks, animation completions. It reads
// a clock that is either virtual (tests and scenarios advance it explicitly;
// nothing sleeps) or the system clock (the interactive simulator).
#pragma once

#include <runtime/Runtime.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace foundation {

enum class ClockKind {
    Virtual,
    System,
};

class RunLoop;

// A one-shot or repeating timer. A one-shot timer is invalidated before its
// callback runs, so the callback may schedule it again.
class Timer : public runtime::Object {
    PLV_CLASS(NSTimer, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<Timer>&);

    using Callback = std::function<void(Timer&)>;

    // Schedules on the main run loop. `+scheduledTimerWithTimeInterval:target:
    // selector:userInfo:repeats:` is the runtime spelling of the same thing and
    // sends `selector` to `target` with the timer as argument.
    static runtime::Ref<Timer> scheduled(double interval, bool repeats, Callback);

    void invalidate();
    bool isValid() const;
    double interval() const { return m_interval; }
    bool repeats() const { return m_repeats; }
    double fireDate() const { return m_fireDate; }
    runtime::Id userInfo() const { return m_userInfo; }
    void setUserInfo(runtime::Id info) { m_userInfo = std::move(info); }

    // Implementation detail of RunLoop.
    Timer(double interval, bool repeats, Callback);
    double m_fireDate { 0 };
    uint64_t m_sequence { 0 };
    bool m_valid { true };

private:
    double m_interval { 0 };
    bool m_repeats { false };
    Callback m_callback;
    runtime::Id m_userInfo;
    friend class RunLoop;
};

class RunLoop {
public:
    // The process's main run loop. `configureMain` replaces it (a test or a
    // boot of the phone); the thread that calls it becomes the main thread.
    static RunLoop& main();
    static RunLoop& configureMain(ClockKind);

    explicit RunLoop(ClockKind);
    ~RunLoop();

    ClockKind clockKind() const { return m_clockKind; }
    // Seconds on this loop's clock (virtual: starts at 0).
    double now() const;
    bool isMainThread() const;

    void addTimer(const runtime::Ref<Timer>&);

    // Runs `work` on the main thread at the next turn of the loop. From
    // another thread with WaitUntilDone::Yes the caller blocks until it ran.
    enum class WaitUntilDone { No, Yes };
    void performOnMain(std::function<void()> work, WaitUntilDone = WaitUntilDone::No);
    // Runs `work` after `seconds` on the loop's clock.
    void performAfter(double seconds, std::function<void()> work);

    // Virtual clock: moves time forward by `seconds`, running every timer and
    // piece of posted work that falls due, in time order (equal times in the
    // order they were scheduled). Also usable with the system clock, where it
    // sleeps until each deadline.
    void advance(double seconds);
    // Runs posted work and timers that are already due; answers how many ran.
    int runPending();

    // System clock: turns the loop until `stop()`.
    void run();
    void stop();

    // Called after every turn that ran something (the simulator pushes screen
    // updates from here).
    void setTurnObserver(std::function<void()>);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
    ClockKind m_clockKind;
};

} // namespace foundation
