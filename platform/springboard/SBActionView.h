// A plain view that runs a piece of host code when it is tapped: the home
// screen's icons and the rows of the built-in applications' lists. The
// extensions never see these; they are SpringBoard's own furniture.
#pragma once

#include <uikit/UIView.h>

#include <functional>

namespace springboard {

class SBActionView : public uikit::UIView {
    PLV_CLASS(SBActionView, uikit::UIView)
public:
    static runtime::Ref<SBActionView> make(const uikit::CGRect& frame, std::string name, std::function<void()> action);

    bool handleTap(const uikit::CGPoint&) override;

private:
    std::function<void()> m_action;
};

} // namespace springboard
