// Cached look-ups after the method tables change: a selector that one class
// has already answered from its cache must find a method added, or a hook
// installed, above or beside it afterwards, while unrelated classes keep what
// they found. Each test builds its own classes so that nothing another test
// cached hides a stale entry.
#include "TestClasses.h"

#include <gtest/gtest.h>

using namespace runtime_test;

namespace {

// Three classes in a line under Animal, and a sibling of the middle one.
struct Family {
    Class* top;
    Class* middle;
    Class* bottom;
    Class* sibling;
};

Family makeFamily(const std::string& prefix)
{
    Class* top = defineClass(prefix + "Top", Animal::classObject());
    Class* middle = defineClass(prefix + "Middle", top);
    return { top, middle, defineClass(prefix + "Bottom", middle), defineClass(prefix + "Sibling", top) };
}

Id instanceOf(Class* cls) { return send<Id>(cls, "alloc"); }

TEST(MethodCache, AMethodAddedAboveACachedLookupIsFoundBelowIt)
{
    Family f = makeFamily("Added");
    Id bottom = instanceOf(f.bottom);
    Id sibling = instanceOf(f.sibling);
    ASSERT_EQ(send<std::string>(bottom, "speak"), "...");
    ASSERT_EQ(send<std::string>(sibling, "speak"), "...");

    ClassBuilder<Animal>(f.middle).method("speak", [](Animal&) -> std::string { return "middle"; });
    EXPECT_EQ(send<std::string>(bottom, "speak"), "middle");
    EXPECT_EQ(send<std::string>(instanceOf(f.middle), "speak"), "middle");
    EXPECT_EQ(send<std::string>(sibling, "speak"), "...") << "a sibling still inherits from above";
    EXPECT_EQ(send<std::string>(instanceOf(f.top), "speak"), "...");

    ClassBuilder<Animal>(f.bottom).method("speak", [](Animal&) -> std::string { return "bottom"; });
    EXPECT_EQ(send<std::string>(bottom, "speak"), "bottom");
    EXPECT_EQ(send<std::string>(instanceOf(f.middle), "speak"), "middle");
}

TEST(MethodCache, ASelectorUnknownUntilAddedIsAnsweredOnceAdded)
{
    Family f = makeFamily("Late");
    Id bottom = instanceOf(f.bottom);
    EXPECT_FALSE(respondsTo(bottom, "purr"));
    ClassBuilder<Animal>(f.top).method("purr", [](Animal&) -> int { return 7; });
    EXPECT_TRUE(respondsTo(bottom, "purr"));
    EXPECT_EQ(send<int>(bottom, "purr"), 7);
    EXPECT_EQ(send<int>(instanceOf(f.sibling), "purr"), 7);
}

using SpeakImp = std::string (*)(Object*, Sel);
SpeakImp s_savedSpeak;
std::string hookedSpeak(Object* self, Sel s) { return "hooked " + s_savedSpeak(self, s); }

TEST(MethodCache, AHookOnAnInheritedMethodReachesSubclassesThatCachedTheOriginal)
{
    Family f = makeFamily("Hooked");
    Id bottom = instanceOf(f.bottom);
    Id sibling = instanceOf(f.sibling);
    ASSERT_EQ(send<std::string>(bottom, "speak"), "...");
    ASSERT_EQ(send<std::string>(sibling, "speak"), "...");

    ASSERT_EQ(hookMessage(f.middle, "speak", &hookedSpeak, &s_savedSpeak), HookResult::Ok);
    EXPECT_EQ(send<std::string>(bottom, "speak"), "hooked ...");
    EXPECT_EQ(send<std::string>(sibling, "speak"), "...");

    // A hook on a method the class owns swaps the implementation in place.
    SpeakImp first = s_savedSpeak;
    ASSERT_EQ(hookMessage(f.middle, "speak", &hookedSpeak, &s_savedSpeak), HookResult::Ok);
    EXPECT_EQ(s_savedSpeak, &hookedSpeak);
    EXPECT_EQ(revertHook(f.middle, "speak", &hookedSpeak, s_savedSpeak), HookResult::Ok);
    s_savedSpeak = first;
    EXPECT_EQ(send<std::string>(bottom, "speak"), "hooked ...");
    EXPECT_EQ(revertHook(f.middle, "speak", &hookedSpeak, first), HookResult::Ok);
    EXPECT_EQ(send<std::string>(bottom, "speak"), "...");
}

TEST(MethodCache, ClassesCreatedAfterAChangeSeeIt)
{
    Family f = makeFamily("Created");
    ASSERT_EQ(send<std::string>(instanceOf(f.bottom), "speak"), "...");
    ClassBuilder<Animal>(f.middle).method("speak", [](Animal&) -> std::string { return "middle"; });
    Class* later = defineClass("CreatedLater", f.bottom);
    Id instance = instanceOf(later);
    EXPECT_EQ(send<std::string>(instance, "speak"), "middle");
    ClassBuilder<Animal>(f.top).method("growl", [](Animal&) -> std::string { return "grr"; });
    EXPECT_EQ(send<std::string>(instance, "growl"), "grr");
}

TEST(MethodCache, ClassMethodsAddedLaterReachSubclassesAndRootMethodsReachClassObjects)
{
    Family f = makeFamily("Meta");
    EXPECT_EQ(send<std::string>(f.bottom, "kingdom"), "animalia");
    ClassBuilder<Animal>(f.middle).classMethod("kingdom", [](Class&) -> std::string { return "middle"; });
    EXPECT_EQ(send<std::string>(f.bottom, "kingdom"), "middle");
    EXPECT_EQ(send<std::string>(f.sibling, "kingdom"), "animalia");

    // Class objects answer the root class's instance methods, added late too.
    EXPECT_FALSE(respondsTo(f.bottom, "methodCacheProbe"));
    ClassBuilder<Object>(Object::classObject()).method("methodCacheProbe", [](Object&) -> int { return 1; });
    EXPECT_EQ(send<int>(f.bottom, "methodCacheProbe"), 1);
    EXPECT_EQ(send<int>(instanceOf(f.bottom), "methodCacheProbe"), 1);
}

} // namespace
