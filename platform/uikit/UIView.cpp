#include "UIView.h"

#include "UIGestureRecognizer.h"
#include "UIKitContext.h"
#include "UIViewController.h"
#include "UIWindow.h"
#include "ViewAnimation.h"

#include <algorithm>
#include <cmath>
#include <fmt/format.h>

namespace uikit {

using runtime::Class;
using runtime::Id;
using runtime::Ref;

namespace {

    bool finite(const CGRect& r)
    {
        return std::isfinite(r.origin.x) && std::isfinite(r.origin.y) && std::isfinite(r.size.width) && std::isfinite(r.size.height);
    }

    bool finite(const CGPoint& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

    std::vector<Id> toIds(const auto& refs) { return std::vector<Id>(refs.begin(), refs.end()); }

    Ref<UIView> asView(const Id& object) { return runtime::cast<UIView>(object); }

} // namespace

void UIView::registerMethods(runtime::ClassBuilder<UIView>& b)
{
    b.method("init", [](UIView& self) -> Id { return runtime::send<Id>(&self, "initWithFrame:", CGRectZero); });
    b.method<&UIView::initWithFrame>("initWithFrame:");
    b.method<&UIView::frame>("frame");
    b.method<&UIView::setFrame>("setFrame:");
    b.method<&UIView::bounds>("bounds");
    b.method<&UIView::setBounds>("setBounds:");
    b.method<&UIView::center>("center");
    b.method<&UIView::setCenter>("setCenter:");
    b.method<&UIView::transform>("transform");
    b.method<&UIView::setTransform>("setTransform:");
    b.method("backgroundColor", [](UIView& self) -> Id { return self.backgroundColor(); });
    b.method("setBackgroundColor:", [](UIView& self, const Id& color) { self.setBackgroundColor(runtime::cast<UIColor>(color)); });
    b.method("layer", [](UIView& self) -> Id { return self.layer(); });
    b.method<&UIView::isHidden>("isHidden");
    b.method<&UIView::setHidden>("setHidden:");
    b.method<&UIView::alpha>("alpha");
    b.method<&UIView::setAlpha>("setAlpha:");
    b.method<&UIView::contentMode>("contentMode");
    b.method<&UIView::setContentMode>("setContentMode:");
    b.method<&UIView::isUserInteractionEnabled>("isUserInteractionEnabled");
    b.method<&UIView::setUserInteractionEnabled>("setUserInteractionEnabled:");
    b.method<&UIView::clipsToBounds>("clipsToBounds");
    b.method<&UIView::setClipsToBounds>("setClipsToBounds:");
    b.method<&UIView::tag>("tag");
    b.method<&UIView::setTag>("setTag:");
    b.method<&UIView::autoresizingMask>("autoresizingMask");
    b.method<&UIView::setAutoresizingMask>("setAutoresizingMask:");
    b.method("accessibilityIdentifier", [](UIView& self) -> std::string { return self.name().value_or(""); });
    b.method("setAccessibilityIdentifier:", [](UIView& self, const std::string& name) {
        self.setName(name.empty() ? std::nullopt : std::optional<std::string>(name));
    });
    b.method("superview", [](UIView& self) -> Id { return self.superview(); });
    b.method("subviews", [](UIView& self) -> std::vector<Id> { return toIds(self.subviews()); });
    b.method("window", [](UIView& self) -> Id { return self.window(); });
    b.method("isDescendantOfView:", [](UIView& self, const Id& view) -> bool { return self.isDescendantOfView(asView(view).get()); });
    b.method("addSubview:", [](UIView& self, const Id& view) { self.addSubview(asView(view)); });
    b.method("insertSubview:atIndex:", [](UIView& self, const Id& view, int64_t index) { self.insertSubviewAtIndex(asView(view), index); });
    b.method("insertSubview:aboveSubview:", [](UIView& self, const Id& view, const Id& sibling) { self.insertSubviewAboveSubview(asView(view), asView(sibling)); });
    b.method("insertSubview:belowSubview:", [](UIView& self, const Id& view, const Id& sibling) { self.insertSubviewBelowSubview(asView(view), asView(sibling)); });
    b.method("bringSubviewToFront:", [](UIView& self, const Id& view) { self.bringSubviewToFront(asView(view)); });
    b.method("sendSubviewToBack:", [](UIView& self, const Id& view) { self.sendSubviewToBack(asView(view)); });
    b.method<&UIView::removeFromSuperview>("removeFromSuperview");
    b.method("viewWithTag:", [](UIView& self, int64_t tag) -> Id { return self.viewWithTag(tag); });
    b.method("convertPoint:toView:", [](UIView& self, const CGPoint& p, const Id& view) -> CGPoint { return self.convertPointToView(p, asView(view).get()); });
    b.method("convertPoint:fromView:", [](UIView& self, const CGPoint& p, const Id& view) -> CGPoint { return self.convertPointFromView(p, asView(view).get()); });
    b.method("convertRect:toView:", [](UIView& self, const CGRect& r, const Id& view) -> CGRect { return self.convertRectToView(r, asView(view).get()); });
    b.method("convertRect:fromView:", [](UIView& self, const CGRect& r, const Id& view) -> CGRect { return self.convertRectFromView(r, asView(view).get()); });
    b.method("hitTest:withEvent:", [](UIView& self, const CGPoint& p, const Id&) -> Id { return self.hitTest(p); });
    b.method("pointInside:withEvent:", [](UIView& self, const CGPoint& p, const Id&) -> bool { return self.pointInside(p); });
    b.method("addGestureRecognizer:", [](UIView& self, const Id& g) { self.addGestureRecognizer(runtime::cast<UIGestureRecognizer>(g)); });
    b.method("removeGestureRecognizer:", [](UIView& self, const Id& g) { self.removeGestureRecognizer(runtime::cast<UIGestureRecognizer>(g)); });
    b.method("gestureRecognizers", [](UIView& self) -> std::vector<Id> { return toIds(self.gestureRecognizers()); });
    b.method<&UIView::setNeedsLayout>("setNeedsLayout");
    b.method<&UIView::layoutIfNeeded>("layoutIfNeeded");
    b.method<&UIView::layoutSubviews>("layoutSubviews");
    b.method<&UIView::setNeedsDisplay>("setNeedsDisplay");
    b.method<&UIView::sizeThatFits>("sizeThatFits:");
    b.method<&UIView::sizeToFit>("sizeToFit");
    b.method<&UIView::endEditing>("endEditing:");
    b.classMethod("animateWithDuration:animations:", [](Class&, double duration, const AnimationBlock& animations) {
        animateWithDuration(duration, animations);
    });
    b.classMethod("animateWithDuration:animations:completion:", [](Class&, double duration, const AnimationBlock& animations, const AnimationCompletion& completion) {
        animateWithDuration(duration, animations, completion);
    });
    b.classMethod("animateWithDuration:delay:options:animations:completion:", [](Class&, double duration, double delay, int64_t, const AnimationBlock& animations, const AnimationCompletion& completion) {
        animateWithDuration(duration, animations, completion, delay);
    });
}

Id UIView::initWithFrame(const CGRect& frame)
{
    setFrame(frame);
    return self();
}

// MARK: Geometry

CGAffineTransform UIView::toSuperviewTransform() const
{
    CGPoint boundsCenter { m_bounds.midX(), m_bounds.midY() };
    auto toCenter = CGAffineTransformMakeTranslation(-boundsCenter.x, -boundsCenter.y);
    return CGAffineTransformConcat(CGAffineTransformConcat(toCenter, m_transform), CGAffineTransformMakeTranslation(m_center.x, m_center.y));
}

CGRect UIView::frame() const
{
    if (CGAffineTransformIsIdentity(m_transform))
        return CGRectMake(m_center.x - m_bounds.size.width / 2, m_center.y - m_bounds.size.height / 2, m_bounds.size.width, m_bounds.size.height);
    return CGRectApplyAffineTransform(m_bounds, toSuperviewTransform());
}

void UIView::setFrame(const CGRect& requested)
{
    if (!finite(requested))
        return;
    CGRect frame = CGRectStandardize(requested);
    CGSize old = m_bounds.size;
    CGSize size = frame.size;
    if (!CGAffineTransformIsIdentity(m_transform)) {
        // Solve for the bounds whose transformed box is the frame; exact for quarter turns.
        double a = std::fabs(m_transform.a), b = std::fabs(m_transform.b), c = std::fabs(m_transform.c), d = std::fabs(m_transform.d);
        double det = a * d - c * b;
        if (std::fabs(det) > 1e-12) {
            size.width = std::max(0.0, (frame.size.width * d - c * frame.size.height) / det);
            size.height = std::max(0.0, (a * frame.size.height - b * frame.size.width) / det);
        } else {
            size = m_bounds.size;
        }
    }
    m_center = { frame.midX() - m_transform.tx, frame.midY() - m_transform.ty };
    m_bounds.size = size;
    noteAnimatedChange(*this, AnimatedProperty::Position);
    noteAnimatedChange(*this, AnimatedProperty::Bounds);
    noteSizeChange(old);
}

void UIView::setBounds(const CGRect& bounds)
{
    if (!finite(bounds))
        return;
    CGSize old = m_bounds.size;
    m_bounds = { bounds.origin, { std::fabs(bounds.size.width), std::fabs(bounds.size.height) } };
    noteAnimatedChange(*this, AnimatedProperty::Bounds);
    noteSizeChange(old);
}

void UIView::setCenter(const CGPoint& center)
{
    if (!finite(center))
        return;
    m_center = center;
    noteAnimatedChange(*this, AnimatedProperty::Position);
}

void UIView::setTransform(const CGAffineTransform& transform)
{
    if (!std::isfinite(transform.a) || !std::isfinite(transform.b) || !std::isfinite(transform.c) || !std::isfinite(transform.d) || !std::isfinite(transform.tx) || !std::isfinite(transform.ty))
        return;
    m_transform = transform;
    noteAnimatedChange(*this, AnimatedProperty::Transform);
}

void UIView::noteSizeChange(const CGSize& old)
{
    if (old != m_bounds.size)
        setNeedsLayout();
}

// MARK: Appearance

void UIView::setBackgroundColor(Ref<UIColor> color)
{
    m_backgroundColor = std::move(color);
    noteAnimatedChange(*this, AnimatedProperty::BackgroundColor);
}

Ref<CALayer> UIView::layer()
{
    if (!m_layer)
        m_layer = runtime::make<CALayer>();
    return m_layer;
}

void UIView::setHidden(bool hidden) { m_hidden = hidden; }

void UIView::setAlpha(double alpha)
{
    m_alpha = std::isnan(alpha) ? 0 : std::clamp(alpha, 0.0, 1.0);
    noteAnimatedChange(*this, AnimatedProperty::Alpha);
}

void UIView::setName(std::optional<std::string> name) { m_name = std::move(name); }

// MARK: The tree

Ref<UIWindow> UIView::window() const
{
    const UIView* view = this;
    while (true) {
        auto parent = view->superview();
        if (!parent)
            break;
        view = parent.get();
    }
    auto* window = dynamic_cast<const UIWindow*>(view);
    return window ? std::static_pointer_cast<UIWindow>(const_cast<UIWindow*>(window)->shared_from_this()) : nullptr;
}

bool UIView::isDescendantOfView(const UIView* ancestor) const
{
    if (!ancestor)
        return false;
    for (auto view = const_cast<UIView*>(this)->selfAs<UIView>(); view; view = view->superview()) {
        if (view.get() == ancestor)
            return true;
    }
    return false;
}

void UIView::insertSubviewAt(const Ref<UIView>& view, size_t index)
{
    if (!view)
        return;
    if (view.get() == this || isDescendantOfView(view.get())) {
        runtime::reportDiagnostic("-[" + runtimeClassName() + " addSubview:]: refused, the view is this view or one of its ancestors");
        return;
    }
    auto keepAlive = view;
    if (view->superview().get() == this) {
        auto& list = m_subviews;
        auto it = std::find(list.begin(), list.end(), view);
        size_t current = static_cast<size_t>(it - list.begin());
        list.erase(it);
        if (index > current)
            --index;
        list.insert(list.begin() + static_cast<ptrdiff_t>(std::min(index, list.size())), view);
        return;
    }
    if (view->superview())
        view->removeFromSuperview();
    m_subviews.insert(m_subviews.begin() + static_cast<ptrdiff_t>(std::min(index, m_subviews.size())), view);
    view->m_superview = selfAs<UIView>();
    view->notifyWindowChange();
}

void UIView::addSubview(const Ref<UIView>& view)
{
    if (view && view->superview().get() == this) {
        bringSubviewToFront(view);
        return;
    }
    insertSubviewAt(view, m_subviews.size());
}

void UIView::insertSubviewAtIndex(const Ref<UIView>& view, int64_t index)
{
    insertSubviewAt(view, static_cast<size_t>(std::max<int64_t>(index, 0)));
}

void UIView::insertSubviewAboveSubview(const Ref<UIView>& view, const Ref<UIView>& sibling)
{
    auto it = std::find(m_subviews.begin(), m_subviews.end(), sibling);
    if (it == m_subviews.end()) {
        addSubview(view);
        return;
    }
    insertSubviewAt(view, static_cast<size_t>(it - m_subviews.begin()) + 1);
}

void UIView::insertSubviewBelowSubview(const Ref<UIView>& view, const Ref<UIView>& sibling)
{
    auto it = std::find(m_subviews.begin(), m_subviews.end(), sibling);
    if (it == m_subviews.end()) {
        addSubview(view);
        return;
    }
    insertSubviewAt(view, static_cast<size_t>(it - m_subviews.begin()));
}

void UIView::bringSubviewToFront(const Ref<UIView>& view)
{
    auto it = std::find(m_subviews.begin(), m_subviews.end(), view);
    if (it == m_subviews.end())
        return;
    auto keep = *it;
    m_subviews.erase(it);
    m_subviews.push_back(keep);
}

void UIView::sendSubviewToBack(const Ref<UIView>& view)
{
    auto it = std::find(m_subviews.begin(), m_subviews.end(), view);
    if (it == m_subviews.end())
        return;
    auto keep = *it;
    m_subviews.erase(it);
    m_subviews.insert(m_subviews.begin(), keep);
}

void UIView::removeFromSuperview()
{
    auto parent = superview();
    if (!parent)
        return;
    auto keepAlive = selfAs<UIView>();
    // A first responder leaving the screen stops editing first, as on the phone.
    if (auto responder = runtime::cast<UIView>(UIResponder::currentFirstResponder())) {
        if (responder->isDescendantOfView(this))
            runtime::send<bool>(responder, "resignFirstResponder");
    }
    if (superview() != parent)
        return; // the delegate moved it meanwhile
    detachFromSuperview();
    notifyWindowChange();
}

void UIView::detachFromSuperview()
{
    if (auto parent = superview())
        std::erase(parent->m_subviews, selfAs<UIView>());
    m_superview.reset();
}

void UIView::notifyWindowChange()
{
    didMoveToWindow();
    auto children = m_subviews;
    for (auto& child : children)
        child->notifyWindowChange();
}

Ref<UIView> UIView::viewWithTag(int64_t tag)
{
    if (m_tag == tag)
        return selfAs<UIView>();
    for (auto& child : m_subviews) {
        if (auto found = child->viewWithTag(tag))
            return found;
    }
    return nullptr;
}

Ref<UIView> UIView::viewNamed(std::string_view name)
{
    if (m_name && *m_name == name)
        return selfAs<UIView>();
    for (auto& child : m_subviews) {
        if (auto found = child->viewNamed(name))
            return found;
    }
    return nullptr;
}

// MARK: Conversions

namespace {

