// The replacements that Parlivo installs over SpringBoard's methods, one per
// row of the hook table (HookTable.cpp), each with the slot that keeps the
// implementation it replaced. The parameter types are the runtime's, so each
// replacement has exactly the signature of the method it replaces.
#pragma once

#include "HeavyUtilities.h"
#include "RDL.h"
#include "TweakState.h"

#include <KelvaneLibrary/SharedFiles.h>
#include <common/SpringBoardHooks.h>
#include <runtime/Runtime.h>
#include <uikit/Geometry.h>

#include <string>

namespace parlivo::hooks {

using namespace common::hooktypes;

// Parlivo as the shared hook bodies (common/SpringBoardHooks.h) see it.
struct ParlivoLibrary : common::HookLibrary<RDL, HeavyUtilities, TweakState, tweakState> {
    static constexpr std::string_view ProjectName = kelvane::PLVApplicationName;
    static constexpr std::string_view BannerIconPath = kelvane::PLVImage::BannerIcon;
    static constexpr std::string_view BannerIconName = "parlivoBannerIcon";
    static constexpr bool LogsHostCalls = true;
    static void willCreateController(State& state)
    {
        state.ncqr = true;
        state.shouldResetDimTimer = false;
    }
    static bool urlHooksStandAside(const State&) { return false; }
    static void showNotificationBulletin(State& state) { state.rdl->showBulletin(state.lastRecordID); }
};

// Rows 1 to 8, 11 to 17: start-up, the lock, applications, rotation, banner
// removal, the banner icon, row selection, the notification centre's URLs.
using SystemHooks = common::SpringBoardHooks<ParlivoLibrary>;

// Row 18: the lock-screen list (SystemHooks.cpp).
Id awayBulletinListControllerInit(Object*, Sel);
inline Saved<Id> orig_awayBulletinListControllerInit;

// Rows 9 and 10: the banner (BannerHooks.cpp).
void handleBannerTapGesture(Object*, Sel, const Id& recognizer);
inline Saved<void, const Id&> orig_handleBannerTapGesture;
void observerAddBulletinForFeed(Object*, Sel, const Id& observer, const Id& bulletin, int64_t feed);
inline Saved<void, const Id&, const Id&, int64_t> orig_observerAddBulletinForFeed;

// Row 13: the notification centre (NotificationCenterHooks.cpp).
Id bulletinAtIndex(Object*, Sel, int64_t index);
inline Saved<Id, int64_t> orig_bulletinAtIndex;

// Row 19: the lock screen (LockScreenHooks.cpp).
void lockBarUnlocked(Object*, Sel, const Id& sender);
inline Saved<void, const Id&> orig_lockBarUnlocked;

// The Darwin observer of kelvane::PLVReloadNotification.
inline void reloadPrefsNotification() { SystemHooks::reloadPrefsNotification(); }

} // namespace parlivo::hooks
