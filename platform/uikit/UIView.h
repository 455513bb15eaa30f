// The retained view: a rectangle in its superview with a centre, bounds and a
// transform (rotations about the centre), a background colour, a layer for
// corners and border, visibility, and subviews in back-to-front order. Points
// and rectangles convert between any two views, transforms included, and a
// touch is hit-tested through the subviews from the front. A view also
// carries a name, the property name the system gives it ("sendButton"),
// which tests and the snapshot use; its runtime spelling is the phone's
// `accessibilityIdentifier`.
#pragma once

#include "CALayer.h"
#include "Geometry.h"
#include "UIColor.h"
#include "UIKitTypes.h"
#include "UIResponder.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace uikit {

class UIGestureRecognizer;
class UIViewController;
class UIWindow;

class UIView : public UIResponder {
    PLV_CLASS(UIView, UIResponder)
public:
    static void registerMethods(runtime::ClassBuilder<UIView>&);

    // `initWithFrame:`; answers self.
    runtime::Id initWithFrame(const CGRect&);

    // Geometry. With a non-identity transform, `frame` is the box around the
    // transformed bounds, and setting it keeps the transform and sizes the
    // bounds so that the transformed bounds fill the given box.
    CGRect frame() const;
    virtual void setFrame(const CGRect&);
    CGRect bounds() const { return m_bounds; }
    virtual void setBounds(const CGRect&);
    CGPoint center() const { return m_center; }
    void setCenter(const CGPoint&);
    CGAffineTransform transform() const { return m_transform; }
    void setTransform(const CGAffineTransform&);

    // Appearance.
    runtime::Ref<UIColor> backgroundColor() const { return m_backgroundColor; }
    virtual void setBackgroundColor(runtime::Ref<UIColor>);
    runtime::Ref<CALayer> layer();
    const CALayer* layerIfCreated() const { return m_layer.get(); }
    bool isHidden() const { return m_hidden; }
    virtual void setHidden(bool);
    double alpha() const { return m_alpha; }
    void setAlpha(double);
    int64_t contentMode() const { return m_contentMode; }
    void setContentMode(int64_t mode) { m_contentMode = mode; }
    bool isUserInteractionEnabled() const { return m_userInteractionEnabled; }
    void setUserInteractionEnabled(bool enabled) { m_userInteractionEnabled = enabled; }
    bool clipsToBounds() const { return m_clipsToBounds; }
    void setClipsToBounds(bool clips) { m_clipsToBounds = clips; }
    int64_t tag() const { return m_tag; }
    void setTag(int64_t tag) { m_tag = tag; }
    int64_t autoresizingMask() const { return m_autoresizingMask; }
    void setAutoresizingMask(int64_t mask) { m_autoresizingMask = mask; }
    const std::optional<std::string>& name() const { return m_name; }
    void setName(std::optional<std::string>);

    // The tree.
    runtime::Ref<UIView> superview() const { return m_superview.lock(); }
    const std::vector<runtime::Ref<UIView>>& subviews() const { return m_subviews; }
    runtime::Ref<UIWindow> window() const;
    bool isDescendantOfView(const UIView*) const;
    // Adding a view that sits elsewhere moves it; adding the view itself or
    // one of its ancestors is refused (reported), since it would make a cycle.
    void addSubview(const runtime::Ref<UIView>&);
    void insertSubviewAtIndex(const runtime::Ref<UIView>&, int64_t index);
    void insertSubviewAboveSubview(const runtime::Ref<UIView>&, const runtime::Ref<UIView>& sibling);
    void insertSubviewBelowSubview(const runtime::Ref<UIView>&, const runtime::Ref<UIView>& sibling);
    void bringSubviewToFront(const runtime::Ref<UIView>&);
    void sendSubviewToBack(const runtime::Ref<UIView>&);
    void removeFromSuperview();
    runtime::Ref<UIView> viewWithTag(int64_t tag);
    // The first view in this subtree (itself included) with the name, depth first.
    runtime::Ref<UIView> viewNamed(std::string_view name);

