#include "Phone.h"

#include <activator/LAActivator.h>
#include <foundation/DevicePath.h>
#include <foundation/SystemLog.h>
#include <springboard/IncomingTraffic.h>
#include <springboard/InterfaceOrientation.h>
#include <springboard/SBApplication.h>
#include <springboard/SBApplicationController.h>
#include <springboard/SBAwayBulletinCell.h>
#include <springboard/SBAwayController.h>
#include <springboard/SBBulletinListController.h>
#include <springboard/SBStatusBarController.h>
#include <springboard/SBUIController.h>
#include <springboard/SpringBoard.h>
#include <springboard/SpringBoardContext.h>
#include <springboard/SpringBoardSnapshot.h>
#include <uikit/UIKit.h>

#include <cmath>
#include <fmt/format.h>
#include <thread>

namespace phone {

using namespace springboard;
using namespace uikit;
using foundation::Error;
using nlohmann::json;
using runtime::Id;

namespace {

    bool isOnScreen(const UIView& view)
    {
        for (const UIView* v = &view; v; v = v->superview().get()) {
            if (v->isHidden() || v->alpha() < 0.01)
                return false;
        }
        return true;
    }

    std::string describe(const UIView& view)
    {
        return view.name() ? "\"" + *view.name() + "\"" : view.runtimeClassName();
    }

    std::string pointText(const CGPoint& point)
    {
        return fmt::format("({:g}, {:g})", point.x, point.y);
    }

} // namespace

foundation::RunLoop& Phone::runLoop()
{
    return foundation::RunLoop::main();
}

void Phone::performOnMain(const std::function<void()>& work)
{
    auto& loop = runLoop();
    if (loop.isMainThread())
        work();
    else
        loop.performOnMain(work, foundation::RunLoop::WaitUntilDone::Yes);
}

ActionResult Phone::onMain(const std::function<ActionResult()>& action)
{
    ActionResult result = Error("the phone did not run the action");
    performOnMain([&] {
        bool completed = foundation::callReportingExceptions("device action", [&] { result = action(); });
        if (!completed)
            result = Error("the action failed inside the phone (see the system log)");
        // Work due now (notifications, zero-delay timers) settles before the action answers.
        if (m_options.clock == foundation::ClockKind::Virtual)
            runLoop().runPending();
        if (auto statusBar = springBoardContext().statusBar)
            statusBar->refresh();
    });
    return result;
}

// MARK: Incoming traffic

namespace {
    ActionResult fromDelivery(foundation::Result<Delivered> delivery)
    {
        auto delivered = TRY(std::move(delivery));
        return ActionDone { delivered.recordID };
    }
}

ActionResult Phone::receiveSMS(const std::string& from, const std::string& text)
{
    return onMain([&]() -> ActionResult { return fromDelivery(deliverSMS(from, text)); });
}

ActionResult Phone::receiveIMessage(const std::string& from, const std::string& text, const std::optional<std::string>& picture)
{
    return onMain([&]() -> ActionResult {
        std::optional<std::vector<uint8_t>> bytes;
        if (picture) {
            auto file = foundation::readDeviceFile(*picture);
            if (!file)
                return Error("no picture at " + *picture);
            bytes = file.releaseValue();
        }
        return fromDelivery(deliverIMessage(from, text, std::move(bytes)));
    });
}

ActionResult Phone::receiveMail(const std::string& from, const std::string& subject, const std::string& body)
{
    return onMain([&]() -> ActionResult { return fromDelivery(deliverMail(from, subject, body)); });
}

// MARK: Touches and keys

namespace {
    std::optional<std::string> screenIsOff()
    {
        auto away = SBAwayController::sharedAwayController();
        if (away && away->isDimmed())
            return "the screen is off; press home to light it";
        return std::nullopt;
    }

    runtime::Ref<UIView> visibleViewNamed(std::string_view name)
    {
        layOutVisibleWindows();
        auto windows = visibleWindows();
        for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
            if (auto view = (*window)->viewNamed(name); view && isOnScreen(*view))
                return view;
        }
        return nullptr;
    }
}

ActionResult Phone::tap(CGPoint point)
{
    return onMain([&]() -> ActionResult {
        if (auto off = screenIsOff())
            return Error(*off);
        if (!tapScreen(point))
            return Error("nothing on screen at " + pointText(point) + " takes a touch");
        return ActionDone {};
    });
}

