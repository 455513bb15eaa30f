// The new-mail notification: its keys, the user info the Mail service sends
// (`MSNotificationKeyMessages` → an array with one dictionary per new mail,
// holding its reference, body summary, sender and subject), posting it for
// mails of the Inbox, and reading it back the way the platform's key-value
// coding does.
#pragma once

#include "MailInbox.h"

#include <foundation/PropertyList.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mail {

inline constexpr std::string_view MSNotificationKeyMessages = "MSNotificationKeyMessages";
inline constexpr std::string_view MSResultsKeyMessageReference = "MSResultsKeyMessageReference";
inline constexpr std::string_view MSResultsKeyBodySummary = "MSResultsKeyBodySummary";
inline constexpr std::string_view MSResultsKeySender = "MSResultsKeySender";
inline constexpr std::string_view MSResultsKeySubject = "MSResultsKeySubject";

// At most this many characters of a body go into its summary.
inline constexpr size_t BodySummaryLength = 1000;

// The body on one line: runs of white space become one blank, the ends are
// trimmed, and it is cut (on a character boundary) after BodySummaryLength
// characters.
std::string bodySummary(std::string_view body);

foundation::PlistValue newMailUserInfo(const std::vector<ReceivedMail>&);

// Sends `_didReceiveNotificationData:userInfo:` to the shared
// `MSNotificationService`, reached by name through the runtime, for the
// Inbox mails with these references (unknown references are left out).
// Answers false, sending nothing, when none is known or the service is absent.
bool postNewMailNotification(const std::vector<std::string>& references);

// `-[NSObject valueForKey:]` on property-list values: a dictionary answers
// its value; an array answers an array of each element's value, where an
// element without one gives an empty dictionary (the platform's NSNull,
// which is neither a string nor a list). Nothing for any other value or a
// missing key.
std::optional<foundation::PlistValue> valueForKey(const foundation::PlistValue&, std::string_view key);

} // namespace mail
