// The results the system composers report to their delegates, with the
// platform's values.
#pragma once

#include <cstdint>

namespace messageui {

enum MessageComposeResult : int64_t {
    MessageComposeResultCancelled = 0,
    MessageComposeResultSent = 1,
    MessageComposeResultFailed = 2,
};

enum MFMailComposeResult : int64_t {
    MFMailComposeResultCancelled = 0,
    MFMailComposeResultSaved = 1,
    MFMailComposeResultSent = 2,
    MFMailComposeResultFailed = 3,
};

} // namespace messageui
