// One row of the Messages database's `message` table as the phone keeps it,
// and the rules that turn its raw columns into what a reader of the message
// cares about: which service carried it, which way it went, whether the user
// has read it, and when it was sent. SMS rows keep Unix seconds and their
// direction in `flags`; iMessage rows keep seconds since 2001 and their
// direction in `madrid_flags`.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace chatkit {

// Seconds between the Unix epoch and 2001-01-01 UTC, the epoch of iMessage dates.
inline constexpr int64_t MacEpochOffset = 978307200;

enum class MessageKind {
    SMS,
    IMessage,
};

// The `flags` column of an SMS row. Bit 0 marks a message the user sent, bit 1
// a message that is complete (sent, or read by the user).
namespace smsflags {
    inline constexpr int64_t FromMe = 0x1;
    inline constexpr int64_t Complete = 0x2;
    inline constexpr int64_t Error = 0x20;
    inline constexpr int64_t Deleted = 0x80;
    inline constexpr int64_t ReceivedUnread = 0;
    inline constexpr int64_t Received = Complete;
    inline constexpr int64_t Sent = FromMe | Complete;
    inline constexpr int64_t SendFailed = FromMe | Error;
}

// The `madrid_flags` column of an iMessage row. Bit 2 marks a message the user
// sent; 0x10000 marks a text in which a number, address or link was found.
namespace madridflags {
    inline constexpr int64_t FromMe = 0x4;
    inline constexpr int64_t DataDetected = 0x10000;
    inline constexpr int64_t Received = 12289;
    inline constexpr int64_t ReceivedWithData = 77825;
    inline constexpr int64_t Sent = 36869;
    inline constexpr int64_t SentWithData = 102405;
}

bool smsFlagsAreOutgoing(int64_t flags);
bool madridFlagsAreOutgoing(int64_t madridFlags);
// What the database's `read(flags)` function answers; its triggers use it to
// keep each conversation's unread count.
bool smsFlagsAreRead(int64_t flags);
// Whether a text holds something the phone would turn into a link (a phone
// number, an e-mail address or a web address).
bool textHasDetectedData(const std::string& text);

struct StoredMessage {
    int64_t rowID { 0 };
    std::optional<std::string> address;
    std::optional<std::string> text;
    int64_t date { 0 };
    int64_t flags { 0 };
    std::optional<int64_t> read; // absent column or NULL
    int64_t groupID { 0 };
    bool isMadrid { false };
    std::optional<std::string> madridHandle;
    std::optional<std::string> madridGuid;
    std::optional<std::string> madridAccount;
    std::optional<std::string> madridAccountGuid;
    std::optional<std::string> madridService;
    std::optional<std::string> madridRoomname;
    int64_t madridFlags { 0 };
    int64_t madridError { 0 };
    int64_t madridDateRead { 0 };
    int64_t madridDateDelivered { 0 };

    MessageKind kind() const { return isMadrid ? MessageKind::IMessage : MessageKind::SMS; }
    bool isOutgoing() const;
    // An outgoing message counts as read. Otherwise the `read` column decides;
    // without one, the flags (SMS) or the read date (iMessage) do.
    bool isRead() const;
    // Seconds since the Unix epoch whatever the service; 0 when unset.
    int64_t unixDate() const;
    // The other party: `address` for SMS, `madrid_handle` for iMessage, each
    // falling back on the other when it is NULL.
    std::string peer() const;
    // Empty for an SMS; never empty for an iMessage (the account GUID, else the
    // account login, else a fixed marker), so a caller can tell the two apart.
    std::string accountGUID() const;
};

std::string_view kindName(MessageKind);

} // namespace chatkit
