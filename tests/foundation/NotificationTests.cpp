#include "support/HangGuard.h"
#include "support/TemporaryFolder.h"

#include <foundation/NotificationCenter.h>
#include <foundation/RunLoop.h>
#include <foundation/SystemLog.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

using namespace foundation;

namespace {

constexpr const char* ReloadPrefs = "it.kelvane.PLV.reloadPrefs";

class Notifications : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_loop = &RunLoop::configureMain(ClockKind::Virtual);
        SystemLog::shared().clear();
    }
    RunLoop& loop() { return *m_loop; }
    NotificationCenter::Callback record(std::string tag)
    {
        return [this, tag](const std::string& name) {
            m_trace += tag + "(" + name + ")";
            m_onMain = m_onMain && m_loop->isMainThread();
        };
    }
    std::string m_trace;
    bool m_onMain { true };

private:
    RunLoop* m_loop { nullptr };
};

TEST_F(Notifications, DeliveredOnMainInPostingOrderFromAnyThread)
{
    NotificationCenter center;
    center.addObserver("a", record("1"));
    center.addObserver("b", record("2"));
    center.addObserver("a", record("3"));
    std::thread poster([&] {
        center.post("a");
        center.post("b");
        center.post("c");
        center.post("a");
    });
    poster.join();
    EXPECT_EQ(m_trace, "") << "nothing is delivered inside post";
    loop().runPending();
    EXPECT_EQ(m_trace, "1(a)3(a)2(b)1(a)3(a)");
    EXPECT_TRUE(m_onMain);
}

TEST_F(Notifications, PostOnMainIsDeliveredAtTheNextTurn)
{
    NotificationCenter center;
    center.addObserver(ReloadPrefs, record("r"));
    center.post(ReloadPrefs);
    EXPECT_EQ(m_trace, "");
    loop().runPending();
    EXPECT_EQ(m_trace, "r(it.kelvane.PLV.reloadPrefs)");
}

TEST_F(Notifications, ObserversAddedOrRemovedDuringDelivery)
{
    NotificationCenter center;
    NotificationCenter::Token second = 0;
    center.addObserver("x", [&](const std::string&) {
        m_trace += "first ";
        center.addObserver("x", record("late"));
        center.removeObserver(second);
    });
    second = center.addObserver("x", record("second"));
    center.post("x");
    loop().runPending();
    EXPECT_EQ(m_trace, "first ") << "an observer added during delivery misses that post; a removed one is not called";
    center.post("x");
    loop().runPending();
    EXPECT_EQ(m_trace, "first first late(x)");
}

TEST_F(Notifications, RemovedObserverIsNoLongerCalled)
{
    NotificationCenter center;
    auto token = center.addObserver("x", record("gone"));
    center.post("x");
    center.removeObserver(token);
    loop().runPending();
    EXPECT_EQ(m_trace, "") << "removal counts even for a post already queued";
    EXPECT_EQ(center.observerCount(), 0u);
}

TEST_F(Notifications, AThrowingObserverDoesNotStopTheOthers)
{
    NotificationCenter center;
    center.addObserver("x", [](const std::string&) { throw runtime::ObjCException("NSInvalidArgumentException", "bad"); });
    center.addObserver("x", record("ok"));
    center.post("x");
    loop().runPending();
    EXPECT_EQ(m_trace, "ok(x)");
    EXPECT_TRUE(SystemLog::shared().contains("*** Exception in notification observer: 'NSInvalidArgumentException', reason: 'bad'"));
}

TEST_F(Notifications, DeliveryQueuedForADestroyedCenterIsDropped)
{
    auto center = std::make_unique<NotificationCenter>();
    center->addObserver("x", record("x"));
    center->post("x");
    center.reset();
    loop().runPending();
    EXPECT_EQ(m_trace, "");
}

struct CallbackLog {
    std::string names;
    void* observer { nullptr };
    bool nullPayload { true };
};
CallbackLog g_callbacks;

void reloadCallback(CFNotificationCenterRef center, void* observer, CFStringRef name, const void* object, CFDictionaryRef userInfo)
{
    g_callbacks.names += std::string(name) + ";";
    g_callbacks.observer = observer;
    g_callbacks.nullPayload = g_callbacks.nullPayload && !object && !userInfo && center == CFNotificationCenterGetDarwinNotifyCenter();
}

