#include "UIApplication.h"

#include "UIKitContext.h"
#include "UIWindow.h"

#include <foundation/RunLoop.h>

namespace uikit {

using runtime::Id;
using runtime::Ref;

void UIApplication::registerMethods(runtime::ClassBuilder<UIApplication>& b)
{
    b.classMethod("sharedApplication", [](runtime::Class&) -> Id { return sharedApplication(); });
    b.method("keyWindow", [](UIApplication& self) -> Id { return self.keyWindow(); });
    b.method<&UIApplication::windows>("windows");
    b.method<&UIApplication::delegate>("delegate");
    b.method<&UIApplication::setDelegate>("setDelegate:");
    b.method<&UIApplication::openURL>("openURL:");
    b.method<&UIApplication::canOpenURL>("canOpenURL:");
    b.method<&UIApplication::statusBarOrientation>("statusBarOrientation");
    b.method<&UIApplication::setStatusBarOrientation>("setStatusBarOrientation:");
    b.method("sendAction:to:from:forEvent:", [](UIApplication& self, const runtime::Sel& action, const Id& target, const Id& sender, const Id&) -> bool {
        return self.sendAction(action, target, sender);
    });
}

Ref<UIApplication> UIApplication::sharedApplication()
{
    auto& context = uikitContext();
    if (!context.application)
        context.application = runtime::make<UIApplication>();
    return context.application;
}

void UIApplication::setSharedApplication(Ref<UIApplication> application) { uikitContext().application = std::move(application); }

Ref<UIWindow> UIApplication::keyWindow() const { return uikitContext().keyWindow.lock(); }

std::vector<Id> UIApplication::windows() const
{
    auto visible = visibleWindows();
    return std::vector<Id>(visible.begin(), visible.end());
}

void UIApplication::setDelegate(const Id& delegate)
{
    m_delegate = delegate;
    if (m_ownedDelegate != delegate)
        m_ownedDelegate = nullptr;
}

bool UIApplication::openURL(const std::string& url)
{
    if (url.empty())
        return false;
    m_openedURLs.push_back(url);
    return true;
}

void UIApplication::setStatusBarOrientation(int64_t orientation)
{
    if (orientation >= UIInterfaceOrientationPortrait && orientation <= UIInterfaceOrientationLandscapeLeft)
        m_statusBarOrientation = orientation;
}

Id UIApplication::nextResponder() const
{
    auto delegate = m_delegate.lock();
    if (delegate.get() == this || !runtime::cast<UIResponder>(delegate))
        return runtime::nil;
    return delegate;
}

void sendActionToTarget(const runtime::Sel& action, const Id& target, const Id& sender)
{
    switch (action.argumentCount()) {
    case 0:
        runtime::send(target, action);
        break;
    case 1:
        runtime::send(target, action, sender);
        break;
    default:
        runtime::send(target, action, sender, runtime::nil);
        break;
    }
}

bool UIApplication::sendAction(const runtime::Sel& action, const Id& target, const Id& sender)
{
    if (action.isNull())
        return false;
    if (target) {
        sendActionToTarget(action, target, sender);
        return true;
    }
    Id responder = UIResponder::currentFirstResponder();
    while (responder) {
        if (runtime::respondsTo(responder, action)) {
            sendActionToTarget(action, responder, sender);
            return true;
        }
        auto current = runtime::cast<UIResponder>(responder);
        responder = current ? current->nextResponder() : runtime::nil;
    }
    return false;
}

Ref<UIApplication> launchApplication(std::string_view principalClassName, std::string_view delegateClassName, SharedApplication shared)
{
    std::string_view principal = principalClassName.empty() ? std::string_view("UIApplication") : principalClassName;
    runtime::Class* cls = runtime::classNamed(principal);
    if (!cls) {
        runtime::reportDiagnostic("UIApplicationMain: no application class " + std::string(principal));
        return nullptr;
    }
    auto application = runtime::cast<UIApplication>(runtime::send<Id>(runtime::send<Id>(cls, "alloc"), "init"));
    if (!application) {
        runtime::reportDiagnostic("UIApplicationMain: " + std::string(principal) + " is not an application class");
        return nullptr;
    }
    if (shared == SharedApplication::Install)
        UIApplication::setSharedApplication(application);
    Id delegate;
    if (delegateClassName == principal) {
        delegate = application;
    } else if (runtime::Class* delegateClass = runtime::classNamed(delegateClassName)) {
        delegate = runtime::send<Id>(runtime::send<Id>(delegateClass, "alloc"), "init");
        application->m_ownedDelegate = delegate;
    }
    application->m_delegate = delegate;
    if (runtime::respondsTo(delegate, "applicationDidFinishLaunching:"))
        runtime::send(delegate, "applicationDidFinishLaunching:", Id(application));
    return application;
}

int UIApplicationMain(int, char**, std::string_view principalClassName, std::string_view delegateClassName)
{
    if (!launchApplication(principalClassName, delegateClassName))
        return 1;
    foundation::RunLoop::main().run();
    return 0;
}

} // namespace uikit
