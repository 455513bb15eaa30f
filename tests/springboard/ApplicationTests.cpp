#include "PhoneFixture.h"

#include <algorithm>

#include <foundation/DevicePath.h>
#include <foundation/PlistWriter.h>
#include <foundation/SystemLog.h>
#include <springboard/InstalledApplications.h>
#include <springboard/SpringBoard.h>
#include <uikit/ImageCodec.h>
#include <uikit/UIKit.h>

namespace springboard_test {
namespace {

    using namespace uikit;

    using Applications = PhoneWithOneContact;

    Id springBoard() { return send<Id>(runtime::classNamed("UIApplication"), "sharedApplication"); }
    Id application(const char* identifier)
    {
        return send<Id>(send<Id>(runtime::classNamed("SBApplicationController"), "sharedInstance"), "applicationWithDisplayIdentifier:", identifier);
    }

    void traceApplications(HookSet& hooks)
    {
        hooks.trace<1, void>("SBApplication", "launch", "launch;");
        hooks.trace<2, void>("SBApplication", "activate", "activate;");
        hooks.trace<3, void>("SBApplication", "deactivate", "deactivate;");
        hooks.trace<4, void>("SBApplication", "kill", "kill;");
    }

    std::string labelText(const char* name)
    {
        auto windows = visibleWindows();
        for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
            if (auto label = runtime::cast<UILabel>((*window)->viewNamed(name)))
                return label->text();
        }
        return "<none>";
    }

    TEST_F(Applications, SwitchingApplicationsDeactivatesTheOneInFrontAndLaunchesOnlyOnce)
    {
        boot();
        traceApplications(m_hooks);
        ASSERT_TRUE(phone().openApp("com.apple.MobileSMS"));
        EXPECT_EQ(g_trace, "launch;activate;");
        phone().openApp("com.apple.mobilemail");
        EXPECT_EQ(g_trace, "launch;activate;deactivate;launch;activate;");
        g_trace.clear();
        phone().openApp("com.apple.MobileSMS");
        EXPECT_EQ(g_trace, "deactivate;activate;") << "a running application is not launched again";
        phone().home();
        EXPECT_EQ(g_trace, "deactivate;activate;deactivate;");
        EXPECT_TRUE(state()["frontApp"].is_null());
        g_trace.clear();
        send(application("com.apple.MobileSMS"), "kill");
        phone().openApp("com.apple.MobileSMS");
        EXPECT_EQ(g_trace, "kill;launch;activate;");
    }

    TEST_F(Applications, QuittingFromTheSwitcherKillsThroughTheRuntime)
    {
        boot();
        traceApplications(m_hooks);
        EXPECT_FALSE(phone().quitApp("com.apple.MobileSMS")) << "not running yet";
        EXPECT_FALSE(phone().quitApp("com.example.nothing"));
        ASSERT_TRUE(phone().openApp("com.apple.MobileSMS"));
        g_trace.clear();
        ASSERT_TRUE(phone().quitApp("com.apple.MobileSMS"));
        EXPECT_EQ(g_trace, "deactivate;kill;") << "the application in front leaves it before it is killed";
        EXPECT_TRUE(state()["frontApp"].is_null());
        EXPECT_FALSE(send<bool>(application("com.apple.MobileSMS"), "isRunning"));
        g_trace.clear();
        phone().openApp("com.apple.MobileSMS");
        phone().openApp("com.apple.mobilemail");
        g_trace.clear();
        ASSERT_TRUE(phone().quitApp("com.apple.MobileSMS"));
        EXPECT_EQ(g_trace, "kill;") << "a background application is only killed";
        EXPECT_EQ(state()["frontApp"], "com.apple.mobilemail");
        phone().lock();
        EXPECT_FALSE(phone().quitApp("com.apple.mobilemail"));
    }

    TEST_F(Applications, OpenURLRoutesMessagesAndMailAndRefusesTheRest)
    {
        boot();
        EXPECT_TRUE(send<bool>(springBoard(), "openURL:", std::string("sms:") + AnnasNumber));
        EXPECT_EQ(state()["frontApp"], "com.apple.MobileSMS");
        EXPECT_EQ(labelText("messagesTitle"), "Anna Rossi");

        EXPECT_TRUE(send<bool>(springBoard(), "openURL:", "MAILTO:luca@example.com?subject=Hi"));
        EXPECT_EQ(state()["frontApp"], "com.apple.mobilemail");
        EXPECT_EQ(labelText("mailComposeTo"), "To: luca@example.com");

        EXPECT_FALSE(send<bool>(springBoard(), "openURL:", "http://example.com"));
        EXPECT_FALSE(send<bool>(springBoard(), "openURL:", ""));
        EXPECT_FALSE(send<bool>(springBoard(), "openURL:", ":nothing"));
        EXPECT_EQ(state()["frontApp"], "com.apple.mobilemail");

        phone().lock();
        EXPECT_FALSE(send<bool>(springBoard(), "openURL:", "sms:123")) << "nothing opens over the lock screen";
    }