TEST_F(Notifications, TheCSpellingsWorkOnTheDarwinCenter)
{
    g_callbacks = {};
    int owner = 0;
    CFNotificationCenterRef darwin = CFNotificationCenterGetDarwinNotifyCenter();
    CFNotificationCenterAddObserver(darwin, nullptr, reloadCallback, ReloadPrefs, nullptr, 0);
    CFNotificationCenterAddObserver(darwin, &owner, reloadCallback, "it.kelvane.RDL.reloadPrefs", nullptr, CFNotificationSuspensionBehaviorDeliverImmediately);
    EXPECT_EQ(notify_post(ReloadPrefs), NOTIFY_STATUS_OK);
    EXPECT_EQ(notify_post(nullptr), NOTIFY_STATUS_INVALID_NAME);
    CFNotificationCenterPostNotification(darwin, "it.kelvane.RDL.reloadPrefs", nullptr, nullptr, true);
    loop().runPending();
    EXPECT_EQ(g_callbacks.names, "it.kelvane.PLV.reloadPrefs;it.kelvane.RDL.reloadPrefs;");
    EXPECT_EQ(g_callbacks.observer, &owner);
    EXPECT_TRUE(g_callbacks.nullPayload);

    CFNotificationCenterRemoveObserver(darwin, &owner, "it.kelvane.RDL.reloadPrefs", nullptr);
    CFNotificationCenterRemoveEveryObserver(darwin, nullptr);
    notify_post(ReloadPrefs);
    notify_post("it.kelvane.RDL.reloadPrefs");
    loop().runPending();
    EXPECT_EQ(g_callbacks.names, "it.kelvane.PLV.reloadPrefs;it.kelvane.RDL.reloadPrefs;");
}

// MARK: Across processes

// Turns a real-clock main loop until `done`; a loop that never gets there
// fails the test through the hang guard.
bool runUntil(RunLoop& loop, const std::function<bool()>& done)
{
    testsupport::HangGuard guard(loop, std::chrono::seconds(10));
    std::function<void()> check = [&] {
        if (done())
            loop.stop();
        else
            loop.performAfter(0.005, check);
    };
    loop.performOnMain(check);
    loop.run();
    return done();
}

TEST(NotificationsAcrossProcesses, ReachAnotherConnectedCenterOnce)
{
    RunLoop& loop = RunLoop::configureMain(ClockKind::System);
    testsupport::TemporaryFolder temporary { "plv-notify-pair" };
    const auto& folder = temporary.path();
    NotificationCenter settings;
    NotificationCenter springBoard;
    ASSERT_TRUE(settings.connect(folder));
    ASSERT_TRUE(springBoard.connect(folder));
    std::string received;
    std::string echoed;
    springBoard.addObserver(ReloadPrefs, [&](const std::string& name) { received += name + ";"; });
    settings.addObserver(ReloadPrefs, [&](const std::string& name) { echoed += name + ";"; });

    settings.post(ReloadPrefs);
    settings.post("it.kelvane.RDL.reloadPrefs");
    settings.post(ReloadPrefs);
    EXPECT_TRUE(runUntil(loop, [&] { return received.size() >= 2 * std::strlen(ReloadPrefs) + 2; }));
    EXPECT_EQ(received, "it.kelvane.PLV.reloadPrefs;it.kelvane.PLV.reloadPrefs;");
    EXPECT_EQ(echoed, "it.kelvane.PLV.reloadPrefs;it.kelvane.PLV.reloadPrefs;") << "the poster hears its own post once";
    settings.disconnect();
    springBoard.disconnect();
    EXPECT_TRUE(std::filesystem::is_empty(folder)) << "disconnecting removes the markers";
}

TEST(NotificationsAcrossProcesses, StaleMarkersAreRemovedAndGarbageIsIgnored)
{
    RunLoop& loop = RunLoop::configureMain(ClockKind::System);
    testsupport::TemporaryFolder temporary { "plv-notify-stale" };
    const auto& folder = temporary.path();
    NotificationCenter listener;
    ASSERT_TRUE(listener.connect(folder));
    std::vector<std::string> received;
    listener.addObserver("good", [&](const std::string& name) { received.push_back(name); });
    std::ofstream(folder / "plvnotify-999999-deadbeefdeadbeef") << "gone\n";

    std::string endpoint;
    for (auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename() != "plvnotify-999999-deadbeefdeadbeef")
            endpoint = entry.path().filename().string();
    }
    ASSERT_FALSE(endpoint.empty());
    int raw = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, endpoint.data(), endpoint.size());
    auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + endpoint.size());
    for (std::string datagram : { std::string("nonsense"), std::string("PLVN1 "), std::string("PLVN1 bad\0name", 14), std::string(5000, 'x') })
        ::sendto(raw, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&address), length);
    ::close(raw);

    NotificationCenter poster;
    ASSERT_TRUE(poster.connect(folder));
    poster.post("good");
    EXPECT_TRUE(runUntil(loop, [&] { return !received.empty(); }));
    EXPECT_EQ(received, std::vector<std::string> { "good" }) << "only the well-formed datagram counts";
    EXPECT_FALSE(std::filesystem::exists(folder / "plvnotify-999999-deadbeefdeadbeef"));
    poster.disconnect();
    listener.disconnect();
}

