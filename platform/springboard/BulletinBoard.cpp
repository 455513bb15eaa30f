#include "BulletinBoard.h"

#include "SBAwayController.h"
#include "SBBulletinBannerController.h"
#include "SBBulletinListController.h"
#include "SpringBoardContext.h"

#include <foundation/RunLoop.h>

namespace springboard {

using runtime::Id;

void publishBulletin(const runtime::Ref<BBBulletin>& bulletin)
{
    if (!bulletin)
        return;
    auto& context = springBoardContext();
    uint64_t sequence = ++context.bulletinSequence;
    bulletin->markPublished(foundation::RunLoop::main().now(), sequence);
    if (bulletin->bulletinID().empty())
        bulletin->setBulletinID("bulletin-" + std::to_string(sequence));

    if (auto list = SBBulletinListController::sharedInstance())
        list->addBulletin(bulletin);
    if (auto away = SBAwayController::sharedAwayController(); away && away->isLocked()) {
        away->addBulletin(bulletin);
        return;
    }
    runtime::send(SBBulletinBannerController::sharedInstance(), "observer:addBulletin:forFeed:", runtime::nil, Id(bulletin), int64_t { 0 });
}

} // namespace springboard
