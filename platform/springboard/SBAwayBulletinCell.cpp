#include "SBAwayBulletinCell.h"

#include "SBAwayController.h"
#include "SBUserAgent.h"
#include "SpringBoardContext.h"

#include <uikit/UIColor.h>
#include <uikit/UIGestureRecognizer.h>

namespace springboard {

using namespace uikit;
using runtime::Id;

void SBUnlockActionContext::registerMethods(runtime::ClassBuilder<SBUnlockActionContext>& b)
{
    b.method<&SBUnlockActionContext::bulletinID>("bulletinID");
    b.method<&SBUnlockActionContext::unlockAction>("unlockAction");
}

runtime::Ref<SBUnlockActionContext> SBUnlockActionContext::forBulletin(const BBBulletin& bulletin)
{
    auto context = runtime::make<SBUnlockActionContext>();
    context->m_bulletinID = bulletin.bulletinID();
    context->m_unlockAction = bulletin.defaultAction();
    return context;
}

void SBAwayBulletinCell::registerMethods(runtime::ClassBuilder<SBAwayBulletinCell>& b)
{
    b.method<&SBAwayBulletinCell::actionContext>("actionContext");
    b.method<&SBAwayBulletinCell::lockBarUnlocked>("lockBarUnlocked:");
}

runtime::Ref<SBAwayBulletinCell> SBAwayBulletinCell::withReuseIdentifier(const std::string& identifier)
{
    auto cell = runtime::make<SBAwayBulletinCell>();
    cell->initWithStyle(UITableViewCellStyleSubtitle, identifier);
    cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
    auto bar = makeView<UIView>(CGRectMake(0, 0, 320, 60));
    bar->setName("lockBar");
    bar->setBackgroundColor(UIColor::clearColor());
    auto swipe = runtime::make<UISwipeGestureRecognizer>();
    swipe->setDirection(UISwipeGestureRecognizerDirectionRight);
    swipe->initWithTarget(cell, "lockBarUnlocked:");
    bar->addGestureRecognizer(swipe);
    cell->contentView()->addSubview(bar);
    cell->m_lockBar = bar;
    return cell;
}

void SBAwayBulletinCell::setBulletin(const runtime::Ref<BBBulletin>& bulletin)
{
    m_actionContext = bulletin ? Id(SBUnlockActionContext::forBulletin(*bulletin)) : runtime::nil;
    textLabel()->setText(bulletin ? bulletin->title() : std::string());
    if (auto detail = detailTextLabel())
        detail->setText(bulletin ? bulletin->message() : std::string());
}

void SBAwayBulletinCell::lockBarUnlocked(const Id&)
{
    auto away = SBAwayController::sharedAwayController();
    if (!away || !away->isLocked())
        return;
    // The cell may go with the list when the device unlocks.
    auto keepAlive = self();
    Id context = runtime::send<Id>(self(), "actionContext");
    std::string bulletinID = context ? runtime::send<std::string>(context, "bulletinID") : std::string();
    Id item = runtime::send<Id>(away->bulletinListController(), "_listItemContainingBulletinID:", bulletinID);
    auto bulletin = runtime::cast<BBBulletin>(runtime::send<Id>(item, "bulletinWithID:", bulletinID));
    bool launched = bulletin && launchDefaultAction(bulletin, LaunchOriginLockScreen, true);
    // Sliding the bar unlocks even when the bulletin has nothing to open.
    if (!launched)
        away->unlock();
}

} // namespace springboard