ActionResult Phone::tapView(std::string_view name)
{
    return onMain([&]() -> ActionResult {
        if (auto off = screenIsOff())
            return Error(*off);
        auto view = visibleViewNamed(name);
        if (!view)
            return Error("no view named \"" + std::string(name) + "\" on screen");
        CGRect frame = view->screenFrame();
        CGPoint centre { frame.midX(), frame.midY() };
        auto hit = hitTestScreen(centre);
        if (!hit)
            return Error("the view \"" + std::string(name) + "\" takes no touches");
        if (hit != view && !hit->isDescendantOfView(view.get()) && !view->isDescendantOfView(hit.get()))
            return Error("the view \"" + std::string(name) + "\" is covered by " + describe(*hit));
        tapScreen(centre);
        return ActionDone {};
    });
}

ActionResult Phone::type(const std::string& text)
{
    return onMain([&]() -> ActionResult {
        if (!keyboardTarget())
            return Error("nothing is being edited: no text field or text view has the keyboard");
        typeText(text);
        return ActionDone {};
    });
}

ActionResult Phone::backspace(int count)
{
    return onMain([&]() -> ActionResult {
        if (count < 0)
            return Error("backspace needs a count of zero or more");
        if (!keyboardTarget())
            return Error("nothing is being edited: no text field or text view has the keyboard");
        for (int i = 0; i < count; ++i)
            pressBackspace();
        return ActionDone {};
    });
}

namespace {
    constexpr double SwipeDuration = 0.1;

    ActionResult swipeFrom(const CGPoint& start, const CGPoint& velocity)
    {
        if (!std::isfinite(velocity.x) || !std::isfinite(velocity.y))
            return Error("a swipe needs a finite velocity");
        CGPoint end { start.x + velocity.x * SwipeDuration, start.y + velocity.y * SwipeDuration };
        if (std::hypot(end.x - start.x, end.y - start.y) < 10)
            return Error("a swipe needs a velocity of at least 100 points per second");
        if (!dragScreen(start, end, SwipeDuration))
            return Error("nothing on screen at " + pointText(start) + " took the swipe");
        return ActionDone {};
    }
}

ActionResult Phone::swipe(std::string_view viewName, CGPoint velocity)
{
    return onMain([&]() -> ActionResult {
        if (auto off = screenIsOff())
            return Error(*off);
        auto view = visibleViewNamed(viewName);
        if (!view)
            return Error("no view named \"" + std::string(viewName) + "\" on screen");
        CGRect frame = view->screenFrame();
        return swipeFrom({ frame.midX(), frame.midY() }, velocity);
    });
}

ActionResult Phone::swipe(CGPoint start, CGPoint velocity)
{
    return onMain([&]() -> ActionResult {
        if (auto off = screenIsOff())
            return Error(*off);
        return swipeFrom(start, velocity);
    });
}

// MARK: The device

ActionResult Phone::rotate(int64_t orientation)
{
    return onMain([&]() -> ActionResult {
        if (!isValidOrientation(orientation))
            return Error("the orientation must be 1 (portrait), 2 (upside down), 3 or 4 (landscape), not " + std::to_string(orientation));
        SpringBoard::shared()->setDeviceOrientation(orientation);
        return ActionDone {};
    });
}

ActionResult Phone::lock()
{
    return onMain([&]() -> ActionResult {
        auto away = SBAwayController::sharedAwayController();
        if (!away)
            return Error("the phone has no lock screen");
        if (away->isLocked())
            return Error("the phone is already locked");
        runtime::send(away, "lock");
        return ActionDone {};
    });
}

ActionResult Phone::unlockBulletin(size_t index)
{
    return onMain([&]() -> ActionResult {
        auto away = SBAwayController::sharedAwayController();
        if (!away || !away->isLocked())
            return Error("the phone is not locked");
        if (auto off = screenIsOff())
            return Error(*off);
        size_t count = away->bulletins().size();
        if (index >= count)
            return Error(fmt::format("there {} {} bulletin{} on the lock screen; no bulletin {}", count == 1 ? "is" : "are", count, count == 1 ? "" : "s", index));
        auto table = away->bulletinTable();
        auto indexPath = NSIndexPathMake(0, static_cast<int64_t>(index));
        table->scrollToRow(indexPath, 0);
        auto cell = runtime::cast<SBAwayBulletinCell>(table->cellForRow(indexPath));
        if (!cell)
            return Error(fmt::format("the lock screen shows no cell for bulletin {}", index));
        runtime::send(cell, "lockBarUnlocked:", Id(cell->lockBar()));
        return ActionDone {};
    });
}

ActionResult Phone::openNotificationCenter()
{
    return onMain([&]() -> ActionResult {
        auto list = SBBulletinListController::sharedInstance();
        if (!list)
            return Error("the phone has no notification centre");
        auto away = SBAwayController::sharedAwayController();
        if (away && away->isLocked())
            return Error("the phone is locked");
        if (list->listViewIsActive())
            return Error("the notification centre is already open");
        runtime::send(list, "showListViewAnimated:", true);
        return ActionDone {};
    });
}

