#include "PhoneFixture.h"

#include <springboard/SBBulletinListController.h>
#include <uikit/UIKit.h>

namespace springboard_test {
namespace {

    using namespace uikit;

    using NotificationCenter = PhoneWithOneContact;

    void traceTheRowTap(HookSet& hooks)
    {
        hooks.trace<1, void, const Id&, const NSIndexPath&>("SBBulletinListController", "tableView:didSelectRowAtIndexPath:", "selected;");
        hooks.trace<2, Id, int64_t>("SBBulletinListSection", "bulletinAtIndex:", "bulletin;");
        hooks.trace<3, std::string>("BBAction", "launchURL", "url;");
        hooks.trace<4, bool, const std::string&, const std::string&>("SBUserAgent", "canLaunchFromBulletinWithURL:bundleID:", "may;");
        hooks.trace<5, bool, const std::string&, const std::string&, bool, bool, int64_t>("SBUserAgent",
            "launchFromBulletinWithURL:bundleID:allowUnlock:animate:launchOrigin:", "launch;");
    }

    TEST_F(NotificationCenter, ATappedRowMakesSpringBoardsCallsInOrderAndOpensTheMessage)
    {
        boot();
        phone().receiveSMS(AnnasNumber, "Ciao");
        traceTheRowTap(m_hooks);
        ASSERT_TRUE(phone().openNotificationCenter());
        EXPECT_TRUE(state()["notificationCenter"]["open"]);

        auto tapped = phone().tapNotification(0);
        ASSERT_TRUE(tapped) << tapped.reason();
        EXPECT_EQ(g_trace, "selected;bulletin;url;may;launch;");
        EXPECT_FALSE(state()["notificationCenter"]["open"]) << "launching closes the notification centre";
        EXPECT_EQ(state()["frontApp"], "com.apple.MobileSMS");
    }

    std::string (*s_savedLaunchURL)(Object*, Sel);
    std::string sentinelURL(Object*, Sel) { return "banana"; }
    bool (*s_savedCanLaunch)(Object*, Sel, const std::string&, const std::string&);
    bool canLaunchSentinel(Object* self, Sel selector, const std::string& url, const std::string& bundleID)
    {
        return url == "banana" || s_savedCanLaunch(self, selector, url, bundleID);
    }
    bool (*s_savedLaunch)(Object*, Sel, const std::string&, const std::string&, bool, bool, int64_t);
    bool launchSentinel(Object* self, Sel selector, const std::string& url, const std::string& bundleID, bool allowUnlock, bool animate, int64_t origin)
    {
        if (url != "banana")
            return s_savedLaunch(self, selector, url, bundleID, allowUnlock, animate, origin);
        g_trace += "sentinel;";
        send(send<Id>(runtime::classNamed("SBBulletinListController"), "sharedInstance"), "hideListViewAnimated:", true);
        return true;
    }

    TEST_F(NotificationCenter, AnExtensionCanTakeTheLaunchOverWithItsOwnURL)
    {
        boot();
        phone().receiveSMS(AnnasNumber, "Ciao");
        m_hooks.install<std::string>("BBAction", "launchURL", &sentinelURL, &s_savedLaunchURL);
        m_hooks.install<bool, const std::string&, const std::string&>("SBUserAgent", "canLaunchFromBulletinWithURL:bundleID:", &canLaunchSentinel, &s_savedCanLaunch);
        m_hooks.install<bool, const std::string&, const std::string&, bool, bool, int64_t>("SBUserAgent",
            "launchFromBulletinWithURL:bundleID:allowUnlock:animate:launchOrigin:", &launchSentinel, &s_savedLaunch);
        phone().openNotificationCenter();
        phone().tapNotification(0);
        EXPECT_EQ(g_trace, "sentinel;");
        EXPECT_FALSE(state()["notificationCenter"]["open"]);
        EXPECT_TRUE(state()["frontApp"].is_null()) << "SpringBoard opened nothing itself";
    }

