#include "HeavyUtilities.h"

#include "TweakState.h"

#include <KelvaneLibrary/KelvaneLogger.h>

namespace parlivo {

using kelvane::KelvaneLogger;
using runtime::Id;
using runtime::send;

void HeavyUtilities::registerMethods(runtime::ClassBuilder<HeavyUtilities>& b)
{
    b.method<&HeavyUtilities::dismissBanner>("dismissBanner");
}

void HeavyUtilities::dismissBanner()
{
    KelvaneLogger::log("HeavyUtilities dismissBanner", KelvaneLogger::Development);
    Id banners = send<Id>(runtime::classNamed("SBBulletinBannerController"), "sharedInstance");
    if (send<bool>(banners, "isShowingBanner"))
        send(banners, "_tryToDismissBannerWithAnimation:", int64_t { 0 });
    else
        KelvaneLogger::log("Not dismissing banner as it isn't here", KelvaneLogger::Development);

    auto& state = tweakState();
    if (state.shouldResetDimTimer) {
        state.shouldResetDimTimer = false;
        Id away = send<Id>(runtime::classNamed("SBAwayController"), "sharedAwayController");
        if (away)
            send(away, "restartDimTimer:", LockScreenDimAfterClose);
    }
}

} // namespace parlivo
