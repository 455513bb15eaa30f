#include "CKSMSService.h"

#include "CKConversation.h"
#include "CKEntity.h"
#include "CKMessage.h"
#include "Configuration.h"
#include "Database.h"
#include "Instantiate.h"
#include "MessageParts.h"

namespace chatkit {

using runtime::ClassBuilder;
using runtime::Id;
using runtime::Ref;

namespace {

    SharedInstance<CKSMSService> s_sharedSMSService;

} // namespace

void CKSMSService::registerMethods(ClassBuilder<CKSMSService>& b)
{
    b.classMethod("sharedSMSService", [](runtime::Class&) -> Id { return CKSMSService::sharedSMSService(); });
    b.method<&CKSMSService::copyEntityForAddressString>("copyEntityForAddressString:");
    b.method<&CKSMSService::newSMSMessage>("_newSMSMessageWithText:forConversation:");
    b.method<&CKSMSService::sendMessage>("sendMessage:");
    b.method<&CKSMSService::conversationList>("conversationList");
}

Ref<CKSMSService> CKSMSService::sharedSMSService()
{
    return s_sharedSMSService.get();
}

void CKSMSService::reset()
{
    s_sharedSMSService.reset();
}

Id CKSMSService::copyEntityForAddressString(const std::string& address) { return CKEntity::forAddress(address); }

Id CKSMSService::newSMSMessage(const std::string& text, const Id& conversationObject)
{
    auto conversation = runtime::cast<CKConversation>(conversationObject);
    if (!conversation || conversation->service() != CKConversation::Service::SMS || text.empty())
        return nullptr;
    auto message = instantiate<CKSMSMessage>();
    if (!message)
        return nullptr;
    message->setText(text);
    auto addresses = conversation->addresses();
    message->setAddress(addresses.empty() ? std::string() : addresses.front());
    message->setConversation(conversation);
    message->setDate(unixNow());
    if (auto part = CKTextMessagePart::withText(text))
        message->setParts({ part });
    message->stored(0, true, true);
    conversation->addPending(message);
    return message;
}

void CKSMSService::sendMessage(const Id& object)
{
    auto message = runtime::cast<CKSMSMessage>(object);
    if (!message || message->rowID())
        return;
    auto conversation = message->conversation();
    if (!conversation)
        return;
    auto store = sharedStore();
    if (!store) {
        log("SMS not sent: " + databaseError());
        return;
    }
    // The conversation is made with its first stored message, not before it.
    int64_t group = conversation->groupID(false);
    int64_t firstRow = 0;
    // A message to several people is kept as one sent row per recipient in
    // their shared conversation.
    for (const auto& address : conversation->addresses()) {
        NewMessage row;
        row.kind = MessageKind::SMS;
        row.outgoing = true;
        row.address = address;
        row.text = message->text();
        row.unixDate = message->date();
        if (group)
            row.groupID = group;
        else
            row.groupAddresses = conversation->addresses();
        auto rowID = store->insert(row);
        if (!rowID) {
            log("SMS to " + address + " not stored");
            continue;
        }
        if (!group)
            group = conversation->groupID(false);
        if (!firstRow)
            firstRow = *rowID;
    }
    if (firstRow) {
        message->stored(firstRow, true, true);
        conversation->removePending(message);
    }
}

Id CKSMSService::conversationList() { return CKConversationList::sharedConversationList(); }

} // namespace chatkit
