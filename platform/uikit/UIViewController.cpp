#include "UIViewController.h"

#include "UIApplication.h"
#include "UINavigationController.h"
#include "UIScreen.h"
#include "UIView.h"
#include "UIWindow.h"

#include <foundation/RunLoop.h>

namespace uikit {

using runtime::Id;
using runtime::Ref;

void UIViewController::registerMethods(runtime::ClassBuilder<UIViewController>& b)
{
    b.method("init", [](UIViewController& self) -> Id { return runtime::send<Id>(&self, "initWithNibName:bundle:", std::string(), runtime::nil); });
    b.method<&UIViewController::initWithNibName>("initWithNibName:bundle:");
    b.method("view", [](UIViewController& self) -> Id { return self.view(); });
    b.method("setView:", [](UIViewController& self, const Id& view) { self.setView(runtime::cast<UIView>(view)); });
    b.method<&UIViewController::isViewLoaded>("isViewLoaded");
    b.method<&UIViewController::loadView>("loadView");
    b.method<&UIViewController::viewDidLoad>("viewDidLoad");
    b.method<&UIViewController::viewDidUnload>("viewDidUnload");
    b.method<&UIViewController::viewWillAppear>("viewWillAppear:");
    b.method<&UIViewController::viewDidAppear>("viewDidAppear:");
    b.method<&UIViewController::viewWillDisappear>("viewWillDisappear:");
    b.method<&UIViewController::viewDidDisappear>("viewDidDisappear:");
    b.method<&UIViewController::didReceiveMemoryWarning>("didReceiveMemoryWarning");
    b.method<&UIViewController::shouldAutorotateToInterfaceOrientation>("shouldAutorotateToInterfaceOrientation:");
    b.method<&UIViewController::interfaceOrientation>("interfaceOrientation");
    b.method<&UIViewController::title>("title");
    b.method<&UIViewController::setTitle>("setTitle:");
    b.method("navigationItem", [](UIViewController& self) -> Id { return self.navigationItem(); });
    b.method("navigationController", [](UIViewController& self) -> Id { return self.navigationController(); });
    b.method("parentViewController", [](UIViewController& self) -> Id { return self.parentViewController(); });
    b.method("modalViewController", [](UIViewController& self) -> Id { return self.modalViewController(); });
    b.method("presentedViewController", [](UIViewController& self) -> Id { return self.modalViewController(); });
    b.method("presentingViewController", [](UIViewController& self) -> Id { return self.presentingViewController(); });
    b.method<&UIViewController::modalTransitionStyle>("modalTransitionStyle");
    b.method<&UIViewController::setModalTransitionStyle>("setModalTransitionStyle:");
    b.method("presentModalViewController:animated:", [](UIViewController& self, const Id& controller, bool animated) {
        self.presentModalViewController(runtime::cast<UIViewController>(controller), animated);
    });
    b.method<&UIViewController::dismissModalViewControllerAnimated>("dismissModalViewControllerAnimated:");
    b.method("presentViewController:animated:completion:", [](UIViewController& self, const Id& controller, bool animated, const std::function<void()>& completion) {
        self.presentViewController(runtime::cast<UIViewController>(controller), animated, completion);
    });
    b.method("dismissViewControllerAnimated:completion:", [](UIViewController& self, bool animated, const std::function<void()>& completion) {
        self.dismissViewController(animated, completion);
    });
}

void sendAppearance(const Ref<UIViewController>& controller, const char* selector, bool animated)
{
    if (controller)
        runtime::send(controller, selector, animated);
}

void afterTransition(bool animated, double seconds, std::function<void()> work)
{
    if (animated)
        foundation::RunLoop::main().performAfter(seconds, std::move(work));
    else
        work();
}

Id UIViewController::initWithNibName(const std::string&, const Id&) { return self(); }

Ref<UIView> UIViewController::view()
{
    if (!m_view) {
        auto keepAlive = selfAs<UIViewController>();
        runtime::send(this, "loadView");
        if (!m_view) {
            // A loadView that made nothing still leaves the controller with a view.
            UIViewController::loadView();
        }
        runtime::send(this, "viewDidLoad");
    }
    return m_view;
}

void UIViewController::setView(Ref<UIView> view)
{
    if (m_view == view)
        return;
    if (m_view && m_view->viewController().get() == this)
        m_view->setViewController(nullptr);
    m_view = std::move(view);
    if (m_view)
        m_view->setViewController(selfAs<UIViewController>());
}

void UIViewController::loadView()
{
    auto view = runtime::make<UIView>();
    view->setFrame(UIScreen::mainScreen()->applicationFrame());
    setView(view);
}

void UIViewController::didReceiveMemoryWarning()
{
    if (!m_view || m_view->window())
        return;
    setView(nullptr);
    runtime::send(this, "viewDidUnload");
}

void UIViewController::setTitle(std::string title)
{
    m_title = std::move(title);
    navigationItem()->setTitle(m_title);
}

Ref<UINavigationItem> UIViewController::navigationItem()
{
    if (!m_navigationItem) {
        m_navigationItem = runtime::make<UINavigationItem>();
        m_navigationItem->setTitle(m_title);
    }
    return m_navigationItem;
}

Ref<UINavigationController> UIViewController::navigationController() const
{
    for (auto parent = parentViewController(); parent; parent = parent->parentViewController()) {
        if (auto navigation = runtime::cast<UINavigationController>(parent))
            return navigation;
    }
    return nullptr;
}

Id UIViewController::nextResponder() const
{
    if (m_view) {
        if (auto superview = m_view->superview())
            return superview;
    }
    return parentViewController();
}

// MARK: Modal presentation

void UIViewController::presentModalViewController(const Ref<UIViewController>& controller, bool animated)
{
    presentViewController(controller, animated, {});
}

void UIViewController::presentViewController(const Ref<UIViewController>& controller, bool animated, std::function<void()> completion)
{
    if (!controller || controller.get() == this)
        return;
    if (controller->presentingViewController() || controller->parentViewController()) {
        runtime::reportDiagnostic("presentModalViewController: " + controller->runtimeClassName() + " is already on screen");
        return;
    }
    auto host = selfAs<UIViewController>();
    while (auto parent = host->parentViewController())
        host = parent;
    // A presentation whose view someone took off the screen no longer counts.
    if (auto presented = host->m_presented; presented && !(presented->m_view && presented->m_view->window())) {
        presented->m_presenting.reset();
        host->m_presented = nullptr;
    }
    while (host->m_presented)
        host = host->m_presented;
    Ref<UIWindow> window = host->m_view ? host->m_view->window() : nullptr;
    if (!window)
        window = UIApplication::sharedApplication()->keyWindow();
    if (!window) {
        runtime::reportDiagnostic("presentModalViewController: " + host->runtimeClassName() + " is not on screen");
        return;
    }
    auto view = controller->view();
    view->setFrame(window->convertRectFromView(UIScreen::mainScreen()->applicationFrame(), nullptr));
    host->m_presented = controller;
    controller->m_presenting = host;
    sendAppearance(controller, "viewWillAppear:", animated);
    sendAppearance(host, "viewWillDisappear:", animated);
    window->addSubview(view);
    afterTransition(animated, ModalTransitionDuration, [controller, host, animated, completion = std::move(completion)] {
        sendAppearance(controller, "viewDidAppear:", animated);
        sendAppearance(host, "viewDidDisappear:", animated);
        if (completion)
            completion();
    });
}

void UIViewController::dismissModalViewControllerAnimated(bool animated) { dismissViewController(animated, {}); }

void UIViewController::dismissViewController(bool animated, std::function<void()> completion)
{
    auto host = selfAs<UIViewController>();
    if (!host->m_presented) {
        while (auto parent = host->parentViewController())
            host = parent;
        // Sent to a controller inside a container that presents (the root of
        // a navigation controller): the container dismisses what it shows.
        if (host->m_presented) {
            host->dismissViewController(animated, std::move(completion));
            return;
        }
        // Sent to the presented controller itself (a picker closing itself): its presenter dismisses it.
        if (auto presenter = host->presentingViewController())
            presenter->dismissViewController(animated, std::move(completion));
        return;
    }
    std::vector<Ref<UIViewController>> chain;
    for (auto presented = host->m_presented; presented; presented = presented->m_presented)
        chain.push_back(presented);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        auto& controller = *it;
        sendAppearance(controller, "viewWillDisappear:", animated);
        if (controller->m_view)
            controller->m_view->removeFromSuperview();
        controller->m_presenting.reset();
        controller->m_presented = nullptr;
    }
    host->m_presented = nullptr;
    sendAppearance(host, "viewWillAppear:", animated);
    afterTransition(animated, ModalTransitionDuration, [chain, host, animated, completion = std::move(completion)] {
        for (auto it = chain.rbegin(); it != chain.rend(); ++it)
            sendAppearance(*it, "viewDidDisappear:", animated);
        sendAppearance(host, "viewDidAppear:", animated);
        if (completion)
            completion();
    });
}

} // namespace uikit
