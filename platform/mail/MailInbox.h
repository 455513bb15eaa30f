// The mail the phone has received. The host delivers an e-mail with
// `receiveMail`; it is kept in the Inbox folder as a message to the user's
// account and is known from then on by its message reference, the URL the
// Mail application opens it with ("message://%3c<Message-ID>%3e"), which is
// also the launch URL of its bulletin and what the new-mail notification
// carries.
#pragma once

#include "MailFolder.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mail {

struct ReceivedMail {
    std::string reference;
    std::string sender; // the From as received
    std::string subject;
    std::string body;
    double date { 0 }; // Unix seconds
};

// Answers the new mail's reference; nothing when the sender is not a single
// mail address, the body is larger than MaximumReceivedBody bytes, or the
// Inbox cannot be written.
std::optional<std::string> receiveMail(const std::string& from, const std::string& subject, const std::string& body);
inline constexpr size_t MaximumReceivedBody = 16 * 1024 * 1024;

std::vector<ReceivedMail> listInbox();
std::optional<ReceivedMail> findInboxMail(std::string_view reference);

// "message://%3c" + the Message-ID + "%3e".
std::string messageReference(std::string_view messageID);

} // namespace mail