ActionResult Phone::tapNotification(size_t index)
{
    return onMain([&]() -> ActionResult {
        auto list = SBBulletinListController::sharedInstance();
        if (!list || !list->listViewIsActive())
            return Error("the notification centre is not open");
        auto indexPath = list->indexPathOfNewest(index);
        if (!indexPath) {
            size_t count = list->bulletinsNewestFirst().size();
            return Error(fmt::format("the notification centre holds {} notification{}; no notification {}", count, count == 1 ? "" : "s", index));
        }
        auto table = list->tableView();
        table->scrollToRow(*indexPath, 0);
        auto cell = table->cellForRow(*indexPath);
        if (!cell)
            return Error(fmt::format("the notification centre shows no row for notification {}", index));
        table->cellTapped(*cell);
        return ActionDone {};
    });
}

ActionResult Phone::activator(const std::string& listenerName)
{
    return onMain([&]() -> ActionResult {
        auto shared = activator::LAActivator::sharedInstance();
        if (!shared->hasListenerWithName(listenerName))
            return Error("no Activator listener is registered as \"" + listenerName + "\"");
        auto away = SBAwayController::sharedAwayController();
        std::string_view mode = away && away->isLocked()   ? activator::LAEventModeLockScreen
            : springBoardContext().frontApplication.lock() ? activator::LAEventModeApplication
                                                           : activator::LAEventModeSpringBoard;
        auto event = activator::LAEvent::eventWithName("plv.simulator.activator", std::string(mode));
        if (!shared->sendEvent(event, listenerName))
            return Error("the Activator listener \"" + listenerName + "\" does not take events");
        return ActionDone {};
    });
}

namespace {
    // The installed application an action of the unlocked phone is for;
    // or why there is none.
    foundation::Result<runtime::Ref<SBApplication>> applicationToActOn(const std::string& bundleID)
    {
        auto application = SBApplicationController::sharedInstance()->applicationWithDisplayIdentifier(bundleID);
        if (!application)
            return Error("no application \"" + bundleID + "\" is installed");
        auto away = SBAwayController::sharedAwayController();
        if (away && away->isLocked())
            return Error("the phone is locked");
        return application;
    }
}

ActionResult Phone::openApp(const std::string& bundleID)
{
    return onMain([&]() -> ActionResult {
        auto application = TRY(applicationToActOn(bundleID));
        SBUIController::bringToFront(application);
        return ActionDone {};
    });
}

ActionResult Phone::quitApp(const std::string& bundleID)
{
    return onMain([&]() -> ActionResult {
        auto application = TRY(applicationToActOn(bundleID));
        if (!application->isRunning())
            return Error("\"" + bundleID + "\" is not running");
        if (application->isFrontmost())
            runtime::send(SBUIController::sharedInstance(), "clickedMenuButton");
        runtime::send(application, "kill");
        return ActionDone {};
    });
}

ActionResult Phone::home()
{
    return onMain([&]() -> ActionResult {
        auto away = SBAwayController::sharedAwayController();
        if (away && away->isLocked()) {
            // The home button lights a dark lock screen; on a lit one it keeps it lit.
            runtime::send(away, "undimScreen");
            runtime::send(away, "restartDimTimer:", SBAwayController::DefaultDimInterval);
            return ActionDone {};
        }
        runtime::send(SBUIController::sharedInstance(), "clickedMenuButton");
        return ActionDone {};
    });
}

ActionResult Phone::advance(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0)
        return Error("time moves forward only: advance needs zero or more seconds");
    if (runLoop().clockKind() == foundation::ClockKind::System && !runLoop().isMainThread()) {
        // The main thread turns the loop by itself; waiting here is enough.
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        return ActionDone {};
    }
    return onMain([&]() -> ActionResult {
        runLoop().advance(seconds);
        return ActionDone {};
    });
}

// MARK: State

json Phone::springboardState()
{
    json state;
    performOnMain([&] { state = snapshotSpringBoard(); });
    return state;
}

json Phone::screenSnapshot()
{
    json snapshot;
    performOnMain([&] {
        if (auto statusBar = springBoardContext().statusBar)
            statusBar->refresh();
        snapshot = snapshotScreen();
    });
    return snapshot;
}

std::string Phone::screenSnapshotJSON()
{
    std::string snapshot;
    performOnMain([&] {
        if (auto statusBar = springBoardContext().statusBar)
            statusBar->refresh();
        snapshot = snapshotScreenJSON();
    });
    return snapshot;
}

json Phone::state()
{
    return { { "springboard", springboardState() }, { "screen", screenSnapshot() } };
}

} // namespace phone
