// An iMessage on its way out, in its two forms: the instant-messaging
// service's `IMMessage` (text, parts, identifier, date) and the iMessage
// service's `CKMadridMessage`, which ties it to its chat and is what
// `sendMessage:` accepts.
//
// `IMMessage`: `text`, `subject`, `guid`, `date` (Unix seconds),
// `messageParts`, `isFinished`, `conversation`.
// `CKMadridMessage` (a `CKMessage`): `guid`, `imMessage`, `chat`.
#pragma once

#include "CKMessage.h"
#include "IMChatRegistry.h"

#include <runtime/Runtime.h>

namespace chatkit {

class IMMessage : public runtime::Object {
    PLV_CLASS(IMMessage, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<IMMessage>&);

    std::string m_text;
    std::string m_subject;
    std::string m_guid;
    double m_date { 0 };
    std::vector<runtime::Id> m_parts;
    bool m_finished { false };
    runtime::Ref<CKConversation> m_conversation;
    bool m_prepared { false };
};

class CKMadridMessage : public CKMessage {
    PLV_CLASS(CKMadridMessage, CKMessage)
public:
    static void registerMethods(runtime::ClassBuilder<CKMadridMessage>&);

    runtime::Ref<IMMessage> m_imMessage;
    runtime::Ref<IMChat> m_chat;
};

} // namespace chatkit
