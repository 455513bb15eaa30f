// A stack of controllers under a navigation bar. The top controller's view
// fills the space under the bar; pushing and popping swap it and send the
// appearance callbacks (`viewWillDisappear:` to the one leaving) when the
// navigation view is on screen. The bar's back button pops.
#pragma once

#include "UINavigationBar.h"
#include "UIViewController.h"

#include <vector>

namespace uikit {

class UINavigationController : public UIViewController {
    PLV_CLASS(UINavigationController, UIViewController)
public:
    static void registerMethods(runtime::ClassBuilder<UINavigationController>&);

    static constexpr double TransitionDuration = 0.35;

    runtime::Id initWithRootViewController(const runtime::Ref<UIViewController>&);

    const std::vector<runtime::Ref<UIViewController>>& viewControllers() const { return m_viewControllers; }
    void setViewControllers(std::vector<runtime::Ref<UIViewController>>);
    runtime::Ref<UIViewController> topViewController() const;
    // The top controller, or what it presents.
    runtime::Ref<UIViewController> visibleViewController() const;
    void pushViewController(const runtime::Ref<UIViewController>&, bool animated);
    // nil when only the root is left.
    runtime::Ref<UIViewController> popViewControllerAnimated(bool animated);
    std::vector<runtime::Ref<UIViewController>> popToRootViewControllerAnimated(bool animated);

    runtime::Ref<UINavigationBar> navigationBar();
    bool isNavigationBarHidden() const { return m_navigationBarHidden; }
    void setNavigationBarHidden(bool);
    runtime::Id delegate() const { return m_delegate.lock(); }
    void setDelegate(const runtime::Id& delegate) { m_delegate = delegate; }

    void loadView() override;
    // Places the bar and the top controller's view in the navigation view.
    void layoutContent();

private:
    bool isOnScreen() const;
    void showTop(const runtime::Ref<UIViewController>& leaving, bool animated);
    void syncBar();

    std::vector<runtime::Ref<UIViewController>> m_viewControllers;
    runtime::Ref<UINavigationBar> m_navigationBar;
    bool m_navigationBarHidden { false };
    runtime::WeakId m_delegate;
};

// The navigation controller's own view, which lays its content out when resized.
class UILayoutContainerView : public UIView {
    PLV_CLASS(UILayoutContainerView, UIView)
public:
    void layoutSubviews() override;
};

} // namespace uikit
