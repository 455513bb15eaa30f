// SpringBoard's agent for launching what a bulletin points at. The banner,
// the notification centre and the lock screen ask it, through the runtime,
// whether it may launch a bulletin's URL and then to launch it; a launch
// closes the notification centre, unlocks the device when it is allowed to,
// and opens the URL (or, without one, the bulletin's application).
#pragma once

#include "BBBulletin.h"

namespace springboard {

class SBUserAgent : public runtime::Object {
    PLV_CLASS(SBUserAgent, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<SBUserAgent>&);

    static runtime::Ref<SBUserAgent> sharedUserAgent();

    // YES when the URL opens an application on this phone, or, without a
    // URL, when the bundle identifier names one.
    bool canLaunchFromBulletin(const std::string& url, const std::string& bundleID);
    bool launchFromBulletin(const std::string& url, const std::string& bundleID, bool allowUnlock, bool animate, int64_t origin);
};

// What a tap on a banner or an unlocked lock-screen cell does: asks the
// bulletin's default action for its URL (when it is a URL action) and
// application, then the user agent whether it may launch them and to launch
// them, all through the runtime. Answers whether something was launched.
bool launchDefaultAction(const runtime::Ref<BBBulletin>&, int64_t origin, bool allowUnlock = false);

} // namespace springboard
