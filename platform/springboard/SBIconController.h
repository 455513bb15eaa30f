// The home screen: the wallpaper and one icon per installed application,
// in a grid under the status bar. Tapping an icon asks SBUIController, through
// the runtime, to activate that application.
#pragma once

#include <runtime/Runtime.h>
#include <uikit/UIWindow.h>

namespace springboard {

class SBIconController : public runtime::Object {
    PLV_CLASS(SBIconController, runtime::Object)
public:
    static runtime::Ref<SBIconController> create();

    // Lays the icons out again (after an application was added).
    void reloadIcons();
    runtime::Ref<uikit::UIWindow> window() const { return m_window; }

private:
    runtime::Ref<uikit::UIWindow> m_window;
};

} // namespace springboard
