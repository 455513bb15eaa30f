#include "MSNotificationService.h"

namespace mail {

namespace {

    std::mutex s_sharedLock;
    runtime::Ref<MSNotificationService> s_shared;

} // namespace

void MSNotificationService::registerMethods(runtime::ClassBuilder<MSNotificationService>& b)
{
    b.classMethod("sharedInstance", [](runtime::Class&) -> runtime::Id { return MSNotificationService::sharedInstance(); });
    b.method<&MSNotificationService::didReceiveNotificationData>("_didReceiveNotificationData:userInfo:");
}

runtime::Ref<MSNotificationService> MSNotificationService::sharedInstance()
{
    std::lock_guard guard(s_sharedLock);
    if (!s_shared)
        s_shared = runtime::make<MSNotificationService>();
    return s_shared;
}

void MSNotificationService::reset()
{
    std::lock_guard guard(s_sharedLock);
    s_shared.reset();
}

void MSNotificationService::didReceiveNotificationData(const std::vector<uint8_t>&, const foundation::PlistValue& userInfo)
{
    std::lock_guard guard(m_lock);
    ++m_count;
    m_lastUserInfo = userInfo;
}

int64_t MSNotificationService::notificationCount() const
{
    std::lock_guard guard(m_lock);
    return m_count;
}

foundation::PlistValue MSNotificationService::lastUserInfo() const
{
    std::lock_guard guard(m_lock);
    return m_lastUserInfo;
}

} // namespace mail
