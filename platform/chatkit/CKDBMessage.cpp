#include "CKDBMessage.h"

#include "Database.h"
#include "MessageParts.h"

namespace chatkit {

using runtime::ClassBuilder;
using runtime::Id;

void CKDBMessage::registerMethods(ClassBuilder<CKDBMessage>& b)
{
    b.method<&CKDBMessage::initWithRecordID>("initWithRecordID:");
    b.method<&CKDBMessage::text>("text");
    b.method<&CKDBMessage::address>("address");
    b.method<&CKDBMessage::madridAccountGUID>("madridAccountGUID");
    b.method<&CKDBMessage::messageParts>("messageParts");
    b.method("isOutgoing", [](CKDBMessage& self) -> bool { return self.record().isOutgoing(); });
    b.method("isRead", [](CKDBMessage& self) -> bool { return self.record().isRead(); });
    b.method("isMadrid", [](CKDBMessage& self) -> bool { return self.record().isMadrid; });
    b.method("date", [](CKDBMessage& self) -> double { return static_cast<double>(self.record().unixDate()); });
    b.method("recordID", [](CKDBMessage& self) -> int64_t { return self.record().rowID; });
    b.method("guid", [](CKDBMessage& self) -> std::string { return self.record().madridGuid.value_or(""); });
}

Id CKDBMessage::initWithRecordID(int64_t recordID)
{
    auto store = sharedStore();
    if (!store)
        return nullptr;
    auto record = store->message(recordID);
    if (!record)
        return nullptr;
    m_record = std::move(*record);
    m_parts.reset();
    return self();
}

std::string CKDBMessage::text()
{
    if (m_record.text && !m_record.text->empty())
        return *m_record.text;
    // An MMS keeps its words in text parts rather than in the row.
    return textOfParts(messageParts());
}

std::string CKDBMessage::address() const { return m_record.peer(); }

std::string CKDBMessage::madridAccountGUID() const { return m_record.accountGUID(); }

std::vector<Id> CKDBMessage::messageParts()
{
    if (!m_parts) {
        auto store = sharedStore();
        m_parts = store && m_record.rowID ? makeParts(store->parts(m_record)) : std::vector<Id> {};
    }
    return *m_parts;
}

void CKIMDBMessage::registerMethods(ClassBuilder<CKIMDBMessage>& b)
{
    b.method<&CKIMDBMessage::markAsRead>("markAsRead");
}

void CKIMDBMessage::markAsRead()
{
    if (!m_record.rowID)
        return;
    if (auto store = sharedStore(); store && store->markAsRead(m_record.rowID)) {
        if (auto fresh = store->message(m_record.rowID))
            m_record = std::move(*fresh);
    }
}

} // namespace chatkit
