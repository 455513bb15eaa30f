#include "SMSSending.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <runtime/Runtime.h>

#include <vector>

namespace common {

using kelvane::KelvaneLogger;
using runtime::Id;
using runtime::send;

std::string sendSMS(const std::string& text, const std::string& address)
{
    if (text.empty() || address.empty())
        KelvaneLogger::log("Nil arguments", KelvaneLogger::Critical);
    KelvaneLogger::log("KelvaneMessageSender sendMessage", KelvaneLogger::Development);
    Id service = send<Id>(runtime::classNamed("CKSMSService"), "sharedSMSService");
    if (!service)
        return StatusNoService;
    Id entity = send<Id>(service, "copyEntityForAddressString:", address);
    if (!entity)
        return StatusNoEntity;
    Id list = send<Id>(runtime::classNamed("CKConversationList"), "sharedConversationList");
    if (!list)
        return StatusNoList;
    Id conversation = send<Id>(list, "conversationForRecipients:create:service:", std::vector<Id> { entity }, true, service);
    Id message = send<Id>(service, "_newSMSMessageWithText:forConversation:", text, conversation);
    if (!message)
        return StatusNoMessage;
    send(service, "sendMessage:", message);
    return StatusOK;
}

} // namespace common
