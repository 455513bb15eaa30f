// A window: the root of a view tree, placed on the screen by its frame and
// stacked with the other visible windows by its level (and, within a level,
// by the order in which windows were last brought to the front). A new
// window is hidden until it is shown. One window at a time is the key window.
#pragma once

#include "UIView.h"

namespace uikit {

class UIScreen;

class UIWindow : public UIView {
    PLV_CLASS(UIWindow, UIView)
public:
    static void registerMethods(runtime::ClassBuilder<UIWindow>&);

    UIWindow();

    UIWindowLevel windowLevel() const { return m_windowLevel; }
    void setWindowLevel(UIWindowLevel);
    // Showing a window brings it to the front of its level.
    void setHidden(bool) override;
    void makeKeyAndVisible();
    void makeKeyWindow();
    bool isKeyWindow() const;
    // Told when the window becomes or stops being the key window; the system
    // may also send `resignKeyWindow` itself, which leaves no key window.
    virtual void becomeKeyWindow();
    virtual void resignKeyWindow();

    runtime::Ref<UIViewController> rootViewController() const { return m_rootViewController; }
    // Shows the controller's view in the window, over the application frame.
    void setRootViewController(runtime::Ref<UIViewController>);

    runtime::Ref<UIScreen> screen() const;
    uint64_t orderSequence() const { return m_orderSequence; }

    runtime::Id nextResponder() const override;

private:
    void orderFront();

    UIWindowLevel m_windowLevel { UIWindowLevelNormal };
    uint64_t m_orderSequence { 0 };
    runtime::Ref<UIViewController> m_rootViewController;
};

} // namespace uikit
