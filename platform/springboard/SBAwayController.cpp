#include "SBAwayController.h"

#include "SBAwayBulletinListController.h"
#include "SBBulletinListController.h"
#include "SBStatusBarController.h"
#include "SpringBoard.h"
#include "SpringBoardContext.h"

#include <uikit/UIColor.h>
#include <uikit/UIFont.h>
#include <uikit/UIGestureRecognizer.h>
#include <uikit/UILabel.h>
#include <uikit/UIScreen.h>

#include <cmath>

namespace springboard {

using namespace uikit;
using runtime::Id;

void SBAwayController::registerMethods(runtime::ClassBuilder<SBAwayController>& b)
{
    b.classMethod("sharedAwayController", [](runtime::Class&) -> Id { return sharedAwayController(); });
    b.method<&SBAwayController::lock>("lock");
    b.method("unlockWithSound:", [](SBAwayController& self, bool) { self.unlock(); });
    b.method<&SBAwayController::isLocked>("isLocked");
    b.method<&SBAwayController::isDimmed>("isDimmed");
    b.method("dimScreen:", [](SBAwayController& self, bool) { self.dimScreen(); });
    b.method<&SBAwayController::undimScreen>("undimScreen");
    b.method<&SBAwayController::restartDimTimer>("restartDimTimer:");
    b.method<&SBAwayController::unlockSliderSlid>("_unlockSliderSlid:");
}

runtime::Ref<SBAwayController> SBAwayController::sharedAwayController()
{
    return springBoardContext().awayController;
}

runtime::Ref<SBAwayController> SBAwayController::create()
{
    return runtime::make<SBAwayController>();
}

void SBAwayController::lock()
{
    if (m_locked) {
        dimScreen();
        return;
    }
    m_locked = true;
    if (auto list = SBBulletinListController::sharedInstance(); list && list->listViewIsActive())
        list->hideListView(false);
    // A fresh list for every lock, made the way SpringBoard makes it so that
    // an extension's hook on `init` sees the instance.
    Id allocated = runtime::send<Id>(SBAwayBulletinListController::classObject(), "alloc");
    m_bulletinList = runtime::send<Id>(allocated, "init");
    buildWindow();
    reloadList();
    m_window->setHidden(false);
    dimScreen();
    if (auto springBoard = SpringBoard::shared())
        springBoard->updateInterfaceOrientation();
}

void SBAwayController::unlock()
{
    if (!m_locked)
        return;
    m_locked = false;
    if (m_dimTimer) {
        m_dimTimer->invalidate();
        m_dimTimer = nullptr;
    }
    undimScreen();
    if (m_window)
        m_window->setHidden(true);
    m_bulletinList = nullptr;
    reloadList();
    if (auto springBoard = SpringBoard::shared())
        springBoard->updateInterfaceOrientation();
}

void SBAwayController::dimScreen()
{
    if (m_dimTimer) {
        m_dimTimer->invalidate();
        m_dimTimer = nullptr;
    }
    m_dimmed = true;
    if (!m_screenOff) {
        m_screenOff = runtime::make<UIWindow>();
        m_screenOff->setName("screenOff");
        m_screenOff->setWindowLevel(ScreenOffLevel);
        m_screenOff->setFrame(UIScreen::mainScreen()->bounds());
        m_screenOff->setBackgroundColor(UIColor::blackColor());
    }
    m_screenOff->setHidden(false);
}

void SBAwayController::undimScreen()
{
    m_dimmed = false;
    if (m_screenOff)
        m_screenOff->setHidden(true);
    if (m_window && m_locked)
        if (auto clock = m_window->viewNamed("lockClock"))
            if (auto label = runtime::cast<UILabel>(clock))
                label->setText(displayTime());
}

void SBAwayController::restartDimTimer(double seconds)
{
    if (!std::isfinite(seconds))
        return;
    if (m_dimTimer)
        m_dimTimer->invalidate();
    runtime::Weak<SBAwayController> weakSelf = selfAs<SBAwayController>();
    m_dimTimer = foundation::Timer::once(std::max(seconds, 0.0), [weakSelf](foundation::Timer&) {
        auto controller = weakSelf.lock();
        // Only the lock screen dims; an unlocked phone keeps its screen on.
        if (controller && controller->m_locked)
            controller->dimScreen();
    });
}

std::optional<double> SBAwayController::dimDate() const
{
    if (!m_dimTimer || !m_dimTimer->isValid())
        return std::nullopt;
    return m_dimTimer->fireDate();
}

void SBAwayController::addBulletin(const runtime::Ref<BBBulletin>& bulletin)
{
    if (!m_locked || !bulletin)
        return;
    if (auto list = runtime::cast<SBAwayBulletinListController>(m_bulletinList))
        list->addBulletin(bulletin);
    reloadList();
    undimScreen();
    restartDimTimer(DefaultDimInterval);
}

std::vector<runtime::Ref<BBBulletin>> SBAwayController::bulletins() const
{
    if (auto list = runtime::cast<SBAwayBulletinListController>(m_bulletinList))
        return list->bulletins();
    return {};
}

void SBAwayController::unlockSliderSlid(const Id&)
{
    unlock();
}

void SBAwayController::buildWindow()
{
    if (m_window)
        return;
    CGRect screen = UIScreen::mainScreen()->bounds();
    m_window = runtime::make<UIWindow>();
    m_window->setName("lockScreen");
    m_window->setWindowLevel(WindowLevel);
    m_window->setFrame(screen);
    m_window->setBackgroundColor(UIColor::colorWithRed(0.05, 0.07, 0.12, 1));

    auto clock = makeView<UILabel>(CGRectMake(0, 30, screen.size.width, 60));
    clock->setName("lockClock");
    clock->setFont(UIFont::systemFontOfSize(48));
    clock->setTextAlignment(UITextAlignmentCenter);
    clock->setTextColor(UIColor::whiteColor());
    clock->setBackgroundColor(UIColor::clearColor());
    clock->setText(displayTime());
    m_window->addSubview(clock);

    m_table = UITableView::withFrame(CGRectMake(0, 110, screen.size.width, screen.size.height - 110 - 90), UITableViewStylePlain);
    m_table->setName("lockScreenBulletins");
    m_table->setBackgroundColor(UIColor::clearColor());
    m_table->setRowHeight(60);
    m_window->addSubview(m_table);

    auto slider = makeView<UIView>(CGRectMake(20, screen.size.height - 70, screen.size.width - 40, 50));
    slider->setName("unlockSlider");
    slider->setBackgroundColor(UIColor::colorWithWhite(0.3, 0.8));
    auto label = makeView<UILabel>(CGRectMake(60, 12, screen.size.width - 140, 26));
    label->setText("slide to unlock");
    label->setTextColor(UIColor::whiteColor());
    label->setBackgroundColor(UIColor::clearColor());
    slider->addSubview(label);
    auto swipe = runtime::make<UISwipeGestureRecognizer>();
    swipe->setDirection(UISwipeGestureRecognizerDirectionRight);
    swipe->initWithTarget(self(), "_unlockSliderSlid:");
    slider->addGestureRecognizer(swipe);
    m_window->addSubview(slider);
}

void SBAwayController::reloadList()
{
    if (!m_table)
        return;
    // The list answers the table's questions when it is SpringBoard's own;
    // anything else an extension put in its place leaves the table empty.
    m_table->setDataSource(runtime::cast<SBAwayBulletinListController>(m_bulletinList) ? m_bulletinList : runtime::nil);
    m_table->reloadData();
}

} // namespace springboard
