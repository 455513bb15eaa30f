#include "support/TemporaryDevice.h"

#include <simulator/ServeFeed.h>
#include <simulator/ServeFiles.h>

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

using namespace simulator;

namespace {

class ServedFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = m_device.root() / "web";
        std::filesystem::create_directories(m_root / "scripts");
        std::ofstream(m_root / "index.html") << "<!doctype html>";
        std::ofstream(m_root / "scripts" / "app.js") << "1";
        std::ofstream(m_device.root() / "secret.txt") << "secret";
    }

    testsupport::TemporaryDevice m_device;
    std::filesystem::path m_root;
};

TEST_F(ServedFolder, FindsFilesInsideTheFolder)
{
    auto file = resolveServedFile(m_root, "scripts/app.js");
    ASSERT_TRUE(file);
    EXPECT_EQ(*file, std::filesystem::canonical(m_root / "scripts" / "app.js"));
    EXPECT_TRUE(resolveServedFile(m_root, "index.html"));
}

TEST_F(ServedFolder, RefusesPathsThatClimbOutOrAreNotPlainNames)
{
    for (const char* path : { "", "/index.html", "../secret.txt", "scripts/../index.html", "scripts/../../secret.txt", "./index.html",
             "scripts//app.js", "scripts/", "scripts", "..\\secret.txt", "missing.html" })
        EXPECT_FALSE(resolveServedFile(m_root, path)) << path;
    EXPECT_FALSE(resolveServedFile(m_root, std::string_view("index.html\0.png", 15)));
}

TEST_F(ServedFolder, RefusesSymbolicLinksThatLeadOutButFollowThoseThatStayIn)
{
    std::filesystem::create_symlink(m_device.root() / "secret.txt", m_root / "out.js");
    std::filesystem::create_directory_symlink(m_device.root(), m_root / "up");
    std::filesystem::create_symlink(m_root / "index.html", m_root / "alias.html");
    EXPECT_FALSE(resolveServedFile(m_root, "out.js"));
    EXPECT_FALSE(resolveServedFile(m_root, "up/secret.txt"));
    EXPECT_TRUE(resolveServedFile(m_root, "alias.html"));
}

TEST_F(ServedFolder, AFolderWhoseNameExtendsTheRootIsOutside)
{
    std::filesystem::create_directories(m_device.root() / "web2");
    std::ofstream(m_device.root() / "web2" / "x.js") << "x";
    std::filesystem::create_directory_symlink(m_device.root() / "web2", m_root / "twin");
    EXPECT_FALSE(resolveServedFile(m_root, "twin/x.js"));
}

TEST(ServedTypes, KnownExtensionsOnlyAndPicturesApart)
{
    EXPECT_EQ(servedContentType("a/index.HTML"), "text/html; charset=utf-8");
    EXPECT_EQ(servedContentType("IMG_0001.JPG"), "image/jpeg");
    EXPECT_FALSE(servedContentType("sms.db"));
    EXPECT_FALSE(servedContentType("Makefile"));
    EXPECT_TRUE(isServedPicture("/x/IMG_0005.PNG"));
    EXPECT_FALSE(isServedPicture("/x/preferences.plist"));
    EXPECT_FALSE(isServedPicture("/x/index.html"));
}

TEST(ServeFeedTest, AnUnchangedTextIsNoNewGeneration)
{
    ServeFeed feed;
    EXPECT_TRUE(feed.publish(ServeFeed::Channel::Screen, "{}"));
    EXPECT_FALSE(feed.publish(ServeFeed::Channel::Screen, "{}"));
    EXPECT_EQ(feed.latest(ServeFeed::Channel::Screen).generation, 1u);
    // The first publication counts even when it is the empty text.
    EXPECT_TRUE(feed.publish(ServeFeed::Channel::Panels, ""));
    EXPECT_TRUE(feed.publish(ServeFeed::Channel::Screen, "{\"a\":1}"));
    EXPECT_EQ(feed.generation(), 3u);
}

TEST(ServeFeedTest, WaitersWakeOnChangeAndOnClose)
{
    ServeFeed feed;
    feed.publish(ServeFeed::Channel::Screen, "1");
    EXPECT_EQ(feed.waitForNewer(1, std::chrono::milliseconds(1)), 1u);
    std::thread publisher([&] { feed.publish(ServeFeed::Channel::Panels, "p"); });
    EXPECT_EQ(feed.waitForNewer(1, std::chrono::seconds(30)), 2u);
    publisher.join();
    std::thread closer([&] { feed.close(); });
    EXPECT_EQ(feed.waitForNewer(2, std::chrono::seconds(30)), 2u);
    closer.join();
    EXPECT_TRUE(feed.isClosed());
}

} // namespace
