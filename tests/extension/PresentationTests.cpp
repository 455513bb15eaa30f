#include "ParlivoFixture.h"

namespace parlivo_test {
namespace {

    using Presentation = ParlivoTest;

    TEST_F(Presentation, TheActivatorEventOpensQuickComposeOnlyUnderItsNameAndOnlyWhenIdle)
    {
        bootWithParlivo();
        ASSERT_TRUE(phone().activator("it.kelvane.RDLComposer"));
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Open);
        EXPECT_EQ(state()["banner"]["title"], "New message");
        EXPECT_EQ(state()["banner"]["message"], "Parlivo composer");
        EXPECT_EQ(g_windowTrace, "init;prepareView:NO;");
        Id first = rdl().qCVC();
        EXPECT_TRUE(rdl().alertWindow()->viewNamed("standInWindow"));

        rdl().showQuickReply();
        EXPECT_FALSE(rdl().qRVC()) << "no reply while compose is open";
        rdl().dismissBanner();
        EXPECT_TRUE(state()["banner"].is_null());
        rdl().activatorReceiveEvent(nullptr, nullptr, "other.listener");
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Closed);
        phone().activator("it.kelvane.RDLComposer");
        EXPECT_NE(rdl().qCVC(), first) << "every opening builds a new window";
    }

    TEST_F(Presentation, AWindowThatCannotBeMadeLeavesNoOverlayAndNoStuckStatus)
    {
        bootWithParlivo();
        {
            runtime::ScopedClassRemoval noCompose("QuickComposeViewController");
            phone().activator("it.kelvane.RDLComposer");
            EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Closed);
            EXPECT_TRUE(rdl().alertWindow()->isHidden()) << "an empty overlay would take every touch";
            EXPECT_TRUE(logHas("No QuickComposeViewController on this phone, nothing to show"));
        }
        {
            runtime::ScopedClassRemoval noReply("QuickReplyViewController");
            phone().receiveSMS(AnnasNumber, "Ciao");
            phone().tapView("bannerTitle");
            EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Closed);
            EXPECT_TRUE(rdl().alertWindow()->isHidden());
        }
        phone().receiveSMS(AnnasNumber, "Ci sei?");
        phone().tapView("bannerTitle");
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Open) << "a later message still opens its reply";
        EXPECT_TRUE(quickReply());
    }

    TEST_F(Presentation, AComposeEventWhileAReplyIsOpenKeepsTheReply)
    {
        bootWithParlivo();
        phone().receiveSMS(AnnasNumber, "Ciao");
        phone().tapView("bannerTitle");
        phone().activator("it.kelvane.RDLComposer");
        EXPECT_FALSE(rdl().qCVC());
        EXPECT_EQ(state()["banner"]["message"], "Ciao");
        EXPECT_EQ(rdl().lastMessage(), "Ciao");
    }

    TEST_F(Presentation, RotationReachesTheOpenWindowAfterSpringBoard)
    {
        bootWithParlivo();
        phone().openApp("com.apple.mobilemail");
        phone().receiveSMS(AnnasNumber, "Ciao");
        phone().tapView("bannerTitle");
        ASSERT_EQ(rdl().status(), parlivo::WindowStatus::Open);
        g_windowTrace.clear();
        phone().rotate(3);
        phone().rotate(1);
        EXPECT_EQ(g_windowTrace, "rotated:3;rotated:1;");
    }

    TEST_F(Presentation, TheControllersBannerForAnIMessageIsNotAMessagesBanner)
    {
        bootWithParlivo();
        rdl().setLastMessageType("iMessage");
        rdl().setLastMessageAddress(std::string(AnnasNumber));
        rdl().showBulletin(7);
        EXPECT_EQ(state()["banner"]["sectionID"], "RDLbanner");
        EXPECT_EQ(state()["banner"]["message"], "iMessage");
        EXPECT_FALSE(tweak().isSMS);
        EXPECT_FALSE(rdl().ownBulletin());

        // A tap on it is SpringBoard's: it opens no reply of its own, and the
        // one the banner announced still opens a second after the post.
        ASSERT_TRUE(phone().tapView("bannerTitle"));
        EXPECT_TRUE(logHas("\nNORMAL:HANDLE TAP!\nNORMAL:NOT SMS RETURNING"));
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Closed);
        EXPECT_EQ(g_windowTrace, "");
        phone().advance(1);
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Open);
        EXPECT_EQ(g_windowTrace, "initWithMessage:Unknown;prepareView:NO;") << "one reply only";
    }

    TEST_F(Presentation, ACloseWithNoWindowOpenOnlyRemovesTheSystemBanner)
    {
        bootWithParlivo();
        ASSERT_TRUE(phone().receiveSMS(AnnasNumber, "Ciao"));
        ASSERT_FALSE(state()["banner"].is_null());
        rdl().setLastMessage("kept");
        // A log at the size the check removes.
        m_device.write("/var/mobile/Library/PLV/PLV.log", std::string(100000, 'x'));

        rdl().dismissBanner();
        EXPECT_TRUE(state()["banner"].is_null());
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Closed);
        EXPECT_EQ(rdl().lastMessage(), "kept") << "the record is left alone";
        EXPECT_EQ(rdl().lastMessageAddress(), "UNKNOWN");
        EXPECT_FALSE(rdl().shouldClose());
        EXPECT_EQ(g_windowTrace, "");
        EXPECT_TRUE(logHas("\nDEV:RDL dismissBanner\nDEV:HeavyUtilities dismissBanner"));
        EXPECT_FALSE(logHas("RDL dismissBanner end"));
        foundation::Executor::shared().drain();
        phone().advance(1);
        EXPECT_TRUE(m_device.exists("/var/mobile/Library/PLV/PLV.log")) << "no log-size check without a window";
    }

    TEST_F(Presentation, AReusedReplyWindowIsToldTheNewTextOrWasNil)
    {
        bootWithParlivo();
        rdl().showQuickReply();
        Id controller = rdl().qRVC();
        // Keep the controller, as a window that outlives a status reset would.
        rdl().setStatus(parlivo::WindowStatus::Closed);
        rdl().setLastMessage(std::nullopt);
        g_windowTrace.clear();
        rdl().showQuickReply();
        EXPECT_EQ(rdl().qRVC(), controller);
        EXPECT_EQ(g_windowTrace, "setMessage:WAS NIL;prepareView:NO;");
    }

    TEST_F(Presentation, OpeningAnApplicationFromInsideOneUsesTheSwitcher)
    {
        bootWithParlivo();
        phone().openApp("com.apple.mobilemail");
        ASSERT_TRUE(rdl().inApp());
        send(tweak().rdl, "openApp:", std::string("com.apple.MobileSMS"));
        EXPECT_EQ(state()["frontApp"], "com.apple.MobileSMS");
        send(tweak().rdl, "openAppWithURL:", std::string("sms:+393331234567"));
        EXPECT_TRUE(logHas("\nDEV:sto per aprire l'URL: sms:+393331234567"));
    }

    TEST_F(Presentation, ThePlainBannerFunctionSetsOwnBulletinAroundThePost)
    {
        bootWithParlivo();
        parlivo::showBulletin("Titolo", "Testo", tweak().rdl);
        EXPECT_EQ(state()["banner"]["title"], "Titolo");
        EXPECT_TRUE(logHas("\nDEV:è il nostro bulletin, ho già l'URL"));
        EXPECT_FALSE(rdl().ownBulletin());
        parlivo::showBulletin("Senza", "controller", nullptr);
        EXPECT_EQ(state()["banner"]["title"], "Senza");
    }

} // namespace
} // namespace parlivo_test
