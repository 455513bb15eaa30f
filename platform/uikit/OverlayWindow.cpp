#include "OverlayWindow.h"

#include "UIKitContext.h"
#include "UIScreen.h"

#include <algorithm>

namespace uikit {

runtime::Ref<UIWindow> showInOverlayWindow(const runtime::Ref<UIView>& content)
{
    auto window = runtime::make<UIWindow>();
    window->setFrame(UIScreen::mainScreen()->bounds());
    window->setWindowLevel(UIWindowLevelAlert);
    window->setBackgroundColor(UIColor::colorWithWhite(0, 0.4));
    window->addSubview(content);
    window->setHidden(false);
    uikitContext().overlayWindows.push_back(window);
    return window;
}

void closeOverlayWindow(const UIView& content)
{
    auto window = content.window();
    if (!window)
        return;
    auto& overlays = uikitContext().overlayWindows;
    auto it = std::find(overlays.begin(), overlays.end(), window);
    if (it == overlays.end())
        return;
    window->setHidden(true);
    const_cast<UIView&>(content).removeFromSuperview();
    overlays.erase(it);
}

} // namespace uikit
