#include "ChatKit.h"

#include "AddressMatching.h"
#include "CKConversation.h"
#include "CKDBMessage.h"
#include "CKEntity.h"
#include "CKMadridService.h"
#include "CKMediaObjectManager.h"
#include "CKMessage.h"
#include "CKMessageComposition.h"
#include "CKSMSService.h"
#include "IMChatRegistry.h"
#include "Instantiate.h"
#include "MadridMessage.h"
#include "MessageParts.h"

#include <foundation/Strings.h>

namespace chatkit {

using runtime::Id;

void registerChatKitClasses()
{
    CKMessagePart::classObject();
    CKTextMessagePart::classObject();
    CKMediaObject::classObject();
    CKMediaObjectMessagePart::classObject();
    CKMediaObjectManager::classObject();
    CKMessageComposition::classObject();
    CKDBMessage::classObject();
    CKIMDBMessage::classObject();
    CKMessage::classObject();
    CKSMSMessage::classObject();
    CKMadridMessage::classObject();
    CTMessage::classObject();
    CKEntity::classObject();
    IMHandle::classObject();
    IMChat::classObject();
    IMChatRegistry::classObject();
    IMMessage::classObject();
    CKConversation::classObject();
    CKConversationList::classObject();
    CKSMSService::classObject();
    CKMadridService::classObject();
}

namespace {
    foundation::Result<std::shared_ptr<MessageStore>> storeForIncoming(const std::string& from)
    {
        if (foundation::trimmed(from).empty())
            return foundation::Error("a message needs a sender");
        auto store = sharedStore();
        if (!store)
            return foundation::Error(databaseError());
        return store;
    }
}

foundation::Result<int64_t> receiveSMS(const std::string& from, const std::string& text)
{
    auto store = TRY(storeForIncoming(from));
    NewMessage row;
    row.kind = MessageKind::SMS;
    row.address = from;
    row.text = text;
    row.unixDate = unixNow();
    auto rowID = TRY(store->insert(row));

    // The telephony layer hands the stored message to the SMS framework,
    // which builds its message object the way the phone always does.
    if (auto telephony = instantiate<CTMessage>()) {
        telephony->m_sender = from;
        telephony->m_date = row.unixDate;
        telephony->m_messageId = rowID;
        std::vector<Id> parts;
        if (auto part = CKTextMessagePart::withText(text))
            parts.push_back(part);
        if (runtime::Class* cls = runtime::classNamed("CKSMSMessage"))
            runtime::send<Id>(runtime::send<Id>(cls, "alloc"), "initWithCTMessage:messageParts:", Id(telephony), parts);
    }
    return rowID;
}

foundation::Result<int64_t> receiveIMessage(const std::string& from, const std::string& text, std::optional<std::vector<uint8_t>> picture)
{
    auto store = TRY(storeForIncoming(from));
    NewMessage row;
    row.kind = MessageKind::IMessage;
    row.address = from;
    row.text = text;
    row.unixDate = unixNow();
    if (picture && !picture->empty()) {
        bool png = picture->size() >= 4 && (*picture)[0] == 0x89 && (*picture)[1] == 'P' && (*picture)[2] == 'N' && (*picture)[3] == 'G';
        row.attachments.push_back({ std::move(*picture), png ? "image/png" : "image/jpeg", png ? "image.png" : "image.jpg" });
    }
    return store->insert(row);
}

std::vector<MessageSummary> listMessages()
{
    auto store = sharedStore();
    return store ? store->list() : std::vector<MessageSummary> {};
}

std::vector<MessageSummary> listNewestMessages(size_t limit)
{
    auto store = sharedStore();
    return store ? store->newest(limit) : std::vector<MessageSummary> {};
}

int64_t messageCount()
{
    auto store = sharedStore();
    return store ? store->count() : 0;
}

void resetChatKitObjects()
{
    CKSMSService::reset();
    CKMadridService::reset();
    CKConversationList::reset();
    IMChatRegistry::reset();
    CKMediaObjectManager::reset();
}

} // namespace chatkit
