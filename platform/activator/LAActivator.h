// Activator: listeners register under a name, and an event (a gesture or
// button combination the user chose) is delivered to the listener of that
// name. The phone has no gestures bound to listeners, so an event is raised
// by name: `sendEvent:toListenerWithName:` (what the simulator's Activator
// action does). A listener is called with `activator:receiveEvent:
// forListenerName:` when it implements it, otherwise with
// `activator:receiveEvent:`, through the runtime.
#pragma once

#include <runtime/Runtime.h>

#include <map>
#include <string>
#include <vector>

namespace activator {

// `LAEventModeSpringBoard` and friends: where the device was when the event fired.
inline constexpr std::string_view LAEventModeSpringBoard = "springboard";
inline constexpr std::string_view LAEventModeApplication = "application";
inline constexpr std::string_view LAEventModeLockScreen = "lockscreen";

class LAEvent : public runtime::Object {
    PLV_CLASS(LAEvent, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<LAEvent>&);

    // `+eventWithName:mode:`.
    static runtime::Ref<LAEvent> eventWithName(const std::string& name, const std::string& mode);

    const std::string& name() const { return m_name; }
    const std::string& mode() const { return m_mode; }
    bool isHandled() const { return m_handled; }
    void setHandled(bool handled) { m_handled = handled; }

private:
    std::string m_name;
    std::string m_mode;
    bool m_handled { false };
};

class LAActivator : public runtime::Object {
    PLV_CLASS(LAActivator, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<LAActivator>&);

    static runtime::Ref<LAActivator> sharedInstance();

    // A second listener under a name replaces the first. Listeners are kept
    // (retained) until unregistered, as Activator keeps them.
    void registerListener(const runtime::Id& listener, const std::string& name);
    void unregisterListener(const std::string& name);
    runtime::Id listenerForName(const std::string& name) const;
    bool hasListenerWithName(const std::string& name) const { return listenerForName(name) != nullptr; }
    std::vector<std::string> availableListenerNames() const;

    // Delivers the event to the listener of that name; false when there is
    // none or it answers neither callback.
    bool sendEvent(const runtime::Ref<LAEvent>&, const std::string& listenerName);

private:
    std::map<std::string, runtime::Id> m_listeners;
};

void registerActivatorClasses();
// Forgets the shared instance and its listeners (a phone shutting down).
void resetActivator();

} // namespace activator
