// A mail as the phone keeps it in its mail folders: an RFC 5322 message with
// a MIME body (one text part, or a multipart/mixed of the text and its
// attachments in base64), written and read with GMime. Writing never lets a
// value break out of its header: line breaks and other control characters in
// subjects, addresses and file names become spaces, and a file name loses any
// folder part. Reading answers the decoded values (UTF-8 text, attachment
// bytes as they were attached).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mail {

struct MailAttachment {
    std::vector<uint8_t> data;
    std::string mimeType; // "type/subtype"; anything else is written as application/octet-stream
    std::string fileName;
    bool operator==(const MailAttachment&) const = default;
};

struct MailMessage {
    std::string from; // "Name <address>" or a bare address
    std::vector<std::string> to;
    std::vector<std::string> cc;
    std::vector<std::string> bcc;
    std::string subject;
    std::string body;
    bool bodyIsHTML { false };
    double date { 0 }; // Unix seconds
    std::string messageID; // without the angle brackets
    std::vector<MailAttachment> attachments;
};

// The message in RFC 5322 form with CRLF line ends; nothing when GMime
// cannot build it.
std::optional<std::string> writeMime(const MailMessage&);

// Nothing when the bytes hold no message.
std::optional<MailMessage> readMime(std::span<const uint8_t> bytes);
std::optional<MailMessage> readMime(std::string_view bytes);

// Whether one recipient entry holds exactly one mailbox with an address of
// the form local@domain.
bool isValidMailAddress(std::string_view);

// A line of recipients as a person types it ("a@example.com, \"Rossi,
// Anna\" <b@example.com>") split into one entry per mailbox or group, each
// written back as an address line; nothing for a line without addresses.
std::vector<std::string> splitAddressList(std::string_view);

// The text with every control character (line breaks included) turned into a
// space, as it may stand in a header.
std::string headerSafe(std::string_view);

// The last path component of a file name, made header-safe; "attachment"
// when nothing is left.
std::string safeFileName(std::string_view);

} // namespace mail
