#include "SpringBoardSnapshot.h"

#include "BBBulletin.h"
#include "SBApplication.h"
#include "SBAwayController.h"
#include "SBBulletinBannerController.h"
#include "SBBulletinListController.h"
#include "SpringBoardContext.h"

namespace springboard {

using nlohmann::json;

namespace {

    json bulletinJSON(const runtime::Ref<BBBulletin>& bulletin)
    {
        if (!bulletin)
            return nullptr;
        return { { "title", bulletin->title() }, { "message", bulletin->message() }, { "sectionID", bulletin->sectionID() }, { "recordID", bulletin->recordID() } };
    }

    json bulletinsJSON(const std::vector<runtime::Ref<BBBulletin>>& bulletins)
    {
        json list = json::array();
        for (auto& bulletin : bulletins)
            list.push_back(bulletinJSON(bulletin));
        return list;
    }

} // namespace

json snapshotSpringBoard()
{
    json state;
    auto& context = springBoardContext();
    auto banner = SBBulletinBannerController::sharedInstance();
    state["banner"] = bulletinJSON(banner->currentBulletin());
    auto list = SBBulletinListController::sharedInstance();
    state["notificationCenter"] = {
        { "open", list && list->listViewIsActive() },
        { "bulletins", bulletinsJSON(list ? list->bulletinsNewestFirst() : std::vector<runtime::Ref<BBBulletin>> {}) },
    };
    auto away = SBAwayController::sharedAwayController();
    state["locked"] = away && away->isLocked();
    state["dimmed"] = away && away->isDimmed();
    state["lockScreen"] = bulletinsJSON(away ? away->bulletins() : std::vector<runtime::Ref<BBBulletin>> {});
    auto front = context.frontApplication.lock();
    state["frontApp"] = front ? json(front->displayIdentifier()) : json(nullptr);
    state["orientation"] = context.interfaceOrientation;
    state["deviceOrientation"] = context.deviceOrientation;
    return state;
}

} // namespace springboard
