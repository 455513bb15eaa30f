// The Mail service's notification centre in SpringBoard. When an e-mail
// arrives the phone sends the shared service
// `_didReceiveNotificationData:userInfo:` through the runtime, so an
// extension that replaces the method sees every new-mail notification.
//
// Runtime: `sharedInstance` (class) → the service;
// `_didReceiveNotificationData:userInfo:` (bytes, PlistValue) → nothing.
// The bytes are the notification's payload (the user info as a binary
// property list); the user info is a dictionary, and any value that is not a
// dictionary stands for nil. The service's own implementation counts the
// notifications and keeps the last user info (what the Mail icon's badge
// reflects).
#pragma once

#include <foundation/PropertyList.h>
#include <runtime/Runtime.h>

#include <cstdint>
#include <mutex>
#include <vector>

namespace mail {

class MSNotificationService : public runtime::Object {
    PLV_CLASS(MSNotificationService, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<MSNotificationService>&);
    static runtime::Ref<MSNotificationService> sharedInstance();
    static void reset();

    void didReceiveNotificationData(const std::vector<uint8_t>& data, const foundation::PlistValue& userInfo);

    int64_t notificationCount() const;
    foundation::PlistValue lastUserInfo() const;

private:
    mutable std::mutex m_lock;
    int64_t m_count { 0 };
    foundation::PlistValue m_lastUserInfo;
};

} // namespace mail
