// The SMS service: resolves addresses into entities, builds SMS messages for
// a conversation and sends them, which writes them to the Messages database
// as sent messages of that conversation. Runtime: `sharedSMSService`
// (class); `copyEntityForAddressString:` (address) → a new entity, nil for
// an empty address; `_newSMSMessageWithText:forConversation:` (text,
// conversation) → a new SMS message, nil without a text or an SMS
// conversation; `sendMessage:` (message); `conversationList`.
#pragma once

#include <runtime/Runtime.h>

namespace chatkit {

class CKSMSService : public runtime::Object {
    PLV_CLASS(CKSMSService, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<CKSMSService>&);
    static runtime::Ref<CKSMSService> sharedSMSService();
    static void reset();

    runtime::Id copyEntityForAddressString(const std::string& address);
    runtime::Id newSMSMessage(const std::string& text, const runtime::Id& conversation);
    void sendMessage(const runtime::Id& message);
    runtime::Id conversationList();
};

} // namespace chatkit
