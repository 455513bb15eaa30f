#include "PhoneFixture.h"

#include <springboard/BBBulletin.h>
#include <springboard/SBBannerView.h>
#include <springboard/SBBulletinBannerController.h>
#include <uikit/UIKit.h>

namespace springboard_test {
namespace {

    using namespace uikit;

    using Banners = PhoneWithOneContact;

    Id bannerController() { return send<Id>(runtime::classNamed("SBBulletinBannerController"), "sharedInstance"); }

    TEST_F(Banners, AnIncomingSMSBecomesABannerOverTheStatusBarAndGoesAwayByItself)
    {
        boot();
        m_hooks.trace<1, void, int64_t>("SBBulletinBannerController", "_tryToDismissBannerWithAnimation:", "dismiss;");
        auto received = phone().receiveSMS(AnnasNumber, "Ciao, ci vediamo?");
        ASSERT_TRUE(received) << received.reason();

        auto banner = state()["banner"];
        EXPECT_EQ(banner["title"], "Anna Rossi") << "the sender's name comes from the Address Book";
        EXPECT_EQ(banner["message"], "Ciao, ci vediamo?");
        EXPECT_EQ(banner["sectionID"], "com.apple.MobileSMS");
        EXPECT_EQ(banner["recordID"], std::to_string(*received->recordID));
        EXPECT_TRUE(send<bool>(bannerController(), "isShowingBanner"));

        auto controller = springboard::SBBulletinBannerController::sharedInstance();
        auto window = controller->window();
        ASSERT_TRUE(window);
        EXPECT_GT(window->windowLevel(), UIWindowLevelStatusBar) << "banners cover the status bar";
        EXPECT_EQ(window->screenFrame(), CGRectMake(0, 0, 320, 43));
        auto shadowView = runtime::objectIvar(bannerController(), "_bannerAndShadowView");
        ASSERT_TRUE(shadowView);
        EXPECT_EQ(runtime::cast<UIView>(shadowView)->window(), window);

        phone().advance(springboard::SBBulletinBannerController::BannerDuration - 0.5);
        EXPECT_FALSE(state()["banner"].is_null());
        phone().advance(0.5);
        EXPECT_TRUE(state()["banner"].is_null());
        EXPECT_EQ(g_trace, "dismiss;") << "the time-out goes through the hookable method";
        EXPECT_FALSE(runtime::objectIvar(bannerController(), "_bannerAndShadowView"));
        EXPECT_TRUE(window->isHidden());
    }

    bool s_keepBannerUp = false;
    void (*s_savedDismiss)(Object*, Sel, int64_t);
    void dismissUnlessKept(Object* self, Sel selector, int64_t animation)
    {
        g_trace += "asked;";
        if (!s_keepBannerUp)
            s_savedDismiss(self, selector, animation);
    }

    TEST_F(Banners, AHookThatRefusesTheTimeOutKeepsTheBannerUntilSomeoneDismissesIt)
    {
        boot();
        s_keepBannerUp = true;
        m_hooks.install<void, int64_t>("SBBulletinBannerController", "_tryToDismissBannerWithAnimation:", &dismissUnlessKept, &s_savedDismiss);
        phone().receiveSMS(AnnasNumber, "one");
        phone().advance(60);
        EXPECT_FALSE(state()["banner"].is_null()) << "no second time-out is scheduled";
        EXPECT_EQ(g_trace, "asked;");

        s_keepBannerUp = false;
        send(bannerController(), "_tryToDismissBannerWithAnimation:", int64_t { 0 });
        EXPECT_TRUE(state()["banner"].is_null());
    }

    TEST_F(Banners, ANewBulletinReplacesTheBannerOnScreenAndRestartsItsTime)
    {
        boot();
        phone().receiveSMS(AnnasNumber, "first");
        phone().advance(4);
        phone().receiveSMS("+15550001111", "second");
        EXPECT_EQ(state()["banner"]["message"], "second");
        EXPECT_EQ(state()["banner"]["title"], "+15550001111") << "an unknown sender is shown by number";
        phone().advance(4);
        EXPECT_EQ(state()["banner"]["message"], "second");
        phone().advance(1);
        EXPECT_TRUE(state()["banner"].is_null());
        EXPECT_EQ(state()["notificationCenter"]["bulletins"].size(), 2u) << "both stay in the notification centre";
    }

