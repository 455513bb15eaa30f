#include "UIGestureRecognizer.h"

#include "UIView.h"
#include "UIWindow.h"

#include <algorithm>
#include <cmath>

namespace uikit {

using runtime::Id;

namespace {

    const UIView* referenceView(const UIView* view, const UIGestureRecognizer& recognizer, runtime::Ref<UIView>& holder)
    {
        if (view)
            return view;
        if (auto own = recognizer.view())
            holder = own->window();
        return holder.get();
    }

    CGPoint fromScreen(const UIView* view, const CGPoint& p) { return view ? view->convertPointFromScreen(p) : p; }
    CGPoint toScreen(const UIView* view, const CGPoint& p) { return view ? view->convertPointToScreen(p) : p; }
    const UIView* viewArgument(const Id& object) { return dynamic_cast<const UIView*>(object.get()); }

} // namespace

void UIGestureRecognizer::registerMethods(runtime::ClassBuilder<UIGestureRecognizer>& b)
{
    b.method<&UIGestureRecognizer::initWithTarget>("initWithTarget:action:");
    b.method<&UIGestureRecognizer::addTarget>("addTarget:action:");
    b.method<&UIGestureRecognizer::removeTarget>("removeTarget:action:");
    b.method("view", [](UIGestureRecognizer& self) -> Id { return self.view(); });
    b.method<&UIGestureRecognizer::state>("state");
    b.method<&UIGestureRecognizer::isEnabled>("isEnabled");
    b.method<&UIGestureRecognizer::setEnabled>("setEnabled:");
    b.method<&UIGestureRecognizer::delegate>("delegate");
    b.method<&UIGestureRecognizer::setDelegate>("setDelegate:");
    b.method<&UIGestureRecognizer::cancelsTouchesInView>("cancelsTouchesInView");
    b.method<&UIGestureRecognizer::setCancelsTouchesInView>("setCancelsTouchesInView:");
    b.method<&UIGestureRecognizer::numberOfTouches>("numberOfTouches");
    b.method("locationInView:", [](UIGestureRecognizer& self, const Id& view) -> CGPoint { return self.locationInView(viewArgument(view)); });
}

Id UIGestureRecognizer::initWithTarget(const Id& target, const runtime::Sel& action)
{
    addTarget(target, action);
    return self();
}

void UIGestureRecognizer::addTarget(const Id& target, const runtime::Sel& action)
{
    if (!target || action.isNull())
        return;
    for (auto& entry : m_targets) {
        if (entry.action == action && entry.target.lock() == target)
            return;
    }
    m_targets.push_back({ target, action });
}

void UIGestureRecognizer::removeTarget(const Id& target, const runtime::Sel& action)
{
    std::erase_if(m_targets, [&](const Target& entry) {
        auto current = entry.target.lock();
        return !current || ((!target || current == target) && (action.isNull() || entry.action == action));
    });
}

void UIGestureRecognizer::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (!enabled)
        reset();
}

void UIGestureRecognizer::attachToView(const runtime::Ref<UIView>& view)
{
    m_view = view;
    reset();
}

CGPoint UIGestureRecognizer::locationInView(const UIView* view) const
{
    runtime::Ref<UIView> holder;
    return fromScreen(referenceView(view, *this, holder), m_screenLocation);
}

bool UIGestureRecognizer::delegateAllowsTouch()
{
    Id delegate = m_delegate.lock();
    return !runtime::respondsTo(delegate, "gestureRecognizer:shouldReceiveTouch:") || runtime::send<bool>(delegate, "gestureRecognizer:shouldReceiveTouch:", self(), runtime::nil);
}

bool UIGestureRecognizer::delegateAllowsBegin()
{
    Id delegate = m_delegate.lock();
    return !runtime::respondsTo(delegate, "gestureRecognizerShouldBegin:") || runtime::send<bool>(delegate, "gestureRecognizerShouldBegin:", self());
}

bool UIGestureRecognizer::canRecognizeSimultaneouslyWith(UIGestureRecognizer& other)
{
    static const char* selector = "gestureRecognizer:shouldRecognizeSimultaneouslyWithGestureRecognizer:";
    Id delegate = m_delegate.lock();
    if (runtime::respondsTo(delegate, selector) && runtime::send<bool>(delegate, selector, self(), other.self()))
        return true;
    Id otherDelegate = other.m_delegate.lock();
    return runtime::respondsTo(otherDelegate, selector) && runtime::send<bool>(otherDelegate, selector, other.self(), self());
}

void UIGestureRecognizer::setTouchLocation(const CGPoint& screenPoint, bool touching)
{
    m_screenLocation = screenPoint;
    m_touching = touching;
}

