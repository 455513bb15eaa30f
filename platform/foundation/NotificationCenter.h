// Notifications by name. `NotificationCenter` is the Darwin centre: a name
// without payload, posted from any thread and delivered on the main run loop
// in posting order; connected to a folder under the device root it also
// reaches the other processes of the same phone (the settings application may
// run on its own). `NSNotificationCenter` is the process's own centre, which
// calls its observers synchronously with a selector. The C spellings the
// system uses (`notify_post`, `CFNotificationCenterAddObserver`) follow at the
// end.
#pragma once

#include <runtime/Runtime.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace foundation {

class NotificationCenter {
public:
    using Token = uint64_t;
    using Callback = std::function<void(const std::string& name)>;

    // `CFNotificationCenterGetDarwinNotifyCenter()`; lives for the process.
    static NotificationCenter& darwin();

    NotificationCenter();
    ~NotificationCenter();
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    // Observers of one name are called in the order they were added. One
    // added while a post is being delivered does not receive that post; one
    // removed meanwhile is not called any more.
    Token addObserver(std::string name, Callback);
    void removeObserver(Token);
    size_t observerCount() const;

    // Delivered at a later turn of the main run loop, never inside `post`.
    void post(std::string_view name);

    // Cross-process delivery. Each connected centre binds a datagram socket
    // (abstract namespace, so no path length limit and nothing left behind)
    // and leaves a marker file named after it in `hostFolder`; a post is sent
    // to every other marker there. Markers of processes that are gone are
    // removed by the next post. Answers false (and logs) when the folder or
    // the socket cannot be set up; in-process delivery works either way.
    bool connect(const std::filesystem::path& hostFolder);
    void disconnect();
    bool isConnected() const;

    // Where the phone keeps the markers, as a device path.
    static constexpr std::string_view DeviceFolder = "/var/run/notifyd";
    // Longest name that crosses processes; longer ones stay in-process.
    static constexpr size_t MaximumNameLength = 1024;

private:
    struct State;
    struct Link;
    static void deliver(const std::weak_ptr<State>&, const std::string& name);
    void sendToPeers(std::string_view name);

    std::shared_ptr<State> m_state;
    mutable std::mutex m_linkMutex;
    std::unique_ptr<Link> m_link;
};

class NSNotification : public runtime::Object {
    PLV_CLASS(NSNotification, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<NSNotification>&);

    const std::string& name() const { return m_name; }
    runtime::Id object() const { return m_object; }

    std::string m_name;
    runtime::Id m_object;
};

// The process's own notification centre (`+[NSNotificationCenter
// defaultCenter]`). Observers are held weakly and called on the posting
// thread, in the order they were added; a nil (empty) name or a nil object in
// the registration matches every post.
class NSNotificationCenter : public runtime::Object {
    PLV_CLASS(NSNotificationCenter, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<NSNotificationCenter>&);
    static runtime::Ref<NSNotificationCenter> defaultCenter();

    void addObserver(const runtime::Id& observer, const runtime::Sel& selector, const std::string& name, const runtime::Id& object);
    void removeObserver(const runtime::Id& observer);
    void removeObserverForName(const runtime::Id& observer, const std::string& name, const runtime::Id& object);
    void postNotificationName(const std::string& name, const runtime::Id& object);

private:
    struct Registration {
        runtime::WeakId observer;
        runtime::Sel selector;
        std::string name;
        runtime::WeakId object;
        bool anyObject { true };
        uint64_t id { 0 };
    };
    mutable std::mutex m_mutex;
    std::vector<Registration> m_registrations;
    uint64_t m_nextId { 1 };
};

void registerNotificationClasses();

} // namespace foundation

// MARK: The C spellings

using CFNotificationCenterRef = foundation::NotificationCenter*;
using CFStringRef = std::string_view; // nil reads as empty
using CFDictionaryRef = const void*;
using CFNotificationSuspensionBehavior = long;
using CFNotificationCallback = void (*)(CFNotificationCenterRef center, void* observer, CFStringRef name, const void* object, CFDictionaryRef userInfo);

inline constexpr CFNotificationSuspensionBehavior CFNotificationSuspensionBehaviorDrop = 1;
inline constexpr CFNotificationSuspensionBehavior CFNotificationSuspensionBehaviorCoalesce = 2;
inline constexpr CFNotificationSuspensionBehavior CFNotificationSuspensionBehaviorHold = 3;
inline constexpr CFNotificationSuspensionBehavior CFNotificationSuspensionBehaviorDeliverImmediately = 4;

inline constexpr uint32_t NOTIFY_STATUS_OK = 0;
inline constexpr uint32_t NOTIFY_STATUS_INVALID_NAME = 1;

CFNotificationCenterRef CFNotificationCenterGetDarwinNotifyCenter();
// Darwin notifications carry no object or user info: the callback gets null
// for both. The suspension behaviour is accepted and ignored, as the Darwin
// centre does.
void CFNotificationCenterAddObserver(CFNotificationCenterRef, const void* observer, CFNotificationCallback, CFStringRef name, const void* object, CFNotificationSuspensionBehavior);
// An empty name removes the observer's registrations for every name.
void CFNotificationCenterRemoveObserver(CFNotificationCenterRef, const void* observer, CFStringRef name, const void* object);
void CFNotificationCenterRemoveEveryObserver(CFNotificationCenterRef, const void* observer);
void CFNotificationCenterPostNotification(CFNotificationCenterRef, CFStringRef name, const void* object, CFDictionaryRef userInfo, bool deliverImmediately);
uint32_t notify_post(const char* name);
