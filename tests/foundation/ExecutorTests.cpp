#include <foundation/Executor.h>
#include <foundation/SystemLog.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include <atomic>

using namespace foundation;

namespace {

TEST(Executor, DrainWaitsForEveryTaskIncludingOnesTasksSubmitted)
{
    Executor executor(3);
    std::atomic<int> done = 0;
    for (int i = 0; i < 50; ++i) {
        executor.submit([&] {
            executor.submit([&] { ++done; });
            ++done;
        });
    }
    EXPECT_TRUE(executor.drain());
    EXPECT_EQ(done, 100);
    EXPECT_TRUE(executor.drain()) << "draining an idle executor returns at once";
}

TEST(Executor, TasksRunOnWorkerThreads)
{
    Executor executor(2);
    std::thread::id testThread = std::this_thread::get_id();
    std::atomic<bool> onWorker = false;
    std::atomic<bool> sameThread = true;
    std::atomic<bool> drainFromWorker = true;
    executor.submit([&] {
        onWorker = executor.isWorkerThread();
        sameThread = std::this_thread::get_id() == testThread;
        drainFromWorker = executor.drain();
    });
    executor.drain();
    EXPECT_TRUE(onWorker);
    EXPECT_FALSE(sameThread);
    EXPECT_FALSE(drainFromWorker) << "a worker cannot wait for itself";
    EXPECT_FALSE(executor.isWorkerThread());
}

TEST(Executor, CompletionRunsOnTheMainLoopWithTheResult)
{
    RunLoop& loop = RunLoop::configureMain(ClockKind::Virtual);
    int result = 0;
    bool onMain = false;
    std::atomic<bool> workOnMain = true;
    Executor::shared().submitThenOnMain(
        [&] {
            workOnMain = loop.isMainThread();
            return 100000;
        },
        [&](int size) {
            result = size;
            onMain = loop.isMainThread();
        });
    Executor::shared().drain();
    EXPECT_EQ(result, 0) << "the completion waits for the main loop";
    EXPECT_EQ(loop.runPending(), 1);
    EXPECT_EQ(result, 100000);
    EXPECT_TRUE(onMain);
    EXPECT_FALSE(workOnMain);

    bool voidDone = false;
    Executor::shared().submitThenOnMain([] {}, [&] { voidDone = true; });
    Executor::shared().drain();
    loop.runPending();
    EXPECT_TRUE(voidDone);
}

// On the virtual clock the phone's background work ends within the instant
// that started it, however long the worker takes, so a scenario's outcome
// does not depend on how busy the machine is.
TEST(Executor, OnTheVirtualClockBackgroundWorkFinishesWithinItsInstant)
{
    RunLoop& loop = RunLoop::configureMain(ClockKind::Virtual);
    std::string trace;
    double completedAt = -1;
    auto slowCheck = [&] {
        Executor::shared().submitThenOnMain(
            [] {
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
                return 100000;
            },
            [&](int size) {
                trace += "size " + std::to_string(size) + ";";
                completedAt = loop.now();
            });
    };
    loop.performOnMain(slowCheck);
    loop.runPending();
    EXPECT_EQ(trace, "size 100000;") << "the step that started the work returns with it done";
    EXPECT_EQ(completedAt, 0);

    auto timer = Timer::once(0.3, [&](Timer&) { slowCheck(); });
    loop.advance(1);
    EXPECT_EQ(trace, "size 100000;size 100000;");
    EXPECT_DOUBLE_EQ(completedAt, 0.3) << "the completion runs at the instant of the timer, before the clock moves on";

    // A task that waits for the main thread is served while the loop waits for it.
    Executor::shared().submit([&] { loop.performOnMain([&] { trace += "served;"; }, RunLoop::WaitUntilDone::Yes); });
    loop.runPending();
    EXPECT_EQ(trace, "size 100000;size 100000;served;");
}

TEST(Executor, AThrowingTaskIsLoggedAndHasNoCompletion)
{
    RunLoop& loop = RunLoop::configureMain(ClockKind::Virtual);
    SystemLog::shared().clear();
    Executor executor(1);
    bool completed = false;
    std::atomic<bool> laterRan = false;
    executor.submitThenOnMain([]() -> int { throw std::runtime_error("disk gone"); }, [&](int) { completed = true; });
    executor.submit([&] { laterRan = true; });
    executor.drain();
    loop.runPending();
    EXPECT_FALSE(completed);
    EXPECT_TRUE(laterRan);
    EXPECT_TRUE(SystemLog::shared().contains("*** Exception in background task: disk gone"));
}

TEST(Executor, DestructionFinishesQueuedTasks)
{
    std::atomic<int> done = 0;
    {
        Executor executor(1);
        for (int i = 0; i < 20; ++i)
            executor.submit([&] { ++done; });
    }
    EXPECT_EQ(done, 20);
}

} // namespace
