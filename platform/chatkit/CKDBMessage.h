// A message loaded from the Messages database by its record id, as the
// phone's banner and notification code looks messages up. Runtime:
// `initWithRecordID:` (integer) → self, or nil when there is no such row or
// no readable database; `text`, `address` (the other party: the number of an
// SMS, the handle of an iMessage), `madridAccountGUID` (empty for an SMS,
// never empty for an iMessage), `messageParts`, `isOutgoing`, `isRead`,
// `isMadrid`, `date` (Unix seconds), `recordID`, `guid`.
// `CKIMDBMessage` adds `markAsRead`, which records in the row that the user
// has read it.
#pragma once

#include "MessageRecord.h"

#include <runtime/Runtime.h>

#include <optional>
#include <vector>

namespace chatkit {

class CKDBMessage : public runtime::Object {
    PLV_CLASS(CKDBMessage, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<CKDBMessage>&);

    runtime::Id initWithRecordID(int64_t recordID);
    std::string text();
    std::string address() const;
    std::string madridAccountGUID() const;
    std::vector<runtime::Id> messageParts();
    const StoredMessage& record() const { return m_record; }

protected:
    StoredMessage m_record;
    std::optional<std::vector<runtime::Id>> m_parts;
};

class CKIMDBMessage : public CKDBMessage {
    PLV_CLASS(CKIMDBMessage, CKDBMessage)
public:
    static void registerMethods(runtime::ClassBuilder<CKIMDBMessage>&);

    void markAsRead();
};

} // namespace chatkit
