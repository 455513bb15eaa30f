// The lock-screen list, kept when SpringBoard makes it (the other system
// hooks are shared with Rendalo: common/SpringBoardHooks.h).
#include "Hooks.h"

#include "TweakState.h"

#include <KelvaneLibrary/KelvaneLogger.h>

namespace parlivo::hooks {

using kelvane::KelvaneLogger;

Id awayBulletinListControllerInit(Object* self, Sel selector)
{
    Id list = orig_awayBulletinListControllerInit(self, selector);
    KelvaneLogger::log("SBAwayBulletinListController init", KelvaneLogger::Development);
    tweakState().sbawayBulletinListController = list;
    return list;
}

} // namespace parlivo::hooks