    // From a view's coordinates to the coordinates of its topmost ancestor's
    // superview: the screen, for a view in a window.
    CGAffineTransform screenTransform(const UIView& view)
    {
        CGAffineTransform total = CGAffineTransformIdentity;
        for (auto current = const_cast<UIView&>(view).selfAs<UIView>(); current; current = current->superview()) {
            total = CGAffineTransformConcat(total, current->toSuperviewTransform());
        }
        return total;
    }

} // namespace

CGPoint UIView::convertPointToScreen(const CGPoint& p) const { return CGPointApplyAffineTransform(p, screenTransform(*this)); }

CGPoint UIView::convertPointFromScreen(const CGPoint& p) const
{
    return CGPointApplyAffineTransform(p, CGAffineTransformInvert(screenTransform(*this)));
}

CGRect UIView::screenFrame() const { return CGRectApplyAffineTransform(m_bounds, screenTransform(*this)); }

CGPoint UIView::convertPointToView(const CGPoint& p, const UIView* view) const
{
    Ref<UIView> target;
    if (view)
        target = const_cast<UIView*>(view)->selfAs<UIView>();
    else if (!dynamic_cast<const UIWindow*>(this))
        target = window();
    CGPoint onScreen = convertPointToScreen(p);
    return target ? target->convertPointFromScreen(onScreen) : onScreen;
}

CGPoint UIView::convertPointFromView(const CGPoint& p, const UIView* view) const
{
    Ref<UIView> source;
    if (view)
        source = const_cast<UIView*>(view)->selfAs<UIView>();
    else if (!dynamic_cast<const UIWindow*>(this))
        source = window();
    CGPoint onScreen = source ? source->convertPointToScreen(p) : p;
    return convertPointFromScreen(onScreen);
}

CGRect UIView::convertRectToView(const CGRect& r, const UIView* view) const
{
    Ref<UIView> target;
    if (view)
        target = const_cast<UIView*>(view)->selfAs<UIView>();
    else if (!dynamic_cast<const UIWindow*>(this))
        target = window();
    auto transform = screenTransform(*this);
    if (target)
        transform = CGAffineTransformConcat(transform, CGAffineTransformInvert(screenTransform(*target)));
    return CGRectApplyAffineTransform(r, transform);
}

CGRect UIView::convertRectFromView(const CGRect& r, const UIView* view) const
{
    Ref<UIView> source;
    if (view)
        source = const_cast<UIView*>(view)->selfAs<UIView>();
    else if (!dynamic_cast<const UIWindow*>(this))
        source = window();
    auto transform = source ? screenTransform(*source) : CGAffineTransformIdentity;
    transform = CGAffineTransformConcat(transform, CGAffineTransformInvert(screenTransform(*this)));
    return CGRectApplyAffineTransform(r, transform);
}

// MARK: Hit testing

bool UIView::pointInside(const CGPoint& p) const { return CGRectContainsPoint(m_bounds, p); }

Ref<UIView> UIView::hitTest(const CGPoint& p)
{
    if (m_hidden || m_alpha < 0.01 || !m_userInteractionEnabled || !pointInside(p))
        return nullptr;
    for (auto it = m_subviews.rbegin(); it != m_subviews.rend(); ++it) {
        auto& child = *it;
        CGPoint local = CGPointApplyAffineTransform(p, CGAffineTransformInvert(child->toSuperviewTransform()));
        if (auto hit = child->hitTest(local))
            return hit;
    }
    return selfAs<UIView>();
}

// MARK: Gestures

void UIView::addGestureRecognizer(const Ref<UIGestureRecognizer>& recognizer)
{
    if (!recognizer)
        return;
    if (auto previous = recognizer->view()) {
        if (previous.get() == this)
            return;
        previous->removeGestureRecognizer(recognizer);
    }
    m_gestureRecognizers.push_back(recognizer);
    recognizer->attachToView(selfAs<UIView>());
}

void UIView::removeGestureRecognizer(const Ref<UIGestureRecognizer>& recognizer)
{
    auto it = std::find(m_gestureRecognizers.begin(), m_gestureRecognizers.end(), recognizer);
    if (it == m_gestureRecognizers.end())
        return;
    auto keep = *it;
    m_gestureRecognizers.erase(it);
    keep->attachToView(nullptr);
}

// MARK: Layout

void UIView::layoutIfNeeded()
{
    if (m_needsLayout) {
        m_needsLayout = false;
        runtime::send(this, "layoutSubviews");
    }
    auto children = m_subviews;
    for (auto& child : children)
        child->layoutIfNeeded();
}

void UIView::sizeToFit()
{
    CGSize fitted = runtime::send<CGSize>(this, "sizeThatFits:", m_bounds.size);
    CGRect f = frame();
    setFrame(CGRectMake(f.origin.x, f.origin.y, fitted.width, fitted.height));
}

bool UIView::endEditing(bool force)
{
    auto responder = runtime::cast<UIView>(UIResponder::currentFirstResponder());
    if (!responder || !responder->isDescendantOfView(this))
        return true;
    if (runtime::send<bool>(responder, "resignFirstResponder"))
        return true;
    if (!force)
        return false;
    // Forced: the responder goes even if its delegate objects.
    uikitContext().firstResponder.reset();
    return true;
}

void UIView::setViewController(const Ref<UIViewController>& controller) { m_viewController = controller; }

Id UIView::nextResponder() const
{
    if (auto controller = m_viewController.lock()) {
        if (controller->viewIfLoaded().get() == this)
            return controller;
    }
    return superview();
}

std::string UIView::description() const
{
    CGRect f = frame();
    std::string text = fmt::format("<{}: frame = ({:g} {:g}; {:g} {:g})", runtimeClassName(), f.origin.x, f.origin.y, f.size.width, f.size.height);
    if (m_name)
        text += "; name = " + *m_name;
    return text + ">";
}

} // namespace uikit
