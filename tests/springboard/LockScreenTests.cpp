#include "PhoneFixture.h"

#include <springboard/SBAwayBulletinCell.h>
#include <springboard/SBAwayController.h>
#include <springboard/SpringBoardClasses.h>
#include <uikit/UIKit.h>

namespace springboard_test {
namespace {

    using namespace uikit;

    using LockScreen = PhoneWithOneContact;

    Id awayController() { return send<Id>(runtime::classNamed("SBAwayController"), "sharedAwayController"); }

    TEST_F(LockScreen, LockingMakesAFreshBulletinListThroughInitAndTurnsTheScreenOff)
    {
        boot();
        m_hooks.trace<1, void>("SBAwayController", "lock", "lock;");
        m_hooks.trace<2, Id>("SBAwayBulletinListController", "init", "init;");
        ASSERT_TRUE(phone().lock());
        EXPECT_EQ(g_trace, "lock;init;");
        EXPECT_TRUE(state()["locked"]);
        EXPECT_TRUE(state()["dimmed"]) << "the sleep button turns the screen off";
        EXPECT_EQ(phone().lock().reason(), "the phone is already locked");
        EXPECT_EQ(phone().tap(CGPointMake(160, 240)).reason(), "the screen is off; press home to light it");

        auto first = springboard::SBAwayController::sharedAwayController()->bulletinListController();
        phone().home();
        EXPECT_FALSE(state()["dimmed"]);
        auto slid = phone().swipe("unlockSlider", CGPointMake(1500, 0));
        ASSERT_TRUE(slid) << slid.reason();
        EXPECT_FALSE(state()["locked"]);
        phone().lock();
        EXPECT_EQ(g_trace, "lock;init;lock;init;");
        EXPECT_NE(springboard::SBAwayController::sharedAwayController()->bulletinListController(), first);
    }

    TEST_F(LockScreen, AMessageWhileLockedGoesToTheLockScreenAndLightsItUntilTheDimTimerRunsOut)
    {
        boot();
        m_hooks.trace<1, void, const Id&, const Id&, int64_t>("SBBulletinBannerController", "observer:addBulletin:forFeed:", "banner;");
        phone().lock();
        ASSERT_TRUE(phone().receiveSMS(AnnasNumber, "Sei sveglio?"));
        EXPECT_EQ(g_trace, "") << "no banner while locked";
        EXPECT_TRUE(state()["banner"].is_null());
        ASSERT_EQ(state()["lockScreen"].size(), 1u);
        EXPECT_EQ(state()["lockScreen"][0]["message"], "Sei sveglio?");
        EXPECT_EQ(state()["notificationCenter"]["bulletins"].size(), 1u);
        EXPECT_FALSE(state()["dimmed"]);

        phone().advance(springboard::SBAwayController::DefaultDimInterval - 0.1);
        EXPECT_FALSE(state()["dimmed"]);
        phone().advance(0.1);
        EXPECT_TRUE(state()["dimmed"]);
        EXPECT_EQ(phone().unlockBulletin(0).reason(), "the screen is off; press home to light it");
    }

    TEST_F(LockScreen, TheDimTimerCanBeRestartedForLongerOrShorter)
    {
        boot();
        phone().lock();
        phone().receiveSMS(AnnasNumber, "one");
        send(awayController(), "undimScreen");
        send(awayController(), "restartDimTimer:", 300.0);
        phone().advance(299);
        EXPECT_FALSE(state()["dimmed"]) << "the restart replaced the default time";
        phone().advance(1);
        EXPECT_TRUE(state()["dimmed"]);

        send(awayController(), "undimScreen");
        EXPECT_FALSE(state()["dimmed"]);
        send(awayController(), "restartDimTimer:", 5.0);
        send(awayController(), "restartDimTimer:", std::nan(""));
        phone().advance(5);
        EXPECT_TRUE(state()["dimmed"]) << "a time that is not a number leaves the running timer alone";

        auto away = springboard::SBAwayController::sharedAwayController();
        send(awayController(), "undimScreen");
        send(awayController(), "restartDimTimer:", 5.0);
        away->unlock();
        phone().advance(10);
        EXPECT_FALSE(state()["dimmed"]) << "an unlocked phone keeps its screen on";
        EXPECT_FALSE(away->dimDate());
    }

