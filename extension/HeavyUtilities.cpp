#include "HeavyUtilities.h"

#include "TweakState.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <common/BannerRemoval.h>

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
    common::removeSystemBanner();

    auto& state = tweakState();
    if (state.shouldResetDimTimer) {
        state.shouldResetDimTimer = false;
        Id away = send<Id>(runtime::classNamed("SBAwayController"), "sharedAwayController");
        if (away)
            send(away, "restartDimTimer:", LockScreenDimAfterClose);
    }
}

} // namespace parlivo
