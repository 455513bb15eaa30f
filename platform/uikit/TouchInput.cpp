#include "TouchInput.h"

#include "Keyboard.h"
#include "UIGestureRecognizer.h"
#include "UIKitContext.h"
#include "UIScrollView.h"
#include "UISlider.h"
#include "UIWindow.h"

#include <cmath>

namespace uikit {

using runtime::Ref;

namespace {

    constexpr double PanThreshold = 10;

    template <class Recognizer>
    std::vector<Ref<Recognizer>> candidates(const Ref<UIView>& view)
    {
        std::vector<Ref<Recognizer>> list;
        for (auto current = view; current; current = current->superview()) {
            auto recognizers = current->gestureRecognizers();
            for (auto& recognizer : recognizers) {
                auto typed = runtime::cast<Recognizer>(recognizer);
                if (typed && typed->isEnabled() && typed->view() == current && typed->delegateAllowsTouch())
                    list.push_back(typed);
            }
        }
        return list;
    }

    // The first recogniser that may begin wins; others join it only when a
    // delegate lets them recognise together.
    template <class Recognizer>
    std::vector<Ref<Recognizer>> winners(const std::vector<Ref<Recognizer>>& list)
    {
        std::vector<Ref<Recognizer>> chosen;
        for (auto& recognizer : list) {
            if (!chosen.empty() && !chosen.front()->canRecognizeSimultaneouslyWith(*recognizer))
                continue;
            if (recognizer->delegateAllowsBegin())
                chosen.push_back(recognizer);
        }
        return chosen;
    }

    bool onKeyboard(const CGPoint& point) { return isKeyboardVisible() && CGRectContainsPoint(keyboardFrame(), point); }

} // namespace

void layOutVisibleWindows()
{
    for (auto& window : visibleWindows())
        window->layoutIfNeeded();
}

Ref<UIView> hitTestScreen(const CGPoint& point)
{
    if (!std::isfinite(point.x) || !std::isfinite(point.y) || onKeyboard(point))
        return nullptr;
    layOutVisibleWindows();
    auto windows = visibleWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        auto& window = *it;
        if (auto hit = window->hitTest(window->convertPointFromScreen(point)))
            return hit;
    }
    return nullptr;
}

Ref<UIView> tapScreen(const CGPoint& point, int64_t tapCount)
{
    auto view = hitTestScreen(point);
    if (!view)
        return nullptr;
    bool cancelled = false;
    auto taps = candidates<UITapGestureRecognizer>(view);
    std::erase_if(taps, [&](const auto& tap) { return tap->numberOfTapsRequired() != tapCount; });
    for (auto& tap : winners(taps)) {
        if (!tap->view())
            continue; // an earlier action took it off its view
        tap->setTouchLocation(point, false);
        tap->transitionTo(UIGestureRecognizerStateEnded);
        tap->reset();
        cancelled = cancelled || tap->cancelsTouchesInView();
    }
    if (cancelled)
        return view;
    for (auto current = view; current; current = current->superview()) {
        if (current->handleTap(current->convertPointFromScreen(point)))
            break;
    }
    return view;
}

bool dragScreen(const CGPoint& from, const CGPoint& to, double seconds, int steps)
{
    if (!std::isfinite(to.x) || !std::isfinite(to.y))
        return false;
    double distance = std::hypot(to.x - from.x, to.y - from.y);
    if (distance < PanThreshold)
        return tapScreen(from) != nullptr;
    auto view = hitTestScreen(from);
    if (!view)
        return false;
    double duration = std::isfinite(seconds) && seconds > 0 ? seconds : 0.001;
    steps = std::max(1, steps);
    CGPoint velocity { (to.x - from.x) / duration, (to.y - from.y) / duration };
    bool taken = false;

    for (auto& swipe : winners(candidates<UISwipeGestureRecognizer>(view))) {
        if (!swipe->matches(from, to, duration) || !swipe->view())
            continue;
        swipe->setTouchLocation(to, false);
        swipe->transitionTo(UIGestureRecognizerStateEnded);
        swipe->reset();
        taken = true;
    }

    auto pans = winners(candidates<UIPanGestureRecognizer>(view));
    for (auto& pan : pans)
        pan->beginPan(from);
    for (int step = 1; step <= steps && !pans.empty(); ++step) {
        double t = static_cast<double>(step) / steps;
        CGPoint point { from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t };
        for (auto& pan : pans) {
            // A recogniser taken off its view (or disabled) by an earlier callback hears no more.
            if (!pan->view() || !pan->isEnabled())
                continue;
            pan->setTouchLocation(point, true);
            pan->setScreenVelocity(velocity);
            pan->transitionTo(step == 1 ? UIGestureRecognizerStateBegan : UIGestureRecognizerStateChanged);
        }
    }
    for (auto& pan : pans) {
        if (!pan->view() || !pan->isEnabled())
            continue;
        pan->setTouchLocation(to, false);
        pan->transitionTo(UIGestureRecognizerStateEnded);
        pan->reset();
        taken = true;
    }
    if (taken || !pans.empty())
        return true;

    for (auto current = view; current; current = current->superview()) {
        if (auto slider = runtime::cast<UISlider>(current); slider && slider->isEnabled()) {
            slider->trackTo(slider->convertPointFromScreen(to));
            return true;
        }
        if (auto scroll = runtime::cast<UIScrollView>(current); scroll && scroll->isScrollEnabled()) {
            CGPoint a = scroll->convertPointFromScreen(from);
            CGPoint b = scroll->convertPointFromScreen(to);
            CGPoint translation { b.x - a.x, b.y - a.y };
            scroll->scrollByDragging(translation);
            return true;
        }
    }
    return false;
}

} // namespace uikit
