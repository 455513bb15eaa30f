#include "UIKitTestSupport.h"

#include <cmath>

namespace uikit_test {

class Views : public UIKitTest { };

TEST_F(Views, FrameBoundsAndCenterAgreeWithoutATransform)
{
    auto view = makeView<UIView>(CGRectMake(10, 20, 100, 50));
    EXPECT_EQ(view->center(), CGPointMake(60, 45));
    EXPECT_EQ(view->bounds(), CGRectMake(0, 0, 100, 50));
    view->setCenter({ 0, 0 });
    EXPECT_EQ(view->frame(), CGRectMake(-50, -25, 100, 50));
    view->setFrame(CGRectMake(0, 0, NAN, 10));
    EXPECT_EQ(view->frame(), CGRectMake(-50, -25, 100, 50)) << "a frame that is not a number changes nothing";
}

TEST_F(Views, RotatedFrameSizesTheBoundsAcross)
{
    // The quick windows rotate their root view and then give it a frame.
    auto view = makeView<UIView>(CGRectMake(0, 44, 320, 120));
    view->setTransform(CGAffineTransformMakeRotation(M_PI / 2));
    view->setFrame(CGRectMake(164, 0, 112, 480));
    EXPECT_EQ(view->frame(), CGRectMake(164, 0, 112, 480));
    EXPECT_EQ(view->bounds().size, CGSizeMake(480, 112));
    EXPECT_EQ(view->center(), CGPointMake(220, 240));
    view->setTransform(CGAffineTransformIdentity);
    EXPECT_EQ(view->frame(), CGRectMake(-20, 184, 480, 112)) << "the transform turns about the centre";
}

TEST_F(Views, ConvertsPointsThroughRotationsBothWays)
{
    auto window = screenWindow();
    auto panel = makeView<UIView>(CGRectMake(0, 0, 320, 120));
    window->addSubview(panel);
    panel->setTransform(CGAffineTransformMakeRotation(-M_PI / 2));
    panel->setFrame(CGRectMake(44, 0, 112, 480));
    auto button = makeView<UIView>(CGRectMake(403, 79, 57, 32));
    panel->addSubview(button);

    // Bounds 480 × 112 turned a quarter anticlockwise: local (x, y) lands at (44 + y, 480 − x).
    CGPoint onScreen = button->convertPointToView({ 0, 0 }, nullptr);
    EXPECT_NEAR(onScreen.x, 44 + 79, 1e-9);
    EXPECT_NEAR(onScreen.y, 480 - 403, 1e-9);
    CGPoint back = button->convertPointFromView(onScreen, window.get());
    EXPECT_NEAR(back.x, 0, 1e-9);
    EXPECT_NEAR(back.y, 0, 1e-9);
    CGRect r = button->convertRectToView(button->bounds(), nullptr);
    EXPECT_NEAR(r.origin.x, 44 + 79, 1e-9);
    EXPECT_NEAR(r.origin.y, 480 - 403 - 57, 1e-9);
    EXPECT_NEAR(r.size.width, 32, 1e-9);
    EXPECT_NEAR(r.size.height, 57, 1e-9);
}

TEST_F(Views, SubviewsKeepTheirOrder)
{
    auto parent = makeView<UIView>(CGRectMake(0, 0, 10, 10));
    auto a = makeView<UIView>(CGRectZero), b = makeView<UIView>(CGRectZero), c = makeView<UIView>(CGRectZero);
    parent->addSubview(a);
    parent->addSubview(b);
    parent->insertSubviewAtIndex(c, 0);
    EXPECT_EQ(parent->subviews(), (std::vector<Ref<UIView>> { c, a, b }));
    parent->bringSubviewToFront(c);
    parent->insertSubviewBelowSubview(b, a);
    EXPECT_EQ(parent->subviews(), (std::vector<Ref<UIView>> { b, a, c }));
    parent->addSubview(b);
    EXPECT_EQ(parent->subviews(), (std::vector<Ref<UIView>> { a, c, b })) << "adding a subview again brings it to the front";

    auto other = makeView<UIView>(CGRectZero);
    other->addSubview(a);
    EXPECT_EQ(a->superview(), other) << "adding elsewhere moves the view";
    EXPECT_EQ(parent->subviews(), (std::vector<Ref<UIView>> { c, b }));
    a->removeFromSuperview();
    EXPECT_EQ(a->superview(), nullptr);
    a->removeFromSuperview();
}

TEST_F(Views, RefusesToBecomeItsOwnAncestor)
{
    auto outer = makeView<UIView>(CGRectZero);
    auto inner = makeView<UIView>(CGRectZero);
    outer->addSubview(inner);
    inner->addSubview(outer);
    inner->addSubview(inner);
    EXPECT_EQ(outer->superview(), nullptr);
    EXPECT_TRUE(inner->subviews().empty());
    EXPECT_EQ(g_diagnostics.size(), 2u);
}

TEST_F(Views, RuntimeMessagesReachTheSameModel)
{
    auto view = runtime::send<Id>(runtime::send<Id>(runtime::classNamed("UIView"), "alloc"), "initWithFrame:", CGRectMake(1, 2, 3, 4));
    auto child = runtime::send<Id>(runtime::send<Id>(runtime::classNamed("UILabel"), "alloc"), "init");
    runtime::send(view, "addSubview:", child);
    runtime::send(child, "setAccessibilityIdentifier:", std::string("contatore"));
    runtime::send(runtime::send<Id>(child, "layer"), "setCornerRadius:", 8.0);
    auto typed = runtime::cast<UIView>(view);
    ASSERT_TRUE(typed);
    EXPECT_EQ(typed->frame(), CGRectMake(1, 2, 3, 4));
    EXPECT_EQ(typed->viewNamed("contatore"), child);
    EXPECT_EQ(runtime::cast<UIView>(child)->layer()->cornerRadius(), 8);
    EXPECT_EQ(runtime::send<std::vector<Id>>(view, "subviews").size(), 1u);
    EXPECT_TRUE(g_diagnostics.empty());
}

TEST_F(Views, HitTestingFollowsRotatedViewsFromTheFront)
{
    auto window = screenWindow();
    auto panel = makeView<UIView>(CGRectMake(0, 0, 320, 120));
    window->addSubview(panel);
    panel->setTransform(CGAffineTransformMakeRotation(M_PI / 2));
    panel->setFrame(CGRectMake(164, 0, 112, 480));
    auto back = makeView<UIButton>(CGRectMake(403, 79, 57, 32));
    auto front = makeView<UIButton>(CGRectMake(403, 79, 20, 20));
    panel->addSubview(back);
    panel->addSubview(front);
    auto centreOf = [](const Ref<UIView>& v) {
        CGRect r = v->screenFrame();
        return CGPointMake(r.midX(), r.midY());
    };
    EXPECT_EQ(hitTestScreen(centreOf(front)), front);
    front->setHidden(true);
    EXPECT_EQ(hitTestScreen(centreOf(front)), back) << "a hidden view takes no touch";
    front->setHidden(false);
    front->setUserInteractionEnabled(false);
    EXPECT_EQ(hitTestScreen(centreOf(front)), back);
    EXPECT_EQ(hitTestScreen({ 10, 10 }), window) << "outside the panel the window itself takes it";
}

TEST_F(Views, ASubviewOutsideItsSuperviewTakesNoTouch)
{
    // A root view of size zero with its panel drawn outside it, as the windows have before their first layout.
    auto window = screenWindow();
    auto root = makeView<UIView>(CGRectMake(0, 44, 0, 0));
    window->addSubview(root);
    auto button = makeView<UIButton>(CGRectMake(243, 87, 57, 32));
    root->addSubview(button);
    EXPECT_EQ(hitTestScreen({ 250, 140 }), window);
    root->setFrame(CGRectMake(0, 44, 320, 120));
    EXPECT_EQ(hitTestScreen({ 250, 140 }), button);
}

TEST_F(Views, ColoursStayInRange)
{
    auto colour = UIColor::colorWithRed(1.5, -2, NAN, 3);
    EXPECT_EQ(colour->red(), 1);
    EXPECT_EQ(colour->green(), 0);
    EXPECT_EQ(colour->blue(), 0);
    EXPECT_EQ(colour->alpha(), 1);
    auto view = makeView<UIView>(CGRectZero);
    runtime::send(view, "setBackgroundColor:", Id(runtime::send<Id>(runtime::classNamed("UIColor"), "colorWithRed:green:blue:alpha:", 2.0, 0.5, -1.0, 1.0)));
    EXPECT_EQ(view->backgroundColor()->description(), "UIDeviceRGBColorSpace 1 0.5 0 1");
    view->setAlpha(7);
    EXPECT_EQ(view->alpha(), 1);
}

} // namespace uikit_test
