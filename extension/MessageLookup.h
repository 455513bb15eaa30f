// What the hooks do with a message of the Messages database once a bulletin
// has named it: look it up by record id and have the controller record it
// (RDL::recordPickedMessage), and read the bulletin's record id as a number.
#pragma once

#include "RDL.h"

#include <runtime/Runtime.h>

#include <cstdint>
#include <string_view>

namespace parlivo {

// The database message for a record id, or nil.
runtime::Id loadDatabaseMessage(int64_t recordID);

// RDL::recordPickedMessage on the controller. Before SpringBoard has
// finished launching there is no controller: nothing is recorded or marked
// read, and the answer is only whether the message exists.
bool recordPickedMessage(RDL*, int64_t recordID, MissingMessage ifMissing);

// The integer a decimal string starts with, as the platform's integerValue
// reads it: leading blanks and a sign are allowed, anything else stops the
// number, and text without digits is 0.
int64_t integerValue(std::string_view);

} // namespace parlivo
