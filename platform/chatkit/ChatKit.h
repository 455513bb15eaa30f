// The phone's messaging frameworks as the host sees them: registering their
// classes with the runtime, delivering incoming messages into the Messages
// database, and listing what the database holds. Everything the system
// itself uses is reached through the runtime by class name (CKSMSService,
// CKMadridService, CKDBMessage, ...); see the headers of those classes.
#pragma once

#include "Configuration.h"
#include "Database.h"
#include "MessageStore.h"
#include "Schema.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace chatkit {

// Defines every messaging class in the runtime, so that classNamed() finds
// them from boot on.
void registerChatKitClasses();

// An SMS arrives: it is stored as an unread incoming row of the sender's
// conversation, and the SMS message object is built from the telephony
// message through `-[CKSMSMessage initWithCTMessage:messageParts:]`, sent
// through the runtime so a hook sees it. Answers the new row, or why it
// could not be stored (no sender, no database, the database's refusal).
foundation::Result<int64_t> receiveSMS(const std::string& from, const std::string& text);

// An iMessage arrives, with an optional picture (JPEG or PNG bytes), stored
// as an unread incoming iMessage row with the picture as an attachment file.
foundation::Result<int64_t> receiveIMessage(const std::string& from, const std::string& text,
    std::optional<std::vector<uint8_t>> picture = std::nullopt);

// Every row of the database in row order; empty without a database.
std::vector<MessageSummary> listMessages();
// The `limit` newest rows in row order, and how many rows there are; for
// views that show only the end of the table.
std::vector<MessageSummary> listNewestMessages(size_t limit);
int64_t messageCount();

// Forgets the shared services, conversation list and chats (not the
// database), as a restart of the phone would.
void resetChatKitObjects();

} // namespace chatkit
