#include "LAActivator.h"

namespace activator {

using runtime::Id;

namespace {
    runtime::Ref<LAActivator> s_shared;
}

void LAEvent::registerMethods(runtime::ClassBuilder<LAEvent>& b)
{
    b.classMethod("eventWithName:mode:", [](runtime::Class&, const std::string& name, const std::string& mode) -> Id { return eventWithName(name, mode); });
    b.classMethod("eventWithName:", [](runtime::Class&, const std::string& name) -> Id { return eventWithName(name, std::string(LAEventModeSpringBoard)); });
    b.method<&LAEvent::name>("name");
    b.method<&LAEvent::mode>("mode");
    b.method<&LAEvent::isHandled>("isHandled");
    b.method<&LAEvent::setHandled>("setHandled:");
}

runtime::Ref<LAEvent> LAEvent::eventWithName(const std::string& name, const std::string& mode)
{
    auto event = runtime::make<LAEvent>();
    event->m_name = name;
    event->m_mode = mode;
    return event;
}

void LAActivator::registerMethods(runtime::ClassBuilder<LAActivator>& b)
{
    b.classMethod("sharedInstance", [](runtime::Class&) -> Id { return sharedInstance(); });
    b.method<&LAActivator::registerListener>("registerListener:forName:");
    b.method<&LAActivator::unregisterListener>("unregisterListenerWithName:");
    b.method<&LAActivator::listenerForName>("listenerForName:");
    b.method<&LAActivator::hasListenerWithName>("hasSeenListenerWithName:");
    b.method("sendEvent:toListenerWithName:", [](LAActivator& self, const Id& event, const std::string& name) -> bool {
        return self.sendEvent(runtime::cast<LAEvent>(event), name);
    });
}

runtime::Ref<LAActivator> LAActivator::sharedInstance()
{
    if (!s_shared)
        s_shared = runtime::make<LAActivator>();
    return s_shared;
}

void LAActivator::registerListener(const Id& listener, const std::string& name)
{
    if (!listener || name.empty())
        return;
    m_listeners[name] = listener;
}

void LAActivator::unregisterListener(const std::string& name)
{
    m_listeners.erase(name);
}

Id LAActivator::listenerForName(const std::string& name) const
{
    auto found = m_listeners.find(name);
    return found == m_listeners.end() ? runtime::nil : found->second;
}

std::vector<std::string> LAActivator::availableListenerNames() const
{
    std::vector<std::string> names;
    for (auto& [name, listener] : m_listeners)
        names.push_back(name);
    return names;
}

bool LAActivator::sendEvent(const runtime::Ref<LAEvent>& event, const std::string& listenerName)
{
    // Held across the call: the listener may unregister itself while handling the event.
    Id listener = listenerForName(listenerName);
    if (!listener)
        return false;
    Id self = this->self();
    Id eventId = event ? Id(event) : Id(LAEvent::eventWithName("", std::string(LAEventModeSpringBoard)));
    if (runtime::respondsTo(listener, "activator:receiveEvent:forListenerName:")) {
        runtime::send(listener, "activator:receiveEvent:forListenerName:", self, eventId, listenerName);
        return true;
    }
    if (runtime::respondsTo(listener, "activator:receiveEvent:")) {
        runtime::send(listener, "activator:receiveEvent:", self, eventId);
        return true;
    }
    return false;
}

void registerActivatorClasses()
{
    LAEvent::classObject();
    LAActivator::classObject();
}

void resetActivator()
{
    s_shared.reset();
}

} // namespace activator
