// The phone's main run loop. Everything the system does runs on it: hooks,
// timers, UI events, notification callbacks, animation completions. It reads
// a clock that is either virtual (tests and scenarios advance it explicitly;
// nothing sleeps) or the system clock (the interactive simulator).
#pragma once

#include <runtime/Runtime.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace foundation {

enum class ClockKind {
    Virtual,
    System,
};

class RunLoop;
class Timer;
// The runtime class name; PLV_CLASS names the C++ type after it.
using NSTimer = Timer;

// A one-shot or repeating timer. A one-shot timer is invalidated before its
// callback runs, so the callback may schedule it again. Intervals under
// 0.1 ms become 0.1 ms (the platform's floor for zero and negative ones), so
// a repeating timer can never spin the loop. Timers belong to the main
// thread: only scheduling may happen elsewhere.
class Timer : public runtime::Object {
    PLV_CLASS(NSTimer, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<Timer>&);

    using Callback = std::function<void(Timer&)>;

    // Scheduled on the main run loop: `once` fires a single time `seconds`
    // from now, `repeating` every `seconds` until it is invalidated.
    // `+scheduledTimerWithTimeInterval:target:selector:userInfo:repeats:` is
    // the runtime spelling of both and sends `selector` to `target` with the
    // timer as argument.
    static runtime::Ref<Timer> once(double seconds, Callback);
    static runtime::Ref<Timer> repeating(double seconds, Callback);

    void invalidate();
    bool isValid() const;
    double interval() const { return m_interval; }
    bool repeats() const { return m_repeats; }
    double fireDate() const { return m_fireDate; }
    runtime::Id userInfo() const { return m_userInfo; }
    void setUserInfo(runtime::Id info) { m_userInfo = std::move(info); }

    // `-fire`: runs the callback now; a one-shot timer is invalidated first.
    void fire();

    // Only the factories make timers; runtime::make needs the constructor
    // public, the key keeps it theirs.
    class Key {
        friend class Timer;
        Key() = default;
    };
    Timer(Key, double interval, bool repeats, Callback);

private:
    static runtime::Ref<Timer> scheduled(double interval, bool repeats, Callback);
    // The runtime spelling: `selector` sent to `target`, with the timer as
    // argument when the selector takes one. The target is held until the
    // timer is invalidated, as the platform does.
    static runtime::Ref<Timer> scheduledWithTarget(double interval, runtime::Id target, runtime::Sel selector, runtime::Id userInfo, bool repeats);
    void sendToTarget();
    void releaseTarget();

    double m_interval { 0 };
    bool m_repeats { false };
    Callback m_callback;
    runtime::Id m_userInfo;
    runtime::Id m_target;
    runtime::Sel m_selector;
    RunLoop* m_runLoop { nullptr }; // the loop whose queue holds this timer, if any
    double m_fireDate { 0 };
    int64_t m_fireTick { 0 }; // m_fireDate in the loop's nanoseconds, exact
    uint64_t m_sequence { 0 };
    bool m_valid { true };
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
    // another thread with WaitUntilDone::Yes the caller blocks until it ran
    // (or until the loop is replaced or destroyed and drops it); on the main
    // thread itself it runs at once.
    enum class WaitUntilDone {
        No,
        Yes,
    };
    void performOnMain(std::function<void()> work, WaitUntilDone = WaitUntilDone::No);
    // Runs `work` after `seconds` on the loop's clock.
    void performAfter(double seconds, std::function<void()> work);

    // Virtual clock: moves time forward by `seconds`, running every timer and
    // piece of posted work that falls due, in time order (equal times in the
    // order they were scheduled). Also usable with the system clock, where it
    // sleeps until each deadline.
    void advance(double seconds);
    // Runs posted work and timers that are already due, and what they post
    // for now; answers how many ran. The clock does not move.
    int runPending();

    // Turns the loop until `stop()`: the system clock sleeps until the next
    // deadline or posted work; the virtual clock jumps straight to the next
    // entry and only waits when nothing is queued.
    void run();
    // From any thread. A stop that arrives while the loop is not running
    // ends the next `run()` at once.
    void stop();

    // Called after every turn that ran something (the simulator pushes screen
    // updates from here).
    void setTurnObserver(std::function<void()>);

    // Entries (timers and posted work) waiting to run.
    size_t pendingCount() const;
    // Seconds until the earliest entry falls due (0 when one is due now);
    // nothing when the queue is empty.
    std::optional<double> secondsUntilNextEntry() const;

private:
    friend class Timer;
    void removeTimer(Timer&);
    // Drops every entry; a thread waiting for its work to run is released.
    void clear();
    enum class Turns {
        OnePerTimestamp,
        One,
    };
    // Runs every entry due at or before `limit` (nanoseconds on the clock),
    // including entries that the callbacks add; answers how many ran.
    int runDue(int64_t limit, Turns);
    void notifyTurn();

    struct Impl;
    std::unique_ptr<Impl> m_impl;
    ClockKind m_clockKind;
};

// Touches the runtime classes of the run loop and the notification centres
// (NSTimer, NSNotificationCenter, NSNotification) so that look-ups by name
// find them after boot; being what the phone calls at boot, it registers the
// rest of the foundation classes too (see FoundationClasses.h).
void registerRunLoopClasses();

} // namespace foundation
