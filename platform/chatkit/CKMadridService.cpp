#include "CKMadridService.h"

#include "CKConversation.h"
#include "CKEntity.h"
#include "Configuration.h"
#include "Database.h"
#include "Instantiate.h"
#include "MadridMessage.h"
#include "MessageParts.h"
#include <foundation/Uuid.h>

#include <algorithm>

namespace chatkit {

using runtime::ClassBuilder;
using runtime::Id;
using runtime::Ref;

namespace {

    SharedInstance<CKMadridService> s_sharedMadridService;

} // namespace

void CKMadridService::registerMethods(ClassBuilder<CKMadridService>& b)
{
    b.classMethod("isMadridEnabled", [](runtime::Class&) -> bool { return madridEnabled(); });
    b.classMethod("sharedMadridService", [](runtime::Class&) -> Id { return CKMadridService::sharedMadridService(); });
    b.method<&CKMadridService::copyEntityForAddressString>("copyEntityForAddressString:");
    b.method<&CKMadridService::availabilityForAddress>("availabilityForAddress:checkWithServer:");
    b.method<&CKMadridService::conversationWithRecipients>("_conversationWithRecipients:createIfNecessary:");
    b.method<&CKMadridService::imMessageToConversation>("_IMMessageToConversation:withText:subject:date:messageParts:isFinished:messageGUID:");
    b.method<&CKMadridService::prepareIMChat>("_prepareIMChat:andSendMessage:");
    b.method<&CKMadridService::madridMessageForIMMessage>("_madridMessageForIMMessage:inIMChat:");
    b.method<&CKMadridService::sendMessage>("sendMessage:");
}

Ref<CKMadridService> CKMadridService::sharedMadridService()
{
    if (!madridEnabled())
        return nullptr;
    return s_sharedMadridService.get();
}

void CKMadridService::reset()
{
    s_sharedMadridService.reset();
}

Id CKMadridService::copyEntityForAddressString(const std::string& address) { return CKEntity::forAddress(address); }

int64_t CKMadridService::availabilityForAddress(const std::string& address, bool) { return madridAvailability(address); }

Id CKMadridService::conversationWithRecipients(const std::vector<Id>& recipients, bool create)
{
    // An iMessage conversation here is a chat with one other person.
    if (recipients.size() != 1)
        return nullptr;
    auto list = CKConversationList::sharedConversationList();
    return list ? list->conversationForRecipients(recipients, create, self()) : nullptr;
}

Id CKMadridService::imMessageToConversation(const Id& conversationObject, const std::string& text, const std::string& subject, double date,
    const std::vector<Id>& parts, bool finished, const std::string& guid)
{
    auto conversation = runtime::cast<CKConversation>(conversationObject);
    if (!conversation || conversation->service() != CKConversation::Service::Madrid)
        return nullptr;
    std::string body = text.empty() ? textOfParts(parts) : text;
    bool hasMedia = std::any_of(parts.begin(), parts.end(), [](const Id& part) { return runtime::cast<CKMediaObjectMessagePart>(part) != nullptr; });
    if (body.empty() && !hasMedia)
        return nullptr;
    auto message = instantiate<IMMessage>();
    if (!message)
        return nullptr;
    message->m_text = body;
    message->m_subject = subject;
    message->m_date = date > 0 ? date : unixNow();
    message->m_parts = parts;
    message->m_finished = finished;
    message->m_guid = guid.empty() ? foundation::uuidString() : guid;
    message->m_conversation = conversation;
    return message;
}

void CKMadridService::prepareIMChat(const Id& chatObject, const Id& messageObject)
{
    auto chat = runtime::cast<IMChat>(chatObject);
    auto message = runtime::cast<IMMessage>(messageObject);
    if (!chat || !message)
        return;
    if (auto store = sharedStore())
        store->ensureChat(chat->chatIdentifier());
    message->m_prepared = true;
}

Id CKMadridService::madridMessageForIMMessage(const Id& messageObject, const Id& chatObject)
{
    auto imMessage = runtime::cast<IMMessage>(messageObject);
    auto chat = runtime::cast<IMChat>(chatObject);
    if (!imMessage || !chat)
        return nullptr;
    auto message = instantiate<CKMadridMessage>();
    if (!message)
        return nullptr;
    message->m_imMessage = imMessage;
    message->m_chat = chat;
    message->setText(imMessage->m_text);
    message->setAddress(chat->chatIdentifier());
    message->setParts(imMessage->m_parts);
    message->setDate(imMessage->m_date);
    message->setConversation(imMessage->m_conversation);
    message->stored(0, true, true);
    return message;
}

void CKMadridService::sendMessage(const Id& object)
{
    auto message = runtime::cast<CKMadridMessage>(object);
    if (!message || !message->m_imMessage || !message->m_chat || message->rowID())
        return;
    auto store = sharedStore();
    if (!store) {
        log("iMessage not sent: " + databaseError());
        return;
    }
    NewMessage row;
    row.kind = MessageKind::IMessage;
    row.outgoing = true;
    row.address = message->m_chat->chatIdentifier();
    row.text = message->m_imMessage->m_text;
    row.unixDate = message->m_imMessage->m_date;
    row.guid = message->m_imMessage->m_guid;
    for (const auto& part : message->m_imMessage->m_parts) {
        auto media = runtime::cast<CKMediaObjectMessagePart>(part);
        if (!media || !media->mediaObject())
            continue;
        auto object = media->mediaObject();
        auto data = object->data();
        if (data.empty()) {
            log("iMessage attachment " + object->exportedFilename() + " has no data; left out");
            continue;
        }
        row.attachments.push_back({ std::move(data), object->mimeType(), object->exportedFilename() });
    }
    if (auto rowID = store->insert(row))
        message->stored(*rowID, true, true);
    else
        log("iMessage to " + row.address + " not stored");
}

} // namespace chatkit
