// One of the phone's mail folders (Inbox, Outbox, Drafts): a directory of
// message files named <n>.eml, numbered from 1 in the order they arrived.
// A message is written whole to a temporary file first and then linked
// under the next free number, so a reader never sees half a message and two
// writers (SpringBoard and the settings application) never take the same
// number or overwrite each other's mail.
#pragma once

#include "MimeMessage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mail {

inline constexpr std::string_view InboxFolder = "/var/mobile/Library/Mail/Inbox";
inline constexpr std::string_view OutboxFolder = "/var/mobile/Library/Mail/Outbox";
inline constexpr std::string_view DraftsFolder = "/var/mobile/Library/Mail/Drafts";

// A message of a folder, read back.
struct StoredMail {
    uint64_t number { 0 };
    std::string devicePath;
    MailMessage message;
};

class MailFolder {
public:
    explicit MailFolder(std::string_view devicePath);

    const std::string& devicePath() const { return m_devicePath; }

    struct Entry {
        uint64_t number { 0 };
        std::string devicePath;
    };

    // Stores a message under the next free number, creating the folder when
    // needed; nothing when it cannot be written.
    std::optional<Entry> add(std::string_view bytes) const;
    // The messages in number order; files of any other name are not mail.
    std::vector<Entry> entries() const;
    // A message's bytes; nothing when it is gone or larger than maxBytes.
    std::optional<std::string> read(const Entry&, uint64_t maxBytes = MaximumMessageSize) const;
    // Every message that reads as mail, in number order.
    std::vector<StoredMail> messages() const;

    static constexpr uint64_t MaximumMessageSize = 64 * 1024 * 1024;

private:
    std::string m_devicePath;
};

} // namespace mail
