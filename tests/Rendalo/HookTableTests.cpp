// Start-up: the hook table on a real phone, the controller made at launch,
// the reload notification, and a chain with a library loaded before.
#include "RendaloFixture.h"

#include <Rendalo/HookTable.h>
#include <foundation/NotificationCenter.h>
#include <foundation/SystemLog.h>

namespace rendalo_test {
namespace {

    class RendaloStartUp : public RendaloTest { };

    TEST_F(RendaloStartUp, EveryRowFindsItsMethodOnThePhone)
    {
        bootWithRendalo();
        EXPECT_FALSE(logContains("Rendalo: no class"));
        EXPECT_FALSE(logContains("Rendalo: not hooking"));
        std::set<std::string> classes;
        for (const auto& row : rendalo::hookTable())
            classes.insert(std::string(row.className));
        // The reply-only library answers ChatKit and the Mail service, and
        // leaves the lock screen to the system.
        EXPECT_TRUE(classes.contains("CKSMSMessage"));
        EXPECT_TRUE(classes.contains("MSNotificationService"));
        EXPECT_FALSE(classes.contains("SBAwayBulletinListController"));
        EXPECT_FALSE(classes.contains("SBAwayBulletinCell"));
        EXPECT_EQ(rendalo::hookTable().size(), 19u);
    }

    TEST_F(RendaloStartUp, LaunchMakesTheControllerWithItsOwnNames)
    {
        bootWithRendalo();
        ASSERT_TRUE(state().rdl);
        ASSERT_TRUE(state().hv);
        EXPECT_EQ(rdl().delegate(), runtime::Id(state().hv));
        EXPECT_EQ(kelvane::KelvaneLogger::projectName(), "RDL");
        EXPECT_EQ(rdl().preferencesManager()->path(), kelvane::RDLPreferencesPath);
        EXPECT_EQ(rdl().lastMessageType(), "sms");
        EXPECT_EQ(rdl().lastMessage(), "Unknown");
        EXPECT_EQ(rdl().lastMessageAddress(), "UNKNOWN");
        EXPECT_EQ(rdl().status(), common::WindowStatus::Closed);
        // Rendalo's classes are its own objects, whatever the names answer.
        EXPECT_EQ(rdl().isa(), rendalo::RDL::classObject());
    }

    TEST_F(RendaloStartUp, ReloadNotificationReloadsTheStore)
    {
        bootWithRendalo();
        writePreferences({ { "builtinSMS", "1" } });
        foundation::NotificationCenter::darwin().post(kelvane::RDLReloadNotification);
        phone().advance(0.1);
        auto preferences = rdl().preferencesManager()->preferences();
        ASSERT_TRUE(preferences);
        EXPECT_TRUE(preferences->find("builtinSMS"));
        EXPECT_TRUE(logHas("\nDEV:reloadPrefsNotification"));

        // The process's own centre reaches the controller too.
        writePreferences({ { "builtinEmail", "1" } });
        foundation::NSNotificationCenter::defaultCenter()->postNotificationName(std::string(kelvane::RDLReloadNotification), runtime::nil);
        EXPECT_TRUE(rdl().preferencesManager()->preferences()->find("builtinEmail"));
    }

    TEST_F(RendaloStartUp, ChainsAfterALibraryLoadedBefore)
    {
        springboard_test::HookSet earlier;
        phone::BootOptions options;
        options.loadExtensions = false;
        options.inProcessExtensions.push_back(
            [&] { earlier.trace<901, void, const Id&, const Id&, int64_t>("SBBulletinBannerController", "observer:addBulletin:forFeed:", "a"); });
        options.inProcessExtensions.push_back([] { rendalo::installRendalo(); });
        boot(std::move(options));

        ASSERT_TRUE(phone().receiveSMS("+39 333 1234567", "Ciao"));
        // Rendalo recorded the bulletin, then the earlier library saw it, then SpringBoard showed it.
        EXPECT_TRUE(state().isSMS);
        EXPECT_EQ(springboard_test::g_trace, "a");
        EXPECT_FALSE(phone().springboardState()["banner"].is_null());
        rendalo::uninstallRendalo();
    }

} // namespace
} // namespace rendalo_test
