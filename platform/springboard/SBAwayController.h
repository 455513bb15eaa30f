// The lock screen. `lock` (sent through the runtime by SpringBoard when the
// sleep button is pressed) locks the device, puts up the lock screen with a
// fresh SBAwayBulletinListController (allocated and sent `init` through the
// runtime, so a hook sees it) and turns the screen off. Bulletins that
// arrive while locked go to that list and light the screen, which dims
// again when the dim timer runs out. Sliding the unlock bar, or a lock-screen
// cell's own bar, unlocks. The shared instance exists once SpringBoard has
// finished launching.
#pragma once

#include "BBBulletin.h"

#include <foundation/RunLoop.h>
#include <uikit/UIKitTypes.h>
#include <uikit/UITableView.h>
#include <uikit/UIWindow.h>

#include <optional>

namespace springboard {

class SBAwayBulletinListController;

class SBAwayController : public runtime::Object {
    PLV_CLASS(SBAwayController, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<SBAwayController>&);

    // How long the lit lock screen stays on before it dims by itself.
    static constexpr double DefaultDimInterval = 8;
    static constexpr uikit::UIWindowLevel WindowLevel = uikit::UIWindowLevelStatusBar + 50;
    // The dark screen covers everything.
    static constexpr uikit::UIWindowLevel ScreenOffLevel = 10000;

    // nil until SpringBoard has launched.
    static runtime::Ref<SBAwayController> sharedAwayController();
    static runtime::Ref<SBAwayController> create();

    void lock();
    void unlock();
    bool isLocked() const { return m_locked; }

    bool isDimmed() const { return m_dimmed; }
    void dimScreen();
    void undimScreen();
    // The screen dims `seconds` from now, unless the timer is restarted or
    // the device unlocks first. A time that is not a finite number is ignored.
    void restartDimTimer(double seconds);
    std::optional<double> dimDate() const;

    // The list made at the last lock (what its `init` answered); nil while unlocked.
    runtime::Id bulletinListController() const { return m_bulletinList; }
    // A bulletin that arrived while locked: it joins the list and lights the screen.
    void addBulletin(const runtime::Ref<BBBulletin>&);
    // The lock screen's bulletins, newest first.
    std::vector<runtime::Ref<BBBulletin>> bulletins() const;
    runtime::Ref<uikit::UITableView> bulletinTable() const { return m_table; }
    runtime::Ref<uikit::UIWindow> window() const { return m_window; }

    void unlockSliderSlid(const runtime::Id& sender);

private:
    void buildWindow();
    void reloadList();

    bool m_locked { false };
    bool m_dimmed { false };
    runtime::Id m_bulletinList;
    runtime::Ref<foundation::Timer> m_dimTimer;
    runtime::Ref<uikit::UIWindow> m_window;
    runtime::Ref<uikit::UITableView> m_table;
    runtime::Ref<uikit::UIWindow> m_screenOff;
};

} // namespace springboard
