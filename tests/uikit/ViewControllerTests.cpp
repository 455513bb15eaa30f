#include "UIKitTestSupport.h"

namespace uikit_test {

class Controllers : public UIKitTest {
protected:
    Ref<RecordingController> controller(const std::string& name)
    {
        RecordingController::classObject(); // classes are defined on first use; a test may run alone
        auto made = runtime::cast<RecordingController>(runtime::send<Id>(runtime::send<Id>(runtime::classNamed("RecordingController"), "alloc"), "init"));
        made->name = name;
        made->shared = &trace;
        return made;
    }

    std::string trace;
};

TEST_F(Controllers, ViewLoadsOnFirstUseThroughTheRuntime)
{
    auto panel = controller("qr");
    EXPECT_FALSE(panel->isViewLoaded());
    auto view = runtime::send<Id>(panel, "view");
    EXPECT_EQ(runtime::send<Id>(panel, "view"), view);
    EXPECT_EQ(trace, "qr.loadView|qr.viewDidLoad");
    EXPECT_EQ(runtime::cast<UIView>(view)->frame(), CGRectMake(0, 20, 320, 460));
    EXPECT_TRUE(runtime::send<bool>(panel, "shouldAutorotateToInterfaceOrientation:", int64_t(UIInterfaceOrientationPortrait)));
    EXPECT_FALSE(runtime::send<bool>(panel, "shouldAutorotateToInterfaceOrientation:", int64_t(UIInterfaceOrientationLandscapeRight)));
}

TEST_F(Controllers, ModalPresentationsStackAndDismissTogether)
{
    // The quick reply panel lives in an overlay window without being its root.
    auto overlay = makeView<UIWindow>(CGRectMake(0, 0, 320, 480));
    overlay->setWindowLevel(UIWindowLevelStatusBar - 1);
    overlay->makeKeyAndVisible();
    auto panel = controller("qr");
    overlay->addSubview(panel->view());
    auto composer = controller("composer");
    auto picker = controller("picker");
    composer->setModalTransitionStyle(UIModalTransitionStyleFlipHorizontal);
    trace.clear();

    runtime::send(panel, "presentModalViewController:animated:", Id(composer), true);
    EXPECT_EQ(composer->view()->superview(), overlay);
    EXPECT_EQ(composer->view()->frame(), CGRectMake(0, 20, 320, 460));
    EXPECT_EQ(trace, "composer.loadView|composer.viewDidLoad|composer.willAppear|qr.willDisappear");
    loop().advance(UIViewController::ModalTransitionDuration);
    EXPECT_EQ(trace, "composer.loadView|composer.viewDidLoad|composer.willAppear|qr.willDisappear|composer.didAppear|qr.didDisappear");

    trace.clear();
    panel->presentModalViewController(picker, false);
    EXPECT_EQ(picker->presentingViewController(), composer) << "a second presentation stacks on the first";
    EXPECT_EQ(overlay->subviews().back(), picker->view());

    trace.clear();
    runtime::send(panel, "dismissModalViewControllerAnimated:", false);
    EXPECT_EQ(trace, "picker.willDisappear|composer.willDisappear|qr.willAppear|picker.didDisappear|composer.didDisappear|qr.didAppear");
    EXPECT_EQ(panel->modalViewController(), nullptr);
    EXPECT_EQ(picker->view()->superview(), nullptr);
    EXPECT_EQ(composer->view()->superview(), nullptr);
}

TEST_F(Controllers, APresentedControllerDismissesItselfThroughItsPresenter)
{
    auto window = screenWindow();
    auto panel = controller("qr");
    window->addSubview(panel->view());
    auto picker = controller("picker");
    panel->presentModalViewController(picker, true);
    runtime::send(picker, "dismissModalViewControllerAnimated:", true);
    EXPECT_EQ(panel->modalViewController(), nullptr);
    EXPECT_EQ(picker->view()->superview(), nullptr);
    bool completed = false;
    panel->presentViewController(picker, true, [&] { completed = true; });
    EXPECT_FALSE(completed);
    loop().advance(UIViewController::ModalTransitionDuration);
    EXPECT_TRUE(completed);
}

TEST_F(Controllers, APresentationWhoseViewWasTakenAwayNoLongerCounts)
{
    // A composer whose view the system removed by hand leaves room for the next one.
    auto window = screenWindow();
    auto panel = controller("qr");
    window->addSubview(panel->view());
    auto first = controller("first");
    auto second = controller("second");
    panel->presentModalViewController(first, false);
    first->view()->removeFromSuperview();
    panel->presentModalViewController(second, false);
    EXPECT_EQ(second->presentingViewController(), panel);
    EXPECT_EQ(panel->modalViewController(), second);
}

TEST_F(Controllers, PresentingFromOffScreenIsRefused)
{
    auto panel = controller("qr");
    auto composer = controller("composer");
    panel->presentModalViewController(composer, true);
    EXPECT_EQ(panel->modalViewController(), nullptr);
    EXPECT_EQ(g_diagnostics.size(), 1u);
    auto window = screenWindow();
    window->addSubview(panel->view());
    panel->presentModalViewController(composer, false);
    panel->presentModalViewController(composer, false);
    EXPECT_EQ(g_diagnostics.size(), 2u) << "a controller already on screen is not presented twice";
}

TEST_F(Controllers, NavigationPushesAndPopsWithTheBar)
{
    auto window = makeView<UIWindow>(UIScreen::mainScreen()->bounds());
    window->makeKeyAndVisible();
    auto root = controller("root");
    root->setTitle("PLV");
    auto navigation = runtime::cast<UINavigationController>(runtime::send<Id>(runtime::send<Id>(runtime::classNamed("UINavigationController"), "alloc"), "initWithRootViewController:", Id(root)));
    ASSERT_TRUE(navigation);
    window->addSubview(navigation->view());
    EXPECT_EQ(root->view()->frame(), CGRectMake(0, 44, 320, 416));
    EXPECT_EQ(root->navigationController(), navigation);
    auto colours = controller("colours");
    colours->setTitle("Select color");
    trace.clear();

    runtime::send(navigation, "pushViewController:animated:", Id(colours), true);
    EXPECT_EQ(navigation->topViewController(), colours);
    EXPECT_EQ(colours->view()->superview(), navigation->view());
    EXPECT_EQ(root->view()->superview(), nullptr);
    auto bar = navigation->navigationBar();
    EXPECT_EQ(bar->topItem()->title(), "Select color");
    auto back = runtime::cast<UINavigationItemButtonView>(bar->subviews().front());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->currentTitle(), "PLV");
    loop().advance(1);

