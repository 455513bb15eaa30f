#include "HookTable.h"

#include "Hooks.h"

namespace parlivo {

using namespace hooks;

const std::vector<HookRow>& hookTable()
{
    // clang-format off
    static const std::vector<HookRow> rows {
        /*  1 */ hookRow("SpringBoard", "applicationDidFinishLaunching:", &SystemHooks::applicationDidFinishLaunching, &SystemHooks::orig_applicationDidFinishLaunching),
        /*  2 */ hookRow("SBAwayController", "lock", &SystemHooks::lock, &SystemHooks::orig_lock),
        /*  3 */ hookRow("SBApplication", "launch", &SystemHooks::launch, &SystemHooks::orig_launch),
        /*  4 */ hookRow("SBApplication", "activate", &SystemHooks::activate, &SystemHooks::orig_activate),
        /*  5 */ hookRow("SBApplication", "deactivate", &SystemHooks::deactivate, &SystemHooks::orig_deactivate),
        /*  6 */ hookRow("SBApplication", "kill", &SystemHooks::kill, &SystemHooks::orig_kill),
        /*  7 */ hookRow("SBBulletinBannerController", "bulletinWindowWillRotateToOrientation:", &SystemHooks::bulletinWindowWillRotateToOrientation, &SystemHooks::orig_bulletinWindowWillRotateToOrientation),
        /*  8 */ hookRow("SBBulletinBannerController", "_tryToDismissBannerWithAnimation:", &SystemHooks::tryToDismissBannerWithAnimation, &SystemHooks::orig_tryToDismissBannerWithAnimation),
        /*  9 */ hookRow("SBBulletinBannerController", "_handleBannerTapGesture:", &handleBannerTapGesture, &orig_handleBannerTapGesture),
        /* 10 */ hookRow("SBBulletinBannerController", "observer:addBulletin:forFeed:", &observerAddBulletinForFeed, &orig_observerAddBulletinForFeed),
        /* 11 */ hookRow("SBBannerView", "_createSubviewsWithBannerImage:", &SystemHooks::createSubviewsWithBannerImage, &SystemHooks::orig_createSubviewsWithBannerImage),
        /* 12 */ hookRow("SBBulletinListController", "tableView:didSelectRowAtIndexPath:", &SystemHooks::tableViewDidSelectRowAtIndexPath, &SystemHooks::orig_tableViewDidSelectRowAtIndexPath),
        /* 13 */ hookRow("SBBulletinListSection", "bulletinAtIndex:", &bulletinAtIndex, &orig_bulletinAtIndex),
        /* 14 */ hookRow("BBAction", "isURLLaunchAction", &SystemHooks::isURLLaunchAction, &SystemHooks::orig_isURLLaunchAction),
        /* 15 */ hookRow("BBAction", "launchURL", &SystemHooks::launchURL, &SystemHooks::orig_launchURL),
        /* 16 */ hookRow("SBUserAgent", "canLaunchFromBulletinWithURL:bundleID:", &SystemHooks::canLaunchFromBulletinWithURL, &SystemHooks::orig_canLaunchFromBulletinWithURL),
        /* 17 */ hookRow("SBUserAgent", "launchFromBulletinWithURL:bundleID:allowUnlock:animate:launchOrigin:", &SystemHooks::launchFromBulletinWithURL, &SystemHooks::orig_launchFromBulletinWithURL),
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
