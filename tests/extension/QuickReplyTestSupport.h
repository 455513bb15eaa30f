// A fresh phone for each quick reply window test: the UI reset, a virtual
// main run loop, a private device root with the logger writing into it, an
// application that answers `_frontMostAppOrientation` as SpringBoard does,
// an overlay window to show the panel in, and a stand-in for RDL that
// answers the RDLDoesAll messages and counts the closes.
#pragma once

#include <extension/QuickReplyViewController.h>

#include <KelvaneLibrary/KelvaneLogger.h>
#include <KelvaneLibrary/KelvanePreferenceManager.h>
#include <foundation/RunLoop.h>
#include <support/TemporaryDevice.h>
#include <uikit/UIKit.h>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace quickreply_test {

using parlivo::QuickReplyViewController;
using runtime::Id;
using runtime::Ref;
using namespace uikit;

class QuickReplyTestFrontApplication : public UIApplication {
    PLV_CLASS(QuickReplyTestFrontApplication, UIApplication)
public:
    static void registerMethods(runtime::ClassBuilder<QuickReplyTestFrontApplication>& b)
    {
        b.method("_frontMostAppOrientation", [](QuickReplyTestFrontApplication& self) -> int64_t { return self.orientation; });
    }
    int64_t orientation { UIInterfaceOrientationPortrait };
};

class QuickReplyTestController : public runtime::Object {
    PLV_CLASS(QuickReplyTestController, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<QuickReplyTestController>& b)
    {
        b.method("multimediaObjects", [](QuickReplyTestController& self) -> std::vector<Id> { return self.media; });
        b.method("hasAttachments", [](QuickReplyTestController& self) -> bool { return self.hasAttachments; });
        b.method("dismissBannerOnly", [](QuickReplyTestController& self) { ++self.bannerOnlyCloses; });
        b.method("dismissBanner", [](QuickReplyTestController& self) { ++self.closes; });
        b.method("preferencesManager", [](QuickReplyTestController& self) -> kelvane::KelvanePreferenceManager* { return &self.store; });
        b.method("lastMessageType", [](QuickReplyTestController& self) -> std::string { return self.type; });
        b.method("lastMessageAddress", [](QuickReplyTestController& self) -> std::string { return self.address; });
        b.method("lastMessage", [](QuickReplyTestController& self) -> std::string { return self.text; });
    }

    void setPreference(const std::string& key, foundation::PlistValue value)
    {
        auto preferences = store.preferences() ? store.preferences() : std::make_shared<foundation::PlistDictionary>();
        preferences->set(key, std::move(value));
        store.setPreferences(preferences);
    }

    std::vector<Id> media;
    bool hasAttachments { false };
    int bannerOnlyCloses { 0 };
    int closes { 0 };
    kelvane::KelvanePreferenceManager store { kelvane::KelvanePreferenceManager::Variant::Extension };
    std::string type { "sms" };
    std::string address { "+393331234567" };
    std::string text { "Ci vediamo alle otto?" };
};

class QuickReplyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        diagnostics().clear();
        runtime::setDiagnosticSink([](std::string_view message) { diagnostics().emplace_back(message); });
        resetUIKit();
        registerUIKitClasses();
        parlivo::registerQuickReplyClasses();
        m_loop = &foundation::RunLoop::configureMain(foundation::ClockKind::Virtual);
        kelvane::KelvaneLogger::resetForTesting();
        device = std::make_unique<testsupport::TemporaryDevice>();
        device->makeDirectory("/var/mobile/Library");
        kelvane::KelvaneLogger::setProjectName("PLV", true);
        application = runtime::make<QuickReplyTestFrontApplication>();
        UIApplication::setSharedApplication(application);
        overlay = makeView<UIWindow>(CGRectMake(0, 0, 320, 480));
        overlay->makeKeyAndVisible();
        controller = runtime::make<QuickReplyTestController>();
    }

    void TearDown() override
    {
        window = nullptr;
        overlay = nullptr;
        resetUIKit();
        foundation::RunLoop::configureMain(foundation::ClockKind::Virtual);
        kelvane::KelvaneLogger::resetForTesting();
        device.reset();
        foundation::setDeviceRoot({});
        runtime::setDiagnosticSink(nullptr);
    }

    // What RDL does to show a message, then the slide-in finishing.
    Ref<QuickReplyViewController> show(bool inLockScreen = false)
    {
        if (!window) {
            Id made = runtime::send<Id>(runtime::classNamed("QuickReplyViewController"), "alloc");
            window = runtime::cast<QuickReplyViewController>(runtime::send<Id>(made, "initWithMessage:", controller->text));
        } else {
            runtime::send(window, "setMessage:", controller->text);
        }
        runtime::send(window, "setDelegate:", Id(controller));
        runtime::send(window, "setInLockScreen:", inLockScreen);
        runtime::send(window, "prepareView:", false);
        overlay->addSubview(window->view());
        loop().advance(QuickReplyViewController::SlideDuration + 0.3);
        return window;
    }

    void enlarge()
    {
        runtime::send(window, "enlargeView");
        loop().advance(QuickReplyViewController::EnlargeDuration + 0.05);
    }

    void rotate(int64_t orientation)
    {
        application->orientation = orientation;
        runtime::send(window, "deviceRotated:", orientation);
        loop().advance(QuickReplyViewController::SlideDuration + 0.05);
    }

    // The log's entries of this run, without the session header.
    std::vector<std::string> logEntries() const { return device->logEntries("/var/mobile/Library/PLV/PLV.log"); }

    bool logged(const std::string& entry) const
    {
        auto entries = logEntries();
        return std::find(entries.begin(), entries.end(), entry) != entries.end();
    }

    foundation::RunLoop& loop() { return *m_loop; }

    void writeDevice(const std::string& devicePath, const std::vector<uint8_t>& bytes)
    {
        device->write(devicePath, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }

    std::unique_ptr<testsupport::TemporaryDevice> device;
    static std::vector<std::string>& diagnostics()
    {
        static std::vector<std::string> messages;
        return messages;
    }
    Ref<QuickReplyTestFrontApplication> application;
    Ref<UIWindow> overlay;
    Ref<QuickReplyTestController> controller;
    Ref<QuickReplyViewController> window;

private:
    foundation::RunLoop* m_loop { nullptr };
};

inline std::string describe(const CGRect& r)
{
    std::ostringstream out;
    out << "(" << r.origin.x << ", " << r.origin.y << ", " << r.size.width << ", " << r.size.height << ")";
    return out.str();
}

inline std::string frameOf(const Ref<UIView>& view) { return view ? describe(view->frame()) : "nil"; }

} // namespace quickreply_test
