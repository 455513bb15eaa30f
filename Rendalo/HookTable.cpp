#include "HookTable.h"

#include "Hooks.h"

namespace rendalo {

using namespace hooks;
using common::hookRow;

const std::vector<common::HookRow>& hookTable()
{
    // clang-format off
    static const std::vector<common::HookRow> rows {
        hookRow("SpringBoard", "applicationDidFinishLaunching:", &SystemHooks::applicationDidFinishLaunching, &SystemHooks::orig_applicationDidFinishLaunching),
        hookRow("SBAwayController", "lock", &SystemHooks::lock, &SystemHooks::orig_lock),
        hookRow("SBApplication", "launch", &SystemHooks::launch, &SystemHooks::orig_launch),
        hookRow("SBApplication", "activate", &SystemHooks::activate, &SystemHooks::orig_activate),
        hookRow("SBApplication", "deactivate", &SystemHooks::deactivate, &SystemHooks::orig_deactivate),
        hookRow("SBApplication", "kill", &SystemHooks::kill, &SystemHooks::orig_kill),
        hookRow("CKSMSMessage", "initWithCTMessage:messageParts:", &initWithCTMessage, &orig_initWithCTMessage),
        hookRow("SBBulletinBannerController", "bulletinWindowWillRotateToOrientation:", &SystemHooks::bulletinWindowWillRotateToOrientation, &SystemHooks::orig_bulletinWindowWillRotateToOrientation),
        hookRow("SBBulletinBannerController", "_tryToDismissBannerWithAnimation:", &SystemHooks::tryToDismissBannerWithAnimation, &SystemHooks::orig_tryToDismissBannerWithAnimation),
        hookRow("SBBulletinBannerController", "_handleBannerTapGesture:", &handleBannerTapGesture, &orig_handleBannerTapGesture),
        hookRow("SBBulletinBannerController", "observer:addBulletin:forFeed:", &observerAddBulletinForFeed, &orig_observerAddBulletinForFeed),
        hookRow("SBBannerView", "_createSubviewsWithBannerImage:", &SystemHooks::createSubviewsWithBannerImage, &SystemHooks::orig_createSubviewsWithBannerImage),
        hookRow("MSNotificationService", "_didReceiveNotificationData:userInfo:", &didReceiveNotificationData, &orig_didReceiveNotificationData),
        hookRow("SBBulletinListController", "tableView:didSelectRowAtIndexPath:", &SystemHooks::tableViewDidSelectRowAtIndexPath, &SystemHooks::orig_tableViewDidSelectRowAtIndexPath),
        hookRow("SBBulletinListSection", "bulletinAtIndex:", &bulletinAtIndex, &orig_bulletinAtIndex),
        hookRow("BBAction", "isURLLaunchAction", &SystemHooks::isURLLaunchAction, &SystemHooks::orig_isURLLaunchAction),
        hookRow("BBAction", "launchURL", &SystemHooks::launchURL, &SystemHooks::orig_launchURL),
        hookRow("SBUserAgent", "canLaunchFromBulletinWithURL:bundleID:", &SystemHooks::canLaunchFromBulletinWithURL, &SystemHooks::orig_canLaunchFromBulletinWithURL),
        hookRow("SBUserAgent", "launchFromBulletinWithURL:bundleID:allowUnlock:animate:launchOrigin:", &SystemHooks::launchFromBulletinWithURL, &SystemHooks::orig_launchFromBulletinWithURL),
    };
    // clang-format on
    return rows;
}

} // namespace rendalo
