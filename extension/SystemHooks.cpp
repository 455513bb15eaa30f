// Start-up, the lock, applications, rotation, banner removal, row selection,
// the lock-screen list and the reload notification.
#include "Hooks.h"

#include "HeavyUtilities.h"
#include "RDL.h"
#include "TweakState.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <KelvaneLibrary/SharedFiles.h>

namespace parlivo::hooks {

using kelvane::KelvaneLogger;

void applicationDidFinishLaunching(Object* self, Sel selector, const Id& application)
{
    orig_applicationDidFinishLaunching(self, selector, application);
    KelvaneLogger::setProjectName(kelvane::PLVApplicationName, true);
    auto& state = tweakState();
    state.ncqr = true;
    state.shouldResetDimTimer = false;
    auto controller = runtime::make<RDL>();
    controller->init();
    state.rdl = controller;
    state.hv = runtime::make<HeavyUtilities>();
    state.rdl->setDelegate(state.hv);
}

void lock(Object* self, Sel selector)
{
    if (auto& controller = tweakState().rdl)
        controller->emergencyDismissBanner();
    orig_lock(self, selector);
}

void launch(Object* self, Sel selector)
{
    if (auto& controller = tweakState().rdl)
        controller->setInApp(true);
    orig_launch(self, selector);
}

void activate(Object* self, Sel selector)
{
    if (auto& controller = tweakState().rdl)
        controller->setInApp(true);
    orig_activate(self, selector);
}

void deactivate(Object* self, Sel selector)
{
    if (auto& controller = tweakState().rdl)
        controller->setInApp(false);
    orig_deactivate(self, selector);
}

void kill(Object* self, Sel selector)
{
    if (auto& controller = tweakState().rdl)
        controller->setInApp(false);
    orig_kill(self, selector);
}

void bulletinWindowWillRotateToOrientation(Object* self, Sel selector, int64_t orientation)
{
    orig_bulletinWindowWillRotateToOrientation(self, selector, orientation);
    if (auto& controller = tweakState().rdl)
        controller->deviceRotated(orientation);
}

void tryToDismissBannerWithAnimation(Object* self, Sel selector, int64_t animation)
{
    // While a window is open the banner belongs to it: only the controller's
    // own removals (shouldClose) pass.
    auto& controller = tweakState().rdl;
    if (controller && controller->isWindowOpen() && !controller->shouldClose())
        return;
    orig_tryToDismissBannerWithAnimation(self, selector, animation);
}

void tableViewDidSelectRowAtIndexPath(Object* self, Sel selector, const Id& tableView, const uikit::NSIndexPath& indexPath)
{
    tweakState().userTapNotification = true;
    orig_tableViewDidSelectRowAtIndexPath(self, selector, tableView, indexPath);
}

Id awayBulletinListControllerInit(Object* self, Sel selector)
{
    Id list = orig_awayBulletinListControllerInit(self, selector);
    KelvaneLogger::log("SBAwayBulletinListController init", KelvaneLogger::Development);
    tweakState().sbawayBulletinListController = list;
    return list;
}

void reloadPrefsNotification()
{
    if (auto& controller = tweakState().rdl)
        controller->preferencesManager()->reloadPreferences();
    KelvaneLogger::log("reloadPrefsNotification", KelvaneLogger::Development);
}

} // namespace parlivo::hooks
