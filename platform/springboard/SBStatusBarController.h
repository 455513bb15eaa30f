// The status bar along the top of the interface: the carrier on the left,
// the time in the middle, the battery on the right. It turns with the
// application in front.
#pragma once

#include <runtime/Runtime.h>
#include <uikit/UIKitTypes.h>
#include <uikit/UILabel.h>
#include <uikit/UIWindow.h>

#include <string>

namespace springboard {

class SBStatusBarController : public runtime::Object {
    PLV_CLASS(SBStatusBarController, runtime::Object)
public:
    static constexpr double Height = 20;

    static runtime::Ref<SBStatusBarController> create();

    void setOrientation(int64_t);
    // Shows the current time.
    void refresh();
    runtime::Ref<uikit::UIWindow> window() const { return m_window; }

private:
    runtime::Ref<uikit::UIWindow> m_window;
    runtime::Ref<uikit::UILabel> m_time;
    runtime::Ref<uikit::UILabel> m_carrier;
    runtime::Ref<uikit::UILabel> m_battery;
};

// The time the phone shows, "9:41" style. On the virtual clock the day
// starts at 9:41 and moves with the run loop's clock, so that screens are
// the same on every run; on the system clock it is the local time.
std::string displayTime();

} // namespace springboard
