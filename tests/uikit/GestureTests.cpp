#include "UIKitTestSupport.h"

#include <cmath>

namespace uikit_test {

// Records what its recognisers report, as the banner's tap handler and the
// compose window's swipe handler read them.
class GestureTarget : public runtime::Object {
    PLV_CLASS(GestureTarget, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<GestureTarget>& b)
    {
        b.method("handleTap:", [](GestureTarget& self, const Id& sender) {
            if (!runtime::send<bool>(sender, "isKindOfClass:", Id(runtime::classNamed("UIGestureRecognizer")->self())))
                return;
            self.location = runtime::send<CGPoint>(sender, "locationInView:", Id(self.reference));
            ++self.taps;
        });
        b.method("swiped:", [](GestureTarget& self, const Id& sender) {
            self.states.push_back(runtime::send<int64_t>(sender, "state"));
            self.velocity = runtime::send<CGPoint>(sender, "velocityInView:", Id(self.reference));
            self.translation = runtime::send<CGPoint>(sender, "translationInView:", Id(self.reference));
            if (self.removeOnFirst) {
                runtime::send(self.reference, "removeGestureRecognizer:", sender);
                self.reference->removeFromSuperview();
            }
        });
    }

    Ref<UIView> reference;
    CGPoint location {};
    CGPoint velocity {};
    CGPoint translation {};
    int taps { 0 };
    std::vector<int64_t> states;
    bool removeOnFirst { false };
};

class Gestures : public UIKitTest {
protected:
    void SetUp() override
    {
        UIKitTest::SetUp();
        window = screenWindow();
        target = runtime::make<GestureTarget>();
    }

    template <class R>
    Ref<R> recognizer(const char* action)
    {
        auto made = runtime::send<Id>(runtime::send<Id>(R::classObject(), "alloc"), "initWithTarget:action:", Id(target), runtime::sel(action));
        return runtime::cast<R>(made);
    }

