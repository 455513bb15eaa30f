#include "ApplicationIcons.h"

#include <array>

namespace springboard {

namespace {

    struct Entry {
        const char* displayIdentifier;
        ApplicationIcon icon;
    };

    // One line per application, its icon in its bundle.
    const std::array entries {
        Entry { "com.apple.MobileSMS", { "/Applications/MobileSMS.app/Icon.png", 0.3, 0.8, 0.3 } },
        Entry { "com.apple.mobilemail", { "/Applications/MobileMail.app/Icon.png", 0.25, 0.5, 0.95 } },
        Entry { "it.kelvane.plvsettings", { "/Applications/PLVSettings.app/Icon.png", 0.55, 0.58, 0.63 } },
    };

} // namespace

std::optional<ApplicationIcon> applicationIcon(const std::string& displayIdentifier)
{
    for (const auto& entry : entries) {
        if (displayIdentifier == entry.displayIdentifier)
            return entry.icon;
    }
    return std::nullopt;
}

} // namespace springboard
