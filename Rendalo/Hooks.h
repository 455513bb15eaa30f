// The replacements that Rendalo installs over SpringBoard's, ChatKit's and
// the Mail service's methods, one per row of its hook table (HookTable.cpp),
// each with the slot that keeps the implementation it replaced. When Parlivo
// is loaded too, the slot may hold Parlivo's replacement, which then runs in
// turn: the chain follows the load order.
#pragma once

#include <foundation/PropertyList.h>
#include <runtime/Runtime.h>
#include <uikit/Geometry.h>

#include <cstdint>
#include <string>
#include <vector>

namespace rendalo::hooks {

using runtime::Id;
using runtime::Object;
using runtime::Sel;

template <class R, class... A>
using Saved = R (*)(Object*, Sel, A...);

// Start-up, the lock, applications, rotation, banner removal and row
// selection (SystemHooks.cpp).
void applicationDidFinishLaunching(Object*, Sel, const Id& application);
inline Saved<void, const Id&> orig_applicationDidFinishLaunching;
void lock(Object*, Sel);
inline Saved<void> orig_lock;
void launch(Object*, Sel);
inline Saved<void> orig_launch;
void activate(Object*, Sel);
inline Saved<void> orig_activate;
void deactivate(Object*, Sel);
inline Saved<void> orig_deactivate;
void kill(Object*, Sel);
inline Saved<void> orig_kill;
void bulletinWindowWillRotateToOrientation(Object*, Sel, int64_t orientation);
inline Saved<void, int64_t> orig_bulletinWindowWillRotateToOrientation;
void tryToDismissBannerWithAnimation(Object*, Sel, int64_t animation);
inline Saved<void, int64_t> orig_tryToDismissBannerWithAnimation;
void tableViewDidSelectRowAtIndexPath(Object*, Sel, const Id& tableView, const uikit::NSIndexPath& indexPath);
inline Saved<void, const Id&, const uikit::NSIndexPath&> orig_tableViewDidSelectRowAtIndexPath;

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
void createSubviewsWithBannerImage(Object*, Sel, const Id& image);
inline Saved<void, const Id&> orig_createSubviewsWithBannerImage;

// The notification centre (NotificationCenterHooks.cpp).
Id bulletinAtIndex(Object*, Sel, int64_t index);
inline Saved<Id, int64_t> orig_bulletinAtIndex;
bool isURLLaunchAction(Object*, Sel);
inline Saved<bool> orig_isURLLaunchAction;
std::string launchURL(Object*, Sel);
inline Saved<std::string> orig_launchURL;
bool canLaunchFromBulletinWithURL(Object*, Sel, const std::string& url, const std::string& bundleID);
inline Saved<bool, const std::string&, const std::string&> orig_canLaunchFromBulletinWithURL;
bool launchFromBulletinWithURL(Object*, Sel, const std::string& url, const std::string& bundleID, bool allowUnlock, bool animate, int64_t origin);
inline Saved<bool, const std::string&, const std::string&, bool, bool, int64_t> orig_launchFromBulletinWithURL;

// The Darwin observer of "it.kelvane.RDL.reloadPrefs" (SystemHooks.cpp).
void reloadPrefsNotification();

} // namespace rendalo::hooks
