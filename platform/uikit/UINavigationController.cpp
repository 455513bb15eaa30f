#include "UINavigationController.h"

#include "UIScreen.h"
#include "UIWindow.h"

#include <algorithm>

namespace uikit {

using runtime::Id;
using runtime::Ref;

void UINavigationController::registerMethods(runtime::ClassBuilder<UINavigationController>& b)
{
    b.method("initWithRootViewController:", [](UINavigationController& self, const Id& root) -> Id {
        runtime::send<Id>(&self, "initWithNibName:bundle:", std::string(), runtime::nil);
        return self.initWithRootViewController(runtime::cast<UIViewController>(root));
    });
    b.method("viewControllers", [](UINavigationController& self) -> std::vector<Id> {
        return std::vector<Id>(self.viewControllers().begin(), self.viewControllers().end());
    });
    b.method("setViewControllers:animated:", [](UINavigationController& self, const std::vector<Id>& list, bool) {
        std::vector<Ref<UIViewController>> controllers;
        for (auto& item : list) {
            if (auto controller = runtime::cast<UIViewController>(item))
                controllers.push_back(controller);
        }
        self.setViewControllers(std::move(controllers));
    });
    b.method("topViewController", [](UINavigationController& self) -> Id { return self.topViewController(); });
    b.method("visibleViewController", [](UINavigationController& self) -> Id { return self.visibleViewController(); });
    b.method("pushViewController:animated:", [](UINavigationController& self, const Id& controller, bool animated) {
        self.pushViewController(runtime::cast<UIViewController>(controller), animated);
    });
    b.method("popViewControllerAnimated:", [](UINavigationController& self, bool animated) -> Id { return self.popViewControllerAnimated(animated); });
    b.method("popToRootViewControllerAnimated:", [](UINavigationController& self, bool animated) -> std::vector<Id> {
        auto popped = self.popToRootViewControllerAnimated(animated);
        return std::vector<Id>(popped.begin(), popped.end());
    });
    b.method("navigationBar", [](UINavigationController& self) -> Id { return self.navigationBar(); });
    b.method<&UINavigationController::isNavigationBarHidden>("isNavigationBarHidden");
    b.method<&UINavigationController::setNavigationBarHidden>("setNavigationBarHidden:");
    b.method("setNavigationBarHidden:animated:", [](UINavigationController& self, bool hidden, bool) { self.setNavigationBarHidden(hidden); });
    b.method<&UINavigationController::delegate>("delegate");
    b.method<&UINavigationController::setDelegate>("setDelegate:");
}

Id UINavigationController::initWithRootViewController(const Ref<UIViewController>& root)
{
    if (root)
        setViewControllers({ root });
    return self();
}

Ref<UINavigationBar> UINavigationController::navigationBar()
{
    if (!m_navigationBar) {
        m_navigationBar = runtime::make<UINavigationBar>();
        m_navigationBar->setFrame(CGRectMake(0, 0, UIScreen::mainScreen()->bounds().size.width, UINavigationBar::Height));
        std::weak_ptr<UINavigationController> weakSelf = selfAs<UINavigationController>();
        m_navigationBar->setBackAction([weakSelf] {
            if (auto self = weakSelf.lock())
                runtime::send<Id>(self, "popViewControllerAnimated:", true);
        });
        syncBar();
    }
    return m_navigationBar;
}

void UINavigationController::syncBar()
{
    if (!m_navigationBar)
        return;
    std::vector<Ref<UINavigationItem>> items;
    for (auto& controller : m_viewControllers)
        items.push_back(controller->navigationItem());
    m_navigationBar->setItems(std::move(items));
}

void UINavigationController::setNavigationBarHidden(bool hidden)
{
    m_navigationBarHidden = hidden;
    layoutContent();
}

Ref<UIViewController> UINavigationController::topViewController() const
{
    return m_viewControllers.empty() ? nullptr : m_viewControllers.back();
}

Ref<UIViewController> UINavigationController::visibleViewController() const
{
    if (auto presented = modalViewController())
        return presented;
    auto top = topViewController();
    if (top && top->modalViewController())
        return top->modalViewController();
    return top;
}

void UINavigationController::loadView()
{
    auto view = runtime::make<UILayoutContainerView>();
    view->setFrame(UIScreen::mainScreen()->applicationFrame());
    setView(view);
    view->addSubview(navigationBar());
    if (auto top = topViewController())
        view->addSubview(top->view());
    layoutContent();
}

void UINavigationController::layoutContent()
{
    auto view = viewIfLoaded();
    if (!view)
        return;
    CGRect b = view->bounds();
    double barHeight = m_navigationBarHidden ? 0 : UINavigationBar::Height;
    auto bar = navigationBar();
    bar->setHidden(m_navigationBarHidden);
    bar->setFrame(CGRectMake(b.origin.x, b.origin.y, b.size.width, UINavigationBar::Height));
    if (auto top = topViewController(); top && top->isViewLoaded() && top->viewIfLoaded()->superview() == view)
        top->viewIfLoaded()->setFrame(CGRectMake(b.origin.x, b.origin.y + barHeight, b.size.width, b.size.height - barHeight));
}

bool UINavigationController::isOnScreen() const
{
    auto view = viewIfLoaded();
    return view && view->window();
}

void UINavigationController::showTop(const Ref<UIViewController>& leaving, bool animated)
{
    auto view = viewIfLoaded();
    auto top = topViewController();
    bool onScreen = isOnScreen();
    Id delegate = m_delegate.lock();
    if (top && runtime::respondsTo(delegate, "navigationController:willShowViewController:animated:"))
        runtime::send(delegate, "navigationController:willShowViewController:animated:", self(), Id(top), animated);
    if (onScreen) {
        sendAppearance(leaving, "viewWillDisappear:", animated);
        sendAppearance(top, "viewWillAppear:", animated);
    }
    if (view) {
        if (leaving && leaving->viewIfLoaded() && leaving->viewIfLoaded()->superview() == view)
            leaving->viewIfLoaded()->removeFromSuperview();
        if (top)
            view->insertSubviewBelowSubview(top->view(), navigationBar());
        layoutContent();
    }
    if (!onScreen)
        return;
    auto self = selfAs<UINavigationController>();
    afterTransition(animated, TransitionDuration, [self, leaving, top, animated] {
        sendAppearance(leaving, "viewDidDisappear:", animated);
        sendAppearance(top, "viewDidAppear:", animated);
        Id delegate = self->m_delegate.lock();
        if (top && runtime::respondsTo(delegate, "navigationController:didShowViewController:animated:"))
            runtime::send(delegate, "navigationController:didShowViewController:animated:", Id(self), Id(top), animated);
    });
}

void UINavigationController::setViewControllers(std::vector<Ref<UIViewController>> controllers)
{
    std::erase(controllers, nullptr);
    auto leaving = topViewController();
    for (auto& old : m_viewControllers) {
        if (std::find(controllers.begin(), controllers.end(), old) == controllers.end())
            old->setParentViewController(nullptr);
    }
    m_viewControllers = std::move(controllers);
    auto self = selfAs<UINavigationController>();
    for (auto& controller : m_viewControllers)
        controller->setParentViewController(self);
    syncBar();
    if (leaving != topViewController())
        showTop(leaving, false);
}

void UINavigationController::pushViewController(const Ref<UIViewController>& controller, bool animated)
{
    if (!controller || std::find(m_viewControllers.begin(), m_viewControllers.end(), controller) != m_viewControllers.end())
        return;
    if (controller->parentViewController() || controller->presentingViewController()) {
        runtime::reportDiagnostic("pushViewController: " + controller->runtimeClassName() + " already has a parent");
        return;
    }
    auto leaving = topViewController();
    m_viewControllers.push_back(controller);
    controller->setParentViewController(selfAs<UINavigationController>());
    syncBar();
    showTop(leaving, animated);
}

Ref<UIViewController> UINavigationController::popViewControllerAnimated(bool animated)
{
    if (m_viewControllers.size() < 2)
        return nullptr;
    auto leaving = m_viewControllers.back();
    m_viewControllers.pop_back();
    syncBar();
    showTop(leaving, animated);
    leaving->setParentViewController(nullptr);
    return leaving;
}

std::vector<Ref<UIViewController>> UINavigationController::popToRootViewControllerAnimated(bool animated)
{
    std::vector<Ref<UIViewController>> popped;
    if (m_viewControllers.size() < 2)
        return popped;
    auto leaving = m_viewControllers.back();
    popped.assign(m_viewControllers.begin() + 1, m_viewControllers.end());
    m_viewControllers.resize(1);
    syncBar();
    showTop(leaving, animated);
    for (auto& controller : popped)
        controller->setParentViewController(nullptr);
    return popped;
}

void UILayoutContainerView::layoutSubviews()
{
    if (auto navigation = runtime::cast<UINavigationController>(viewController()))
        navigation->layoutContent();
}

} // namespace uikit
