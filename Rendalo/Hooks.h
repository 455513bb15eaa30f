// The replacements that Rendalo installs over SpringBoard's, ChatKit's and
// the Mail service's methods, one per row of its hook table (HookTable.cpp),
// each with the slot that keeps the implementation it replaced. When Parlivo
// is loaded too, the slot may hold Parlivo's replacement, which then runs in
// turn: the chain follows the load order.
#pragma once

#include "HeavyUtilities.h"
#include "RDL.h"
#include "RendaloState.h"

#include <KelvaneLibrary/SharedFiles.h>
#include <common/SpringBoardHooks.h>
#include <foundation/PropertyList.h>
#include <runtime/Runtime.h>
#include <uikit/Geometry.h>

#include <cstdint>
#include <string>
#include <vector>

namespace rendalo::hooks {

using namespace common::hooktypes;

// Rendalo for the shared hook bodies of common/SpringBoardHooks.h: its own
// names, no log lines of its own there, and URL hooks that stand aside while
// it asks a mail action for its URL.
struct RendaloLibrary : common::HookLibrary<RDL, HeavyUtilities, RendaloState, rendaloState> {
    static constexpr std::string_view ProjectName = rendalo::ProjectName;
    static constexpr std::string_view BannerIconPath = kelvane::RDLImage::BannerIcon;
    static constexpr std::string_view BannerIconName = "rendaloBannerIcon";
    // Rendalo writes no log line of its own in the banner-subview and launch
    // hooks.
    static constexpr bool LogsHostCalls = false;
    static void willCreateController(State&) { }
    // While a mail action is asked for its real launch URL.
    static bool urlHooksStandAside(const State& state) { return state.returnTheURL; }
    static void showNotificationBulletin(State& state) { state.rdl->showBulletin(); }
};

// Start-up, the lock, applications, rotation, banner removal, the banner
// icon, row selection and the notification centre's URLs.
using SystemHooks = common::SpringBoardHooks<RendaloLibrary>;

// The records: an incoming SMS as ChatKit builds it, and the Mail service's
// new-mail notification (RecordHooks.cpp).
Id initWithCTMessage(Object*, Sel, const Id& message, const std::vector<Id>& parts);
inline Saved<Id, const Id&, const std::vector<Id>&> orig_initWithCTMessage;
void didReceiveNotificationData(Object*, Sel, const std::vector<uint8_t>& data, const foundation::PlistValue& userInfo);
inline Saved<void, const std::vector<uint8_t>&, const foundation::PlistValue&> orig_didReceiveNotificationData;

// The banner (BannerHooks.cpp).
void handleBannerTapGesture(Object*, Sel, const Id& recognizer);
inline Saved<void, const Id&> orig_handleBannerTapGesture;
void observerAddBulletinForFeed(Object*, Sel, const Id& observer, const Id& bulletin, int64_t feed);
inline Saved<void, const Id&, const Id&, int64_t> orig_observerAddBulletinForFeed;

// The notification centre's row capture (NotificationCenterHooks.cpp).
Id bulletinAtIndex(Object*, Sel, int64_t index);
inline Saved<Id, int64_t> orig_bulletinAtIndex;

// The Darwin observer of "it.kelvane.RDL.reloadPrefs".
inline void reloadPrefsNotification() { SystemHooks::reloadPrefsNotification(); }

} // namespace rendalo::hooks
