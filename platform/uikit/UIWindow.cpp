#include "UIWindow.h"

#include "UIApplication.h"
#include "UIKitContext.h"
#include "UIScreen.h"
#include "UIViewController.h"

#include <cmath>

namespace uikit {

using runtime::Id;
using runtime::Ref;

void UIWindow::registerMethods(runtime::ClassBuilder<UIWindow>& b)
{
    b.method<&UIWindow::windowLevel>("windowLevel");
    b.method<&UIWindow::setWindowLevel>("setWindowLevel:");
    b.method<&UIWindow::makeKeyAndVisible>("makeKeyAndVisible");
    b.method<&UIWindow::makeKeyWindow>("makeKeyWindow");
    b.method<&UIWindow::isKeyWindow>("isKeyWindow");
    b.method<&UIWindow::becomeKeyWindow>("becomeKeyWindow");
    b.method<&UIWindow::resignKeyWindow>("resignKeyWindow");
    b.method("rootViewController", [](UIWindow& self) -> Id { return self.rootViewController(); });
    b.method("setRootViewController:", [](UIWindow& self, const Id& controller) {
        self.setRootViewController(runtime::cast<UIViewController>(controller));
    });
    b.method("screen", [](UIWindow& self) -> Id { return self.screen(); });
}

UIWindow::UIWindow() { UIView::setHidden(true); }

void UIWindow::setWindowLevel(UIWindowLevel level)
{
    if (std::isfinite(level))
        m_windowLevel = level;
}

void UIWindow::orderFront()
{
    auto& context = uikitContext();
    m_orderSequence = context.nextWindowOrder++;
    std::erase_if(context.windows, [&](const runtime::Weak<UIWindow>& w) {
        auto window = w.lock();
        return !window || window.get() == this;
    });
    context.windows.push_back(selfAs<UIWindow>());
}

void UIWindow::setHidden(bool hidden)
{
    bool wasHidden = isHidden();
    UIView::setHidden(hidden);
    if (wasHidden && !hidden)
        orderFront();
}

void UIWindow::makeKeyAndVisible()
{
    setHidden(false);
    makeKeyWindow();
}

bool UIWindow::isKeyWindow() const { return uikitContext().keyWindow.lock().get() == this; }

void UIWindow::makeKeyWindow()
{
    if (isKeyWindow())
        return;
    auto keepAlive = selfAs<UIWindow>();
    if (auto previous = uikitContext().keyWindow.lock())
        runtime::send(previous, "resignKeyWindow");
    uikitContext().keyWindow = keepAlive;
    runtime::send(this, "becomeKeyWindow");
}

void UIWindow::becomeKeyWindow() { }

void UIWindow::resignKeyWindow()
{
    auto& context = uikitContext();
    if (context.keyWindow.lock().get() == this)
        context.keyWindow.reset();
}

void UIWindow::setRootViewController(Ref<UIViewController> controller)
{
    if (controller == m_rootViewController)
        return;
    if (m_rootViewController) {
        if (auto old = m_rootViewController->viewIfLoaded(); old && old->superview().get() == this)
            old->removeFromSuperview();
    }
    m_rootViewController = std::move(controller);
    if (!m_rootViewController)
        return;
    auto view = m_rootViewController->view();
    if (!view)
        return;
    auto screen = UIScreen::mainScreen();
    view->setFrame(convertRectFromView(screen->applicationFrame(), nullptr));
    addSubview(view);
}

Ref<UIScreen> UIWindow::screen() const { return UIScreen::mainScreen(); }

Id UIWindow::nextResponder() const { return UIApplication::sharedApplication(); }

} // namespace uikit
