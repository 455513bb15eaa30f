#include <activator/LAActivator.h>

#include <gtest/gtest.h>

namespace {

using namespace runtime;

std::string g_received;

class NamedListener : public Object {
    PLV_CLASS(NamedListener, Object)
public:
    static void registerMethods(ClassBuilder<NamedListener>& b)
    {
        b.method("activator:receiveEvent:forListenerName:", [](NamedListener& self, const Id& activator, const Id& event, const std::string& name) {
            g_received += self.m_tag + ":" + name + ":" + send<std::string>(event, "name") + ";";
            if (self.m_unregisterWhenCalled)
                send(activator, "unregisterListenerWithName:", name);
        });
    }
    std::string m_tag { "named" };
    bool m_unregisterWhenCalled { false };
};

class PlainListener : public Object {
    PLV_CLASS(PlainListener, Object)
public:
    static void registerMethods(ClassBuilder<PlainListener>& b)
    {
        b.method("activator:receiveEvent:", [](PlainListener&, const Id&, const Id& event) {
            g_received += "plain:" + send<std::string>(event, "mode") + ";";
        });
    }
};

class Activator : public ::testing::Test {
protected:
    void SetUp() override
    {
        activator::resetActivator();
        activator::registerActivatorClasses();
        g_received.clear();
    }
    void TearDown() override { activator::resetActivator(); }

    Id shared() { return send<Id>(classNamed("LAActivator"), "sharedInstance"); }
    bool raise(const std::string& name)
    {
        Id event = send<Id>(classNamed("LAEvent"), "eventWithName:mode:", "simulated", "springboard");
        return send<bool>(shared(), "sendEvent:toListenerWithName:", event, name);
    }
};

TEST_F(Activator, DeliversToTheListenerRegisteredUnderTheName)
{
    ASSERT_TRUE(shared());
    EXPECT_EQ(shared(), shared()) << "one shared instance";
    send(shared(), "registerListener:forName:", make<NamedListener>(), "it.example.compose");

    EXPECT_TRUE(raise("it.example.compose"));
    EXPECT_EQ(g_received, "named:it.example.compose:simulated;");
}

TEST_F(Activator, AnEventForAnUnknownNameReachesNobody)
{
    send(shared(), "registerListener:forName:", make<NamedListener>(), "it.example.compose");
    EXPECT_FALSE(raise("it.example.other"));
    EXPECT_FALSE(raise(""));
    EXPECT_EQ(g_received, "");
}

TEST_F(Activator, AListenerWithOnlyTheShortCallbackIsCalledWithIt)
{
    send(shared(), "registerListener:forName:", make<PlainListener>(), "plain");
    EXPECT_TRUE(raise("plain"));
    EXPECT_EQ(g_received, "plain:springboard;");
}

TEST_F(Activator, ListenersAreKeptAndTheLatestRegistrationWins)
{
    {
        auto first = make<NamedListener>();
        first->m_tag = "first";
        send(shared(), "registerListener:forName:", first, "name");
    }
    EXPECT_TRUE(raise("name")) << "Activator keeps what registers, even when nobody else does";
    auto second = make<NamedListener>();
    second->m_tag = "second";
    send(shared(), "registerListener:forName:", second, "name");
    EXPECT_TRUE(raise("name"));
    EXPECT_EQ(g_received, "first:name:simulated;second:name:simulated;");
}

TEST_F(Activator, NilListenersAndObjectsWithoutCallbacksAreRefusedQuietly)
{
    send(shared(), "registerListener:forName:", nil, "nobody");
    EXPECT_FALSE(send<bool>(shared(), "hasSeenListenerWithName:", "nobody"));
    send(shared(), "registerListener:forName:", make<Object>(), "mute");
    EXPECT_FALSE(raise("mute")) << "an object that answers no callback did not take the event";
}

TEST_F(Activator, AListenerMayUnregisterItselfWhileHandlingTheEvent)
{
    auto listener = make<NamedListener>();
    listener->m_unregisterWhenCalled = true;
    send(shared(), "registerListener:forName:", listener, "once");
    listener.reset();
    EXPECT_TRUE(raise("once"));
    EXPECT_FALSE(raise("once"));
    EXPECT_EQ(g_received, "named:once:simulated;");
}

} // namespace
