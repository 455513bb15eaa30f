// Conversations: the people a message goes to on one service, and the list
// that finds or makes them. An SMS conversation is a group of the Messages
// database (msg_group), made in the database when its first message is
// written; an iMessage conversation is a chat with one handle.
//
// `CKConversation`: `recipients` (entities), `isMadrid`, `groupID` (0 while
// the SMS conversation has no group yet), `markAllMessagesAsRead`,
// `resetPendingMessages` (forgets messages built for it but not sent),
// `setUnreadCount:` (integer), `unreadCount`, `pendingMessages`.
//
// `CKConversationList`: `sharedConversationList` (class);
// `conversationForRecipients:create:service:` (entities, create flag, SMS or
// iMessage service) → the conversation, made when the flag is set, else only
// an existing one; `existingConversationForAddresses:` (address strings) →
// the SMS conversation with exactly those members, or nil; `conversations`.
#pragma once

#include "CKEntity.h"

#include <runtime/Runtime.h>

#include <mutex>
#include <vector>

namespace chatkit {

class CKConversation : public runtime::Object {
    PLV_CLASS(CKConversation, runtime::Object)
public:
    enum class Service {
        SMS,
        Madrid,
    };

    static void registerMethods(runtime::ClassBuilder<CKConversation>&);
    static runtime::Ref<CKConversation> make(Service, std::vector<runtime::Ref<CKEntity>>);

    Service service() const { return m_service; }
    std::vector<runtime::Id> recipients() const;
    std::vector<std::string> addresses() const;
    bool matches(Service, const std::vector<std::string>& addresses) const;

    // The SMS group in the database; `create` makes it when there is none.
    int64_t groupID(bool create = false);
    void markAllMessagesAsRead();
    void resetPendingMessages();
    void setUnreadCount(int64_t);
    int64_t unreadCount();

    void addPending(const runtime::Id&);
    void removePending(const runtime::Id&);
    std::vector<runtime::Id> pendingMessages() const;

private:
    Service m_service { Service::SMS };
    std::vector<runtime::Ref<CKEntity>> m_recipients;
    int64_t m_groupID { 0 };
    mutable std::mutex m_lock;
    // Weak: a message refers to its conversation, so the conversation must
    // not keep its unsent messages alive.
    std::vector<runtime::WeakId> m_pending;
};

class CKConversationList : public runtime::Object {
    PLV_CLASS(CKConversationList, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<CKConversationList>&);
    static runtime::Ref<CKConversationList> sharedConversationList();
    static void reset();

    runtime::Id conversationForRecipients(const std::vector<runtime::Id>& recipients, bool create, const runtime::Id& service);
    runtime::Id existingConversationForAddresses(const std::vector<std::string>& addresses);
    std::vector<runtime::Id> conversations() const;

private:
    runtime::Ref<CKConversation> find(CKConversation::Service, const std::vector<std::string>&) const;

    mutable std::mutex m_lock;
    std::vector<runtime::Ref<CKConversation>> m_conversations;
};

} // namespace chatkit
