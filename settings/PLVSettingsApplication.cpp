#include "PLVSettingsApplication.h"

#include <uikit/UIScreen.h>

namespace plvsettings {

using runtime::Id;
using namespace uikit;

void PLVSettingsApplication::registerMethods(runtime::ClassBuilder<PLVSettingsApplication>& b)
{
    b.method<&PLVSettingsApplication::applicationDidFinishLaunching>("applicationDidFinishLaunching:");
    b.method("window", [](PLVSettingsApplication& self) -> Id { return self.window(); });
    b.method("navC", [](PLVSettingsApplication& self) -> Id { return self.navC(); });
}

void PLVSettingsApplication::applicationDidFinishLaunching(const Id&)
{
    if (m_window)
        return;
    m_window = makeView<UIWindow>(UIScreen::mainScreen()->bounds());
    m_window->setName("plvSettings");
    m_rootViewController = runtime::cast<RootViewController>(runtime::send<Id>(runtime::send<Id>(RootViewController::classObject(), "alloc"), "init"));
    m_navC = runtime::cast<UINavigationController>(runtime::send<Id>(runtime::send<Id>(UINavigationController::classObject(), "alloc"), "initWithRootViewController:", Id(m_rootViewController)));
    m_window->addSubview(m_navC->view());
    m_window->makeKeyAndVisible();
}

} // namespace plvsettings
