#include "PhoneFixture.h"

#include <foundation/PlistWriter.h>
#include <springboard/SpringBoardClasses.h>
#include <substrate/ExtensionLoader.h>

#include <fstream>

namespace springboard_test {
namespace {

    using ExtensionLoading = PhoneWithOneContact;

    void install(const std::filesystem::path& root, const std::string& name, const std::string& bundle)
    {
        auto folder = root / "Library/MobileSubstrate/DynamicLibraries";
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(LAUNCH_PROBE_PATH, folder / (name + ".so"));
        foundation::PlistDictionary plist;
        plist.set("Filter", foundation::PlistDictionary { { "Bundles", foundation::PlistArray { bundle } } });
        std::ofstream(folder / (name + ".plist")) << foundation::writeXmlPlist(plist);
    }

    std::vector<std::string> probeLines()
    {
        std::vector<std::string> lines;
        for (auto& line : foundation::SystemLog::shared().lines()) {
            if (line.starts_with("launch probe:") || line == "SpringBoard: finished launching")
                lines.push_back(line);
        }
        return lines;
    }

    TEST_F(ExtensionLoading, AnExtensionInDynamicLibrariesHooksSpringBoardBeforeItFinishesLaunching)
    {
        install(m_root, "LaunchProbe", "com.apple.springboard");
        foundation::SystemLog::shared().clear();
        boot();
        EXPECT_EQ(probeLines(), (std::vector<std::string> { "launch probe: constructor", "launch probe: SpringBoard finished launching", "SpringBoard: finished launching" }));
    }

    TEST_F(ExtensionLoading, LibrariesForOtherProcessesAndBootsWithoutExtensionsLoadNothing)
    {
        install(m_root, "MailOnly", "com.apple.mobilemail");
        foundation::SystemLog::shared().clear();
        boot();
        EXPECT_FALSE(logContains("launch probe: constructor"));
        EXPECT_TRUE(logContains("Substrate: not loading /Library/MobileSubstrate/DynamicLibraries/MailOnly.so: the filter does not name com.apple.springboard"));
    }

    TEST_F(ExtensionLoading, InProcessExtensionsRunBeforeLaunchToo)
    {
        install(m_root, "LaunchProbe", "com.apple.springboard");
        std::string order;
        phone::BootOptions options;
        options.loadExtensions = false;
        options.inProcessExtensions.push_back([&] { order += "extension;"; });
        options.inProcessExtensions.push_back([&] { throw std::runtime_error("a broken constructor"); });
        options.inProcessExtensions.push_back([&] { order += "next;"; });
        springboard::registerSpringBoardClasses();
        m_hooks.trace<1, void, const Id&>("SpringBoard", "applicationDidFinishLaunching:", "launched;");
        foundation::SystemLog::shared().clear();
        boot(options);
        EXPECT_EQ(order + g_trace, "extension;next;launched;") << "a constructor that throws is logged and the boot goes on";
        EXPECT_FALSE(logContains("launch probe: constructor")) << "loadExtensions off leaves the folder alone";
    }

} // namespace
} // namespace springboard_test