    TEST_F(NotificationCenter, RowsAreGroupedByApplicationAndCountedNewestFirst)
    {
        boot();
        phone().receiveSMS(AnnasNumber, "first sms");
        phone().receiveMail("luca@example.com", "Minutes", "See attached.");
        phone().receiveSMS("+15550001111", "second sms");
        auto list = springboard::SBBulletinListController::sharedInstance();
        ASSERT_EQ(list->sections().size(), 2u);
        EXPECT_EQ(list->sections()[0]->displayName(), "Messages") << "the application with the newest bulletin comes first";
        EXPECT_EQ(list->sections()[1]->displayName(), "Mail");

        auto bulletins = state()["notificationCenter"]["bulletins"];
        ASSERT_EQ(bulletins.size(), 3u);
        EXPECT_EQ(bulletins[0]["message"], "second sms");
        EXPECT_EQ(bulletins[1]["message"], "Minutes");
        EXPECT_EQ(bulletins[2]["message"], "first sms");

        EXPECT_EQ(list->indexPathOfNewest(1), NSIndexPathMake(1, 0));
        EXPECT_EQ(list->indexPathOfNewest(2), NSIndexPathMake(0, 1));
        EXPECT_FALSE(list->indexPathOfNewest(3));

        m_hooks.trace<1, Id, int64_t>("SBBulletinListSection", "bulletinAtIndex:", "bulletin;");
        phone().openNotificationCenter();
        ASSERT_TRUE(phone().tapNotification(1));
        EXPECT_EQ(state()["frontApp"], "com.apple.mobilemail") << "the mail row opens Mail at the mail's reference";
    }

    TEST_F(NotificationCenter, ASectionKeepsItsFiveNewestBulletins)
    {
        boot();
        for (int i = 0; i < 7; ++i)
            phone().receiveSMS(AnnasNumber, "message " + std::to_string(i));
        auto list = springboard::SBBulletinListController::sharedInstance();
        ASSERT_EQ(list->sections().size(), 1u);
        auto section = list->sections()[0];
        EXPECT_EQ(send<int64_t>(section, "bulletinCount"), 5);
        EXPECT_EQ(send<std::string>(send<Id>(section, "bulletinAtIndex:", int64_t { 0 }), "message"), "message 6");
        EXPECT_EQ(send<std::string>(send<Id>(section, "bulletinAtIndex:", int64_t { 4 }), "message"), "message 2");
        EXPECT_FALSE(send<Id>(section, "bulletinAtIndex:", int64_t { 5 }));
        EXPECT_FALSE(send<Id>(section, "bulletinAtIndex:", int64_t { -1 }));
    }

    TEST_F(NotificationCenter, ActionsThatMakeNoSenseAreRefusedWithAReason)
    {
        boot();
        EXPECT_EQ(phone().tapNotification(0).reason(), "the notification centre is not open");
        ASSERT_TRUE(phone().openNotificationCenter());
        EXPECT_EQ(phone().openNotificationCenter().reason(), "the notification centre is already open");
        EXPECT_EQ(phone().tapNotification(0).reason(), "the notification centre holds 0 notifications; no notification 0");
        phone().home();
        EXPECT_FALSE(state()["notificationCenter"]["open"]) << "the home button closes the notification centre";
        phone().lock();
        EXPECT_EQ(phone().openNotificationCenter().reason(), "the phone is locked");
    }

    TEST_F(NotificationCenter, ARowWhoseApplicationCannotBeLaunchedStaysInTheCentre)
    {
        boot();
        auto bulletin = send<Id>(runtime::classNamed("BBBulletin"), "new");
        send(bulletin, "setTitle:", "Weather");
        send(bulletin, "setSectionID:", "com.example.weather");
        springboard::SBBulletinListController::sharedInstance()->addBulletin(runtime::cast<springboard::BBBulletin>(bulletin));
        traceTheRowTap(m_hooks);
        phone().openNotificationCenter();
        ASSERT_TRUE(phone().tapNotification(0));
        EXPECT_EQ(g_trace, "selected;bulletin;may;") << "no action, so no URL is asked; the agent refuses an unknown application";
        EXPECT_TRUE(state()["notificationCenter"]["open"]);
    }

} // namespace
} // namespace springboard_test