    trace.clear();
    CGRect backFrame = back->screenFrame();
    tapScreen({ backFrame.midX(), backFrame.midY() });
    EXPECT_EQ(trace, "colours.willDisappear|root.willAppear");
    EXPECT_EQ(navigation->viewControllers(), (std::vector<Ref<UIViewController>> { root }));
    EXPECT_EQ(colours->parentViewController(), nullptr);
    EXPECT_EQ(runtime::send<Id>(navigation, "popViewControllerAnimated:", false), nullptr) << "the root stays";
}

TEST_F(Controllers, BarButtonsSendTheirActions)
{
    auto window = screenWindow();
    auto bar = makeView<UINavigationBar>(CGRectMake(0, 0, 320, 44));
    window->addSubview(bar);
    auto editor = controller("favorites");
    auto item = runtime::send<Id>(runtime::send<Id>(runtime::classNamed("UINavigationItem"), "alloc"), "initWithTitle:", std::string("Favorites"));
    auto done = runtime::send<Id>(runtime::send<Id>(runtime::classNamed("UIBarButtonItem"), "alloc"), "initWithBarButtonSystemItem:target:action:", int64_t(UIBarButtonSystemItemDone), Id(editor), runtime::sel("tapped:"));
    runtime::send(item, "setLeftBarButtonItem:", done);
    runtime::send(bar, "pushNavigationItem:animated:", item, false);
    auto button = runtime::cast<UINavigationButton>(bar->subviews().front());
    ASSERT_TRUE(button);
    EXPECT_EQ(button->currentTitle(), "Done");
    tapScreen({ button->screenFrame().midX(), button->screenFrame().midY() });
    EXPECT_EQ(trace, "tapped");
}

} // namespace uikit_test

namespace uikit_test {

TEST_F(Controllers, AHiddenNavigationBarLeavesTheWholeViewToTheContent)
{
    auto window = screenWindow();
    auto root = controller("root");
    auto navigation = runtime::make<UINavigationController>();
    navigation->initWithRootViewController(root);
    window->addSubview(navigation->view());
    runtime::send(navigation, "setNavigationBarHidden:animated:", true, false);
    EXPECT_EQ(root->view()->frame(), CGRectMake(0, 0, 320, 460));
    EXPECT_TRUE(navigation->navigationBar()->isHidden());
    navigation->view()->setFrame(CGRectMake(0, 0, 320, 480));
    window->layoutIfNeeded();
    EXPECT_EQ(root->view()->frame(), CGRectMake(0, 0, 320, 480)) << "the content follows the navigation view's size";
}

TEST_F(Controllers, PushingAControllerTwiceOrOneWithAParentIsRefused)
{
    auto window = screenWindow();
    auto root = controller("root");
    auto navigation = runtime::make<UINavigationController>();
    navigation->initWithRootViewController(root);
    window->addSubview(navigation->view());
    auto child = controller("child");
    navigation->pushViewController(child, false);
    navigation->pushViewController(child, false);
    auto other = runtime::make<UINavigationController>();
    other->pushViewController(child, false);
    EXPECT_EQ(navigation->viewControllers().size(), 2u);
    EXPECT_TRUE(other->viewControllers().empty());
    EXPECT_EQ(g_diagnostics.size(), 1u);
    auto popped = navigation->popToRootViewControllerAnimated(false);
    EXPECT_EQ(popped, (std::vector<Ref<UIViewController>> { child }));
    other->pushViewController(child, false);
    EXPECT_EQ(child->navigationController(), other) << "once popped it may go elsewhere";
}

} // namespace uikit_test