    TEST_F(LockScreen, SlidingABulletinsBarUnlocksAndOpensItsConversation)
    {
        boot();
        m_hooks.trace<1, void, const Id&>("SBAwayBulletinCell", "lockBarUnlocked:", "unlocked;");
        m_hooks.trace<2, bool, const std::string&, const std::string&, bool, bool, int64_t>("SBUserAgent",
            "launchFromBulletinWithURL:bundleID:allowUnlock:animate:launchOrigin:", "launch;");
        phone().lock();
        phone().receiveSMS("+15550001111", "older");
        phone().receiveSMS(AnnasNumber, "newest");

        auto table = springboard::SBAwayController::sharedAwayController()->bulletinTable();
        auto cell = runtime::cast<springboard::SBAwayBulletinCell>(table->cellForRow(NSIndexPathMake(0, 0)));
        ASSERT_TRUE(cell);
        Id context = send<Id>(cell, "actionContext");
        ASSERT_TRUE(context);
        std::string bulletinID = send<std::string>(context, "bulletinID");
        Id list = springboard::SBAwayController::sharedAwayController()->bulletinListController();
        Id item = send<Id>(list, "_listItemContainingBulletinID:", bulletinID);
        ASSERT_TRUE(item);
        EXPECT_EQ(send<std::string>(send<Id>(item, "bulletinWithID:", bulletinID), "message"), "newest");
        EXPECT_EQ(send<std::string>(send<Id>(context, "unlockAction"), "launchURL"), std::string("sms:") + AnnasNumber);

        auto unlocked = phone().unlockBulletin(0);
        ASSERT_TRUE(unlocked) << unlocked.reason();
        EXPECT_EQ(g_trace, "unlocked;launch;");
        EXPECT_FALSE(state()["locked"]);
        EXPECT_EQ(state()["frontApp"], "com.apple.MobileSMS");
        EXPECT_TRUE(state()["lockScreen"].empty()) << "the lock screen's list goes with the lock";
    }

    void (*s_savedUnlocked)(Object*, Sel, const Id&);
    void keepLocked(Object*, Sel, const Id&)
    {
        g_trace += "taken over;";
    }

    TEST_F(LockScreen, AHookThatTakesTheUnlockOverLeavesTheDeviceLocked)
    {
        boot();
        m_hooks.install<void, const Id&>("SBAwayBulletinCell", "lockBarUnlocked:", &keepLocked, &s_savedUnlocked);
        phone().lock();
        phone().receiveSMS(AnnasNumber, "Ciao");
        ASSERT_TRUE(phone().unlockBulletin(0));
        EXPECT_EQ(g_trace, "taken over;");
        EXPECT_TRUE(state()["locked"]);
    }

    TEST_F(LockScreen, UnknownBulletinIdsAnswerNilAndRefusedActionsSayWhy)
    {
        boot();
        EXPECT_EQ(phone().unlockBulletin(0).reason(), "the phone is not locked");
        phone().lock();
        phone().home();
        EXPECT_EQ(phone().unlockBulletin(0).reason(), "there are 0 bulletins on the lock screen; no bulletin 0");
        phone().receiveSMS(AnnasNumber, "Ciao");
        EXPECT_EQ(phone().unlockBulletin(3).reason(), "there is 1 bulletin on the lock screen; no bulletin 3");
        Id list = springboard::SBAwayController::sharedAwayController()->bulletinListController();
        EXPECT_FALSE(send<Id>(list, "_listItemContainingBulletinID:", "no-such-bulletin"));
        EXPECT_FALSE(send<Id>(list, "_listItemContainingBulletinID:", ""));
        EXPECT_EQ(phone().openApp("com.apple.MobileSMS").reason(), "the phone is locked");
    }

    TEST_F(LockScreen, ABulletinWithoutAnActionStillUnlocks)
    {
        boot();
        phone().lock();
        auto bulletin = runtime::make<springboard::BBBulletin>();
        bulletin->setTitle("Reminder");
        bulletin->setSectionID("com.example.reminders");
        bulletin->setBulletinID("reminder-1");
        springboard::SBAwayController::sharedAwayController()->addBulletin(bulletin);
        ASSERT_TRUE(phone().unlockBulletin(0));
        EXPECT_FALSE(state()["locked"]);
        EXPECT_TRUE(state()["frontApp"].is_null());
    }

} // namespace
} // namespace springboard_test
