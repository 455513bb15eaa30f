#include "ParlivoFixture.h"

#include <extension/HookTable.h>
#include <extension/Hooks.h>
#include <foundation/NotificationCenter.h>

namespace parlivo_test {
namespace {

    using HookTable = ParlivoTest;

    TEST_F(HookTable, EveryRowIsInstalledOnTheHostAndTakenOffAgain)
    {
        bootWithParlivo();
        auto* banners = runtime::classNamed("SBBulletinBannerController");
        const auto* method = banners->lookup("observer:addBulletin:forFeed:");
        ASSERT_TRUE(method);
        EXPECT_EQ(method->imp.load(), reinterpret_cast<runtime::Imp>(&parlivo::hooks::observerAddBulletinForFeed));
        for (const auto& row : parlivo::hookTable())
            EXPECT_FALSE(logContains(std::string("not hooking -[") + std::string(row.className))) << row.selector;
        EXPECT_EQ(parlivo::hookTable().size(), 19u);

        parlivo::uninstallParlivo();
        EXPECT_NE(banners->lookup("observer:addBulletin:forFeed:")->imp.load(), reinterpret_cast<runtime::Imp>(&parlivo::hooks::observerAddBulletinForFeed));
        EXPECT_FALSE(parlivo::hooks::orig_observerAddBulletinForFeed);
    }

    TEST_F(HookTable, ARowWhoseClassTheHostLacksIsLoggedAndSkipped)
    {
        // Taken away once the phone has defined its classes, before Parlivo loads.
        static runtime::Class* cells = nullptr;
        phone::BootOptions options;
        options.loadExtensions = false;
        options.inProcessExtensions.push_back([] {
            cells = runtime::classNamed("SBAwayBulletinCell");
            runtime::removeClass("SBAwayBulletinCell");
        });
        options.inProcessExtensions.push_back([] { parlivo::installParlivo(); });
        boot(std::move(options));
        struct Restore {
            ~Restore()
            {
                if (cells)
                    runtime::restoreClass(cells);
            }
        } restore;
        EXPECT_TRUE(logContains("Parlivo: no class SBAwayBulletinCell on this system, not hooking lockBarUnlocked:"));
        ASSERT_TRUE(phone().receiveSMS(AnnasNumber, "Ciao"));
        EXPECT_EQ(rdl().lastMessage(), "Unknown") << "the other rows work";
        EXPECT_TRUE(tweak().isSMS);
    }

    TEST_F(HookTable, BeforeLaunchEveryHookPassesThroughAndReadsNoController)
    {
        bootWithParlivo();
        // As before SpringBoard's launch-finished: the hooks are in, no controller.
        tweak().rdl = nullptr;
        tweak().hv = nullptr;
        ASSERT_TRUE(phone().openApp("com.apple.MobileSMS"));
        ASSERT_TRUE(phone().home());
        ASSERT_TRUE(phone().receiveSMS(AnnasNumber, "Ciao"));
        EXPECT_FALSE(state()["banner"].is_null()) << "row 10 showed the banner";
        ASSERT_TRUE(phone().rotate(3));
        phone().advance(10);
        EXPECT_TRUE(state()["banner"].is_null()) << "row 8 let the time-out remove it";
        ASSERT_TRUE(phone().lock());
        EXPECT_TRUE(state()["locked"]);

        foundation::NotificationCenter::darwin().post(kelvane::PLVReloadNotification);
        phone().advance(0.1);
        EXPECT_TRUE(logHas("\nDEV:reloadPrefsNotification"));
    }

    TEST_F(HookTable, ATapBeforeAnyBulletinIsLeftToSpringBoard)
    {
        bootWithParlivo();
        EXPECT_EQ(tweak().messageID, 0) << "record zero until a bulletin names one";
        EXPECT_FALSE(tweak().isSMS);
        auto gesture = runtime::make<uikit::UITapGestureRecognizer>();
        send(bannerController(), "_handleBannerTapGesture:", Id(gesture));
        EXPECT_TRUE(logHas("\nNORMAL:HANDLE TAP!\nNORMAL:NOT SMS RETURNING"));
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Closed);
        EXPECT_EQ(tweak().messageID, 0) << "nothing was looked up or consumed";
        EXPECT_EQ(rdl().lastMessage(), "Unknown");
        EXPECT_EQ(g_windowTrace, "");
    }

    TEST_F(HookTable, ApplicationsInFrontAreTracked)
    {
        bootWithParlivo();
        EXPECT_FALSE(rdl().inApp());
        phone().openApp("com.apple.MobileSMS");
        EXPECT_TRUE(rdl().inApp());
        phone().home();
        EXPECT_FALSE(rdl().inApp());
    }

    TEST_F(HookTable, AnApplicationLaunchedBeforeLaunchFinishedLeavesTheNewControllerOutOfApps)
    {
        // SpringBoard launches and activates Messages while the libraries
        // load, before it has finished launching: the hooks run with no
        // controller to tell.
        phone::BootOptions options;
        options.loadExtensions = false;
        options.inProcessExtensions.push_back([] {
            parlivo::installParlivo();
            Id messages = send<Id>(send<Id>(runtime::classNamed("SBApplicationController"), "sharedInstance"),
                "applicationWithDisplayIdentifier:", std::string("com.apple.MobileSMS"));
            ASSERT_TRUE(messages);
            send(messages, "launch");
            send(messages, "activate");
        });
        boot(std::move(options));
        ASSERT_TRUE(tweak().rdl);
        EXPECT_FALSE(rdl().inApp()) << "the controller made at launch-finished starts outside applications";
    }

    TEST_F(HookTable, TheReloadNotificationReloadsTheStore)
    {
        bootWithParlivo();
        EXPECT_FALSE(rdl().preferencesManager()->preferences()) << "no file yet";
        writePreferences({ { "ncqr", foundation::PlistValue(std::string("0")) } });
        foundation::NotificationCenter::darwin().post(kelvane::PLVReloadNotification);
        phone().advance(0.1);
        ASSERT_TRUE(rdl().preferencesManager()->preferences());
        EXPECT_TRUE(logHas("\nDEV:reloadPrefsNotification"));
    }

} // namespace
} // namespace parlivo_test
