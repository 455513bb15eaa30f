// The messages the services build and send, and the telephony layer's raw
// incoming SMS they are built from.
//
// `CKMessage` is what every message answers: `text`, `address`,
// `messageParts`, `isOutgoing`, `isRead`, `date` (Unix seconds), `rowID`
// (0 until the message is in the database) and `conversation`.
//
// `CKSMSMessage`: `initWithRowID:` (integer) → self, or nil when there is no
// such row; `initWithCTMessage:messageParts:` (telephony message, parts) →
// self, which the phone sends through the runtime each time an incoming SMS
// object is built, so a hook sees every one; `markAsRead`.
//
// `CTMessage` (the telephony layer's message): `sender`, `date`, `messageId`
// (the database row it was stored as).
#pragma once

#include "MessageRecord.h"

#include <runtime/Runtime.h>

#include <vector>

namespace chatkit {

class CKConversation;

class CKMessage : public runtime::Object {
    PLV_CLASS(CKMessage, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<CKMessage>&);

    const std::string& text() const { return m_text; }
    const std::string& address() const { return m_address; }
    std::vector<runtime::Id> messageParts();
    bool isOutgoing() const { return m_outgoing; }
    bool isRead() const { return m_read; }
    double date() const { return m_date; }
    int64_t rowID() const { return m_rowID; }
    runtime::Ref<CKConversation> conversation() const { return m_conversation; }

    void setText(std::string text) { m_text = std::move(text); }
    void setAddress(std::string address) { m_address = std::move(address); }
    void setParts(std::vector<runtime::Id> parts) { m_parts = std::move(parts); }
    void setConversation(runtime::Ref<CKConversation> conversation) { m_conversation = std::move(conversation); }
    void setDate(double date) { m_date = date; }
    // The message is now in the database under this row.
    void stored(int64_t rowID, bool outgoing, bool read);

protected:
    void loadRecord(const StoredMessage&);

    std::string m_text;
    std::string m_address;
    std::vector<runtime::Id> m_parts;
    bool m_partsLoaded { true };
    bool m_outgoing { false };
    bool m_read { false };
    double m_date { 0 };
    int64_t m_rowID { 0 };
    runtime::Ref<CKConversation> m_conversation;
};

class CKSMSMessage : public CKMessage {
    PLV_CLASS(CKSMSMessage, CKMessage)
public:
    static void registerMethods(runtime::ClassBuilder<CKSMSMessage>&);

    runtime::Id initWithRowID(int64_t rowID);
    runtime::Id initWithCTMessage(const runtime::Id& message, const std::vector<runtime::Id>& parts);
    void markAsRead();
};

class CTMessage : public runtime::Object {
    PLV_CLASS(CTMessage, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<CTMessage>&);

    std::string m_sender;
    double m_date { 0 };
    int64_t m_messageId { 0 };
};

} // namespace chatkit
