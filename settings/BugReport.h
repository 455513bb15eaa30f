// What the bug-report mail carries: the support address, the subject
// "PLV Bug report", an HTML body describing the device, and Parlivo's log
// (/var/mobile/Library/PLV/PLV.log) attached as "PLV.log", text/plain. When
// there is no log to attach, the body says so in a last line, so the
// developer knows the missing attachment is not a fault of the mail.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plvsettings {

struct BugReportMail {
    std::vector<std::string> toRecipients;
    std::string subject;
    std::string htmlBody;
    // The log's bytes; nothing when there is no log file or it cannot be read.
    std::optional<std::vector<uint8_t>> logAttachment;
};

inline constexpr std::string_view NoLogLine = "No PLV.log was found on this device, so none is attached.<br>";

// Device description, system version and identifier come from UIDevice.
BugReportMail makeBugReportMail(const std::string& toAddress);

} // namespace plvsettings
