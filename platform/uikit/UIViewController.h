// A controller of one screen: a view loaded on first use (`loadView`, then
// `viewDidLoad`, both sent through the runtime so a system subclass's own
// versions run), the appearance callbacks, a title and navigation item, and
// modal presentation. A presented controller's view covers the application
// frame of the presenter's window; presenting from a controller that already
// presents stacks the new one on top, and dismissing removes everything
// above the controller it is sent to. The transition styles are kept for the
// snapshot; animated transitions finish (`viewDidAppear:`, completion) after
// `ModalTransitionDuration` on the run loop. Through the runtime the
// completion of `presentViewController:animated:completion:` travels as a
// `std::function<void()>`.
#pragma once

#include "UIKitTypes.h"
#include "UIResponder.h"

#include <functional>
#include <string>

namespace uikit {

class UINavigationController;
class UINavigationItem;
class UIView;

class UIViewController : public UIResponder {
    PLV_CLASS(UIViewController, UIResponder)
public:
    static void registerMethods(runtime::ClassBuilder<UIViewController>&);

    static constexpr double ModalTransitionDuration = 0.3;

    // `initWithNibName:bundle:`; there are no nibs here, so both are ignored.
    runtime::Id initWithNibName(const std::string& nibName, const runtime::Id& bundle);

    runtime::Ref<UIView> view();
    runtime::Ref<UIView> viewIfLoaded() const { return m_view; }
    bool isViewLoaded() const { return m_view != nullptr; }
    void setView(runtime::Ref<UIView>);
    // The default view: a plain view over the screen's application frame.
    virtual void loadView();
    virtual void viewDidLoad() { }
    virtual void viewDidUnload() { }
    virtual void viewWillAppear(bool) { }
    virtual void viewDidAppear(bool) { }
    virtual void viewWillDisappear(bool) { }
    virtual void viewDidDisappear(bool) { }
    // Drops a view that is not on screen, then `viewDidUnload`.
    virtual void didReceiveMemoryWarning();
    virtual bool shouldAutorotateToInterfaceOrientation(int64_t orientation) { return orientation == UIInterfaceOrientationPortrait; }
    int64_t interfaceOrientation() const { return m_interfaceOrientation; }
    void setInterfaceOrientation(int64_t orientation) { m_interfaceOrientation = orientation; }

    const std::string& title() const { return m_title; }
    void setTitle(std::string);
    runtime::Ref<UINavigationItem> navigationItem();
    runtime::Ref<UINavigationController> navigationController() const;
    runtime::Ref<UIViewController> parentViewController() const { return m_parent.lock(); }
    void setParentViewController(const runtime::Ref<UIViewController>& parent) { m_parent = parent; }

    runtime::Ref<UIViewController> modalViewController() const { return m_presented; }
    runtime::Ref<UIViewController> presentingViewController() const { return m_presenting.lock(); }
    int64_t modalTransitionStyle() const { return m_modalTransitionStyle; }
    void setModalTransitionStyle(int64_t style) { m_modalTransitionStyle = style; }
    void presentModalViewController(const runtime::Ref<UIViewController>&, bool animated);
    void dismissModalViewControllerAnimated(bool animated);
    void presentViewController(const runtime::Ref<UIViewController>&, bool animated, std::function<void()> completion);
    void dismissViewController(bool animated, std::function<void()> completion);

    runtime::Id nextResponder() const override;

private:
    runtime::Ref<UIView> m_view;
    std::string m_title;
    runtime::Ref<UINavigationItem> m_navigationItem;
    runtime::Weak<UIViewController> m_parent;
    runtime::Ref<UIViewController> m_presented;
    runtime::Weak<UIViewController> m_presenting;
    int64_t m_modalTransitionStyle { UIModalTransitionStyleCoverVertical };
    int64_t m_interfaceOrientation { UIInterfaceOrientationPortrait };
};

// Sends an appearance callback through the runtime ("viewWillAppear:" …).
void sendAppearance(const runtime::Ref<UIViewController>&, const char* selector, bool animated);
// Runs `work` now, or after `seconds` on the main run loop when animated.
void afterTransition(bool animated, double seconds, std::function<void()> work);

} // namespace uikit
