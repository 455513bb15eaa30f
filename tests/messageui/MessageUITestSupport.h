// A phone for the composers: a device root with an sms.db, the default mail
// account at a fixed time, a virtual run loop, and a key window whose
// controller presents what the tests open. A probe object stands in for an
// application's delegate and writes what it is told into a trace.
#pragma once

#include "support/TestClock.h"
#include <chatkit/ChatKit.h>
#include <foundation/RunLoop.h>
#include <mail/MailClasses.h>
#include <mail/MailConfiguration.h>
#include <messageui/MessageUIClasses.h>
#include <support/SqliteProbe.h>
#include <support/TemporaryDevice.h>
#include <uikit/UIKit.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace messageui_test {

using runtime::Id;
using runtime::Ref;

using testsupport::testNow;

// An application's delegate for composers and previews.
class ComposeProbe : public runtime::Object {
    PLV_CLASS(ComposeProbe, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<ComposeProbe>& b)
    {
        b.method("messageComposeViewController:didFinishWithResult:", [](ComposeProbe& self, const Id& composer, int64_t result) {
            self.trace += "message:" + std::to_string(result) + "|";
            self.lastComposer = composer;
            if (self.onFinish)
                self.onFinish(composer);
        });
        b.method("mailComposeController:didFinishWithResult:error:", [](ComposeProbe& self, const Id& composer, int64_t result, const Id&) {
            self.trace += "mail:" + std::to_string(result) + "|";
            self.lastComposer = composer;
            if (self.onFinish)
                self.onFinish(composer);
        });
        b.method("mailComposeController:bodyFinishedLoadingWithResult:error:", [](ComposeProbe& self, const Id& composer, bool loaded, const Id&) {
            self.trace += std::string("body:") + (loaded ? "YES" : "NO") + "|";
            if (self.onBodyLoaded)
                self.onBodyLoaded(composer);
        });
        b.method("numberOfPreviewItemsInPreviewController:", [](ComposeProbe& self, const Id&) -> int64_t {
            self.trace += "count|";
            return static_cast<int64_t>(self.previewItems.size());
        });
        b.method("previewController:previewItemAtIndex:", [](ComposeProbe& self, const Id&, int64_t index) -> Id {
            self.trace += "item:" + std::to_string(index) + "|";
            return index >= 0 && index < static_cast<int64_t>(self.previewItems.size()) ? self.previewItems[static_cast<size_t>(index)] : runtime::nil;
        });
        b.method("previewControllerWillDismiss:", [](ComposeProbe& self, const Id&) { self.trace += "willDismiss|"; });
        b.method("previewControllerDidDismiss:", [](ComposeProbe& self, const Id&) { self.trace += "didDismiss|"; });
    }

    std::string trace;
    Id lastComposer;
    std::function<void(const Id&)> onFinish;
    std::function<void(const Id&)> onBodyLoaded;
    std::vector<Id> previewItems;
};

class ComposerHost : public ::testing::Test {
protected:
    void SetUp() override
    {
        foundation::RunLoop::configureMain(foundation::ClockKind::Virtual);
        uikit::resetUIKit();
        uikit::registerUIKitClasses();
        chatkit::registerChatKitClasses();
        chatkit::resetConfiguration();
        chatkit::resetChatKitObjects();
        chatkit::setClock([] { return testNow; });
        mail::registerMailClasses();
        mail::resetMailConfiguration();
        mail::setMailClock([] { return testNow; });
        messageui::registerMessageUIClasses();
        m_databasePath = device.host("/var/mobile/Library/SMS/sms.db");
        std::filesystem::create_directories(m_databasePath.parent_path());
        auto created = chatkit::createDatabase(m_databasePath);
        ASSERT_TRUE(created) << created.reason();
        chatkit::useDatabase(m_databasePath);

        window = uikit::makeView<uikit::UIWindow>(uikit::UIScreen::mainScreen()->bounds());
        host = runtime::make<uikit::UIViewController>();
        window->setRootViewController(host);
        window->makeKeyAndVisible();
        probe = runtime::make<ComposeProbe>();
    }
    void TearDown() override
    {
        probe.reset();
        host.reset();
        window.reset();
        uikit::resetUIKit();
        foundation::RunLoop::configureMain(foundation::ClockKind::Virtual);
        chatkit::closeDatabase();
        chatkit::resetChatKitObjects();
        chatkit::resetConfiguration();
        mail::resetMailConfiguration();
    }

    // The turns of the run loop that a modal transition takes.
    void settle() { foundation::RunLoop::main().advance(1); }

    // The named view of whatever is on screen, front-most window first.
    Ref<uikit::UIView> onScreen(std::string_view name)
    {
        auto windows = uikit::visibleWindows();
        for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
            if (auto view = (*it)->viewNamed(name))
                return view;
        }
        return nullptr;
    }

    // A finger near the top left of a named view (where the keyboard never
    // covers it); false when it is not on screen.
    bool tap(std::string_view name)
    {
        auto view = onScreen(name);
        if (!view)
            return false;
        uikit::CGRect frame = view->screenFrame();
        uikit::tapScreen({ frame.minX() + std::min(10.0, frame.width() / 2), frame.minY() + std::min(10.0, frame.height() / 2) });
        return true;
    }

    std::optional<int64_t> sqlInteger(const std::string& sql) { return testsupport::SqliteProbe(m_databasePath, testsupport::SqliteProbe::Access::ReadOnly).integer(sql); }

    testsupport::TemporaryDevice device;
    std::filesystem::path m_databasePath;
    Ref<uikit::UIWindow> window;
    Ref<uikit::UIViewController> host;
    Ref<ComposeProbe> probe;
};

} // namespace messageui_test
