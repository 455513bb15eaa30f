// The running application: the shared instance, its windows and key window,
// opening URLs, and the status bar orientation. SpringBoard is a subclass that
// installs itself as the shared instance (`setSharedApplication`); other
// applications are launched by class name (`launchApplication`, which is what
// the platform's application main does), those SpringBoard hosts in its own
// process without replacing it.
#pragma once

#include "UIKitTypes.h"
#include "UIResponder.h"

#include <string>
#include <string_view>
#include <vector>

namespace uikit {

class UIWindow;

// Whether a launched application becomes the process's shared application.
// An application SpringBoard hosts in its own process keeps SpringBoard as
// the shared one; on the phone each would have a process of its own.
enum class SharedApplication {
    Install,
    Keep,
};

class UIApplication : public UIResponder {
    PLV_CLASS(UIApplication, UIResponder)
public:
    static void registerMethods(runtime::ClassBuilder<UIApplication>&);

    // The shared application; a plain UIApplication until another is installed.
    static runtime::Ref<UIApplication> sharedApplication();
    static void setSharedApplication(runtime::Ref<UIApplication>);

    runtime::Ref<UIWindow> keyWindow() const;
    // Visible windows from the back to the front.
    std::vector<runtime::Id> windows() const;

    // The delegate is held weakly; `launchApplication` keeps the one it made.
    runtime::Id delegate() const { return m_delegate.lock(); }
    void setDelegate(const runtime::Id&);

    // The base application records the URL and answers YES for a non-empty one;
    // SpringBoard answers for itself.
    virtual bool openURL(const std::string& url);
    virtual bool canOpenURL(const std::string& url) const { return !url.empty(); }
    const std::vector<std::string>& openedURLs() const { return m_openedURLs; }

    int64_t statusBarOrientation() const { return m_statusBarOrientation; }
    void setStatusBarOrientation(int64_t);

    // Sends a control's action: to the target, or along the responder chain
    // from the first responder when the target is nil. Answers whether someone took it.
    bool sendAction(const runtime::Sel& action, const runtime::Id& target, const runtime::Id& sender);

    runtime::Id nextResponder() const override;

private:
    runtime::WeakId m_delegate;
    runtime::Id m_ownedDelegate;
    std::vector<std::string> m_openedURLs;
    int64_t m_statusBarOrientation { UIInterfaceOrientationPortrait };

    friend runtime::Ref<UIApplication> launchApplication(std::string_view, std::string_view, SharedApplication);
};

// Makes the application of the named class (UIApplication when empty) and its
// delegate (the application itself when the names agree), installs it as the
// shared application unless told to keep the current one, and sends the
// delegate `applicationDidFinishLaunching:`. nil when the principal class is
// missing or is not an application.
runtime::Ref<UIApplication> launchApplication(std::string_view principalClassName, std::string_view delegateClassName,
    SharedApplication = SharedApplication::Install);
// The platform's application main: launches, then turns the main run loop until it stops.
int UIApplicationMain(int argc, char** argv, std::string_view principalClassName, std::string_view delegateClassName);

// Sends `action` to `target` with as many of (sender, event) as the selector takes.
void sendActionToTarget(const runtime::Sel& action, const runtime::Id& target, const runtime::Id& sender);

} // namespace uikit
