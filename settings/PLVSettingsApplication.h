// The settings application and its own delegate: at launch it makes a window
// the size of the screen, puts the root table controller inside a
// navigation controller, and shows the window. The phone shows the window
// while the application is in front.
#pragma once

#include "RootViewController.h"

#include <uikit/UIApplication.h>
#include <uikit/UINavigationController.h>
#include <uikit/UIWindow.h>

namespace plvsettings {

class PLVSettingsApplication : public uikit::UIApplication {
    PLV_CLASS(PLVSettingsApplication, uikit::UIApplication)
public:
    static void registerMethods(runtime::ClassBuilder<PLVSettingsApplication>&);

    void applicationDidFinishLaunching(const runtime::Id& application);

    const runtime::Ref<uikit::UIWindow>& window() const { return m_window; }
    const runtime::Ref<uikit::UINavigationController>& navC() const { return m_navC; }
    const runtime::Ref<RootViewController>& rootViewController() const { return m_rootViewController; }

private:
    runtime::Ref<uikit::UIWindow> m_window;
    runtime::Ref<uikit::UINavigationController> m_navC;
    runtime::Ref<RootViewController> m_rootViewController;
};

} // namespace plvsettings
