#include "support/HangGuard.h"

#include <foundation/RunLoop.h>
#include <foundation/SystemLog.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace foundation;

namespace {

class TimerTarget : public runtime::Object {
    PLV_CLASS(TimerTarget, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<TimerTarget>& b)
    {
        b.method<&TimerTarget::tick>("tick:");
        b.method<&TimerTarget::ping>("ping");
    }
    void tick(const runtime::Id& timer)
    {
        auto t = runtime::cast<Timer>(timer);
        trace += t && !t->isValid() ? "t" : "?";
        if (t && t->userInfo())
            trace += "i";
    }
    bool ping()
    {
        trace += "p";
        return true;
    }
    std::string trace;
};

runtime::Ref<Timer> scheduleThroughRuntime(double interval, const runtime::Id& target, const char* selector, const runtime::Id& info, bool repeats)
{
    return runtime::cast<Timer>(runtime::send<runtime::Id>(runtime::classNamed("NSTimer"), "scheduledTimerWithTimeInterval:target:selector:userInfo:repeats:",
        interval, target, runtime::Sel(selector), info, repeats));
}

class VirtualRunLoop : public ::testing::Test {
protected:
    void SetUp() override
    {
        registerRunLoopClasses();
        m_loop = &RunLoop::configureMain(ClockKind::Virtual);
        SystemLog::shared().clear();
    }
    RunLoop& loop() { return *m_loop; }
    void mark(std::string_view what) { m_trace += what; }
    std::string m_trace;

private:
    RunLoop* m_loop { nullptr };
};

TEST_F(VirtualRunLoop, TimersFireInTimeOrderAndTiesInSchedulingOrder)
{
    auto late = Timer::once(0.3, [&](Timer&) { mark("c"); });
    auto first = Timer::once(0.1, [&](Timer&) { mark("a"); });
    auto tieOne = Timer::once(0.2, [&](Timer&) { mark("b1"); });
    loop().performAfter(0.2, [&] { mark("b2"); });
    auto tieThree = Timer::once(0.2, [&](Timer&) { mark("b3"); });

    loop().advance(0.25);
    EXPECT_EQ(m_trace, "ab1b2b3");
    EXPECT_DOUBLE_EQ(loop().now(), 0.25);
    EXPECT_TRUE(late->isValid());
    EXPECT_FALSE(first->isValid()) << "a fired one-shot timer is no longer valid";

    loop().advance(1);
    EXPECT_EQ(m_trace, "ab1b2b3c");
    EXPECT_EQ(loop().pendingCount(), 0u);
}

TEST_F(VirtualRunLoop, NothingFiresBeforeItsTimeAndStepsAddUpExactly)
{
    auto timer = Timer::once(1.0, [&](Timer&) { mark("x"); });
    for (int i = 0; i < 9; ++i)
        loop().advance(0.1);
    EXPECT_EQ(m_trace, "") << "0.9 s is not yet 1 s";
    loop().advance(0.1);
    EXPECT_EQ(m_trace, "x") << "ten steps of 0.1 s reach a timer due at 1 s";
}

TEST_F(VirtualRunLoop, OneShotTimerReschedulesItselfInsideTheSameAdvance)
{
    std::vector<double> firedAt;
    auto timer = Timer::once(0.5, [&](Timer& self) {
        EXPECT_FALSE(self.isValid()) << "a one-shot timer is stopped before its callback";
        firedAt.push_back(RunLoop::main().now());
        if (firedAt.size() < 3)
            RunLoop::main().addTimer(self.selfAs<Timer>());
    });
    loop().advance(2);
    EXPECT_EQ(firedAt, (std::vector<double> { 0.5, 1.0, 1.5 }));
    EXPECT_FALSE(timer->isValid());
}

TEST_F(VirtualRunLoop, InvalidatedTimersNeverFireAndLeaveTheQueue)
{
    runtime::Ref<Timer> victim;
    auto killer = Timer::once(0.2, [&](Timer&) {
        mark("k");
        victim->invalidate();
    });
    victim = Timer::once(0.2, [&](Timer&) { mark("v"); });
    auto cancelled = Timer::repeating(5, [&](Timer&) { mark("c"); });
    cancelled->invalidate();
    EXPECT_EQ(loop().pendingCount(), 2u) << "invalidation takes the timer out of the queue";

    loop().advance(10);
    EXPECT_EQ(m_trace, "k") << "invalidated by a callback at the same instant";
    EXPECT_FALSE(victim->isValid());
}

TEST_F(VirtualRunLoop, RepeatingTimersKeepTheirCadenceOverALongAdvance)
{
    int quarters = 0;
    int thirds = 0;
    std::vector<double> lastTimes;
    auto quarter = Timer::repeating(0.25, [&](Timer&) { ++quarters; });
    auto third = Timer::repeating(1.0 / 3, [&](Timer& self) {
        lastTimes.push_back(RunLoop::main().now());
        if (++thirds == 30)
            self.invalidate();
    });
    loop().advance(100);
    EXPECT_EQ(quarters, 400);
    EXPECT_EQ(thirds, 30) << "invalidating from its own callback stops a repeating timer";
    EXPECT_NEAR(lastTimes.back(), 10.0, 1e-6);
    EXPECT_TRUE(quarter->isValid());
    EXPECT_DOUBLE_EQ(quarter->fireDate(), 100.25);
}

TEST_F(VirtualRunLoop, ZeroIntervalRepeatingTimerDoesNotSpin)
{
    int fired = 0;
    auto timer = Timer::repeating(0, [&](Timer&) { ++fired; });
    EXPECT_DOUBLE_EQ(timer->interval(), 0.0001);
    loop().advance(0.001);
    EXPECT_EQ(fired, 10);
}

TEST_F(VirtualRunLoop, RuntimeSpellingSendsTheSelectorWithTheTimer)
{
    auto target = runtime::make<TimerTarget>();
    auto info = runtime::make<TimerTarget>();
    auto withArgument = scheduleThroughRuntime(0.3, target, "tick:", info, false);
    auto withoutArgument = scheduleThroughRuntime(0.1, target, "ping", nullptr, false);
    ASSERT_TRUE(withArgument);
    EXPECT_EQ(withArgument->userInfo(), info);
    EXPECT_TRUE(runtime::send<bool>(withArgument, "isValid"));

    std::weak_ptr<TimerTarget> weakTarget = target;
    target.reset();
    loop().advance(0.2);
    EXPECT_FALSE(weakTarget.expired()) << "a scheduled timer keeps its target";
    loop().advance(0.2);
    EXPECT_TRUE(weakTarget.expired()) << "a fired one-shot timer lets its target go";
    EXPECT_TRUE(SystemLog::shared().lines().empty()) << "no selector or signature complaint";
}

TEST_F(VirtualRunLoop, RepeatingRuntimeTimerHoldsItsTargetUntilInvalidated)
{
    auto target = runtime::make<TimerTarget>();
    auto timer = scheduleThroughRuntime(1, target, "ping", nullptr, true);
    loop().advance(3.5);
    EXPECT_EQ(target->trace, "ppp");
    std::weak_ptr<TimerTarget> weakTarget = target;
    target.reset();
    EXPECT_FALSE(weakTarget.expired());
    runtime::send(timer, "invalidate");
    EXPECT_TRUE(weakTarget.expired());
    loop().advance(5);
    EXPECT_FALSE(timer->isValid());
}

TEST_F(VirtualRunLoop, ExceptionsInCallbacksAreLoggedAndTheLoopGoesOn)
{
    auto thrower = Timer::once(0.1, [&](Timer&) { throw runtime::ObjCException("NSRangeException", "index 3 beyond bounds [0 .. 1]"); });
    loop().performAfter(0.1, [] { throw std::runtime_error("plain failure"); });
    auto after = Timer::once(0.2, [&](Timer&) { mark("after"); });
    loop().advance(1);
    EXPECT_EQ(m_trace, "after");
    auto lines = SystemLog::shared().lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "*** Exception in timer callback: 'NSRangeException', reason: 'index 3 beyond bounds [0 .. 1]'");
    EXPECT_EQ(lines[1], "*** Exception in main run loop work: plain failure");
}

