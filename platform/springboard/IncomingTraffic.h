// What the phone does when a message or an e-mail arrives: it is written
// through the data layer (the Messages database, the Mail inbox) and the
// bulletin the phone posts for it is published, so it reaches the banner,
// the notification centre and, when locked, the lock screen. A message's
// bulletin is in section "com.apple.MobileSMS" with the database row as its
// record id; a mail's is in "com.apple.mobilemail" with the mail's reference
// as its launch URL, and is followed by the Mail service's new-mail
// notification.
#pragma once

#include <foundation/Result.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace springboard {

// What was delivered; a failure says why nothing was (the database's own
// reason included).
struct Delivered {
    std::optional<int64_t> recordID; // the sms.db row
    std::string reference; // the mail's reference
};

foundation::Result<Delivered> deliverSMS(const std::string& from, const std::string& text);
foundation::Result<Delivered> deliverIMessage(const std::string& from, const std::string& text, std::optional<std::vector<uint8_t>> picture);
foundation::Result<Delivered> deliverMail(const std::string& from, const std::string& subject, const std::string& body);

} // namespace springboard
