#include "UIScreen.h"

#include "UIKitContext.h"

#include <algorithm>
#include <cmath>

namespace uikit {

void UIScreen::registerMethods(runtime::ClassBuilder<UIScreen>& b)
{
    b.classMethod("mainScreen", [](runtime::Class&) -> runtime::Id { return mainScreen(); });
    b.method<&UIScreen::bounds>("bounds");
    b.method<&UIScreen::applicationFrame>("applicationFrame");
    b.method<&UIScreen::scale>("scale");
}

runtime::Ref<UIScreen> UIScreen::mainScreen()
{
    auto& context = uikitContext();
    if (!context.mainScreen)
        context.mainScreen = runtime::make<UIScreen>();
    return context.mainScreen;
}

CGRect UIScreen::applicationFrame() const
{
    double bar = std::min(m_statusBarHeight, m_size.height);
    return CGRectMake(0, bar, m_size.width, m_size.height - bar);
}

void UIScreen::setSize(const CGSize& size)
{
    if (std::isfinite(size.width) && std::isfinite(size.height) && size.width >= 0 && size.height >= 0)
        m_size = size;
}

void UIScreen::setStatusBarHeight(double height)
{
    if (std::isfinite(height) && height >= 0)
        m_statusBarHeight = height;
}

} // namespace uikit