    TEST_F(Applications, MessagesShowsWhatTheDatabaseHoldsNewestConversationFirst)
    {
        boot();
        phone().receiveSMS("+15550001111", "from a stranger");
        phone().receiveSMS(AnnasNumber, "first");
        phone().receiveSMS("+39 333 123 4567", "second, same person written differently");
        ASSERT_TRUE(phone().openApp("com.apple.MobileSMS"));
        EXPECT_EQ(labelText("messagesTitle"), "Messages");

        auto windows = visibleWindows();
        runtime::Ref<UIView> first;
        for (auto& window : windows)
            if (auto row = window->viewNamed("conversation-0"))
                first = row;
        ASSERT_TRUE(first);
        EXPECT_EQ(runtime::cast<UILabel>(first->viewNamed("conversationName"))->text(), "Anna Rossi (2)");
        EXPECT_EQ(runtime::cast<UILabel>(first->viewNamed("conversationLastMessage"))->text(), "second, same person written differently");

        ASSERT_TRUE(phone().tapView("conversation-1"));
        EXPECT_EQ(phone().tapView("messagesBack").reason(), "the view \"messagesBack\" is covered by \"bannerAndShadow\"")
            << "the last message's banner is still up";
        phone().advance(5);
        EXPECT_EQ(labelText("messagesTitle"), "+15550001111");
        EXPECT_EQ(labelText("messageText"), "from a stranger");
        auto back = phone().tapView("messagesBack");
        ASSERT_TRUE(back) << back.reason();
        EXPECT_EQ(labelText("messagesTitle"), "Messages");
    }

    TEST_F(Applications, TheHomeScreenDrawsTheIconsThePhoneHasAndATileForTheOthers)
    {
        // Only Messages' icon is on this phone.
        Bitmap square { 57, 57, std::vector<uint8_t>(57 * 57 * 4, 200) };
        auto png = encodePng(square);
        ASSERT_TRUE(png);
        ASSERT_TRUE(foundation::createDeviceDirectory("/Applications/MobileSMS.app", foundation::Intermediates::Yes));
        ASSERT_TRUE(foundation::writeDeviceFileAtomically("/Applications/MobileSMS.app/Icon.png", *png));
        boot();
        auto tile = [](const char* name) -> runtime::Ref<UIImageView> {
            for (auto& window : visibleWindows()) {
                if (auto icon = window->viewNamed(name))
                    return runtime::cast<UIImageView>(icon->viewNamed("iconImage"));
            }
            return nullptr;
        };
        ASSERT_TRUE(tile("icon-com.apple.MobileSMS"));
        ASSERT_TRUE(tile("icon-com.apple.MobileSMS")->image());
        EXPECT_EQ(tile("icon-com.apple.MobileSMS")->image()->path(), "/Applications/MobileSMS.app/Icon.png");
        ASSERT_TRUE(tile("icon-com.apple.mobilemail"));
        EXPECT_FALSE(tile("icon-com.apple.mobilemail")->image());
        EXPECT_TRUE(tile("icon-com.apple.mobilemail")->backgroundColor()) << "a plain tile of the application's colour";
    }

    TEST_F(Applications, TheHomeScreenIconsOpenTheirApplications)
    {
        boot();
        ASSERT_TRUE(phone().tapView("icon-com.apple.mobilemail"));
        EXPECT_EQ(state()["frontApp"], "com.apple.mobilemail");
        EXPECT_EQ(labelText("mailTitle"), "Mailboxes");
        EXPECT_FALSE(phone().tapView("icon-com.apple.MobileSMS")) << "the icon is under the application now";
        phone().home();
        EXPECT_TRUE(phone().tapView("icon-com.apple.MobileSMS"));
        EXPECT_EQ(state()["frontApp"], "com.apple.MobileSMS");
    }

