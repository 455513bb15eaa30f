// The controller: one window for every reply, an overlay whose level never
// changes, the background reload, and the log's size limit.
#include "RendaloFixture.h"

#include <uikit/UIWindow.h>

namespace rendalo_test {
namespace {

    class RendaloController : public RendaloTest { };

    TEST_F(RendaloController, KeepsOneWindowForEveryReply)
    {
        bootWithRendalo();
        openSMS("+39 333 1234567", "Primo");
        Id first = rdl().qRVC();
        ASSERT_TRUE(first);
        EXPECT_EQ(rdl().status(), common::WindowStatus::Open);
        rdl().dismissBanner();
        EXPECT_EQ(rdl().status(), common::WindowStatus::Closed);
        EXPECT_EQ(rdl().qRVC(), first);

        openSMS("+39 333 1234567", "Secondo");
        EXPECT_EQ(rdl().qRVC(), first);
        EXPECT_EQ(window()->messageField()->text(), "Secondo");
        EXPECT_EQ(rdl().alertWindow()->windowLevel(), uikit::UIWindowLevelStatusBar - 1);
    }

    TEST_F(RendaloController, ClosingKeepsTheRecord)
    {
        bootWithRendalo();
        openSMS("+39 333 1234567", "Resto io");
        rdl().dismissBanner();
        EXPECT_EQ(rdl().lastMessage(), "Resto io");
        EXPECT_TRUE(logHas("\nDEV:RDL dismissBanner end"));
    }

    TEST_F(RendaloController, LockClosesAtOnceAndKeepsTheWindow)
    {
        bootWithRendalo();
        openSMS("+39 333 1234567", "Blocco");
        Id opened = rdl().qRVC();
        ASSERT_TRUE(phone().lock());
        EXPECT_EQ(rdl().status(), common::WindowStatus::Closed);
        EXPECT_EQ(rdl().qRVC(), opened);
        EXPECT_EQ(rdl().alertWindow()->frame().size.height, 0);
    }

    // Run under the tsan preset: the reload swaps the store's dictionary on a
    // worker while the main thread reads it.
    TEST_F(RendaloController, BackgroundReloadNeverHandsOutAHalfLoadedStore)
    {
        bootWithRendalo();
        writePreferences({ { "builtinSMS", "1" }, { "builtinEmail", "0" } });
        auto* store = rdl().preferencesManager();
        for (int round = 0; round < 200; ++round) {
            rdl().startBackgroundReload();
            if (auto preferences = store->preferences()) {
                ASSERT_EQ(preferences->size(), 2u);
                EXPECT_TRUE(preferences->find("builtinSMS"));
            }
        }
        foundation::Executor::shared().drain();
        ASSERT_TRUE(store->preferences());
        EXPECT_EQ(store->preferences()->size(), 2u);
    }

    TEST_F(RendaloController, LogIsRemovedOnceItReachesItsLimit)
    {
        bootWithRendalo();
        {
            std::ofstream grow(foundation::hostPath(kelvane::RDLLogPath), std::ios::binary | std::ios::app);
            grow << std::string(100000, 'x');
        }
        openSMS("+39 333 1234567", "Log");
        rdl().dismissBanner();
        foundation::Executor::shared().drain();
        EXPECT_LT(logText().size(), 100000u);
    }

} // namespace
} // namespace rendalo_test
