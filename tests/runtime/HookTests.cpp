#include "TestClasses.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace runtime_test;

namespace {

using TraceImp = void (*)(Object*, Sel, const std::string&);

TraceImp s_savedA;
TraceImp s_savedB;

void hookA(Object* self, Sel s, const std::string& text)
{
    g_trace += "a";
    s_savedA(self, s, text);
    g_trace += "b";
}

void hookB(Object* self, Sel s, const std::string& text)
{
    g_trace += "c";
    s_savedB(self, s, text);
    g_trace += "d";
}

class Hooks : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_trace.clear();
        Dog::classObject();
    }
};

TEST_F(Hooks, OneHookWrapsTheOriginal)
{
    auto dog = make<Dog>();
    ASSERT_EQ(hookMessage(classNamed("Animal"), "traceTo:", &hookA, &s_savedA), HookResult::Ok);
    send(dog, "traceTo:", "|");
    EXPECT_EQ(g_trace, "a|b");
    EXPECT_EQ(revertHook(classNamed("Animal"), "traceTo:", &hookA, s_savedA), HookResult::Ok);
    g_trace.clear();
    send(dog, "traceTo:", "|");
    EXPECT_EQ(g_trace, "|");
}

TEST_F(Hooks, TwoHooksChainInInstallOrder)
{
    auto animal = make<Animal>();
    Class* cls = classNamed("Animal");
    ASSERT_EQ(hookMessage(cls, "traceTo:", &hookA, &s_savedA), HookResult::Ok);
    ASSERT_EQ(hookMessage(cls, "traceTo:", &hookB, &s_savedB), HookResult::Ok);
    send(animal, "traceTo:", "|");
    EXPECT_EQ(g_trace, "ca|bd");
    EXPECT_EQ(revertHook(cls, "traceTo:", &hookA, s_savedA), HookResult::NotInstalled) << "only the outermost hook can come off";
    EXPECT_EQ(revertHook(cls, "traceTo:", &hookB, s_savedB), HookResult::Ok);
    EXPECT_EQ(revertHook(cls, "traceTo:", &hookA, s_savedA), HookResult::Ok);
}

using SpeakImp = std::string (*)(Object*, Sel);
SpeakImp s_savedSpeak;
std::string loudSpeak(Object* self, Sel s) { return s_savedSpeak(self, s) + "!"; }

using LegsImp = int64_t (*)(Object*, Sel);
int64_t threeLegs(Object*, Sel) { return 3; }

TEST_F(Hooks, HookingAnInheritedMethodLeavesTheSuperclassAlone)
{
    Class* dogClass = classNamed("Dog");
    LegsImp savedLegs = nullptr;
    ASSERT_EQ(hookMessage(dogClass, "legs", &threeLegs, &savedLegs), HookResult::Ok);
    EXPECT_EQ(send<int>(make<Dog>(), "legs"), 3);
    EXPECT_EQ(send<int>(make<Animal>(), "legs"), 4);

    ASSERT_EQ(hookMessage(dogClass, "speak", &loudSpeak, &s_savedSpeak), HookResult::Ok);
    EXPECT_EQ(send<std::string>(make<Dog>(), "speak"), "woof!");
    EXPECT_EQ(send<std::string>(make<Animal>(), "speak"), "...");

    // Later tests in this program send to dogs: leave them as they were.
    EXPECT_EQ(revertHook(dogClass, "speak", &loudSpeak, s_savedSpeak), HookResult::Ok);
    EXPECT_EQ(revertHook(dogClass, "legs", &threeLegs, savedLegs), HookResult::Ok);
    EXPECT_EQ(send<int>(make<Dog>(), "legs"), 4);
    EXPECT_EQ(send<std::string>(make<Dog>(), "speak"), "woof");
}

TEST_F(Hooks, FailuresAreTypedResults)
{
    SpeakImp saved = nullptr;
    EXPECT_EQ(hookMessage(classNamed("NoSuchClass"), "speak", &loudSpeak, &saved), HookResult::NoSuchClass);
    EXPECT_EQ(hookMessage(classNamed("Animal"), "sing", &loudSpeak, &saved), HookResult::NoSuchSelector);
    EXPECT_EQ(hookMessage(classNamed("Animal"), "legs", &loudSpeak, &saved), HookResult::SignatureMismatch);
    EXPECT_EQ(saved, nullptr) << "a failed hook hands nothing back";
    EXPECT_EQ(toString(HookResult::NoSuchSelector), "no such selector");
}

TEST_F(Hooks, SendingWhileAnotherThreadHooksIsSafe)
{
    auto animal = make<Animal>();
    // The original is learnt once, before the sender starts: the loop below
    // only swaps the method table under the sender's feet.
    static std::atomic<LegsImp> original;
    auto same = +[](Object* self, Sel s) -> int64_t { return original.load()(self, s); };
    LegsImp saved = nullptr;
    ASSERT_EQ(hookMessage(classNamed("Animal"), "legs", same, &saved), HookResult::Ok);
    original = saved;
    ASSERT_EQ(revertHook(classNamed("Animal"), "legs", same, saved), HookResult::Ok);

    std::atomic<bool> stop { false };
    std::thread sender([&] {
        while (!stop)
            EXPECT_EQ(send<int>(animal, "legs"), 4);
    });
    for (int i = 0; i < 200; ++i) {
        LegsImp replaced = nullptr;
        ASSERT_EQ(hookMessage(classNamed("Animal"), "legs", same, &replaced), HookResult::Ok);
        EXPECT_EQ(replaced, original.load());
        ASSERT_EQ(revertHook(classNamed("Animal"), "legs", same, replaced), HookResult::Ok);
    }
    stop = true;
    sender.join();
}

TEST_F(Hooks, AReplacementEnteredAtOnceOnAnotherThreadFindsItsOriginal)
{
    // The saved slot is a plain variable, as in every extension: the runtime
    // must fill it before the replacement can be reached.
    auto animal = make<Animal>();
    static LegsImp saved;
    saved = nullptr;
    auto through = +[](Object* self, Sel s) -> int64_t { return saved ? saved(self, s) + 1 : -1; };
    std::atomic<bool> stop { false };
    std::atomic<int> answered { 0 };
    std::thread sender([&] {
        while (!stop) {
            auto legs = send<int>(animal, "legs");
            EXPECT_TRUE(legs == 4 || legs == 5) << legs;
            answered.fetch_add(1);
        }
    });
    while (answered.load() == 0)
        std::this_thread::yield();
    ASSERT_EQ(hookMessage(classNamed("Animal"), "legs", through, &saved), HookResult::Ok);
    int seen = answered.load();
    while (answered.load() < seen + 100)
        std::this_thread::yield();
    stop = true;
    sender.join();
    EXPECT_EQ(send<int>(animal, "legs"), 5);
    ASSERT_EQ(revertHook(classNamed("Animal"), "legs", through, saved), HookResult::Ok);
}

} // namespace
