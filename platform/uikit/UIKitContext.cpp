#include "UIKitContext.h"

#include "UIWindow.h"

#include <algorithm>

namespace uikit {

UIKitContext& uikitContext()
{
    static auto* context = new UIKitContext;
    return *context;
}

void resetUIKit()
{
    // Swap first: destroying the old objects may run code that looks at the context.
    UIKitContext old;
    std::swap(old, uikitContext());
}

std::vector<runtime::Ref<UIWindow>> visibleWindows()
{
    auto& context = uikitContext();
    std::erase_if(context.windows, [](const runtime::Weak<UIWindow>& w) { return w.expired(); });
    std::vector<runtime::Ref<UIWindow>> visible;
    for (auto& weak : context.windows) {
        auto window = weak.lock();
        if (window && !window->isHidden())
            visible.push_back(window);
    }
    std::stable_sort(visible.begin(), visible.end(), [](const auto& a, const auto& b) {
        if (a->windowLevel() != b->windowLevel())
            return a->windowLevel() < b->windowLevel();
        return a->orderSequence() < b->orderSequence();
    });
    return visible;
}

} // namespace uikit
