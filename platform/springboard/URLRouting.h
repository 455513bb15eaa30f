// Which application opens a URL: "sms:" the Messages application (with the
// address after the colon), "mailto:" and "message:" (a mail's reference)
// the Mail application. The scheme compares without regard to case, as the
// platform's URL handling does. Other schemes open nothing on this phone.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace springboard {

struct URLRoute {
    std::string bundleID;
    std::string scheme; // lower case
    // What follows the scheme's colon, without a leading "//" for sms: and
    // mailto:; the whole URL for message: references.
    std::string argument;
};

std::optional<URLRoute> routeURL(std::string_view url);

} // namespace springboard
