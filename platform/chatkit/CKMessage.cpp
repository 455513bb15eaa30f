#include "CKMessage.h"

#include "CKConversation.h"
#include "Database.h"
#include "MessageParts.h"

namespace chatkit {

using runtime::ClassBuilder;
using runtime::Id;

void CKMessage::registerMethods(ClassBuilder<CKMessage>& b)
{
    b.method("text", [](CKMessage& self) -> std::string { return self.text(); });
    b.method("address", [](CKMessage& self) -> std::string { return self.address(); });
    b.method<&CKMessage::messageParts>("messageParts");
    b.method<&CKMessage::isOutgoing>("isOutgoing");
    b.method<&CKMessage::isRead>("isRead");
    b.method<&CKMessage::date>("date");
    b.method<&CKMessage::rowID>("rowID");
    b.method("conversation", [](CKMessage& self) -> Id { return self.conversation(); });
}

std::vector<Id> CKMessage::messageParts()
{
    if (!m_partsLoaded) {
        m_partsLoaded = true;
        auto store = sharedStore();
        auto record = store ? store->message(m_rowID) : std::nullopt;
        if (record)
            m_parts = makeParts(store->parts(*record));
    }
    return m_parts;
}

void CKMessage::stored(int64_t rowID, bool outgoing, bool read)
{
    m_rowID = rowID;
    m_outgoing = outgoing;
    m_read = read;
}

void CKMessage::loadRecord(const StoredMessage& record)
{
    m_rowID = record.rowID;
    m_address = record.peer();
    m_text = record.text.value_or("");
    m_outgoing = record.isOutgoing();
    m_read = record.isRead();
    m_date = static_cast<double>(record.unixDate());
    m_parts.clear();
    m_partsLoaded = false;
}

void CKSMSMessage::registerMethods(ClassBuilder<CKSMSMessage>& b)
{
    b.method<&CKSMSMessage::initWithRowID>("initWithRowID:");
    b.method<&CKSMSMessage::initWithCTMessage>("initWithCTMessage:messageParts:");
    b.method<&CKSMSMessage::markAsRead>("markAsRead");
}

Id CKSMSMessage::initWithRowID(int64_t rowID)
{
    auto store = sharedStore();
    auto record = store ? store->message(rowID) : std::nullopt;
    if (!record)
        return nullptr;
    loadRecord(*record);
    if (m_text.empty())
        m_text = textOfParts(messageParts());
    return self();
}

Id CKSMSMessage::initWithCTMessage(const Id& message, const std::vector<Id>& parts)
{
    if (!message)
        return nullptr;
    m_address = runtime::send<std::string>(message, "sender");
    m_date = runtime::send<double>(message, "date");
    m_rowID = runtime::send<int64_t>(message, "messageId");
    m_parts = parts;
    m_partsLoaded = true;
    m_text = textOfParts(parts);
    m_outgoing = false;
    m_read = false;
    if (auto store = m_rowID ? sharedStore() : nullptr) {
        if (auto record = store->message(m_rowID))
            m_read = record->isRead();
    }
    return self();
}

void CKSMSMessage::markAsRead()
{
    if (!m_rowID || m_outgoing)
        return;
    if (auto store = sharedStore(); store && store->markAsRead(m_rowID))
        m_read = true;
}

void CTMessage::registerMethods(ClassBuilder<CTMessage>& b)
{
    b.method("sender", [](CTMessage& self) -> std::string { return self.m_sender; });
    b.method("date", [](CTMessage& self) -> double { return self.m_date; });
    b.method("messageId", [](CTMessage& self) -> int64_t { return self.m_messageId; });
}

} // namespace chatkit