    Ref<UIWindow> window;
    Ref<GestureTarget> target;
};

TEST_F(Gestures, TapReportsItsLocationInTheTappedView)
{
    auto banner = makeView<UIView>(CGRectMake(0, 0, 320, 40));
    window->addSubview(banner);
    auto icon = makeView<UIImageView>(CGRectMake(8, 10, 20, 20));
    banner->addSubview(icon);
    runtime::send(banner, "addGestureRecognizer:", Id(recognizer<UITapGestureRecognizer>("handleTap:")));
    target->reference = banner;
    EXPECT_EQ(tapScreen({ 15, 15 }), banner) << "the icon takes no touches of its own";
    EXPECT_EQ(target->taps, 1);
    EXPECT_EQ(target->location, CGPointMake(15, 15));
    EXPECT_TRUE(CGRectContainsPoint(icon->frame(), target->location));
}

TEST_F(Gestures, TapLocationThroughARotatedView)
{
    auto panel = makeView<UIView>(CGRectMake(0, 0, 320, 120));
    window->addSubview(panel);
    panel->setTransform(CGAffineTransformMakeRotation(M_PI / 2));
    panel->setFrame(CGRectMake(164, 0, 112, 480));
    panel->addGestureRecognizer(recognizer<UITapGestureRecognizer>("handleTap:"));
    target->reference = panel;
    tapScreen({ 200, 100 });
    // Turned a quarter clockwise: screen (x, y) is panel (y, 276 − x).
    EXPECT_NEAR(target->location.x, 100, 1e-9);
    EXPECT_NEAR(target->location.y, 76, 1e-9);
}

TEST_F(Gestures, ARecogniserWinsOverTheControlBeneath)
{
    auto panel = makeView<UIView>(CGRectMake(0, 0, 320, 200));
    window->addSubview(panel);
    auto button = makeView<UIButton>(CGRectMake(0, 0, 100, 100));
    panel->addSubview(button);
    auto recorder = runtime::make<Recorder>();
    button->addTarget(recorder, "tapped:", UIControlEventTouchUpInside);
    auto tap = recognizer<UITapGestureRecognizer>("handleTap:");
    panel->addGestureRecognizer(tap);
    tapScreen({ 50, 50 });
    EXPECT_EQ(target->taps, 1);
    EXPECT_EQ(recorder->trace, "");
    tap->setCancelsTouchesInView(false);
    tapScreen({ 50, 50 });
    EXPECT_EQ(target->taps, 2);
    EXPECT_EQ(recorder->trace, "tapped");
    tap->setEnabled(false);
    tapScreen({ 50, 50 });
    EXPECT_EQ(target->taps, 2);
}

TEST_F(Gestures, PanVelocityIsInTheViewsOwnCoordinates)
{
    auto message = makeView<UITextView>(CGRectMake(20, 33, 280, 147));
    window->addSubview(message);
    message->addGestureRecognizer(recognizer<UIPanGestureRecognizer>("swiped:"));
    target->reference = message;
    EXPECT_TRUE(dragScreen({ 150, 150 }, { 150, 50 }, 0.2, 4));
    EXPECT_EQ(target->states, (std::vector<int64_t> { 1, 2, 2, 2, 3 }));
    EXPECT_NEAR(target->velocity.y, -500, 1e-9);
    EXPECT_NEAR(target->translation.y, -100, 1e-9);

    // Rotated a quarter turn, an upward finger moves along the view's x axis.
    target->states.clear();
    message->setTransform(CGAffineTransformMakeRotation(M_PI / 2));
    dragScreen({ 150, 150 }, { 150, 50 }, 0.2, 2);
    EXPECT_NEAR(target->velocity.x, -500, 1e-9);
    EXPECT_NEAR(target->velocity.y, 0, 1e-9);
}

TEST_F(Gestures, ARecogniserRemovedInItsOwnCallbackHearsNoMore)
{
    auto message = makeView<UITextView>(CGRectMake(20, 33, 280, 147));
    window->addSubview(message);
    auto pan = recognizer<UIPanGestureRecognizer>("swiped:");
    message->addGestureRecognizer(pan);
    target->reference = message;
    target->removeOnFirst = true;
    EXPECT_TRUE(dragScreen({ 150, 150 }, { 150, 50 }, 0.1, 5));
    EXPECT_EQ(target->states, (std::vector<int64_t> { 1 }));
    EXPECT_EQ(pan->view(), nullptr);
    EXPECT_TRUE(message->gestureRecognizers().empty());
    // The view is gone from the screen: another swipe there reaches the window alone.
    EXPECT_FALSE(dragScreen({ 150, 150 }, { 150, 50 }));
    EXPECT_EQ(target->states.size(), 1u);
    EXPECT_NO_THROW(pan->locationInView(message.get()));
}

TEST_F(Gestures, AGestureOnARemovedViewGetsNothing)
{
    auto view = makeView<UIView>(CGRectMake(0, 0, 320, 480));
    window->addSubview(view);
    view->addGestureRecognizer(recognizer<UITapGestureRecognizer>("handleTap:"));
    target->reference = view;
    view->removeFromSuperview();
    EXPECT_EQ(tapScreen({ 100, 100 }), window);
    EXPECT_EQ(target->taps, 0);
}

TEST_F(Gestures, SwipesNeedSpeedAndDirection)
{
    auto view = makeView<UIView>(CGRectMake(0, 0, 320, 480));
    window->addSubview(view);
    auto swipe = recognizer<UISwipeGestureRecognizer>("handleTap:");
    swipe->setDirection(UISwipeGestureRecognizerDirectionUp);
    view->addGestureRecognizer(swipe);
    target->reference = view;
    dragScreen({ 100, 300 }, { 100, 100 }, 2.0);
    EXPECT_EQ(target->taps, 0) << "too slow";
    dragScreen({ 100, 100 }, { 100, 300 }, 0.1);
    EXPECT_EQ(target->taps, 0) << "wrong way";
    dragScreen({ 100, 300 }, { 100, 100 }, 0.1);
    EXPECT_EQ(target->taps, 1);
}

TEST_F(Gestures, DraggingAScrollViewKeepsItsContentInReach)
{
    auto scroll = makeView<UIScrollView>(CGRectMake(0, 0, 320, 200));
    scroll->setContentSize({ 320, 500 });
    window->addSubview(scroll);
    dragScreen({ 100, 150 }, { 100, 50 });
    EXPECT_EQ(scroll->contentOffset(), CGPointMake(0, 100));
    dragScreen({ 100, 190 }, { 100, 0 });
    dragScreen({ 100, 190 }, { 100, 0 });
    EXPECT_EQ(scroll->contentOffset(), CGPointMake(0, 300));
    dragScreen({ 100, 0 }, { 100, 190 });
    dragScreen({ 100, 0 }, { 100, 190 });
    EXPECT_EQ(scroll->contentOffset(), CGPointMake(0, 0));
}

} // namespace uikit_test
