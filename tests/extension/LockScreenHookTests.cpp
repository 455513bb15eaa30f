#include "ParlivoFixture.h"

#include <springboard/SBAwayController.h>

namespace parlivo_test {
namespace {

    using LockScreenReply = ParlivoTest;

    TEST_F(LockScreenReply, UnlockingAMessagesCellOpensTheReplyAboveTheLockScreen)
    {
        bootWithParlivo();
        phone().lock();
        auto row = phone().receiveSMS(AnnasNumber, "Sei sveglio?");
        ASSERT_TRUE(row);
        ASSERT_TRUE(phone().unlockBulletin(0));

        EXPECT_TRUE(state()["locked"]) << "the device stays locked";
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Open);
        EXPECT_TRUE(rdl().inLockScreen());
        EXPECT_EQ(rdl().alertWindow()->windowLevel(), uikit::UIWindowLevelStatusBar + 100);
        EXPECT_EQ(rdl().lastMessage(), "Sei sveglio?");
        EXPECT_TRUE(quickReply()->inLockScreen);
        EXPECT_TRUE(tweak().shouldResetDimTimer);
        EXPECT_TRUE(logHas("\nDEV:THIS BULLETIN WAS FROM com.apple.MobileSMS WITH TOPIC sms"));

        phone().advance(299);
        EXPECT_FALSE(state()["dimmed"]) << "the screen stays lit while the reply is open";

        send(tweak().rdl, "dismissBanner");
        EXPECT_FALSE(rdl().inLockScreen());
        EXPECT_FALSE(tweak().shouldResetDimTimer);
        phone().advance(4.9);
        EXPECT_FALSE(state()["dimmed"]);
        phone().advance(0.1);
        EXPECT_TRUE(state()["dimmed"]) << "five seconds after the close";

        // The next reply, from a banner, sits below the status bar again.
        phone().home();
        phone().swipe("unlockSlider", uikit::CGPointMake(1500, 0));
        ASSERT_FALSE(state()["locked"]);
        phone().receiveSMS(AnnasNumber, "Sveglio!");
        phone().tapView("bannerTitle");
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Open);
        EXPECT_EQ(rdl().alertWindow()->windowLevel(), uikit::UIWindowLevelStatusBar - 1);
    }

    TEST_F(LockScreenReply, WithTheSwitchOffTheUnlockIsSpringBoards)
    {
        bootWithParlivo();
        writePreferences({ { "lockQR", foundation::PlistValue("0") } });
        phone().lock();
        phone().receiveSMS(AnnasNumber, "Sei sveglio?");
        ASSERT_TRUE(phone().unlockBulletin(0));
        EXPECT_FALSE(state()["locked"]);
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Closed);
        EXPECT_FALSE(logHas("THIS BULLETIN WAS FROM"));
    }

    TEST_F(LockScreenReply, AnyOtherValueCountsAsOn)
    {
        bootWithParlivo();
        writePreferences({ { "lockQR", foundation::PlistValue("no") } });
        phone().lock();
        phone().receiveSMS(AnnasNumber, "Sei sveglio?");
        phone().unlockBulletin(0);
        EXPECT_TRUE(state()["locked"]);
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Open);
    }

    TEST_F(LockScreenReply, LockingClosesAnOpenWindowAtOnce)
    {
        bootWithParlivo();
        phone().receiveSMS(AnnasNumber, "Ciao");
        phone().tapView("bannerTitle");
        ASSERT_EQ(rdl().status(), parlivo::WindowStatus::Open);
        auto window = rdl().alertWindow();
        phone().lock();
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Closed);
        EXPECT_FALSE(rdl().qRVC());
        EXPECT_FALSE(window->viewNamed("standInWindow"));
        EXPECT_EQ(window->frame(), uikit::CGRectMake(0, 0, 320, 0));
        EXPECT_FALSE(window->isHidden()) << "an emergency close does not hide the window";
        EXPECT_EQ(rdl().lastMessage(), "To be setted");
        EXPECT_EQ(g_windowTrace, "initWithMessage:Ciao;prepareView:NO;dismiss;");
        EXPECT_FALSE(logHas("RDL dismissBanner"));
    }

} // namespace
} // namespace parlivo_test
