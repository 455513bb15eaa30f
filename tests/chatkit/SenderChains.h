// The chains of platform calls the message sender makes, step by step, so
// tests can check what each leaves in the database and where each stops.
#pragma once

#include "ChatKitTestSupport.h"

namespace chatkit_test {

// The SMS chain the message sender runs, step by step; answers the
// status it would.
inline std::string sendSMS(const std::string& text, const std::string& address)
{
    Id service = send<Id>(classObject("CKSMSService"), "sharedSMSService");
    if (!service)
        return "No Service";
    Id entity = send<Id>(service, "copyEntityForAddressString:", address);
    if (!entity)
        return "No entity";
    Id list = send<Id>(classObject("CKConversationList"), "sharedConversationList");
    if (!list)
        return "Cannot retrieve SMS list";
    Id conversation = send<Id>(list, "conversationForRecipients:create:service:", std::vector<Id> { entity }, true, service);
    Id message = send<Id>(service, "_newSMSMessageWithText:forConversation:", text, conversation);
    if (!message)
        return "No sms";
    send(service, "sendMessage:", message);
    return "OK";
}

// The iMessage chain, with an optional picture; answers what stopped it.
inline std::string sendIMessage(const std::string& text, const std::string& address, const std::string& guid,
    const std::optional<std::vector<uint8_t>>& picture = std::nullopt, const std::string& exportedName = "image.jpg")
{
    Id service = send<Id>(classObject("CKMadridService"), "sharedMadridService");
    if (!service)
        return "service";
    Id entity = send<Id>(service, "copyEntityForAddressString:", address);
    if (!entity)
        return "entity";
    Id check = send<Id>(service, "_conversationWithRecipients:createIfNecessary:", std::vector<Id> { entity }, true);
    if (!check)
        return "check";
    Id handle = send<Id>(entity, "defaultIMHandle");
    Id registry = send<Id>(classObject("IMChatRegistry"), "sharedInstance");
    if (!registry)
        return "registry";
    Id chat = send<Id>(registry, "chatForIMHandle:", handle);
    if (!chat)
        return "chat";
    Id conversation = send<Id>(send<Id>(classObject("CKConversationList"), "sharedConversationList"),
        "conversationForRecipients:create:service:", std::vector<Id> { entity }, true, service);
    if (!conversation)
        return "conversation";
    Id composition = send<Id>(classObject("CKMessageComposition"), "newCompositionForText:", text);
    auto parts = send<std::vector<Id>>(composition, "messageParts");
    if (picture) {
        Id manager = send<Id>(classObject("CKMediaObjectManager"), "sharedInstance");
        Id media = send<Id>(manager, "newMediaObjectForData:mimeType:exportedFilename:", *picture, std::string("image/jpeg"), exportedName);
        if (!media)
            return "MO IS NIL";
        Id part = send<Id>(send<Id>(classObject("CKMediaObjectMessagePart"), "alloc"), "initWithMediaObject:", media);
        if (!part)
            return "MP IS NIL";
        parts.push_back(part);
    }
    Id imMessage = send<Id>(service, "_IMMessageToConversation:withText:subject:date:messageParts:isFinished:messageGUID:", conversation, text,
        std::string(), testNow, parts, true, guid);
    if (!imMessage)
        return "im message";
    send(service, "_prepareIMChat:andSendMessage:", chat, imMessage);
    Id madrid = send<Id>(service, "_madridMessageForIMMessage:inIMChat:", imMessage, chat);
    if (!madrid)
        return "madrid message";
    send(service, "sendMessage:", madrid);
    return "OK";
}

} // namespace chatkit_test