void UIGestureRecognizer::transitionTo(int64_t state)
{
    m_state = state;
    auto keepAlive = self();
    auto targets = m_targets; // an action may remove targets or the recogniser itself
    for (auto& entry : targets) {
        Id target = entry.target.lock();
        if (!target)
            continue;
        if (entry.action.argumentCount() == 0)
            runtime::send(target, entry.action);
        else
            runtime::send(target, entry.action, keepAlive);
    }
}

void UIGestureRecognizer::reset()
{
    m_state = UIGestureRecognizerStatePossible;
    m_touching = false;
}

// MARK: Tap

void UITapGestureRecognizer::registerMethods(runtime::ClassBuilder<UITapGestureRecognizer>& b)
{
    b.method<&UITapGestureRecognizer::numberOfTapsRequired>("numberOfTapsRequired");
    b.method<&UITapGestureRecognizer::setNumberOfTapsRequired>("setNumberOfTapsRequired:");
    b.method<&UITapGestureRecognizer::numberOfTouchesRequired>("numberOfTouchesRequired");
    b.method<&UITapGestureRecognizer::setNumberOfTouchesRequired>("setNumberOfTouchesRequired:");
}

// MARK: Pan

void UIPanGestureRecognizer::registerMethods(runtime::ClassBuilder<UIPanGestureRecognizer>& b)
{
    b.method("translationInView:", [](UIPanGestureRecognizer& self, const Id& view) -> CGPoint { return self.translationInView(viewArgument(view)); });
    b.method("setTranslation:inView:", [](UIPanGestureRecognizer& self, const CGPoint& t, const Id& view) { self.setTranslation(t, viewArgument(view)); });
    b.method("velocityInView:", [](UIPanGestureRecognizer& self, const Id& view) -> CGPoint { return self.velocityInView(viewArgument(view)); });
    b.method<&UIPanGestureRecognizer::minimumNumberOfTouches>("minimumNumberOfTouches");
    b.method<&UIPanGestureRecognizer::setMinimumNumberOfTouches>("setMinimumNumberOfTouches:");
    b.method<&UIPanGestureRecognizer::maximumNumberOfTouches>("maximumNumberOfTouches");
    b.method<&UIPanGestureRecognizer::setMaximumNumberOfTouches>("setMaximumNumberOfTouches:");
}

void UIPanGestureRecognizer::beginPan(const CGPoint& screenStart)
{
    m_screenBase = screenStart;
    m_screenVelocity = {};
}

CGPoint UIPanGestureRecognizer::translationInView(const UIView* view) const
{
    runtime::Ref<UIView> holder;
    const UIView* reference = referenceView(view, *this, holder);
    CGPoint now = fromScreen(reference, touchLocationOnScreen());
    CGPoint base = fromScreen(reference, m_screenBase);
    return { now.x - base.x, now.y - base.y };
}

void UIPanGestureRecognizer::setTranslation(const CGPoint& translation, const UIView* view)
{
    if (!std::isfinite(translation.x) || !std::isfinite(translation.y))
        return;
    runtime::Ref<UIView> holder;
    const UIView* reference = referenceView(view, *this, holder);
    CGPoint now = fromScreen(reference, touchLocationOnScreen());
    m_screenBase = toScreen(reference, { now.x - translation.x, now.y - translation.y });
}

CGPoint UIPanGestureRecognizer::velocityInView(const UIView* view) const
{
    runtime::Ref<UIView> holder;
    const UIView* reference = referenceView(view, *this, holder);
    CGPoint origin = touchLocationOnScreen();
    CGPoint a = fromScreen(reference, origin);
    CGPoint b = fromScreen(reference, { origin.x + m_screenVelocity.x, origin.y + m_screenVelocity.y });
    return { b.x - a.x, b.y - a.y };
}

// MARK: Swipe

void UISwipeGestureRecognizer::registerMethods(runtime::ClassBuilder<UISwipeGestureRecognizer>& b)
{
    b.method<&UISwipeGestureRecognizer::direction>("direction");
    b.method<&UISwipeGestureRecognizer::setDirection>("setDirection:");
}

bool UISwipeGestureRecognizer::matches(const CGPoint& from, const CGPoint& to, double seconds) const
{
    // Far enough, fast enough and mostly along one axis, as the phone asks of a swipe.
    double dx = to.x - from.x, dy = to.y - from.y;
    double distance = std::hypot(dx, dy);
    if (distance < 50 || seconds <= 0 || distance / seconds < 200)
        return false;
    int64_t direction = 0;
    if (std::fabs(dx) >= 2 * std::fabs(dy))
        direction = dx > 0 ? UISwipeGestureRecognizerDirectionRight : UISwipeGestureRecognizerDirectionLeft;
    else if (std::fabs(dy) >= 2 * std::fabs(dx))
        direction = dy > 0 ? UISwipeGestureRecognizerDirectionDown : UISwipeGestureRecognizerDirectionUp;
    return direction && (m_direction & direction);
}

} // namespace uikit
