#include "SpringBoard.h"

#include "InterfaceOrientation.h"
#include "SBApplication.h"
#include "SBApplicationController.h"
#include "SBAwayController.h"
#include "SBBulletinBannerController.h"
#include "SBBulletinListController.h"
#include "SBIconController.h"
#include "SBStatusBarController.h"
#include "SBUIController.h"
#include "SpringBoardContext.h"
#include "URLRouting.h"

#include <foundation/SystemLog.h>

namespace springboard {

using namespace uikit;
using runtime::Id;

void SpringBoard::registerMethods(runtime::ClassBuilder<SpringBoard>& b)
{
    b.method<&SpringBoard::applicationDidFinishLaunching>("applicationDidFinishLaunching:");
    b.method<&SpringBoard::frontMostAppOrientation>("_frontMostAppOrientation");
}

runtime::Ref<SpringBoard> SpringBoard::shared()
{
    return springBoardContext().springBoard;
}

void SpringBoard::applicationDidFinishLaunching(const Id&)
{
    auto& context = springBoardContext();
    if (context.launched)
        return;
    context.launched = true;
    context.statusBar = SBStatusBarController::create();
    context.iconController = SBIconController::create();
    context.listController = SBBulletinListController::create();
    context.awayController = SBAwayController::create();
    SBBulletinBannerController::sharedInstance();
    foundation::NSLog("SpringBoard: finished launching");
}

bool SpringBoard::hasFinishedLaunching() const
{
    return springBoardContext().launched;
}

int64_t SpringBoard::frontMostAppOrientation() const
{
    return springBoardContext().interfaceOrientation;
}

bool SpringBoard::canOpenURL(const std::string& url) const
{
    return routeURL(url).has_value();
}

bool SpringBoard::openURL(const std::string& url)
{
    UIApplication::openURL(url);
    auto route = routeURL(url);
    if (!route)
        return false;
    if (auto away = SBAwayController::sharedAwayController(); away && away->isLocked())
        return false;
    auto application = SBApplicationController::sharedInstance()->applicationWithDisplayIdentifier(route->bundleID);
    if (!application)
        return false;
    application->setPendingURL(url);
    SBUIController::bringToFront(application);
    return true;
}

void SpringBoard::setDeviceOrientation(int64_t orientation)
{
    if (!isValidOrientation(orientation))
        return;
    springBoardContext().deviceOrientation = orientation;
    updateInterfaceOrientation();
}

void SpringBoard::updateInterfaceOrientation()
{
    auto& context = springBoardContext();
    auto front = context.frontApplication.lock();
    int64_t orientation = UIInterfaceOrientationPortrait;
    auto away = SBAwayController::sharedAwayController();
    // The lock screen is portrait only, whatever waits behind it.
    if (front && !(away && away->isLocked())) {
        // The applications here do not turn upside down: they keep what they had.
        orientation = context.deviceOrientation == UIInterfaceOrientationPortraitUpsideDown ? context.interfaceOrientation : context.deviceOrientation;
    }
    if (front && front->content())
        front->content()->setOrientation(orientation);
    if (orientation == context.interfaceOrientation)
        return;
    context.interfaceOrientation = orientation;
    setStatusBarOrientation(orientation);
    if (context.statusBar)
        context.statusBar->setOrientation(orientation);
    runtime::send(SBBulletinBannerController::sharedInstance(), "bulletinWindowWillRotateToOrientation:", orientation);
}

} // namespace springboard
