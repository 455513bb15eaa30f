// The replacements that Parlivo installs over SpringBoard's methods, one per
// row of the hook table (HookTable.cpp), each with the slot that keeps the
// implementation it replaced. The parameter types are the runtime's, so each
// replacement has exactly the signature of the method it replaces.
#pragma once

#include <runtime/Runtime.h>
#include <uikit/Geometry.h>

#include <string>

namespace parlivo::hooks {

using runtime::Id;
using runtime::Object;
using runtime::Sel;

template <class R, class... A>
using Saved = R (*)(Object*, Sel, A...);

// Rows 1 to 8, 12 and 18: start-up, the lock, applications, rotation, banner
// removal, row selection and the lock-screen list (SystemHooks.cpp).
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
Id awayBulletinListControllerInit(Object*, Sel);
inline Saved<Id> orig_awayBulletinListControllerInit;

// Rows 9 to 11: the banner (BannerHooks.cpp).
void handleBannerTapGesture(Object*, Sel, const Id& recognizer);
inline Saved<void, const Id&> orig_handleBannerTapGesture;
void observerAddBulletinForFeed(Object*, Sel, const Id& observer, const Id& bulletin, int64_t feed);
inline Saved<void, const Id&, const Id&, int64_t> orig_observerAddBulletinForFeed;
void createSubviewsWithBannerImage(Object*, Sel, const Id& image);
inline Saved<void, const Id&> orig_createSubviewsWithBannerImage;

// Rows 13 to 17: the notification centre (NotificationCenterHooks.cpp).
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

// Row 19: the lock screen (LockScreenHooks.cpp).
void lockBarUnlocked(Object*, Sel, const Id& sender);
inline Saved<void, const Id&> orig_lockBarUnlocked;

// The Darwin observer of kelvane::PLVReloadNotification (SystemHooks.cpp).
void reloadPrefsNotification();

} // namespace parlivo::hooks
