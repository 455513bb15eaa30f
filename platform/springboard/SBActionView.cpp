#include "SBActionView.h"

namespace springboard {

runtime::Ref<SBActionView> SBActionView::make(const uikit::CGRect& frame, std::string name, std::function<void()> action)
{
    auto view = uikit::makeView<SBActionView>(frame);
    view->setName(std::move(name));
    view->m_action = std::move(action);
    return view;
}

bool SBActionView::handleTap(const uikit::CGPoint&)
{
    if (!m_action)
        return false;
    // The action may tear down the screen this view sits on.
    auto keepAlive = selfAs<SBActionView>();
    auto action = m_action;
    action();
    return true;
}

} // namespace springboard
