#include "KelvaneMessageSender.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <chatkit/Configuration.h>
#include <common/SMSSending.h>
#include <foundation/Uuid.h>
#include <uikit/UIImage.h>

#include <optional>
#include <vector>

namespace parlivo {

using kelvane::KelvaneLogger;
using runtime::Id;
using runtime::send;

namespace {

    // Looked up on every call: a class the phone lacks (or that was taken
    // away since the last send) answers every message with nothing.
    runtime::Object* platformClass(const char* name) { return runtime::classNamed(name); }

    // What the iMessage chain needs once it has found where the message goes.
    struct IMessageRoute {
        Id service;
        Id chat;
        Id conversation;
    };

    // Steps from the service to the conversation; nothing when they all
    // answered, else the status of the step that did not.
    std::optional<std::string> openRoute(const std::string& address, IMessageRoute& route)
    {
        route.service = send<Id>(platformClass("CKMadridService"), "sharedMadridService");
        if (!route.service)
            return KelvaneMessageSender::StatusNoService;
        Id entity = send<Id>(route.service, "copyEntityForAddressString:", address);
        if (!entity)
            return KelvaneMessageSender::StatusNoEntity;
        std::vector<Id> recipients { entity };
        // Asked only so the service knows the conversation; its answer is a check.
        Id check = send<Id>(route.service, "_conversationWithRecipients:createIfNecessary:", recipients, true);
        if (!check)
            return KelvaneMessageSender::StatusNoEntity;
        Id handle = send<Id>(entity, "defaultIMHandle");
        Id registry = send<Id>(platformClass("IMChatRegistry"), "sharedInstance");
        if (!registry)
            return KelvaneMessageSender::StatusNoEntity;
        route.chat = send<Id>(registry, "chatForIMHandle:", handle);
        if (!route.chat)
            return KelvaneMessageSender::StatusNoEntity;
        Id list = send<Id>(platformClass("CKConversationList"), "sharedConversationList");
        route.conversation = send<Id>(list, "conversationForRecipients:create:service:", recipients, true, route.service);
        if (!route.conversation)
            return KelvaneMessageSender::StatusNoList;
        return std::nullopt;
    }

    std::string deliver(const IMessageRoute& route, const std::string& text, const std::vector<Id>& parts)
    {
        // The phone's own clock, the one its other rows were dated by.
        double now = chatkit::unixNow();
        std::string guid = send<std::string>(KelvaneMessageSender::classObject(), "stringWithUUID");
        Id imMessage = send<Id>(route.service, "_IMMessageToConversation:withText:subject:date:messageParts:isFinished:messageGUID:",
            route.conversation, text, std::string(), now, parts, true, guid);
        if (!imMessage)
            return KelvaneMessageSender::StatusNoMessage;
        send(route.service, "_prepareIMChat:andSendMessage:", route.chat, imMessage);
        Id madridMessage = send<Id>(route.service, "_madridMessageForIMMessage:inIMChat:", imMessage, route.chat);
        if (!madridMessage)
            return KelvaneMessageSender::StatusNoMessage;
        send(route.service, "sendMessage:", madridMessage);
        return KelvaneMessageSender::StatusOK;
    }

    std::vector<Id> compositionParts(const std::string& text)
    {
        Id composition = send<Id>(platformClass("CKMessageComposition"), "newCompositionForText:", text);
        return send<std::vector<Id>>(composition, "messageParts");
    }

    // The picture as the part that follows the text parts, or the status
    // that stops the send.
    std::optional<std::string> appendPicture(const Id& image, std::vector<Id>& parts)
    {
        auto jpeg = uikit::UIImageJPEGRepresentation(runtime::cast<uikit::UIImage>(image), 1.0);
        Id manager = send<Id>(platformClass("CKMediaObjectManager"), "sharedInstance");
        Id media = send<Id>(manager, "newMediaObjectForData:mimeType:exportedFilename:", jpeg, std::string("image/jpeg"), std::string("image.jpg"));
        if (!media) {
            KelvaneLogger::log("MO IS NIL", KelvaneLogger::Critical);
            return KelvaneMessageSender::StatusError;
        }
        Id part = send<Id>(send<Id>(platformClass("CKMediaObjectMessagePart"), "alloc"), "initWithMediaObject:", media);
        if (!part) {
            KelvaneLogger::log("MP IS NIL", KelvaneLogger::Critical);
            return KelvaneMessageSender::StatusError;
        }
        parts.push_back(std::move(part));
        return std::nullopt;
    }

    // The iMessage operations catch what the platform raises: the reply is
    // then not sent, which the caller must hear about.
    template <class Body>
    std::string catchingPlatformExceptions(Body body)
    {
        try {
            return body();
        } catch (const runtime::ObjCException& exception) {
            KelvaneLogger::log(exception.description(), KelvaneLogger::Severe);
            return KelvaneMessageSender::StatusError;
        }
    }

} // namespace

void KelvaneMessageSender::registerMethods(runtime::ClassBuilder<KelvaneMessageSender>& b)
{
    b.classMethod("sendMessage:toNumber:", [](runtime::Class&, const std::string& text, const std::string& address) -> std::string {
        return sendMessage(text, address);
    });
    b.classMethod("sendiMessage:toNumber:", [](runtime::Class&, const std::string& text, const std::string& address) -> std::string {
        return sendiMessage(text, address);
    });
    b.classMethod("sendiMessage:toNumber:withImage:", [](runtime::Class&, const std::string& text, const std::string& address, const Id& image) -> std::string {
        return sendiMessage(text, address, image);
    });
    b.classMethod("stringWithUUID", [](runtime::Class&) -> std::string { return stringWithUUID(); });
}

std::string KelvaneMessageSender::sendMessage(const std::string& text, const std::string& address)
{
    return common::sendSMS(text, address);
}

std::string KelvaneMessageSender::sendiMessage(const std::string& text, const std::string& address)
{
    return catchingPlatformExceptions([&]() -> std::string {
        IMessageRoute route;
        if (auto stopped = openRoute(normalisedIMessageAddress(address), route))
            return *stopped;
        return deliver(route, text, compositionParts(text));
    });
}

std::string KelvaneMessageSender::sendiMessage(const std::string& text, const std::string& address, const Id& image)
{
    if (!image) {
        KelvaneLogger::log("IMAGE IS NIL", KelvaneLogger::Critical);
        return StatusNoImage;
    }
    return catchingPlatformExceptions([&]() -> std::string {
        IMessageRoute route;
        if (auto stopped = openRoute(normalisedIMessageAddress(address), route))
            return *stopped;
        std::vector<Id> parts = compositionParts(text);
        if (auto stopped = appendPicture(image, parts))
            return *stopped;
        return deliver(route, text, parts);
    });
}

std::string KelvaneMessageSender::stringWithUUID() { return foundation::uuidString(); }

std::string KelvaneMessageSender::normalisedIMessageAddress(const std::string& address)
{
    static constexpr std::string_view PhonePrefix = "p:";
    static constexpr std::string_view PhonePlusPrefix = "p:+";
    if (!address.starts_with(PhonePrefix))
        return address;
    // One left-to-right pass, so pieces joined by a removal stay as they are.
    std::string result;
    result.reserve(address.size());
    size_t from = 0;
    for (size_t at = address.find(PhonePlusPrefix); at != std::string::npos; at = address.find(PhonePlusPrefix, from)) {
        result.append(address, from, at - from);
        from = at + PhonePlusPrefix.size();
    }
    result.append(address, from);
    return result;
}

} // namespace parlivo
