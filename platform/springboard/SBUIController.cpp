#include "SBUIController.h"

#include "SBApplication.h"
#include "SBBulletinListController.h"
#include "SpringBoard.h"
#include "SpringBoardContext.h"

namespace springboard {

using runtime::Id;

void SBUIController::registerMethods(runtime::ClassBuilder<SBUIController>& b)
{
    b.classMethod("sharedInstance", [](runtime::Class&) -> Id { return sharedInstance(); });
    b.method<&SBUIController::activateApplicationAnimated>("activateApplicationAnimated:");
    b.method<&SBUIController::activateApplicationFromSwitcher>("activateApplicationFromSwitcher:");
    b.method<&SBUIController::clickedMenuButton>("clickedMenuButton");
}

runtime::Ref<SBUIController> SBUIController::sharedInstance()
{
    auto& context = springBoardContext();
    if (!context.uiController)
        context.uiController = runtime::make<SBUIController>();
    return context.uiController;
}

void SBUIController::bringToFront(const runtime::Ref<SBApplication>& application)
{
    auto front = springBoardContext().frontApplication.lock();
    auto ui = sharedInstance();
    if (front && front != application)
        runtime::send(ui, "activateApplicationFromSwitcher:", Id(application));
    else
        runtime::send(ui, "activateApplicationAnimated:", Id(application));
}

void SBUIController::activateApplicationAnimated(const Id& application)
{
    activate(application);
}

void SBUIController::activateApplicationFromSwitcher(const Id& application)
{
    activate(application);
}

void SBUIController::activate(const Id& application)
{
    auto target = runtime::cast<SBApplication>(application);
    if (!target)
        return;
    // Activating the application in front again shows what it was opened for.
    auto front = springBoardContext().frontApplication.lock();
    if (front && front != target)
        runtime::send(front, "deactivate");
    if (!target->isRunning())
        runtime::send(target, "launch");
    runtime::send(target, "activate");
    if (auto springBoard = SpringBoard::shared())
        springBoard->updateInterfaceOrientation();
}

void SBUIController::clickedMenuButton()
{
    if (auto list = SBBulletinListController::sharedInstance(); list && list->listViewIsActive()) {
        runtime::send(list, "hideListViewAnimated:", true);
        return;
    }
    if (auto front = springBoardContext().frontApplication.lock())
        runtime::send(front, "deactivate");
    if (auto springBoard = SpringBoard::shared())
        springBoard->updateInterfaceOrientation();
}

} // namespace springboard
