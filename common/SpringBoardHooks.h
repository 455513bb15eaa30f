// The hook bodies both libraries install alike: start-up, the lock,
// applications, rotation, banner removal, row selection, the messages icon on
// a banner, the notification centre's launch-URL dance and the reload
// notification. They are templates over the library, so each library gets its
// own copies with their own saved-implementation slots (`orig_…`), reading
// its own state; the chain of two loaded libraries then runs in load order.
//
// What a library tells them (`Library` below):
//   Controller, Utilities, State     its RDL, HeavyUtilities and hook state
//   state()                          its one copy of the state (these four
//                                    from HookLibrary)
//   ProjectName                      the logger's project ("PLV", "RDL")
//   BannerIconPath, BannerIconName   the icon put on a messages banner
//   LogsHostCalls                    whether the banner-subview and launch
//                                    hooks write their log lines
//   willCreateController(State&)     flags set at launch before RDL exists
//   urlHooksStandAside(const State&) the URL hooks pass straight through
//   showNotificationBulletin(State&) the controller's banner for a captured
//                                    notification-centre row
#pragma once

#include "HookState.h"

#include "PackageImages.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <foundation/TemporaryChange.h>
#include <runtime/Runtime.h>
#include <uikit/Geometry.h>
#include <uikit/UIImage.h>
#include <uikit/UIImageView.h>

#include <fmt/format.h>

#include <string>

namespace common {

template <class R, class... A>
using Saved = R (*)(runtime::Object*, runtime::Sel, A...);

// What a library's hook declarations are written in.
namespace hooktypes {
    using runtime::Id;
    using runtime::Object;
    using runtime::Sel;
    using common::Saved;
} // namespace hooktypes

inline constexpr uikit::CGRect BannerIconFrame { { 5, 11 }, { 21, 21 } };

// The types and state a library's traits start from.
template <class ControllerType, class UtilitiesType, class StateType, StateType& (*StateOf)()>
struct HookLibrary {
    using Controller = ControllerType;
    using Utilities = UtilitiesType;
    using State = StateType;
    static State& state() { return StateOf(); }
};

template <class Library>
struct SpringBoardHooks {
    using Id = runtime::Id;
    using Object = runtime::Object;
    using Sel = runtime::Sel;
    using KelvaneLogger = kelvane::KelvaneLogger;

    static inline Saved<void, const Id&> orig_applicationDidFinishLaunching;
    static inline Saved<void> orig_lock;
    static inline Saved<void> orig_launch;
    static inline Saved<void> orig_activate;
    static inline Saved<void> orig_deactivate;
    static inline Saved<void> orig_kill;
    static inline Saved<void, int64_t> orig_bulletinWindowWillRotateToOrientation;
    static inline Saved<void, int64_t> orig_tryToDismissBannerWithAnimation;
    static inline Saved<void, const Id&, const uikit::NSIndexPath&> orig_tableViewDidSelectRowAtIndexPath;
    static inline Saved<void, const Id&> orig_createSubviewsWithBannerImage;
    static inline Saved<bool> orig_isURLLaunchAction;
    static inline Saved<std::string> orig_launchURL;
    static inline Saved<bool, const std::string&, const std::string&> orig_canLaunchFromBulletinWithURL;
    static inline Saved<bool, const std::string&, const std::string&, bool, bool, int64_t> orig_launchFromBulletinWithURL;

    static void applicationDidFinishLaunching(Object* self, Sel selector, const Id& application)
    {
        orig_applicationDidFinishLaunching(self, selector, application);
        KelvaneLogger::setProjectName(Library::ProjectName, true);
        auto& state = Library::state();
        Library::willCreateController(state);
        auto controller = runtime::make<typename Library::Controller>();
        controller->init();
        state.rdl = controller;
        state.hv = runtime::make<typename Library::Utilities>();
        state.rdl->setDelegate(state.hv);
    }

    static void lock(Object* self, Sel selector)
    {
        if (auto& controller = Library::state().rdl)
            controller->emergencyDismissBanner();
        orig_lock(self, selector);
    }

    static void launch(Object* self, Sel selector)
    {
        setInApp(true);
        orig_launch(self, selector);
    }

    static void activate(Object* self, Sel selector)
    {
        setInApp(true);
        orig_activate(self, selector);
    }

    static void deactivate(Object* self, Sel selector)
    {
        setInApp(false);
        orig_deactivate(self, selector);
    }

    static void kill(Object* self, Sel selector)
    {
        setInApp(false);
        orig_kill(self, selector);
    }

    static void bulletinWindowWillRotateToOrientation(Object* self, Sel selector, int64_t orientation)
    {
        orig_bulletinWindowWillRotateToOrientation(self, selector, orientation);
        if (auto& controller = Library::state().rdl)
            controller->deviceRotated(orientation);
    }

    static void tryToDismissBannerWithAnimation(Object* self, Sel selector, int64_t animation)
    {
        // While a window is open the banner belongs to it: only the
        // controller's own removals (shouldClose) pass.
        auto& controller = Library::state().rdl;
        if (controller && controller->isWindowOpen() && !controller->shouldClose())
            return;
        orig_tryToDismissBannerWithAnimation(self, selector, animation);
    }

    static void tableViewDidSelectRowAtIndexPath(Object* self, Sel selector, const Id& tableView, const uikit::NSIndexPath& indexPath)
    {
        auto& state = Library::state();
        state.userTapNotification = true;
        orig_tableViewDidSelectRowAtIndexPath(self, selector, tableView, indexPath);
        // The tap is over. A row whose launch URL SpringBoard did not ask for
        // (no action), or asked of a library loaded later, which answered
        // with its own sentinel without passing the request on, must not
        // leave the next, unrelated request answered with this one's.
        state.userTapNotification = false;
        state.isSMSNotification = false;
    }

