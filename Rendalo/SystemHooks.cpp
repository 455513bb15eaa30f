// Start-up, the lock, applications, rotation, banner removal, row selection
// and the reload notification.
#include "Hooks.h"

#include "HeavyUtilities.h"
#include "RDL.h"
#include "RendaloState.h"

#include <KelvaneLibrary/KelvaneLogger.h>

namespace rendalo::hooks {

using kelvane::KelvaneLogger;

void applicationDidFinishLaunching(Object* self, Sel selector, const Id& application)
{
    orig_applicationDidFinishLaunching(self, selector, application);
    KelvaneLogger::setProjectName(ProjectName, true);
    auto& state = rendaloState();
    auto controller = runtime::make<RDL>();
    controller->init();
    state.rdl = controller;
    state.hv = runtime::make<HeavyUtilities>();
    state.rdl->setDelegate(state.hv);
}

void lock(Object* self, Sel selector)
{
    if (auto& controller = rendaloState().rdl)
        controller->emergencyDismissBanner();
    orig_lock(self, selector);
}

void launch(Object* self, Sel selector)
{
    if (auto& controller = rendaloState().rdl)
        controller->setInApp(true);
    orig_launch(self, selector);
}

void activate(Object* self, Sel selector)
{
    if (auto& controller = rendaloState().rdl)
        controller->setInApp(true);
    orig_activate(self, selector);
}

void deactivate(Object* self, Sel selector)
{
    if (auto& controller = rendaloState().rdl)
        controller->setInApp(false);
    orig_deactivate(self, selector);
}

void kill(Object* self, Sel selector)
{
    if (auto& controller = rendaloState().rdl)
        controller->setInApp(false);
    orig_kill(self, selector);
}

void bulletinWindowWillRotateToOrientation(Object* self, Sel selector, int64_t orientation)
{
    orig_bulletinWindowWillRotateToOrientation(self, selector, orientation);
    if (auto& controller = rendaloState().rdl)
        controller->deviceRotated(orientation);
}

void tryToDismissBannerWithAnimation(Object* self, Sel selector, int64_t animation)
{
    // While the window is open the banner belongs to it: only the
    // controller's own removals (shouldClose) pass.
    auto& controller = rendaloState().rdl;
    if (controller && controller->status() == 1 && !controller->shouldClose())
        return;
    orig_tryToDismissBannerWithAnimation(self, selector, animation);
}

void tableViewDidSelectRowAtIndexPath(Object* self, Sel selector, const Id& tableView, const uikit::NSIndexPath& indexPath)
{
    rendaloState().userTapNotification = true;
    orig_tableViewDidSelectRowAtIndexPath(self, selector, tableView, indexPath);
}

void reloadPrefsNotification()
{
    if (auto& controller = rendaloState().rdl)
        controller->preferencesManager()->reloadPreferences();
    KelvaneLogger::log("reloadPrefsNotification", KelvaneLogger::Development);
}

} // namespace rendalo::hooks
