#include "HookTable.h"

#include "Hooks.h"

namespace parlivo {

using namespace hooks;

const std::vector<HookRow>& hookTable()
{
    // clang-format off
    static const std::vector<HookRow> rows {
        /*  1 */ hookRow("SpringBoard", "applicationDidFinishLaunching:", &applicationDidFinishLaunching, &orig_applicationDidFinishLaunching),
        /*  2 */ hookRow("SBAwayController", "lock", &lock, &orig_lock),
        /*  3 */ hookRow("SBApplication", "launch", &launch, &orig_launch),
        /*  4 */ hookRow("SBApplication", "activate", &activate, &orig_activate),
        /*  5 */ hookRow("SBApplication", "deactivate", &deactivate, &orig_deactivate),
        /*  6 */ hookRow("SBApplication", "kill", &kill, &orig_kill),
        /*  7 */ hookRow("SBBulletinBannerController", "bulletinWindowWillRotateToOrientation:", &bulletinWindowWillRotateToOrientation, &orig_bulletinWindowWillRotateToOrientation),
        /*  8 */ hookRow("SBBulletinBannerController", "_tryToDismissBannerWithAnimation:", &tryToDismissBannerWithAnimation, &orig_tryToDismissBannerWithAnimation),
        /*  9 */ hookRow("SBBulletinBannerController", "_handleBannerTapGesture:", &handleBannerTapGesture, &orig_handleBannerTapGesture),
        /* 10 */ hookRow("SBBulletinBannerController", "observer:addBulletin:forFeed:", &observerAddBulletinForFeed, &orig_observerAddBulletinForFeed),
        /* 11 */ hookRow("SBBannerView", "_createSubviewsWithBannerImage:", &createSubviewsWithBannerImage, &orig_createSubviewsWithBannerImage),
        /* 12 */ hookRow("SBBulletinListController", "tableView:didSelectRowAtIndexPath:", &tableViewDidSelectRowAtIndexPath, &orig_tableViewDidSelectRowAtIndexPath),
        /* 13 */ hookRow("SBBulletinListSection", "bulletinAtIndex:", &bulletinAtIndex, &orig_bulletinAtIndex),
        /* 14 */ hookRow("BBAction", "isURLLaunchAction", &isURLLaunchAction, &orig_isURLLaunchAction),
        /* 15 */ hookRow("BBAction", "launchURL", &launchURL, &orig_launchURL),
        /* 16 */ hookRow("SBUserAgent", "canLaunchFromBulletinWithURL:bundleID:", &canLaunchFromBulletinWithURL, &orig_canLaunchFromBulletinWithURL),
        /* 17 */ hookRow("SBUserAgent", "launchFromBulletinWithURL:bundleID:allowUnlock:animate:launchOrigin:", &launchFromBulletinWithURL, &orig_launchFromBulletinWithURL),
        /* 18 */ hookRow("SBAwayBulletinListController", "init", &awayBulletinListControllerInit, &orig_awayBulletinListControllerInit),
        /* 19 */ hookRow("SBAwayBulletinCell", "lockBarUnlocked:", &lockBarUnlocked, &orig_lockBarUnlocked),
    };
    // clang-format on
    return rows;
}

std::vector<InstalledHook> installHookTable()
{
    return common::installHookTable(hookTable(), "Parlivo");
}

void uninstallHookTable(std::span<const InstalledHook> installed)
{
    common::uninstallHookTable(installed);
}

} // namespace parlivo
