#include "TestClasses.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace runtime_test;

namespace {

void recordDiagnostic(std::string_view message) { g_diagnostics.emplace_back(message); }

class Runtime : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_diagnostics.clear();
        g_trace.clear();
        setDiagnosticSink(&recordDiagnostic);
        Dog::classObject();
    }
    void TearDown() override { setDiagnosticSink(nullptr); }
};

TEST_F(Runtime, MessagesToNilAnswerZero)
{
    Id nothing;
    EXPECT_EQ(send<int>(nothing, "legs"), 0);
    EXPECT_EQ(send<std::string>(nothing, "name"), "");
    EXPECT_EQ(send<Id>(nothing, "friendOf:", nothing), nullptr);
    EXPECT_FALSE(send<bool>(nothing, "fetch:", 1));
    EXPECT_EQ(send<double>(nothing, "weight"), 0.0);
    send(nothing, "setName:", "x");
    EXPECT_TRUE(g_diagnostics.empty());
}

TEST_F(Runtime, SendsTypedMessagesThroughTheMethodTable)
{
    auto dog = make<Dog>();
    EXPECT_EQ(send<std::string>(dog, "speak"), "woof");
    EXPECT_EQ(send<int>(dog, "legs"), 4);
    EXPECT_EQ(send<long>(dog, "legs"), 4);
    EXPECT_TRUE(send<bool>(dog, "fetch:", 3));
    EXPECT_FALSE(send<bool>(dog, "fetch:", 0u));
    send(dog, "setName:", "Fido");
    EXPECT_EQ(dog->name(), "Fido");
    send(dog, "setName:", std::string_view("Rex"));
    EXPECT_EQ(send<std::string>(dog, "name"), "Rex");
}

TEST_F(Runtime, ObjectArgumentsAndResultsConvertBetweenClasses)
{
    auto dog = make<Dog>();
    auto other = make<Animal>();
    Ref<Animal> answered = send<Ref<Animal>>(dog, "friendOf:", other);
    EXPECT_EQ(answered, other);
    EXPECT_EQ(send<Ref<Dog>>(dog, "friendOf:", other), nullptr) << "a result of another class reads as nil";
    EXPECT_EQ(send<Id>(dog, "friendOf:", nullptr), nullptr);
}

TEST_F(Runtime, UnknownSelectorIsReportedAndAnswersZero)
{
    auto dog = make<Dog>();
    EXPECT_EQ(send<int>(dog, "fly"), 0);
    ASSERT_EQ(g_diagnostics.size(), 1u);
    EXPECT_EQ(g_diagnostics[0], "-[Dog fly]: unrecognized selector sent to instance");
}

TEST_F(Runtime, MismatchedArgumentsAreReportedNotCalled)
{
    auto dog = make<Dog>();
    EXPECT_FALSE(send<bool>(dog, "fetch:", "three"));
    EXPECT_EQ(send<std::string>(dog, "legs"), "");
    EXPECT_EQ(g_diagnostics.size(), 2u);
}

TEST_F(Runtime, OverridingWithAnotherSignatureIsRefused)
{
    Class* cls = defineClass("BadDog", Dog::classObject());
    ClassBuilder<Dog> b(cls);
    EXPECT_FALSE(b.method("speak", [](Dog&) -> int { return 1; }));
    EXPECT_TRUE(b.method("speak", [](Dog&) -> std::string { return "grr"; }));
    Id bad = send<Id>(send<Id>(cls, "alloc"), "init");
    EXPECT_EQ(send<std::string>(bad, "speak"), "grr");
}

TEST_F(Runtime, ClassesAreFoundByNameAndCanBeRemoved)
{
    Class* dog = classNamed("Dog");
    ASSERT_EQ(dog, Dog::classObject());
    EXPECT_EQ(dog->superclass(), Animal::classObject());
    auto rex = make<Dog>();
    {
        ScopedClassRemoval absent("Dog");
        EXPECT_EQ(classNamed("Dog"), nullptr);
        EXPECT_EQ(send<Id>(classNamed("Dog"), "alloc"), nullptr);
        EXPECT_EQ(send<std::string>(rex, "speak"), "woof") << "instances outlive the removal";
    }
    EXPECT_EQ(classNamed("Dog"), dog);
    EXPECT_EQ(classNamed("NoSuchFramework"), nullptr);
}

TEST_F(Runtime, AllocThroughTheRuntimeMakesTheRightClass)
{
    Id object = send<Id>(send<Id>(classNamed("Dog"), "alloc"), "init");
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(object->isKindOfClass(classNamed("Animal")));
    EXPECT_TRUE(object->isMemberOfClass(classNamed("Dog")));
    EXPECT_FALSE(make<Animal>()->isKindOfClass(classNamed("Dog")));
    EXPECT_TRUE(send<bool>(object, "isKindOfClass:", classNamed("NSObject")));
    EXPECT_NE(cast<Dog>(object), nullptr);
}

