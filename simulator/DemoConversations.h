// The Messages history of the demo phone: a few conversations with people
// of the demo Address Book (and one stranger), by SMS and by iMessage, in
// both directions, read and unread, one of them with a picture. Dates are
// fixed, so the history is the same on every seeded phone.
#pragma once

#include <foundation/Result.h>

#include <chatkit/MessageRecord.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace simulator {

struct DemoMessage {
    chatkit::MessageKind kind { chatkit::MessageKind::SMS };
    bool outgoing { false };
    bool read { true };
    std::string address;
    std::string text;
    int64_t unixDate { 0 };
    std::optional<std::string> picture; // a file of the photo library
};

// In the order the rows are written (oldest first).
std::vector<DemoMessage> demoConversations();

// Writes a new sms.db at `databaseHostPath` holding the messages. The
// database is built under a temporary name beside it and moved into place
// only when complete, so a failed seed leaves no half-filled database behind.
// Refuses when the file already exists.
foundation::Result<void> writeDemoMessages(const std::filesystem::path& databaseHostPath, const std::vector<DemoMessage>&);

} // namespace simulator
