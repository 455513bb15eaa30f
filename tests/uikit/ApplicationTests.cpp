#include "UIKitTestSupport.h"

namespace uikit_test {

// An application that is its own delegate, as the settings application is.
class SettingsLikeApplication : public UIApplication {
    PLV_CLASS(SettingsLikeApplication, UIApplication)
public:
    static void registerMethods(runtime::ClassBuilder<SettingsLikeApplication>& b)
    {
        b.method("applicationDidFinishLaunching:", [](SettingsLikeApplication& self, const Id& application) {
            self.launchedWith = application.get();
            self.window = makeView<UIWindow>(UIScreen::mainScreen()->bounds());
            auto root = runtime::make<UIViewController>();
            self.navigation = runtime::cast<UINavigationController>(runtime::send<Id>(runtime::send<Id>(runtime::classNamed("UINavigationController"), "alloc"), "initWithRootViewController:", Id(root)));
            self.window->addSubview(self.navigation->view());
            self.window->makeKeyAndVisible();
        });
    }

    runtime::Object* launchedWith { nullptr };
    Ref<UIWindow> window;
    Ref<UINavigationController> navigation;
};

class Applications : public UIKitTest { };

TEST_F(Applications, LaunchByClassNameMakesTheSharedApplication)
{
    SettingsLikeApplication::classObject();
    auto application = launchApplication("SettingsLikeApplication", "SettingsLikeApplication");
    ASSERT_TRUE(application);
    EXPECT_EQ(UIApplication::sharedApplication(), application);
    EXPECT_EQ(runtime::send<Id>(runtime::classNamed("UIApplication"), "sharedApplication"), application);
    auto settings = runtime::cast<SettingsLikeApplication>(application);
    EXPECT_EQ(settings->launchedWith, application.get());
    EXPECT_EQ(application->delegate(), application);
    EXPECT_EQ(application->keyWindow(), settings->window);
    EXPECT_EQ(settings->navigation->view()->frame(), CGRectMake(0, 20, 320, 460));
    EXPECT_EQ(application->nextResponder(), nullptr) << "an application that is its own delegate ends the chain";
}

TEST_F(Applications, LaunchRefusesWhatIsNoApplication)
{
    EXPECT_EQ(launchApplication("NoSuchApplication", "NoSuchApplication"), nullptr);
    EXPECT_EQ(launchApplication("UIView", "UIView"), nullptr);
    EXPECT_EQ(g_diagnostics.size(), 2u);
    EXPECT_TRUE(runtime::cast<UIApplication>(UIApplication::sharedApplication())) << "the plain application stays";
}

TEST_F(Applications, OpenURLIsRecorded)
{
    auto application = UIApplication::sharedApplication();
    EXPECT_TRUE(runtime::send<bool>(application, "openURL:", std::string("sms:+393331234567")));
    EXPECT_FALSE(application->openURL(""));
    EXPECT_EQ(application->openedURLs(), (std::vector<std::string> { "sms:+393331234567" }));
}

TEST_F(Applications, TheResponderChainRunsFromViewToControllerToWindowToApplication)
{
    auto window = screenWindow();
    auto controller = runtime::make<UIViewController>();
    window->addSubview(controller->view());
    auto field = makeView<UITextField>(CGRectZero);
    controller->view()->addSubview(field);
    EXPECT_EQ(field->nextResponder(), controller->view());
    EXPECT_EQ(controller->view()->nextResponder(), controller);
    EXPECT_EQ(controller->nextResponder(), window);
    EXPECT_EQ(window->nextResponder(), UIApplication::sharedApplication());
}

TEST_F(Applications, AClassMadeOnlyInTheRuntimeOverridesTheLifecycle)
{
    // A system class with no C++ body of its own: its loadView is a runtime method.
    runtime::Class* cls = runtime::defineClass("RuntimeOnlyController", UIViewController::classObject());
    runtime::ClassBuilder<UIViewController> builder(cls);
    builder.method("loadView", [](UIViewController& self) {
        auto label = makeView<UILabel>(CGRectMake(0, 0, 10, 10));
        label->setText("built by the runtime class");
        self.setView(label);
    });
    auto controller = runtime::send<Id>(runtime::send<Id>(cls, "alloc"), "init");
    auto view = runtime::cast<UILabel>(runtime::send<Id>(controller, "view"));
    ASSERT_TRUE(view);
    EXPECT_EQ(view->text(), "built by the runtime class");
    EXPECT_EQ(controller->runtimeClassName(), "RuntimeOnlyController");
    EXPECT_EQ(snapshotView(*view)["viewController"], "RuntimeOnlyController");
}

TEST_F(Applications, AControllerOffScreenLetsItsViewGoOnAMemoryWarning)
{
    auto controller = runtime::make<RecordingController>();
    controller->view();
    runtime::send(controller, "didReceiveMemoryWarning");
    EXPECT_FALSE(controller->isViewLoaded());
    auto window = screenWindow();
    window->addSubview(controller->view());
    controller->didReceiveMemoryWarning();
    EXPECT_TRUE(controller->isViewLoaded()) << "a view on screen stays";
    EXPECT_EQ(controller->trace, "vc.loadView|vc.viewDidLoad|vc.loadView|vc.viewDidLoad");
}

TEST_F(Applications, KeyboardLiesAlongTheInterfacesBottom)
{
    auto window = screenWindow();
    auto field = makeView<UITextField>(CGRectMake(0, 0, 100, 30));
    window->addSubview(field);
    EXPECT_EQ(keyboardFrame(), CGRectZero);
    field->becomeFirstResponder();
    EXPECT_EQ(keyboardFrame(), CGRectMake(0, 264, 320, 216));
    runtime::send(UIApplication::sharedApplication(), "setStatusBarOrientation:", int64_t(UIInterfaceOrientationLandscapeRight));
    EXPECT_EQ(keyboardFrame(), CGRectMake(0, 0, 162, 480));
    UIApplication::sharedApplication()->setStatusBarOrientation(UIInterfaceOrientationLandscapeLeft);
    EXPECT_EQ(keyboardFrame(), CGRectMake(158, 0, 162, 480));
    UIApplication::sharedApplication()->setStatusBarOrientation(9);
    EXPECT_EQ(UIApplication::sharedApplication()->statusBarOrientation(), UIInterfaceOrientationLandscapeLeft) << "not an orientation";
}

} // namespace uikit_test
