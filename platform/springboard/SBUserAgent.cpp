#include "SBUserAgent.h"

#include "SBApplicationController.h"
#include "SBAwayController.h"
#include "SBBulletinListController.h"
#include "SBUIController.h"
#include "SpringBoard.h"
#include "SpringBoardContext.h"
#include "URLRouting.h"

namespace springboard {

using runtime::Id;

void SBUserAgent::registerMethods(runtime::ClassBuilder<SBUserAgent>& b)
{
    b.classMethod("sharedUserAgent", [](runtime::Class&) -> Id { return sharedUserAgent(); });
    b.method<&SBUserAgent::canLaunchFromBulletin>("canLaunchFromBulletinWithURL:bundleID:");
    b.method<&SBUserAgent::launchFromBulletin>("launchFromBulletinWithURL:bundleID:allowUnlock:animate:launchOrigin:");
}

runtime::Ref<SBUserAgent> SBUserAgent::sharedUserAgent()
{
    auto& context = springBoardContext();
    if (!context.userAgent)
        context.userAgent = runtime::make<SBUserAgent>();
    return context.userAgent;
}

bool SBUserAgent::canLaunchFromBulletin(const std::string& url, const std::string& bundleID)
{
    if (!url.empty())
        return routeURL(url).has_value();
    return SBApplicationController::sharedInstance()->applicationWithDisplayIdentifier(bundleID) != nullptr;
}

bool SBUserAgent::launchFromBulletin(const std::string& url, const std::string& bundleID, bool allowUnlock, bool animate, int64_t)
{
    if (!canLaunchFromBulletin(url, bundleID))
        return false;
    auto away = SBAwayController::sharedAwayController();
    if (away && away->isLocked()) {
        if (!allowUnlock)
            return false;
        away->unlock();
    }
    if (auto list = SBBulletinListController::sharedInstance(); list && list->listViewIsActive())
        runtime::send(list, "hideListViewAnimated:", animate);
    if (!url.empty())
        return runtime::send<bool>(SpringBoard::shared(), "openURL:", url);
    Id application = runtime::send<Id>(SBApplicationController::sharedInstance(), "applicationWithDisplayIdentifier:", bundleID);
    runtime::send(SBUIController::sharedInstance(), "activateApplicationAnimated:", application);
    return application != nullptr;
}

bool launchDefaultAction(const runtime::Ref<BBBulletin>& bulletin, int64_t origin, bool allowUnlock)
{
    if (!bulletin)
        return false;
    Id action = runtime::send<Id>(bulletin, "defaultAction");
    std::string url;
    if (action && runtime::send<bool>(action, "isURLLaunchAction"))
        url = runtime::send<std::string>(action, "launchURL");
    std::string bundleID = action ? runtime::send<std::string>(action, "bundleID") : std::string();
    if (bundleID.empty())
        bundleID = bulletin->sectionID();
    Id agent = SBUserAgent::sharedUserAgent();
    if (!runtime::send<bool>(agent, "canLaunchFromBulletinWithURL:bundleID:", url, bundleID))
        return false;
    return runtime::send<bool>(agent, "launchFromBulletinWithURL:bundleID:allowUnlock:animate:launchOrigin:", url, bundleID, allowUnlock, true, origin);
}

} // namespace springboard
