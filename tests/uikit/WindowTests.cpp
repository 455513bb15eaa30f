#include "UIKitTestSupport.h"

namespace uikit_test {

class Windows : public UIKitTest { };

TEST_F(Windows, ScreenIsAnIOS5Phone)
{
    auto screen = runtime::send<Id>(runtime::classNamed("UIScreen"), "mainScreen");
    EXPECT_EQ(runtime::send<CGRect>(screen, "bounds"), CGRectMake(0, 0, 320, 480));
    EXPECT_EQ(runtime::send<CGRect>(screen, "applicationFrame"), CGRectMake(0, 20, 320, 460));
    auto device = runtime::send<Id>(runtime::classNamed("UIDevice"), "currentDevice");
    EXPECT_EQ(runtime::send<std::string>(device, "systemVersion"), "5.1.1");
    EXPECT_EQ(runtime::send<std::string>(device, "uniqueIdentifier").size(), 40u);
    UIDevice::currentDevice()->setSystemVersion("5.0");
    EXPECT_EQ(runtime::send<std::string>(device, "systemVersion"), "5.0");
    EXPECT_FALSE(UIDevice::currentDevice()->setUniqueIdentifier("not hex"));
}

TEST_F(Windows, VisibleWindowsStackByLevelThenByOrder)
{
    auto overlay = makeView<UIWindow>(CGRectMake(0, 0, 320, 480));
    overlay->setWindowLevel(UIWindowLevelStatusBar - 1);
    auto app = screenWindow(UIWindowLevelNormal);
    EXPECT_TRUE(overlay->isHidden()) << "a new window waits to be shown";
    overlay->setHidden(false);
    auto second = screenWindow(UIWindowLevelNormal);
    EXPECT_EQ(visibleWindows(), (std::vector<Ref<UIWindow>> { app, second, overlay }));
    app->setHidden(true);
    app->setHidden(false);
    EXPECT_EQ(visibleWindows(), (std::vector<Ref<UIWindow>> { second, app, overlay })) << "showing again brings to the front of its level";
    EXPECT_EQ(hitTestScreen({ 5, 5 }), overlay);
    overlay->setFrame(CGRectMake(0, 0, 320, 0));
    EXPECT_EQ(hitTestScreen({ 5, 5 }), app) << "a zero-height window lets touches through";
}

TEST_F(Windows, OneKeyWindowAtATime)
{
    auto first = screenWindow();
    auto second = makeView<UIWindow>(CGRectMake(0, 0, 320, 480));
    EXPECT_TRUE(first->isKeyWindow());
    runtime::send(second, "makeKeyAndVisible");
    EXPECT_FALSE(first->isKeyWindow());
    EXPECT_TRUE(runtime::send<bool>(second, "isKeyWindow"));
    EXPECT_EQ(UIApplication::sharedApplication()->keyWindow(), second);
    runtime::send(second, "resignKeyWindow");
    EXPECT_FALSE(second->isKeyWindow());
    EXPECT_EQ(UIApplication::sharedApplication()->keyWindow(), nullptr);
}

TEST_F(Windows, AWindowNobodyKeepsDisappears)
{
    screenWindow();
    EXPECT_TRUE(visibleWindows().empty());
    EXPECT_EQ(tapScreen({ 100, 100 }), nullptr);
}

TEST_F(Windows, TouchOutsideEveryWindowChangesNothing)
{
    auto window = makeView<UIWindow>(CGRectMake(0, 20, 320, 100));
    window->makeKeyAndVisible();
    auto recorder = runtime::make<Recorder>();
    auto button = makeView<UIButton>(CGRectMake(0, 0, 320, 100));
    button->addTarget(recorder, "tapped:", UIControlEventTouchUpInside);
    window->addSubview(button);
    auto before = snapshotScreen();
    EXPECT_EQ(tapScreen({ 100, 300 }), nullptr);
    EXPECT_EQ(tapScreen({ NAN, 10 }), nullptr);
    EXPECT_FALSE(dragScreen({ 100, 300 }, { 100, 400 }));
    EXPECT_EQ(snapshotScreen(), before);
    EXPECT_EQ(recorder->trace, "");
    EXPECT_EQ(tapScreen({ 100, 30 }), button);
    EXPECT_EQ(recorder->trace, "tapped");
}

} // namespace uikit_test

namespace uikit_test {

TEST_F(Windows, ARotatedWindowTakesTouchesInItsOwnCoordinates)
{
    // SpringBoard turns its banner window with the interface; views inside keep their portrait layout.
    auto banner = makeView<UIWindow>(CGRectMake(0, 0, 320, 40));
    banner->setWindowLevel(UIWindowLevelStatusBar + 1);
    banner->setTransform(CGAffineTransformMakeRotation(M_PI / 2));
    banner->setFrame(CGRectMake(280, 0, 40, 320));
    banner->setHidden(false);
    auto icon = makeView<UIButton>(CGRectMake(8, 10, 20, 20));
    banner->addSubview(icon);
    EXPECT_EQ(banner->bounds().size, CGSizeMake(320, 40));
    // Window (x, y) appears on the screen at (320 − y, x).
    EXPECT_EQ(banner->convertPointToView({ 10, 15 }, nullptr), CGPointMake(305, 10));
    EXPECT_EQ(hitTestScreen({ 300, 15 }), icon);
    EXPECT_EQ(hitTestScreen({ 300, 100 }), banner);
    auto app = screenWindow();
    CGPoint inApp = app->convertPointFromView({ 18, 20 }, icon.get());
    EXPECT_EQ(inApp, CGPointMake(290, 26)) << "between windows the conversion goes through the screen";
}

} // namespace uikit_test
