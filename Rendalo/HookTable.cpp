#include "HookTable.h"

#include "Hooks.h"

namespace rendalo {

using namespace hooks;
using common::hookRow;

const std::vector<common::HookRow>& hookTable()
{
    // clang-format off
    static const std::vector<common::HookRow> rows {
        hookRow("SpringBoard", "applicationDidFinishLaunching:", &applicationDidFinishLaunching, &orig_applicationDidFinishLaunching),
        hookRow("SBAwayController", "lock", &lock, &orig_lock),
        hookRow("SBApplication", "launch", &launch, &orig_launch),
        hookRow("SBApplication", "activate", &activate, &orig_activate),
        hookRow("SBApplication", "deactivate", &deactivate, &orig_deactivate),
        hookRow("SBApplication", "kill", &kill, &orig_kill),
        hookRow("CKSMSMessage", "initWithCTMessage:messageParts:", &initWithCTMessage, &orig_initWithCTMessage),
        hookRow("SBBulletinBannerController", "bulletinWindowWillRotateToOrientation:", &bulletinWindowWillRotateToOrientation, &orig_bulletinWindowWillRotateToOrientation),
        hookRow("SBBulletinBannerController", "_tryToDismissBannerWithAnimation:", &tryToDismissBannerWithAnimation, &orig_tryToDismissBannerWithAnimation),
        hookRow("SBBulletinBannerController", "_handleBannerTapGesture:", &handleBannerTapGesture, &orig_handleBannerTapGesture),
        hookRow("SBBulletinBannerController", "observer:addBulletin:forFeed:", &observerAddBulletinForFeed, &orig_observerAddBulletinForFeed),
        hookRow("SBBannerView", "_createSubviewsWithBannerImage:", &createSubviewsWithBannerImage, &orig_createSubviewsWithBannerImage),
        hookRow("MSNotificationService", "_didReceiveNotificationData:userInfo:", &didReceiveNotificationData, &orig_didReceiveNotificationData),
        hookRow("SBBulletinListController", "tableView:didSelectRowAtIndexPath:", &tableViewDidSelectRowAtIndexPath, &orig_tableViewDidSelectRowAtIndexPath),
        hookRow("SBBulletinListSection", "bulletinAtIndex:", &bulletinAtIndex, &orig_bulletinAtIndex),
        hookRow("BBAction", "isURLLaunchAction", &isURLLaunchAction, &orig_isURLLaunchAction),
        hookRow("BBAction", "launchURL", &launchURL, &orig_launchURL),
        hookRow("SBUserAgent", "canLaunchFromBulletinWithURL:bundleID:", &canLaunchFromBulletinWithURL, &orig_canLaunchFromBulletinWithURL),
        hookRow("SBUserAgent", "launchFromBulletinWithURL:bundleID:allowUnlock:animate:launchOrigin:", &launchFromBulletinWithURL, &orig_launchFromBulletinWithURL),
    };
    // clang-format on
    return rows;
}

} // namespace rendalo
