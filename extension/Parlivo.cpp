#include "Parlivo.h"

#include "HeavyUtilities.h"
#include "HookTable.h"
#include "Hooks.h"
#include "KelvaneMessageSender.h"
#include "QuickComposeViewController.h"
#include "QuickReplyViewController.h"
#include "RDL.h"
#include "TweakState.h"

#include <KelvaneLibrary/SharedFiles.h>
#include <foundation/NotificationCenter.h>

#include <optional>
#include <string>

namespace parlivo {

namespace {

    std::optional<std::vector<InstalledHook>>& installation()
    {
        static std::optional<std::vector<InstalledHook>> hooks;
        return hooks;
    }

    void reloadCallback(CFNotificationCenterRef, void*, CFStringRef, const void*, CFDictionaryRef)
    {
        hooks::reloadPrefsNotification();
    }

} // namespace

void installParlivo()
{
    if (installation())
        return;
    resetTweakState();
    // Defined now so that the host (Activator, the windows) finds them by name.
    RDL::classObject();
    HeavyUtilities::classObject();
    KelvaneMessageSender::classObject();
    registerQuickReplyClasses();
    registerQuickComposeClasses();
    installation() = installHookTable();

    auto& state = tweakState();
    state.ckDBMessageClass = runtime::classNamed("CKDBMessage");
    state.sbAwayControllerClass = runtime::classNamed("SBAwayController");
    state.sbBulletinListControllerClass = runtime::classNamed("SBBulletinListController");

    CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), nullptr, &reloadCallback,
        kelvane::PLVReloadNotification, nullptr, 0);
}

void uninstallParlivo()
{
    if (!installation())
        return;
    CFNotificationCenterRemoveObserver(CFNotificationCenterGetDarwinNotifyCenter(), nullptr, kelvane::PLVReloadNotification, nullptr);
    parlivo::uninstallHookTable(*installation());
    installation().reset();
    resetTweakState();
}

} // namespace parlivo