    TEST_F(Banners, TappingTheBannerOpensTheConversationInMessages)
    {
        boot();
        m_hooks.trace<1, void, const Id&>("SBBulletinBannerController", "_handleBannerTapGesture:", "tap;");
        m_hooks.trace<2, bool>("BBAction", "isURLLaunchAction", "isURL;");
        m_hooks.trace<3, std::string>("BBAction", "launchURL", "url;");
        m_hooks.trace<4, void>("SBApplication", "activate", "activate;");
        phone().receiveSMS(AnnasNumber, "Ciao");

        auto tapped = phone().tapView("bannerTitle");
        ASSERT_TRUE(tapped) << tapped.reason();
        EXPECT_EQ(g_trace, "tap;isURL;url;activate;");
        EXPECT_TRUE(state()["banner"].is_null());
        EXPECT_EQ(state()["frontApp"], "com.apple.MobileSMS");
        bool found = false;
        for (auto& window : visibleWindows()) {
            if (auto label = runtime::cast<UILabel>(window->viewNamed("messagesTitle"))) {
                EXPECT_EQ(label->text(), "Anna Rossi") << "the launch URL names the conversation";
                found = true;
            }
            if (auto text = runtime::cast<UILabel>(window->viewNamed("messageText"))) {
                EXPECT_EQ(text->text(), "Ciao");
            }
        }
        EXPECT_TRUE(found);
    }

    void (*s_savedCreate)(Object*, Sel, const Id&);
    void addBadge(Object* self, Sel selector, const Id& image)
    {
        s_savedCreate(self, selector, image);
        auto badge = makeView<UIView>(CGRectMake(5, 11, 21, 21));
        badge->setName("extensionBadge");
        send(self, "addSubview:", Id(badge));
    }

    TEST_F(Banners, AnExtensionCanAddItsOwnViewToTheBannerAndTellATapOnItFromOneBesideIt)
    {
        boot();
        m_hooks.install<void, const Id&>("SBBannerView", "_createSubviewsWithBannerImage:", &addBadge, &s_savedCreate);
        phone().receiveSMS(AnnasNumber, "Ciao");
        auto container = runtime::cast<UIView>(runtime::objectIvar(bannerController(), "_bannerAndShadowView"));
        ASSERT_TRUE(container);
        auto badge = container->viewNamed("extensionBadge");
        ASSERT_TRUE(badge) << "the hook ran while the banner was built";
        auto recognizers = container->gestureRecognizers();
        ASSERT_EQ(recognizers.size(), 1u);
        EXPECT_TRUE(recognizers[0]->isKindOfClass(runtime::classNamed("UITapGestureRecognizer")));

        // The banner sits at the container's origin, so the badge's frame and a
        // tap located in the container compare directly, as an extension does.
        tapScreen(CGPointMake(15, 20));
        EXPECT_TRUE(CGRectContainsPoint(badge->frame(), recognizers[0]->locationInView(container.get())));
    }

    TEST_F(Banners, TheBannerWindowTurnsWithTheApplicationInFront)
    {
        boot();
        m_hooks.trace<1, void, int64_t>("SBBulletinBannerController", "bulletinWindowWillRotateToOrientation:", "rotate;");
        phone().rotate(3);
        EXPECT_EQ(g_trace, "") << "the home screen stays in portrait";
        phone().openApp("com.apple.mobilemail");
        EXPECT_EQ(g_trace, "rotate;");
        phone().receiveSMS(AnnasNumber, "Ciao");
        auto window = springboard::SBBulletinBannerController::sharedInstance()->window();
        EXPECT_EQ(window->screenFrame(), CGRectMake(320 - 43, 0, 43, 480)) << "landscape right: the interface's top is the screen's right edge";
        EXPECT_EQ(window->bounds().size, CGSizeMake(480, 43));
        phone().rotate(2);
        EXPECT_EQ(g_trace, "rotate;") << "applications do not turn upside down";
        phone().rotate(4);
        EXPECT_EQ(window->screenFrame(), CGRectMake(0, 0, 43, 480));
        phone().home();
        EXPECT_EQ(g_trace, "rotate;rotate;rotate;");
        EXPECT_EQ(window->screenFrame(), CGRectMake(0, 0, 320, 43));
    }

    TEST_F(Banners, ABulletinOfferedDirectlyIsShownAndOtherObjectsAreIgnored)
    {
        boot();
        auto bulletin = send<Id>(send<Id>(runtime::classNamed("BBBulletin"), "alloc"), "init");
        send(bulletin, "setTitle:", "New message");
        send(bulletin, "setMessage:", "Parlivo composer");
        send(bulletin, "setSectionID:", "com.apple.MobileSMS");
        send(bannerController(), "observer:addBulletin:forFeed:", runtime::nil, bulletin, int64_t { 0 });
        EXPECT_EQ(state()["banner"]["title"], "New message");
        EXPECT_EQ(state()["banner"]["recordID"], "");

        send(bannerController(), "observer:addBulletin:forFeed:", runtime::nil, runtime::make<Object>(), int64_t { 0 });
        send(bannerController(), "observer:addBulletin:forFeed:", runtime::nil, runtime::nil, int64_t { 0 });
        EXPECT_EQ(state()["banner"]["title"], "New message");
    }

} // namespace
} // namespace springboard_test
