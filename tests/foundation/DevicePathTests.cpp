#include "support/TemporaryFolder.h"

#include <foundation/DevicePath.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace foundation;
namespace fs = std::filesystem;

namespace {

class DevicePathTest : public ::testing::Test {
protected:
    void SetUp() override { setDeviceRoot(m_root); }
    void TearDown() override { setDeviceRoot({}); }

    testsupport::TemporaryFolder m_temporary { "deviceroot" };
    const fs::path& m_root = m_temporary.path();
};

}

TEST_F(DevicePathTest, MapsDevicePathsIntoTheRoot)
{
    EXPECT_EQ(hostPath("/var/mobile/Library/PLV/preferences.plist"),
        m_root / "var" / "mobile" / "Library" / "PLV" / "preferences.plist");
    // The logger's doubled slash names the same file.
    EXPECT_EQ(hostPath("/var/mobile/Library/PLV//PLV.log"), hostPath("/var/mobile/Library/PLV/PLV.log"));
    EXPECT_EQ(hostPath("/var/mobile/Library/PLV/"), m_root / "var" / "mobile" / "Library" / "PLV");
    EXPECT_EQ(hostPath("/var/./mobile/../mobile/Library"), m_root / "var" / "mobile" / "Library");
    EXPECT_EQ(hostPath("/"), m_root);
}

TEST_F(DevicePathTest, RefusesPathsThatCannotBeMapped)
{
    EXPECT_TRUE(hostPath("/../etc/passwd").empty());
    EXPECT_TRUE(hostPath("/var/mobile/../../../etc/passwd").empty());
    EXPECT_EQ(hostPath("/var/.."), m_root); // back at the root, still inside
    EXPECT_TRUE(hostPath("relative/path").empty());
    EXPECT_TRUE(hostPath("").empty());
    EXPECT_TRUE(hostPath(std::string_view("/var/mobile\0/x", 14)).empty());

    setDeviceRoot({});
    EXPECT_TRUE(hostPath("/var/mobile").empty());
    EXPECT_FALSE(deviceFileExists("/var"));
    EXPECT_FALSE(writeDeviceFileAtomically("/var/x", "data"));
}

TEST_F(DevicePathTest, FileHelpersWorkOnDevicePaths)
{
    EXPECT_FALSE(createDeviceDirectory("/var/mobile/Library/PLV", Intermediates::No));
    EXPECT_FALSE(deviceDirectoryExists("/var/mobile/Library/PLV"));
    EXPECT_TRUE(createDeviceDirectory("/var/mobile/Library/PLV", Intermediates::Yes));
    EXPECT_TRUE(createDeviceDirectory("/var/mobile/Library/PLV", Intermediates::No)); // already there
    EXPECT_TRUE(createDeviceDirectory("/var/mobile/Library/RDL", Intermediates::No));

    const char* log = "/var/mobile/Library/PLV//PLV.log";
    EXPECT_FALSE(deviceFileExists(log));
    EXPECT_EQ(deviceFileSize(log), std::nullopt);
    ASSERT_TRUE(writeDeviceFileAtomically(log, " \n=== NEW SESSION ==="));
    EXPECT_TRUE(deviceFileExists("/var/mobile/Library/PLV/PLV.log"));
    EXPECT_EQ(deviceFileSize("/var/mobile/Library/PLV/PLV.log"), 21u);
    EXPECT_EQ(deviceFileSize("/var/mobile/Library/PLV"), std::nullopt);
    auto read = readDeviceFile(log);
    ASSERT_TRUE(read);
    EXPECT_EQ(std::string(read->begin(), read->end()), " \n=== NEW SESSION ===");

    EXPECT_FALSE(removeDeviceFile("/var/mobile/Library")); // not empty
    EXPECT_TRUE(removeDeviceFile(log));
    EXPECT_FALSE(removeDeviceFile(log));
    EXPECT_FALSE(removeDeviceFile("/"));
    EXPECT_FALSE(readDeviceFile("/../outside"));
}

TEST_F(DevicePathTest, RootCanBeReadWhileItIsSet)
{
    std::atomic<bool> done { false };
    // A reference handed out earlier must stay usable after later sets.
    const fs::path& first = deviceRoot();
    std::thread reader([&] {
        while (!done.load()) {
            EXPECT_EQ(hostPath("/var/mobile").filename(), "mobile");
            EXPECT_EQ(first, m_root);
            EXPECT_FALSE(deviceRoot().empty());
        }
    });
    for (int i = 0; i < 500; ++i)
        setDeviceRoot(m_root / std::to_string(i));
    done = true;
    reader.join();
    EXPECT_EQ(deviceRoot(), m_root / "499");
}