TEST_F(Runtime, ClassMethodsAreInheritedByMetaclasses)
{
    EXPECT_EQ(send<std::string>(classNamed("Animal"), "kingdom"), "animalia");
    EXPECT_EQ(send<std::string>(classNamed("Dog"), "kingdom"), "animalia");
    EXPECT_EQ(send<std::string>(make<Dog>(), "kingdom"), "") << "not an instance method";
    EXPECT_EQ(g_diagnostics.size(), 1u);
}

TEST_F(Runtime, InstanceVariablesAreReadByName)
{
    auto dog = make<Dog>();
    auto buddy = make<Animal>();
    dog->setName("Fido");
    dog->friendOf(buddy);
    ASSERT_NE(ivar<std::string>(dog.get(), "_name"), nullptr);
    EXPECT_EQ(*ivar<std::string>(dog.get(), "_name"), "Fido");
    EXPECT_EQ(ivar<int>(dog.get(), "_name"), nullptr) << "wrong type";
    EXPECT_EQ(ivar<std::string>(dog.get(), "_missing"), nullptr);
    EXPECT_EQ(objectIvar(dog, "_friend"), buddy);
    EXPECT_EQ(objectIvar(dog, "_name"), nullptr);
    EXPECT_EQ(objectIvar(nil, "_friend"), nullptr);
}

TEST_F(Runtime, RespondsToSelectorFollowsInheritance)
{
    auto dog = make<Dog>();
    EXPECT_TRUE(respondsTo(dog, "legs"));
    EXPECT_TRUE(respondsTo(dog, "fetch:"));
    EXPECT_FALSE(respondsTo(make<Animal>(), "fetch:"));
    EXPECT_FALSE(respondsTo(nil, "legs"));
}

TEST(Selectors, AreInternedOnce)
{
    Sel a("observer:addBulletin:forFeed:");
    Sel b(std::string("observer:addBulletin:forFeed:"));
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.argumentCount(), 3);
    EXPECT_NE(Sel("launch"), Sel("launch:"));
    EXPECT_TRUE(Sel().isNull());
}

// Selectors named by the same pointer are remembered per pointer; the text
// behind a pointer can change (a reused buffer), and then so must the selector.
TEST(Selectors, AReusedBufferNamesWhatItNowHolds)
{
    char buffer[32] = "markAsRead";
    Sel first(static_cast<const char*>(buffer));
    EXPECT_EQ(first, Sel("markAsRead"));
    std::strcpy(buffer, "markAsUnread");
    Sel second(static_cast<const char*>(buffer));
    EXPECT_EQ(second.name(), "markAsUnread");
    EXPECT_NE(first, second);
    std::strcpy(buffer, "markAsRead");
    EXPECT_EQ(Sel(static_cast<const char*>(buffer)), first);
}

} // namespace

namespace library_a {
class Twin : public runtime::Object {
    PLV_CLASS(Twin, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<Twin>& b)
    {
        b.method("who", [](Twin&) -> std::string { return "a"; });
    }
};
}
namespace library_b {
class Twin : public runtime::Object {
    PLV_CLASS(Twin, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<Twin>& b)
    {
        b.method("who", [](Twin&) -> std::string { return "b"; });
        b.method("onlyB", [](Twin&) -> int64_t { return 2; });
    }
};
}

TEST(LibraryClasses, TwoLibrariesWithOneClassNameEachKeepTheirOwn)
{
    runtime::Class* first = library_a::Twin::classObject();
    runtime::Class* second = library_b::Twin::classObject();
    ASSERT_NE(first, second);
    EXPECT_EQ(second->name(), "Twin");
    // The name answers the class defined first.
    EXPECT_EQ(runtime::classNamed("Twin"), first);

    auto a = runtime::make<library_a::Twin>();
    auto b = runtime::make<library_b::Twin>();
    EXPECT_EQ(runtime::send<std::string>(a, "who"), "a");
    EXPECT_EQ(runtime::send<std::string>(b, "who"), "b");
    EXPECT_EQ(runtime::send<int64_t>(b, "onlyB"), 2);
    EXPECT_FALSE(runtime::respondsTo(a, "onlyB"));
    // alloc on the second library's class makes its own objects.
    runtime::Id made = runtime::send<runtime::Id>(second, "alloc");
    EXPECT_EQ(runtime::send<std::string>(made, "who"), "b");
}
