#include "SpringBoardClasses.h"

#include "BBBulletin.h"
#include "SBActionView.h"
#include "SBApplication.h"
#include "SBApplicationController.h"
#include "SBAwayBulletinCell.h"
#include "SBAwayBulletinListController.h"
#include "SBAwayController.h"
#include "SBBannerView.h"
#include "SBBulletinBannerController.h"
#include "SBBulletinListController.h"
#include "SBBulletinListSection.h"
#include "SBIconController.h"
#include "SBStatusBarController.h"
#include "SBUIController.h"
#include "SBUserAgent.h"
#include "SpringBoard.h"

namespace springboard {

void registerSpringBoardClasses()
{
    BBAction::classObject();
    BBBulletin::classObject();
    SBBannerView::classObject();
    SBBannerAndShadowView::classObject();
    SBBulletinBannerController::classObject();
    SBBulletinListSection::classObject();
    SBBulletinListController::classObject();
    SBUserAgent::classObject();
    SBAwayController::classObject();
    SBAwayBulletinListItem::classObject();
    SBAwayBulletinListController::classObject();
    SBUnlockActionContext::classObject();
    SBAwayBulletinCell::classObject();
    SBApplication::classObject();
    SBApplicationController::classObject();
    SBUIController::classObject();
    SBIconController::classObject();
    SBStatusBarController::classObject();
    SBActionView::classObject();
    SpringBoard::classObject();
}

} // namespace springboard
