// What the hooks do with a message of the Messages database once a bulletin
// has named it: look it up by record id and fill the controller's record,
// marking the message read through the SMS or the iMessage path.
#pragma once

#include <runtime/Runtime.h>

#include <cstdint>
#include <string_view>

namespace parlivo {

class RDL;

// The database message for a record id, or nil.
runtime::Id loadDatabaseMessage(int64_t recordID);

// Sets the kind to "iMessage" and marks it read as an iMessage when the
// message has an iMessage account, otherwise marks it read as an SMS. A nil
// controller does nothing.
void recordKindAndMarkRead(RDL*, const runtime::Id& message, int64_t recordID);

// The integer a decimal string starts with, as the platform's integerValue
// reads it: leading blanks and a sign are allowed, anything else stops the
// number, and text without digits is 0.
int64_t integerValue(std::string_view);

} // namespace parlivo