TEST(NotificationsAcrossProcesses, ReachTheParentFromAChildProcess)
{
    RunLoop& loop = RunLoop::configureMain(ClockKind::System);
    testsupport::TemporaryFolder temporary { "plv-notify-child" };
    const auto& folder = temporary.path();
    NotificationCenter springBoard;
    ASSERT_TRUE(springBoard.connect(folder));
    int received = 0;
    springBoard.addObserver(ReloadPrefs, [&](const std::string&) { ++received; });

    std::string filter = "--gtest_filter=NotificationsChildProcess.PostsReloadWhenStartedByTheParent";
    std::string variable = "PLV_NOTIFY_CHILD_FOLDER=" + folder.string();
    std::vector<char*> environment;
    for (char** e = environ; *e; ++e)
        environment.push_back(*e);
    environment.push_back(variable.data());
    environment.push_back(nullptr);
    char self[] = "/proc/self/exe";
    char* arguments[] = { self, filter.data(), nullptr };
    pid_t child = 0;
    ASSERT_EQ(::posix_spawn(&child, "/proc/self/exe", nullptr, nullptr, arguments, environment.data()), 0);
    EXPECT_TRUE(runUntil(loop, [&] { return received > 0; }));
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(received, 1);
    springBoard.disconnect();
}

// The other half of the test above; it does nothing when run on its own.
TEST(NotificationsChildProcess, PostsReloadWhenStartedByTheParent)
{
    const char* folder = std::getenv("PLV_NOTIFY_CHILD_FOLDER");
    if (!folder)
        GTEST_SKIP() << "started by ReachTheParentFromAChildProcess";
    NotificationCenter settings;
    ASSERT_TRUE(settings.connect(folder));
    settings.post(ReloadPrefs);
}

// MARK: NSNotificationCenter

class Listener : public runtime::Object {
    PLV_CLASS(Listener, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<Listener>& b)
    {
        b.method("reloadPreferences", [](Listener& self) { self.trace += "r"; });
        b.method("noted:", [](Listener& self, const runtime::Id& note) {
            self.trace += "n:" + runtime::send<std::string>(note, "name") + ";";
            if (self.removeOther)
                runtime::send(NSNotificationCenter::defaultCenter(), "removeObserver:", self.removeOther);
        });
    }
    std::string trace;
    runtime::Id removeOther;
};

TEST(NSNotificationCenterTests, CallsObserversSynchronouslyWithTheirSelector)
{
    registerRunLoopClasses();
    auto center = runtime::send<runtime::Id>(runtime::classNamed("NSNotificationCenter"), "defaultCenter");
    ASSERT_TRUE(center);
    auto rendalo = runtime::make<Listener>();
    auto watcher = runtime::make<Listener>();
    auto sender = runtime::make<Listener>();
    runtime::send(center, "addObserver:selector:name:object:", rendalo, runtime::Sel("reloadPreferences"), "it.kelvane.RDL.reloadPrefs", nullptr);
    runtime::send(center, "addObserver:selector:name:object:", watcher, runtime::Sel("noted:"), "", sender);

    runtime::send(center, "postNotificationName:object:", "it.kelvane.RDL.reloadPrefs", nullptr);
    EXPECT_EQ(rendalo->trace, "r");
    EXPECT_EQ(watcher->trace, "") << "registered for one sender only";
    runtime::send(center, "postNotificationName:object:", "other", sender);
    EXPECT_EQ(watcher->trace, "n:other;");

    runtime::send(center, "removeObserver:", rendalo);
    runtime::send(center, "postNotificationName:object:", "it.kelvane.RDL.reloadPrefs", sender);
    EXPECT_EQ(rendalo->trace, "r");
    EXPECT_EQ(watcher->trace, "n:other;n:it.kelvane.RDL.reloadPrefs;");
    runtime::send(center, "removeObserver:", watcher);
}

TEST(NSNotificationCenterTests, ObserversAreWeakAndRemovalDuringAPostCounts)
{
    registerRunLoopClasses();
    auto center = NSNotificationCenter::defaultCenter();
    auto first = runtime::make<Listener>();
    auto second = runtime::make<Listener>();
    first->removeOther = second;
    center->addObserver(first, "noted:", "x", nullptr);
    center->addObserver(second, "noted:", "x", nullptr);
    center->postNotificationName("x", nullptr);
    EXPECT_EQ(first->trace, "n:x;");
    EXPECT_EQ(second->trace, "") << "removed by the first observer during the same post";

    std::weak_ptr<Listener> weakFirst = first;
    first->removeOther = nullptr;
    first.reset();
    EXPECT_TRUE(weakFirst.expired()) << "the centre does not keep its observers alive";
    center->postNotificationName("x", nullptr); // must not reach the freed observer
}

} // namespace
