// The phone's one Messages database, shared by every messaging class. It is
// opened on first use from the device path /var/mobile/Library/SMS/sms.db
// (or from a file the host names, such as a copy from a phone backup), and
// opened again on a later use if it was missing or unreadable before, so a
// database that appears after boot is found.
#pragma once

#include "MessageStore.h"

#include <filesystem>
#include <memory>
#include <string>

namespace chatkit {

// The open database, or null when there is none that can be read; then
// databaseError() says why.
std::shared_ptr<MessageStore> sharedStore();
std::string databaseError();

// Uses the database at this host path from now on (closing the current one).
void useDatabase(std::filesystem::path hostPath);
// Back to the device's own database under the device root.
void useDeviceDatabase();
// Closes the database; the next use opens it again.
void closeDatabase();

} // namespace chatkit
