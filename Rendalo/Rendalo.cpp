#include "Rendalo.h"

#include "HeavyUtilities.h"
#include "HookTable.h"
#include "Hooks.h"
#include "KelvaneMessageSender.h"
#include "QuickReplyViewController.h"
#include "RDL.h"
#include "RendaloState.h"

#include <KelvaneLibrary/SharedFiles.h>
#include <foundation/NotificationCenter.h>

#include <optional>
#include <string>
#include <vector>

namespace rendalo {

namespace {

    bool& observing()
    {
        static bool installed = false;
        return installed;
    }

    std::optional<std::vector<common::InstalledHook>>& installation()
    {
        static std::optional<std::vector<common::InstalledHook>> hooks;
        return hooks;
    }

    void reloadCallback(CFNotificationCenterRef, void*, CFStringRef, const void*, CFDictionaryRef)
    {
        hooks::reloadPrefsNotification();
    }

} // namespace

void installReloadObserver()
{
    if (std::exchange(observing(), true))
        return;
    CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), nullptr, &reloadCallback,
        kelvane::RDLReloadNotification, nullptr, 0);
}

void installRendaloHooks()
{
    if (installation())
        return;
    resetRendaloState();
    // Rendalo's own classes, defined now; with Parlivo loaded first the
    // names keep answering Parlivo's, and Rendalo reaches its own directly.
    RDL::classObject();
    HeavyUtilities::classObject();
    KelvaneMessageSender::classObject();
    QuickReplyViewController::classObject();
    installation() = common::installHookTable(hookTable(), "Rendalo");

    auto& state = rendaloState();
    state.ckDBMessageClass = runtime::classNamed("CKDBMessage");
    state.ckSMSMessageClass = runtime::classNamed("CKSMSMessage");
    state.sbBulletinListControllerClass = runtime::classNamed("SBBulletinListController");
}

void installRendalo()
{
    installReloadObserver();
    installRendaloHooks();
}

void uninstallRendalo()
{
    if (std::exchange(observing(), false))
        CFNotificationCenterRemoveObserver(CFNotificationCenterGetDarwinNotifyCenter(), nullptr, kelvane::RDLReloadNotification, nullptr);
    if (installation()) {
        common::uninstallHookTable(*installation());
        installation().reset();
    }
    resetRendaloState();
}

} // namespace rendalo
