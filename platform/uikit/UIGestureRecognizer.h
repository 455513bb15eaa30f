// Gesture recognisers attached to views: a tap (`locationInView:`), a pan
// (`translationInView:`, `velocityInView:`) and a swipe. A recogniser holds
// its view and its targets weakly; each state change sends the action to
// every target, with the recogniser as argument when the selector takes one.
// The touch input drives them (TouchInput.h): a recogniser whose view is
// not on screen never receives a touch.
#pragma once

#include "Geometry.h"
#include "UIKitTypes.h"

#include <runtime/Runtime.h>

#include <vector>

namespace uikit {

class UIView;

class UIGestureRecognizer : public runtime::Object {
    PLV_CLASS(UIGestureRecognizer, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<UIGestureRecognizer>&);

    // `initWithTarget:action:`.
    runtime::Id initWithTarget(const runtime::Id& target, const runtime::Sel& action);
    void addTarget(const runtime::Id& target, const runtime::Sel& action);
    void removeTarget(const runtime::Id& target, const runtime::Sel& action);

    runtime::Ref<UIView> view() const { return m_view.lock(); }
    int64_t state() const { return m_state; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool);
    runtime::Id delegate() const { return m_delegate.lock(); }
    void setDelegate(const runtime::Id& delegate) { m_delegate = delegate; }
    bool cancelsTouchesInView() const { return m_cancelsTouchesInView; }
    void setCancelsTouchesInView(bool cancels) { m_cancelsTouchesInView = cancels; }
    int64_t numberOfTouches() const { return m_touching ? 1 : 0; }

    // The touch in a view's coordinates; nil means the window of the recogniser's view.
    CGPoint locationInView(const UIView*) const;

    // Input side.
    void attachToView(const runtime::Ref<UIView>&);
    // Asks the delegate (`gestureRecognizer:shouldReceiveTouch:` and
    // `gestureRecognizerShouldBegin:`) whether this recogniser may act.
    bool delegateAllowsTouch();
    bool delegateAllowsBegin();
    bool canRecognizeSimultaneouslyWith(UIGestureRecognizer&);
    void setTouchLocation(const CGPoint& screenPoint, bool touching);
    CGPoint touchLocationOnScreen() const { return m_screenLocation; }
    // Moves to the state and sends the action to every target.
    void transitionTo(int64_t state);
    void reset();

private:
    struct Target {
        runtime::WeakId target;
        runtime::Sel action;
    };

    runtime::Weak<UIView> m_view;
    std::vector<Target> m_targets;
    runtime::WeakId m_delegate;
    int64_t m_state { UIGestureRecognizerStatePossible };
    bool m_enabled { true };
    bool m_cancelsTouchesInView { true };
    bool m_touching { false };
    CGPoint m_screenLocation {};
};

class UITapGestureRecognizer : public UIGestureRecognizer {
    PLV_CLASS(UITapGestureRecognizer, UIGestureRecognizer)
public:
    static void registerMethods(runtime::ClassBuilder<UITapGestureRecognizer>&);

    int64_t numberOfTapsRequired() const { return m_numberOfTapsRequired; }
    void setNumberOfTapsRequired(int64_t taps) { m_numberOfTapsRequired = taps; }
    int64_t numberOfTouchesRequired() const { return m_numberOfTouchesRequired; }
    void setNumberOfTouchesRequired(int64_t touches) { m_numberOfTouchesRequired = touches; }

private:
    int64_t m_numberOfTapsRequired { 1 };
    int64_t m_numberOfTouchesRequired { 1 };
};

class UIPanGestureRecognizer : public UIGestureRecognizer {
    PLV_CLASS(UIPanGestureRecognizer, UIGestureRecognizer)
public:
    static void registerMethods(runtime::ClassBuilder<UIPanGestureRecognizer>&);

    CGPoint translationInView(const UIView*) const;
    void setTranslation(const CGPoint&, const UIView*);
    // Points per second in the view's coordinates, transforms included.
    CGPoint velocityInView(const UIView*) const;
    int64_t minimumNumberOfTouches() const { return m_minimumNumberOfTouches; }
    void setMinimumNumberOfTouches(int64_t touches) { m_minimumNumberOfTouches = touches; }
    int64_t maximumNumberOfTouches() const { return m_maximumNumberOfTouches; }
    void setMaximumNumberOfTouches(int64_t touches) { m_maximumNumberOfTouches = touches; }

    // Input side: where the pan started and how fast the finger moves (screen points).
    void beginPan(const CGPoint& screenStart);
    void setScreenVelocity(const CGPoint& velocity) { m_screenVelocity = velocity; }

private:
    CGPoint m_screenBase {};
    CGPoint m_screenVelocity {};
    int64_t m_minimumNumberOfTouches { 1 };
    int64_t m_maximumNumberOfTouches { INT64_MAX };
};

enum UISwipeGestureRecognizerDirection : int64_t {
    UISwipeGestureRecognizerDirectionRight = 1 << 0,
    UISwipeGestureRecognizerDirectionLeft = 1 << 1,
    UISwipeGestureRecognizerDirectionUp = 1 << 2,
    UISwipeGestureRecognizerDirectionDown = 1 << 3,
};

class UISwipeGestureRecognizer : public UIGestureRecognizer {
    PLV_CLASS(UISwipeGestureRecognizer, UIGestureRecognizer)
public:
    static void registerMethods(runtime::ClassBuilder<UISwipeGestureRecognizer>&);

    int64_t direction() const { return m_direction; }
    void setDirection(int64_t direction) { m_direction = direction; }
    // Whether a movement (screen points) over a duration is a swipe this recogniser takes.
    bool matches(const CGPoint& from, const CGPoint& to, double seconds) const;

private:
    int64_t m_direction { UISwipeGestureRecognizerDirectionRight };
};

} // namespace uikit
