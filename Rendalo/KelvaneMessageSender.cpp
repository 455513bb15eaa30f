#include "KelvaneMessageSender.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <common/SMSSending.h>
#include <foundation/Uuid.h>

#include <vector>

namespace rendalo {

using kelvane::KelvaneLogger;
using runtime::Id;
using runtime::send;

void KelvaneMessageSender::registerMethods(runtime::ClassBuilder<KelvaneMessageSender>& b)
{
    b.classMethod("sendMessage:toNumber:", [](runtime::Class&, const std::string& text, const std::string& address) -> std::string {
        return sendMessage(text, address);
    });
    b.classMethod("stringWithUUID", [](runtime::Class&) -> std::string { return stringWithUUID(); });
    b.classMethod("markAllConversationsReadForAddress:", [](runtime::Class&, const std::string& address) { markAllConversationsReadForAddress(address); });
}

std::string KelvaneMessageSender::sendMessage(const std::string& text, const std::string& address)
{
    return common::sendSMS(text, address);
}

std::string KelvaneMessageSender::stringWithUUID()
{
    KelvaneLogger::log("Generating UUID", KelvaneLogger::Development);
    std::string uuid = foundation::uuidString();
    KelvaneLogger::log(uuid, KelvaneLogger::Development);
    return uuid;
}

void KelvaneMessageSender::markAllConversationsReadForAddress(const std::string& address)
{
    Id service = send<Id>(runtime::classNamed("CKSMSService"), "sharedSMSService");
    if (!service)
        return;
    Id list = send<Id>(service, "conversationList");
    if (!list)
        return;
    Id conversation = send<Id>(list, "existingConversationForAddresses:", std::vector<std::string> { address });
    if (!conversation)
        return;
    send(conversation, "markAllMessagesAsRead");
    send(conversation, "resetPendingMessages");
    send(conversation, "setUnreadCount:", int64_t { 0 });
}

} // namespace rendalo
