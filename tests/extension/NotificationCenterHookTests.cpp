#include "ParlivoFixture.h"

#include <chatkit/ChatKit.h>
#include <springboard/BulletinBoard.h>

namespace parlivo_test {
namespace {

    using NotificationCenterRow = ParlivoTest;

    TEST_F(NotificationCenterRow, AMessagesRowPostsTheControllersBannerAndOpensTheReplyASecondLater)
    {
        bootWithParlivo();
        auto row = phone().receiveSMS(AnnasNumber, "Ciao");
        phone().advance(10);
        ASSERT_TRUE(state()["banner"].is_null());
        ASSERT_TRUE(phone().openNotificationCenter());
        ASSERT_TRUE(phone().tapNotification(0));

        EXPECT_FALSE(state()["notificationCenter"]["open"]);
        EXPECT_TRUE(state()["frontApp"].is_null()) << "Messages did not open";
        EXPECT_EQ(state()["banner"]["title"], "Anna Rossi");
        EXPECT_EQ(state()["banner"]["message"], "Message");
        EXPECT_EQ(state()["banner"]["recordID"], std::to_string(*row->recordID));
        EXPECT_EQ(rdl().lastMessage(), "Ciao");
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Closed);
        EXPECT_TRUE(logHas("\nDEV:è il nostro bulletin, ho già l'URL"));

        phone().advance(0.99);
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Closed);
        phone().advance(0.01);
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Open);
        EXPECT_EQ(g_windowTrace, "initWithMessage:Ciao;prepareView:NO;");
        std::string log = logText();
        EXPECT_NE(log.find("\nDEV:User tapped notification\nDEV:It's an SMS:"), std::string::npos);
        EXPECT_NE(log.find("\nDEV:dal notification bulletin ho preso l'URL: sms:"), std::string::npos);
        EXPECT_NE(log.find("\nSEVERE:CANNOT OPEN PREFERENCES FILE"), std::string::npos) << "no file counts as on";
    }

    TEST_F(NotificationCenterRow, ARowWithoutALaunchURLLogsItAsNull)
    {
        bootWithParlivo();
        auto row = chatkit::receiveSMS(AnnasNumber, "senza azione");
        ASSERT_TRUE(row);
        // A messages bulletin that carries no default action.
        auto bulletin = runtime::cast<springboard::BBBulletin>(send<Id>(send<Id>(runtime::classNamed("BBBulletin"), "alloc"), "init"));
        ASSERT_TRUE(bulletin);
        send(bulletin, "setSectionID:", std::string("com.apple.MobileSMS"));
        send(bulletin, "setRecordID:", std::to_string(*row));
        send(bulletin, "setTitle:", std::string("Anna Rossi"));
        springboard::publishBulletin(bulletin);
        phone().advance(10);
        ASSERT_TRUE(phone().openNotificationCenter());
        phone().tapNotification(0);
        EXPECT_FALSE(tweak().smsURL);
        EXPECT_FALSE(tweak().isSMSNotification) << "no sentinel is kept for a later, unrelated request";
        EXPECT_TRUE(logHas("\nDEV:dal notification bulletin ho preso l'URL: (null)"));
        EXPECT_EQ(rdl().lastMessage(), "senza azione") << "the row was still recorded";
    }

    TEST_F(NotificationCenterRow, TheSentinelIsHandedOutOnce)
    {
        bootWithParlivo();
        Id action = send<Id>(runtime::classNamed("BBAction"), "actionWithLaunchURL:bundleID:", std::string("sms:+393331234567"), std::string("com.apple.MobileSMS"));
        ASSERT_TRUE(action);
        tweak().isSMSNotification = true;
        EXPECT_EQ(send<std::string>(action, "launchURL"), "banana");
        EXPECT_EQ(send<std::string>(action, "launchURL"), "sms:+393331234567");
        tweak().isSMSNotification = true;
        tweak().shouldOpenMessaggi = true;
        EXPECT_EQ(send<std::string>(action, "launchURL"), "sms:+393331234567") << "the library's own requests get the real URL";
        EXPECT_TRUE(tweak().isSMSNotification);
        EXPECT_FALSE(send<bool>(action, "isURLLaunchAction")) << "messages actions are not URL launches";
    }

    TEST_F(NotificationCenterRow, WithTheSwitchOffTheRowIsLeftToSpringBoard)
    {
        bootWithParlivo();
        writePreferences({ { "ncqr", foundation::PlistValue("0") } });
        phone().receiveSMS(AnnasNumber, "Ciao");
        phone().advance(10);
        phone().openNotificationCenter();
        phone().tapNotification(0);
        EXPECT_EQ(state()["frontApp"], "com.apple.MobileSMS");
        EXPECT_EQ(rdl().lastMessage(), "Unknown") << "nothing was recorded";
        phone().advance(2);
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Closed);
        EXPECT_FALSE(tweak().ncqr);
    }

    TEST_F(NotificationCenterRow, OnlyTheTextOneSwitchesItOnButAMissingKeyCountsAsOn)
    {
        bootWithParlivo();
        writePreferences({ { "ncqr", foundation::PlistValue("yes") } });
        phone().receiveSMS(AnnasNumber, "Ciao");
        phone().openNotificationCenter();
        phone().tapNotification(0);
        EXPECT_FALSE(tweak().ncqr);
        EXPECT_EQ(state()["frontApp"], "com.apple.MobileSMS");

        phone().home();
        writePreferences({ { "lockQR", foundation::PlistValue("1") } });
        phone().receiveSMS(AnnasNumber, "Ancora");
        phone().advance(10);
        phone().openNotificationCenter();
        phone().tapNotification(0);
        EXPECT_TRUE(tweak().ncqr);
        EXPECT_TRUE(logHas("\nNORMAL:CANNOT FIND KEY NCQR"));
        phone().advance(1);
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Open);
        EXPECT_EQ(rdl().lastMessage(), "Ancora");
    }

    TEST_F(NotificationCenterRow, AnotherApplicationsRowIsLeftToSpringBoard)
    {
        bootWithParlivo();
        phone().receiveMail("luca@example.com", "Minutes", "See attached.");
        phone().openNotificationCenter();
        phone().tapNotification(0);
        EXPECT_EQ(state()["frontApp"], "com.apple.mobilemail");
        EXPECT_FALSE(tweak().isSMSNotification);
        EXPECT_FALSE(tweak().userTapNotification);
    }

} // namespace
} // namespace parlivo_test
