// Rendalo's KelvaneMessageSender (class methods only; Rendalo's own runtime
// class of that name): the SMS operation shared with Parlivo, a UUID that is
// logged as it is made, and marking a conversation read. There is no iMessage
// path in Rendalo.
#pragma once

#include <runtime/Runtime.h>

#include <string>

namespace rendalo {

class KelvaneMessageSender : public runtime::Object {
    PLV_CLASS(KelvaneMessageSender, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<KelvaneMessageSender>&);

    // sendMessage:toNumber: ("OK", "No Service", "No entity",
    // "Cannot retrieve SMS list", "No sms"); may throw from the platform.
    static std::string sendMessage(const std::string& text, const std::string& address);
    // stringWithUUID: logs "Generating UUID" and the UUID.
    static std::string stringWithUUID();
    // markAllConversationsReadForAddress:
    static void markAllConversationsReadForAddress(const std::string& address);
};

} // namespace rendalo
