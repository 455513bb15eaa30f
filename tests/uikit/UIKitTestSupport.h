// A fresh phone for every UIKit test: the UI globals reset, a virtual main
// run loop, a device root in a temporary folder, and the runtime's
// diagnostics collected instead of printed. Plus a recording delegate that
// the runtime reaches by selector, as a system class would be reached.
#pragma once

#include "support/TemporaryFolder.h"

#include <uikit/UIKit.h>

#include <foundation/DevicePath.h>
#include <foundation/PropertyList.h>
#include <foundation/RunLoop.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace uikit_test {

using namespace uikit;
using runtime::Id;
using runtime::Ref;

inline std::vector<std::string> g_diagnostics;

class UIKitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_diagnostics.clear();
        runtime::setDiagnosticSink([](std::string_view message) { g_diagnostics.emplace_back(message); });
        resetUIKit();
        registerUIKitClasses();
        m_loop = &foundation::RunLoop::configureMain(foundation::ClockKind::Virtual);
        foundation::setDeviceRoot(m_root);
    }

    void TearDown() override
    {
        resetUIKit();
        foundation::RunLoop::configureMain(foundation::ClockKind::Virtual);
        foundation::setDeviceRoot({});
        runtime::setDiagnosticSink(nullptr);
    }

    foundation::RunLoop& loop() { return *m_loop; }

    // A visible window filling the screen.
    Ref<UIWindow> screenWindow(double level = UIWindowLevelNormal)
    {
        auto window = makeView<UIWindow>(CGRectMake(0, 0, 320, 480));
        window->setWindowLevel(level);
        window->makeKeyAndVisible();
        return window;
    }

    void writeDeviceFile(const std::string& devicePath, const std::vector<uint8_t>& bytes)
    {
        auto host = foundation::hostPath(devicePath);
        std::filesystem::create_directories(host.parent_path());
        ASSERT_TRUE(foundation::writeDeviceFileAtomically(devicePath, std::span<const uint8_t>(bytes)));
    }

    static Bitmap solidBitmap(uint32_t width, uint32_t height, uint8_t r, uint8_t g, uint8_t b)
    {
        Bitmap bitmap { width, height, {} };
        for (uint32_t i = 0; i < width * height; ++i)
            bitmap.rgba.insert(bitmap.rgba.end(), { r, g, b, 255 });
        return bitmap;
    }

private:
    foundation::RunLoop* m_loop { nullptr };
    testsupport::TemporaryFolder m_folder { "uikit-tests" };
    const std::filesystem::path& m_root = m_folder.path();
};

// Records every delegate and target callback it gets as a line of a trace,
// and answers the questions a delegate is asked from settable flags.
class Recorder : public runtime::Object {
    PLV_CLASS(Recorder, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<Recorder>& b)
    {
        b.method("textViewDidBeginEditing:", [](Recorder& self, const Id&) { self.note("tv-begin"); });
        b.method("textViewDidEndEditing:", [](Recorder& self, const Id&) { self.note("tv-end"); });
        b.method("textViewShouldEndEditing:", [](Recorder& self, const Id&) -> bool { return self.allowEnd; });
        b.method("textView:shouldChangeTextInRange:replacementText:", [](Recorder& self, const Id&, const NSRange& range, const std::string& text) -> bool {
            self.note("tv-change " + std::to_string(range.location) + "," + std::to_string(range.length) + " '" + text + "'");
            return self.allowChange;
        });
        b.method("textViewDidChange:", [](Recorder& self, const Id&) { self.note("tv-changed"); });
        b.method("textFieldShouldBeginEditing:", [](Recorder& self, const Id&) -> bool { return self.allowBegin; });
        b.method("textFieldDidBeginEditing:", [](Recorder& self, const Id&) { self.note("tf-begin"); });
        b.method("textFieldDidEndEditing:", [](Recorder& self, const Id&) { self.note("tf-end"); });
        b.method("textField:shouldChangeCharactersInRange:replacementString:", [](Recorder& self, const Id&, const NSRange& range, const std::string& text) -> bool {
            self.note("tf-change " + std::to_string(range.location) + "," + std::to_string(range.length) + " '" + text + "'");
            return self.allowChange;
        });
        b.method("textFieldShouldReturn:", [](Recorder& self, const Id&) -> bool {
            self.note("tf-return");
            return true;
        });
        b.method("tapped:", [](Recorder& self, const Id& sender) {
            self.note("tapped");
            self.lastSender = sender;
        });
        b.method("pressed", [](Recorder& self) { self.note("pressed"); });
        b.method("changed:", [](Recorder& self, const Id&) { self.note("changed"); });
        b.method("presentImageChoice", [](Recorder& self) { self.note("presentImageChoice"); });
    }

    void note(const std::string& line)
    {
        if (!trace.empty())
            trace += "|";
        trace += line;
    }

    std::string trace;
    bool allowBegin { true };
    bool allowEnd { true };
    bool allowChange { true };
    Id lastSender;
};

// A controller that records its life: loading, appearing, disappearing,
// and the actions that reach it along the responder chain.
class RecordingController : public UIViewController {
    PLV_CLASS(RecordingController, UIViewController)
public:
    static void registerMethods(runtime::ClassBuilder<RecordingController>& b)
    {
        b.method("tapped:", [](RecordingController& self, const Id&) { self.note("tapped"); });
        b.method("presentImageChoice", [](RecordingController& self) { self.note("presentImageChoice"); });
    }

    void loadView() override
    {
        note(name + ".loadView");
        UIViewController::loadView();
    }
    void viewDidLoad() override { note(name + ".viewDidLoad"); }
    void viewWillAppear(bool) override { note(name + ".willAppear"); }
    void viewDidAppear(bool) override { note(name + ".didAppear"); }
    void viewWillDisappear(bool) override { note(name + ".willDisappear"); }
    void viewDidDisappear(bool) override { note(name + ".didDisappear"); }

    void note(const std::string& line)
    {
        std::string& out = shared ? *shared : trace;
        if (!out.empty())
            out += "|";
        out += line;
    }

    std::string name { "vc" };
    std::string trace;
    std::string* shared { nullptr };
};

} // namespace uikit_test
