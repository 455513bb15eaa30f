// The iOS 5 layout of the Messages database: creating a new sms.db with its
// tables, indexes and triggers, and the `read()` SQL function that the
// triggers call. Every connection that writes to a database with those
// triggers must have the function, or its inserts and updates fail.
#pragma once

#include <foundation/Result.h>

#include <filesystem>
#include <string>

struct sqlite3;

namespace chatkit {

// The device path of the database and of the folder that holds its files.
inline constexpr const char* smsDatabaseDevicePath = "/var/mobile/Library/SMS/sms.db";
inline constexpr const char* smsFolderDevicePath = "/var/mobile/Library/SMS";

// Creates an empty iOS 5 database at `path` (and the Attachments and Parts
// folders beside it). Refuses to touch a file that already has content.
foundation::Result<void> createDatabase(const std::filesystem::path& path);

// Registers `read(flags)` on a connection.
bool registerReadFunction(sqlite3*);

} // namespace chatkit