    static void createSubviewsWithBannerImage(Object* self, Sel selector, const Id& image)
    {
        if constexpr (Library::LogsHostCalls)
            KelvaneLogger::log("_createSubviewsWithBannerImage", KelvaneLogger::Development);
        orig_createSubviewsWithBannerImage(self, selector, image);

        auto& state = Library::state();
        if (state.sectionID != MessagesSectionIDForIcon)
            return;
        auto* banner = dynamic_cast<uikit::UIView*>(self);
        if (!banner)
            return;
        auto icon = uikit::UIImageView::withImage(common::packageImage(Library::BannerIconPath));
        icon->setFrame(BannerIconFrame);
        icon->setName(std::string(Library::BannerIconName));
        state.iconView = icon;
        banner->addSubview(icon);
    }

    static std::string launchURL(Object* self, Sel selector)
    {
        auto& state = Library::state();
        if (!Library::urlHooksStandAside(state) && state.isSMSNotification && !state.shouldOpenMessaggi) {
            state.isSMSNotification = false;
            return std::string(SentinelURL);
        }
        return orig_launchURL(self, selector);
    }

    static bool isURLLaunchAction(Object* self, Sel selector)
    {
        if (Library::urlHooksStandAside(Library::state()))
            return orig_isURLLaunchAction(self, selector);
        KelvaneLogger::log("URL SI O NO?", KelvaneLogger::Development);
        std::string bundleID = runtime::send<std::string>(self, "bundleID");
        if (bundleID == "com.apple.MobileSMS" || bundleID == "com.apple.mobilesms")
            return false;
        return orig_isURLLaunchAction(self, selector);
    }

    static bool canLaunchFromBulletinWithURL(Object* self, Sel selector, const std::string& url, const std::string& bundleID)
    {
        if (url == SentinelURL)
            return true;
        return orig_canLaunchFromBulletinWithURL(self, selector, url, bundleID);
    }

    static bool launchFromBulletinWithURL(
        Object* self, Sel selector, const std::string& url, const std::string& bundleID, bool allowUnlock, bool animate, int64_t origin)
    {
        if constexpr (Library::LogsHostCalls)
            KelvaneLogger::log("launchFromBulletinWithURL:", KelvaneLogger::Development);
        auto& state = Library::state();
        if (url == SentinelURL) {
            if (Id list = runtime::send<Id>(state.sbBulletinListControllerClass, "sharedInstance")) {
                runtime::send(list, "hideListViewAnimated:", true);
                if (state.rdl)
                    Library::showNotificationBulletin(state);
                return true;
            }
        }
        return orig_launchFromBulletinWithURL(self, selector, url, bundleID, allowUnlock, animate, origin);
    }

    static void reloadPrefsNotification()
    {
        if (auto& controller = Library::state().rdl)
            controller->preferencesManager()->reloadPreferences();
        KelvaneLogger::log("reloadPrefsNotification", KelvaneLogger::Development);
    }

    // The bulletin's real launch URL, past this library's own launch-URL
    // hook, kept as `smsURL` (nil for a bulletin without a default action
    // or an action without a URL).
    static void takeLaunchURL(const Id& bulletin)
    {
        Id action = runtime::send<Id>(bulletin, "defaultAction");
        if (!action)
            return;
        auto& state = Library::state();
        // Lets this `launchURL` through the action's launch-URL hook with the
        // real URL rather than the sentinel, which stays for SpringBoard's own
        // request after a notification-centre tap.
        foundation::TemporaryChange ownRequest(state.shouldOpenMessaggi, true);
        // The runtime answers a nil URL as "", which no real URL is.
        std::string url = runtime::send<std::string>(action, "launchURL");
        state.smsURL = url.empty() ? std::nullopt : std::optional(url);
    }

    // For a messages bulletin offered to the banner: the controller's own
    // keeps the URL already taken; any other has its real launch URL taken.
    static void takeMessagesBulletinURL(const Id& bulletin)
    {
        auto& controller = Library::state().rdl;
        if (controller && controller->ownBulletin()) {
            KelvaneLogger::log("è il nostro bulletin, ho già l'URL", KelvaneLogger::Development);
            return;
        }
        KelvaneLogger::log("il bulletin non è il nostro, mi becco l'URL", KelvaneLogger::Development);
        takeLaunchURL(bulletin);
    }

    // For a captured notification-centre row: its real launch URL, logged.
    static void takeRowLaunchURL(const Id& bulletin)
    {
        takeLaunchURL(bulletin);
        KelvaneLogger::log(fmt::format("dal notification bulletin ho preso l'URL: {}", Library::state().smsURL.value_or("(null)")), KelvaneLogger::Development);
    }

    static bool windowOpen()
    {
        auto& controller = Library::state().rdl;
        return controller && controller->isWindowOpen();
    }

    // The messages icon this library put on the last messages banner, while
    // it is there.
    static runtime::Ref<uikit::UIView> iconView() { return runtime::cast<uikit::UIView>(Library::state().iconView.lock()); }

    // The banner's own view (`_bannerAndShadowView`) of the banner controller
    // `self`, which a tap's location is read in.
    static runtime::Ref<uikit::UIView> bannerView(Object* self) { return runtime::cast<uikit::UIView>(runtime::objectIvar(self, "_bannerAndShadowView")); }

private:
    static constexpr std::string_view MessagesSectionIDForIcon = "com.apple.MobileSMS";

    static void setInApp(bool value)
    {
        if (auto& controller = Library::state().rdl)
            controller->setInApp(value);
    }
};

} // namespace common
