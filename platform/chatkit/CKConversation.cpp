#include "CKConversation.h"

#include "AddressMatching.h"
#include "CKMadridService.h"
#include "CKSMSService.h"
#include "Database.h"
#include "Instantiate.h"

#include <algorithm>

namespace chatkit {

using runtime::ClassBuilder;
using runtime::Id;
using runtime::Ref;

namespace {

    SharedInstance<CKConversationList> s_sharedConversationList;

} // namespace

void CKConversation::registerMethods(ClassBuilder<CKConversation>& b)
{
    b.method<&CKConversation::recipients>("recipients");
    b.method("isMadrid", [](CKConversation& self) -> bool { return self.service() == Service::Madrid; });
    b.method("groupID", [](CKConversation& self) -> int64_t { return self.groupID(false); });
    b.method<&CKConversation::markAllMessagesAsRead>("markAllMessagesAsRead");
    b.method<&CKConversation::resetPendingMessages>("resetPendingMessages");
    b.method<&CKConversation::setUnreadCount>("setUnreadCount:");
    b.method<&CKConversation::unreadCount>("unreadCount");
    b.method<&CKConversation::pendingMessages>("pendingMessages");
}

Ref<CKConversation> CKConversation::make(Service service, std::vector<Ref<CKEntity>> recipients)
{
    auto conversation = instantiate<CKConversation>();
    if (!conversation)
        return nullptr;
    conversation->m_service = service;
    conversation->m_recipients = std::move(recipients);
    return conversation;
}

std::vector<Id> CKConversation::recipients() const { return { m_recipients.begin(), m_recipients.end() }; }

std::vector<std::string> CKConversation::addresses() const
{
    std::vector<std::string> result;
    for (const auto& entity : m_recipients)
        result.push_back(entity->rawAddress());
    return result;
}

bool CKConversation::matches(Service service, const std::vector<std::string>& wanted) const
{
    if (service != m_service || wanted.size() != m_recipients.size())
        return false;
    return std::all_of(wanted.begin(), wanted.end(), [&](const std::string& address) {
        return std::any_of(m_recipients.begin(), m_recipients.end(), [&](const auto& entity) { return addressesMatch(address, entity->rawAddress()); });
    });
}

int64_t CKConversation::groupID(bool create)
{
    if (m_service != Service::SMS)
        return 0;
    std::lock_guard guard(m_lock);
    if (m_groupID)
        return m_groupID;
    if (auto store = sharedStore()) {
        if (auto group = store->groupFor(addresses(), create))
            m_groupID = *group;
    }
    return m_groupID;
}

void CKConversation::markAllMessagesAsRead()
{
    auto store = sharedStore();
    if (!store)
        return;
    if (m_service == Service::Madrid) {
        for (const auto& address : addresses())
            store->markHandleRead(address);
    } else if (int64_t group = groupID(false)) {
        store->markGroupRead(group);
    }
}

void CKConversation::resetPendingMessages()
{
    std::lock_guard guard(m_lock);
    m_pending.clear();
}

void CKConversation::setUnreadCount(int64_t count)
{
    if (int64_t group = groupID(false)) {
        if (auto store = sharedStore())
            store->setUnreadCount(group, count);
    }
}

int64_t CKConversation::unreadCount()
{
    int64_t group = groupID(false);
    auto store = group ? sharedStore() : nullptr;
    return store ? store->unreadCount(group).value_or(0) : 0;
}

void CKConversation::addPending(const Id& message)
{
    std::lock_guard guard(m_lock);
    m_pending.push_back(runtime::WeakId(message));
}

void CKConversation::removePending(const Id& message)
{
    std::lock_guard guard(m_lock);
    std::erase_if(m_pending, [&](const runtime::WeakId& pending) {
        auto held = pending.lock();
        return !held || held == message;
    });
}

std::vector<Id> CKConversation::pendingMessages() const
{
    std::lock_guard guard(m_lock);
    std::vector<Id> messages;
    for (const auto& pending : m_pending) {
        if (auto held = pending.lock())
            messages.push_back(held);
    }
    return messages;
}

void CKConversationList::registerMethods(ClassBuilder<CKConversationList>& b)
{
    b.classMethod("sharedConversationList", [](runtime::Class&) -> Id { return CKConversationList::sharedConversationList(); });
    b.method<&CKConversationList::conversationForRecipients>("conversationForRecipients:create:service:");
    b.method<&CKConversationList::existingConversationForAddresses>("existingConversationForAddresses:");
    b.method<&CKConversationList::conversations>("conversations");
}

Ref<CKConversationList> CKConversationList::sharedConversationList()
{
    return s_sharedConversationList.get();
}

void CKConversationList::reset()
{
    s_sharedConversationList.reset();
}

Ref<CKConversation> CKConversationList::find(CKConversation::Service service, const std::vector<std::string>& addresses) const
{
    std::lock_guard guard(m_lock);
    for (const auto& conversation : m_conversations) {
        if (conversation->matches(service, addresses))
            return conversation;
    }
    return nullptr;
}

Id CKConversationList::conversationForRecipients(const std::vector<Id>& recipients, bool create, const Id& service)
{
    CKConversation::Service kind;
    if (runtime::cast<CKMadridService>(service))
        kind = CKConversation::Service::Madrid;
    else if (runtime::cast<CKSMSService>(service))
        kind = CKConversation::Service::SMS;
    else
        return nullptr;
    std::vector<Ref<CKEntity>> entities;
    std::vector<std::string> addresses;
    for (const auto& recipient : recipients) {
        auto entity = runtime::cast<CKEntity>(recipient);
        if (!entity)
            return nullptr;
        entities.push_back(entity);
        addresses.push_back(entity->rawAddress());
    }
    if (entities.empty())
        return nullptr;
    if (auto known = find(kind, addresses))
        return known;
    if (!create) {
        auto store = sharedStore();
        bool exists = store
            && (kind == CKConversation::Service::SMS ? store->groupFor(addresses, false).has_value()
                                                     : addresses.size() == 1 && store->hasChat(addresses.front()));
        if (!exists)
            return nullptr;
    }
    auto conversation = CKConversation::make(kind, std::move(entities));
    if (!conversation)
        return nullptr;
    std::lock_guard guard(m_lock);
    m_conversations.push_back(conversation);
    return conversation;
}

Id CKConversationList::existingConversationForAddresses(const std::vector<std::string>& addresses)
{
    if (addresses.empty())
        return nullptr;
    if (auto known = find(CKConversation::Service::SMS, addresses))
        return known;
    auto store = sharedStore();
    if (!store || !store->groupFor(addresses, false))
        return nullptr;
    std::vector<Ref<CKEntity>> entities;
    for (const auto& address : addresses) {
        auto entity = CKEntity::forAddress(address);
        if (!entity)
            return nullptr;
        entities.push_back(entity);
    }
    auto conversation = CKConversation::make(CKConversation::Service::SMS, std::move(entities));
    if (!conversation)
        return nullptr;
    std::lock_guard guard(m_lock);
    m_conversations.push_back(conversation);
    return conversation;
}

std::vector<Id> CKConversationList::conversations() const
{
    std::lock_guard guard(m_lock);
    return { m_conversations.begin(), m_conversations.end() };
}

} // namespace chatkit