    TEST_F(Applications, FrontMostOrientationFollowsTheDeviceOnlyWhileAnApplicationIsInFront)
    {
        boot();
        EXPECT_EQ(send<int64_t>(springBoard(), "_frontMostAppOrientation"), 1);
        phone().rotate(4);
        EXPECT_EQ(send<int64_t>(springBoard(), "_frontMostAppOrientation"), 1) << "the home screen stays in portrait";
        phone().openApp("com.apple.MobileSMS");
        EXPECT_EQ(send<int64_t>(springBoard(), "_frontMostAppOrientation"), 4) << "an application comes up the way the device is held";
        EXPECT_EQ(UIApplication::sharedApplication()->statusBarOrientation(), 4);
        phone().rotate(2);
        EXPECT_EQ(send<int64_t>(springBoard(), "_frontMostAppOrientation"), 4);
        phone().rotate(3);
        EXPECT_EQ(send<int64_t>(springBoard(), "_frontMostAppOrientation"), 3);
        EXPECT_EQ(state()["orientation"], 3);
        EXPECT_EQ(state()["deviceOrientation"], 3);
        phone().lock();
        EXPECT_EQ(send<int64_t>(springBoard(), "_frontMostAppOrientation"), 1) << "the lock screen is portrait only";
        phone().home();
        phone().swipe("unlockSlider", CGPointMake(1500, 0));
        EXPECT_EQ(send<int64_t>(springBoard(), "_frontMostAppOrientation"), 3) << "unlocking returns to the application as it was held";
        EXPECT_EQ(phone().rotate(5).reason(), "the orientation must be 1 (portrait), 2 (upside down), 3 or 4 (landscape), not 5");
    }

    void writeBundle(const std::string& folder, const foundation::PlistDictionary& info, bool withExecutable)
    {
        std::string bundle = "/Applications/" + folder;
        ASSERT_TRUE(foundation::createDeviceDirectory(bundle, foundation::Intermediates::Yes));
        ASSERT_TRUE(foundation::writeDeviceFileAtomically(bundle + "/Info.plist", foundation::writeXmlPlist(foundation::PlistValue(info))));
        if (withExecutable) {
            ASSERT_TRUE(foundation::writeDeviceFileAtomically(bundle + "/Tool", std::string_view("not a library")));
        }
    }

    TEST_F(Applications, BundlesUnderApplicationsNeedAnIdentifierAndTheirExecutable)
    {
        writeBundle("Tool.app", { { "CFBundleIdentifier", "it.example.tool" }, { "CFBundleName", "Tool" }, { "CFBundleExecutable", "Tool" } }, true);
        writeBundle("Anonymous.app", { { "CFBundleExecutable", "Tool" } }, true);
        writeBundle("Lost.app", { { "CFBundleIdentifier", "it.example.lost" }, { "CFBundleExecutable", "Tool" } }, false);
        writeBundle("Climber.app", { { "CFBundleIdentifier", "it.example.climber" }, { "CFBundleExecutable", "../Tool.app/Tool" } }, false);
        ASSERT_TRUE(foundation::createDeviceDirectory("/Applications/Empty.app", foundation::Intermediates::Yes));
        auto bundles = springboard::findInstalledApplications();
        ASSERT_EQ(bundles.size(), 1u);
        EXPECT_EQ(bundles[0].bundleIdentifier, "it.example.tool");
        EXPECT_EQ(bundles[0].displayName, "Tool");
        EXPECT_EQ(bundles[0].principalClass, "UIApplication");
        EXPECT_EQ(bundles[0].executable, "/Applications/Tool.app/Tool");
    }

    TEST_F(Applications, AnExecutableThatCannotBeOpenedLeavesTheApplicationEmptyAndThePhoneRunning)
    {
        writeBundle("Tool.app", { { "CFBundleIdentifier", "it.example.tool" }, { "CFBundleDisplayName", "Tool" }, { "CFBundleExecutable", "Tool" } }, true);
        boot();
        ASSERT_TRUE(application("it.example.tool"));
        ASSERT_TRUE(phone().tapView("icon-it.example.tool"));
        EXPECT_EQ(state()["frontApp"], "it.example.tool");
        auto lines = foundation::SystemLog::shared().lines();
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) { return line.starts_with("SpringBoard: cannot open /Applications/Tool.app/Tool: "); }));
        ASSERT_TRUE(phone().home());
        EXPECT_EQ(state()["frontApp"], nullptr);
    }

    TEST_F(Applications, UnknownApplicationsAreNilAndActivatingNilDoesNothing)
    {
        boot();
        EXPECT_FALSE(application("com.example.nothing"));
        EXPECT_FALSE(application(""));
        traceApplications(m_hooks);
        send(send<Id>(runtime::classNamed("SBUIController"), "sharedInstance"), "activateApplicationAnimated:", runtime::nil);
        send(send<Id>(runtime::classNamed("SBUIController"), "sharedInstance"), "activateApplicationFromSwitcher:", runtime::make<Object>());
        EXPECT_EQ(g_trace, "");
        EXPECT_TRUE(state()["frontApp"].is_null());
        EXPECT_EQ(phone().openApp("com.example.nothing").reason(), "no application \"com.example.nothing\" is installed");
    }

} // namespace
} // namespace springboard_test
