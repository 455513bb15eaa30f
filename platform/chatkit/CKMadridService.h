// The iMessage service. Sending goes through a chain of private steps, each
// answering an object or nil: an entity for the address, a conversation, an
// `IMMessage` for the conversation, the chat prepared for it, the service's
// own `CKMadridMessage`, and `sendMessage:`, which writes the sent iMessage
// (with its identifier, and its pictures as attachment files) to the
// Messages database.
//
// Runtime: `isMadridEnabled` (class) → whether iMessage is on;
// `sharedMadridService` (class) → the service, nil while iMessage is off;
// `copyEntityForAddressString:` (address) → a new entity, nil for an empty
// address; `availabilityForAddress:checkWithServer:` (address, flag) → 1 when
// the address can receive iMessages, else 0;
// `_conversationWithRecipients:createIfNecessary:` (entities, flag) → the
// iMessage conversation (nil for none but one recipient);
// `_IMMessageToConversation:withText:subject:date:messageParts:isFinished:messageGUID:`
// (conversation, text, subject, date as Unix seconds with 0 for now, parts,
// flag, identifier) → an `IMMessage`, nil without an iMessage conversation or
// without anything to send; `_prepareIMChat:andSendMessage:` (chat,
// message); `_madridMessageForIMMessage:inIMChat:` (message, chat) → a
// `CKMadridMessage`, nil when either is missing; `sendMessage:` (message).
#pragma once

#include <runtime/Runtime.h>

#include <vector>

namespace chatkit {

class CKMadridService : public runtime::Object {
    PLV_CLASS(CKMadridService, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<CKMadridService>&);
    static runtime::Ref<CKMadridService> sharedMadridService();
    static void reset();

    runtime::Id copyEntityForAddressString(const std::string& address);
    int64_t availabilityForAddress(const std::string& address, bool checkWithServer);
    runtime::Id conversationWithRecipients(const std::vector<runtime::Id>& recipients, bool create);
    runtime::Id imMessageToConversation(const runtime::Id& conversation, const std::string& text, const std::string& subject, double date,
        const std::vector<runtime::Id>& parts, bool finished, const std::string& guid);
    void prepareIMChat(const runtime::Id& chat, const runtime::Id& message);
    runtime::Id madridMessageForIMMessage(const runtime::Id& message, const runtime::Id& chat);
    void sendMessage(const runtime::Id& message);
};

} // namespace chatkit