TEST_F(VirtualRunLoop, TurnObserverRunsOncePerInstantThatRanSomething)
{
    int turns = 0;
    loop().setTurnObserver([&] { ++turns; });
    auto a = Timer::once(0.1, [](Timer&) {});
    auto b = Timer::once(0.1, [](Timer&) {});
    auto c = Timer::once(0.2, [](Timer&) {});
    loop().advance(1);
    EXPECT_EQ(turns, 2);
    EXPECT_EQ(loop().runPending(), 0);
    EXPECT_EQ(turns, 2) << "a turn that ran nothing is not reported";
}

TEST_F(VirtualRunLoop, PostedWorkRunsAtTheNextTurnAndWaitingOnMainRunsInline)
{
    loop().performOnMain([&] { mark("later"); });
    loop().performOnMain([&] { mark("-inline"); }, RunLoop::WaitUntilDone::Yes);
    EXPECT_EQ(m_trace, "-inline");
    EXPECT_EQ(loop().runPending(), 1);
    EXPECT_EQ(m_trace, "-inlinelater");
}

TEST_F(VirtualRunLoop, ReplacingTheMainLoopInvalidatesItsTimers)
{
    auto timer = Timer::repeating(1, [&](Timer&) { mark("x"); });
    RunLoop& fresh = RunLoop::configureMain(ClockKind::Virtual);
    EXPECT_FALSE(timer->isValid());
    fresh.advance(5);
    EXPECT_EQ(m_trace, "");
    timer->invalidate(); // safe on a timer whose loop was replaced
}

