// A real phone (virtual clock, fresh device root, real sms.db and Address
// Book) with Parlivo installed in-process before SpringBoard finishes
// launching, and taken off again after each test. ParlivoPhoneTest keeps the
// build's own windows; ParlivoTest replaces the window controllers by
// recording stand-ins under their real names, so the controller's side of
// the conversation can be checked whichever windows the build has.
#pragma once

#include "springboard/PhoneFixture.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <extension/HeavyUtilities.h>
#include <extension/Parlivo.h>
#include <extension/RDL.h>
#include <extension/TweakState.h>
#include <foundation/Executor.h>
#include <foundation/PlistWriter.h>
#include <uikit/UIKit.h>

#include <fstream>
#include <sstream>

namespace parlivo_test {

using runtime::Id;
using runtime::Object;
using runtime::Sel;
using runtime::send;

// What the stand-in window controllers were told, in order.
inline std::string g_windowTrace;

class RecordingWindowController : public runtime::Object {
    PLV_CLASS(RecordingWindowController, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<RecordingWindowController>& b)
    {
        b.method("init", [](RecordingWindowController& self) -> Id {
            g_windowTrace += "init;";
            return self.self();
        });
        b.method("initWithMessage:", [](RecordingWindowController& self, const std::string& text) -> Id {
            g_windowTrace += "initWithMessage:" + text + ";";
            self.message = text;
            return self.self();
        });
        b.method("setMessage:", [](RecordingWindowController& self, const std::string& text) {
            g_windowTrace += "setMessage:" + text + ";";
            self.message = text;
        });
        b.method("setDelegate:", [](RecordingWindowController& self, const Id& delegate) { self.delegate = delegate; });
        b.method("setInLockScreen:", [](RecordingWindowController& self, bool value) { self.inLockScreen = value; });
        b.method("prepareView:", [](RecordingWindowController& self, bool inApp) {
            g_windowTrace += inApp ? "prepareView:YES;" : "prepareView:NO;";
        });
        b.method("view", [](RecordingWindowController& self) -> Id {
            if (!self.view) {
                self.view = runtime::make<uikit::UIView>();
                self.view->setFrame(uikit::CGRectMake(0, 44, 320, 200));
                self.view->setName("standInWindow");
            }
            return self.view;
        });
        b.method("dismiss", [](RecordingWindowController& self) {
            g_windowTrace += "dismiss;";
            if (self.view)
                self.view->removeFromSuperview();
        });
        b.method("deviceRotated:", [](RecordingWindowController&, int64_t orientation) {
            g_windowTrace += "rotated:" + std::to_string(orientation) + ";";
        });
        b.method("reloadFields", [](RecordingWindowController&) { g_windowTrace += "reloadFields;"; });
    }

    std::string message;
    runtime::WeakId delegate;
    bool inLockScreen { false };
    runtime::Ref<uikit::UIView> view;
};

// Puts a recording subclass in place of a window controller class for the
// life of a test, and the build's own class back afterwards.
class StandInClass {
public:
    explicit StandInClass(std::string_view name)
        : m_name(name)
        , m_real(runtime::classNamed(name))
    {
        if (m_real)
            runtime::removeClass(name);
        m_standIn = runtime::defineClass(name, RecordingWindowController::classObject(), &runtime::makeForRuntime<RecordingWindowController>);
    }
    ~StandInClass()
    {
        runtime::removeClass(m_name);
        if (m_real)
            runtime::restoreClass(m_real);
    }
    StandInClass(const StandInClass&) = delete;
    StandInClass& operator=(const StandInClass&) = delete;

private:
    std::string m_name;
    runtime::Class* m_real;
    runtime::Class* m_standIn;
};

class ParlivoPhoneTest : public springboard_test::PhoneWithOneContact {
protected:
    void SetUp() override
    {
        g_windowTrace.clear();
        springboard_test::PhoneWithOneContact::SetUp();
        kelvane::KelvaneLogger::resetForTesting();
    }

    void TearDown() override
    {
        foundation::Executor::shared().drain();
        parlivo::uninstallParlivo();
        springboard_test::PhoneWithOneContact::TearDown();
    }

    phone::Phone& bootWithParlivo()
    {
        phone::BootOptions options;
        options.loadExtensions = false;
        options.inProcessExtensions.push_back([] { parlivo::installParlivo(); });
        return boot(std::move(options));
    }

    parlivo::TweakState& tweak() { return parlivo::tweakState(); }
    parlivo::RDL& rdl() { return *parlivo::tweakState().rdl; }

    // The preferences file, as the settings application writes it.
    void writePreferences(const foundation::PlistDictionary& values)
    {
        auto path = foundation::hostPath(kelvane::PLVPreferencesPath);
        std::filesystem::create_directories(path.parent_path());
        auto bytes = foundation::writeXmlPlist(foundation::PlistValue(values));
        std::ofstream(path, std::ios::binary) << bytes;
    }

    std::string logText()
    {
        std::ifstream in(foundation::hostPath(kelvane::PLVLogPath), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    bool logHas(std::string_view entry) { return logText().find(entry) != std::string::npos; }

    Id bannerController() { return send<Id>(runtime::classNamed("SBBulletinBannerController"), "sharedInstance"); }
    runtime::Ref<uikit::UIView> bannerView()
    {
        return runtime::cast<uikit::UIView>(runtime::objectIvar(bannerController(), "_bannerAndShadowView"));
    }
};

class ParlivoTest : public ParlivoPhoneTest {
protected:
    runtime::Ref<RecordingWindowController> quickReply()
    {
        return runtime::cast<RecordingWindowController>(rdl().qRVC());
    }

    StandInClass m_quickReplyClass { "QuickReplyViewController" };
    StandInClass m_quickComposeClass { "QuickComposeViewController" };
};

} // namespace parlivo_test