    // Conversions. A nil view means the window's coordinates; for a window, the screen's.
    CGPoint convertPointToView(const CGPoint&, const UIView* view) const;
    CGPoint convertPointFromView(const CGPoint&, const UIView* view) const;
    CGRect convertRectToView(const CGRect&, const UIView* view) const;
    CGRect convertRectFromView(const CGRect&, const UIView* view) const;
    // Screen coordinates, through every transform up to the window and the
    // window's place on the screen. A view outside any window takes its topmost
    // ancestor's superview coordinates as the screen's.
    CGPoint convertPointToScreen(const CGPoint&) const;
    CGPoint convertPointFromScreen(const CGPoint&) const;
    CGRect screenFrame() const;
    // The mapping from this view's coordinates to its superview's.
    CGAffineTransform toSuperviewTransform() const;

    // Hit testing as the phone does it: hidden, transparent (alpha below 0.01)
    // and non-interactive views and their subviews take no touches, and a
    // subview only gets a touch inside its superview's bounds.
    virtual runtime::Ref<UIView> hitTest(const CGPoint&);
    virtual bool pointInside(const CGPoint&) const;

    // Gestures.
    void addGestureRecognizer(const runtime::Ref<UIGestureRecognizer>&);
    void removeGestureRecognizer(const runtime::Ref<UIGestureRecognizer>&);
    const std::vector<runtime::Ref<UIGestureRecognizer>>& gestureRecognizers() const { return m_gestureRecognizers; }

    // Layout: a view whose size changed lays its subviews out before it is
    // next drawn or touched.
    void setNeedsLayout() { m_needsLayout = true; }
    void layoutIfNeeded();
    virtual void layoutSubviews() { }
    void setNeedsDisplay() { ++m_displayRequests; }
    int displayRequests() const { return m_displayRequests; }
    virtual CGSize sizeThatFits(const CGSize&) const { return m_bounds.size; }
    void sizeToFit();

    // Ends editing in this subtree: the first responder inside it resigns.
    bool endEditing(bool force);

    // The controller whose root view this is, if any.
    runtime::Ref<UIViewController> viewController() const { return m_viewController.lock(); }
    void setViewController(const runtime::Ref<UIViewController>&);

    // A tap that reached this view (in its coordinates) after the gesture
    // recognisers let it through; answers whether the view handled it.
    // Unhandled taps go to the superview.
    virtual bool handleTap(const CGPoint&) { return false; }

    runtime::Id nextResponder() const override;

    // Called when the view enters or leaves a window (or its window changes).
    virtual void didMoveToWindow() { }

    std::string description() const override;

protected:
    void noteSizeChange(const CGSize& old);

private:
    void insertSubviewAt(const runtime::Ref<UIView>&, size_t index);
    void detachFromSuperview();
    void notifyWindowChange();

    CGRect m_bounds {};
    CGPoint m_center {};
    CGAffineTransform m_transform {};
    runtime::Ref<UIColor> m_backgroundColor;
    runtime::Ref<CALayer> m_layer;
    bool m_hidden { false };
    double m_alpha { 1 };
    int64_t m_contentMode { UIViewContentModeScaleToFill };
    bool m_userInteractionEnabled { true };
    bool m_clipsToBounds { false };
    bool m_needsLayout { false };
    int64_t m_tag { 0 };
    int64_t m_autoresizingMask { 0 };
    int m_displayRequests { 0 };
    std::optional<std::string> m_name;
    runtime::Weak<UIView> m_superview;
    std::vector<runtime::Ref<UIView>> m_subviews;
    std::vector<runtime::Ref<UIGestureRecognizer>> m_gestureRecognizers;
    runtime::Weak<UIViewController> m_viewController;
};

// Makes a view of class T (UIView or a subclass) with a frame.
template <class T>
runtime::Ref<T> makeView(const CGRect& frame)
{
    auto view = runtime::make<T>();
    view->setFrame(frame);
    return view;
}

} // namespace uikit