TEST(RunLoopThreads, PerformOnMainFromAnotherThreadWaitsUntilDone)
{
    RunLoop& loop = RunLoop::configureMain(ClockKind::System);
    testsupport::HangGuard guard(loop);
    int value = 0;
    bool ranOnMain = false;
    int seenByCaller = -1;
    std::thread caller([&] {
        loop.performOnMain(
            [&] {
                value = 42;
                ranOnMain = loop.isMainThread();
            },
            RunLoop::WaitUntilDone::Yes);
        seenByCaller = value;
        loop.stop();
    });
    loop.run();
    caller.join();
    EXPECT_EQ(seenByCaller, 42);
    EXPECT_TRUE(ranOnMain);
}

TEST(RunLoopThreads, AWaitingThreadIsReleasedWhenTheLoopGoesAway)
{
    auto loop = std::make_unique<RunLoop>(ClockKind::Virtual);
    std::atomic<bool> returned = false;
    std::thread caller([&] {
        loop->performOnMain([] { ADD_FAILURE() << "dropped work must not run"; }, RunLoop::WaitUntilDone::Yes);
        returned = true;
    });
    while (loop->pendingCount() == 0)
        std::this_thread::yield();
    loop.reset();
    caller.join();
    EXPECT_TRUE(returned);
}

TEST(RunLoopThreads, SystemClockLoopFiresTimersInOrderAndStops)
{
    RunLoop& loop = RunLoop::configureMain(ClockKind::System);
    testsupport::HangGuard guard(loop);
    std::string trace;
    auto second = Timer::once(0.02, [&](Timer&) { trace += "b"; });
    auto first = Timer::once(0.01, [&](Timer&) { trace += "a"; });
    loop.performAfter(0.03, [&] { loop.stop(); });
    double started = loop.now();
    loop.run();
    EXPECT_EQ(trace, "ab");
    EXPECT_GE(loop.now() - started, 0.03);
}

TEST(RunLoopThreads, StopFromAnotherThreadEndsAnIdleLoop)
{
    RunLoop& loop = RunLoop::configureMain(ClockKind::System);
    testsupport::HangGuard guard(loop);
    loop.stop();
    loop.run(); // a stop that came first ends the next run at once

    std::thread stopper([&] { loop.performOnMain([&] { loop.stop(); }); });
    loop.run();
    stopper.join();

    std::atomic<bool> running = false;
    std::thread idleStopper([&] {
        while (!running)
            std::this_thread::yield();
        loop.stop();
    });
    loop.performOnMain([&] { running = true; });
    loop.run();
    idleStopper.join();
    SUCCEED();
}

TEST(RunLoopThreads, SystemClockAdvanceWaitsForDeadlines)
{
    RunLoop& loop = RunLoop::configureMain(ClockKind::System);
    bool fired = false;
    auto timer = Timer::once(0.01, [&](Timer&) { fired = true; });
    loop.advance(0.02);
    EXPECT_TRUE(fired);
}

} // namespace
