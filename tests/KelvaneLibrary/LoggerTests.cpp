#include <KelvaneLibrary/KelvaneLogger.h>
#include <foundation/SystemLog.h>
#include <support/TemporaryDevice.h>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using kelvane::KelvaneLogger;

namespace {

constexpr std::string_view LogPath = "/var/mobile/Library/PLV/PLV.log";

class Logger : public ::testing::Test {
protected:
    void SetUp() override
    {
        KelvaneLogger::resetForTesting();
        device.makeDirectory("/var/mobile/Library");
    }
    void TearDown() override { KelvaneLogger::resetForTesting(); }
    std::string logText() const { return device.read(LogPath); }

    testsupport::TemporaryDevice device;
};

TEST_F(Logger, FirstEntryOnADeviceCreatesTheFolderAndFile)
{
    KelvaneLogger::setProjectName("PLV", true);
    EXPECT_EQ(KelvaneLogger::logFilePath(), "/var/mobile/Library/PLV//PLV.log");
    KelvaneLogger::log("reloadPrefsNotification", 0);
    EXPECT_EQ(logText(), " \n=== NEW SESSION ===\nDEV:reloadPrefsNotification");
}

TEST_F(Logger, EachSeverityHasItsLabelAndTheHeaderComesOncePerRun)
{
    device.write(LogPath, " \n=== NEW SESSION ===\nNORMAL:earlier run");
    KelvaneLogger::setProjectName("PLV", true);
    KelvaneLogger::log("a", -1);
    KelvaneLogger::log("b", 0);
    KelvaneLogger::log("CANNOT OPEN PREFERENCES FILE", 1);
    KelvaneLogger::log("d", 2);
    KelvaneLogger::log("bare", 5);
    EXPECT_EQ(logText(), " \n=== NEW SESSION ===\nNORMAL:earlier run"
                         "\n=== NEW SESSION ===\nNORMAL:a\nDEV:b\nSEVERE:CANNOT OPEN PREFERENCES FILE\nCRITICAL:d\nbare");
}

TEST_F(Logger, DevelopmentEntriesNeedDevelopmentMode)
{
    KelvaneLogger::setProjectName("PLV", false);
    KelvaneLogger::log("hidden", 0);
    EXPECT_FALSE(device.exists(LogPath));
    KelvaneLogger::log("shown", -1);
    // The run's header still goes in front of its first written entry.
    EXPECT_EQ(logText(), " \n=== NEW SESSION ===\nNORMAL:shown");
}

TEST_F(Logger, KeepsAccentsNamesAndEmojiAsUtf8)
{
    KelvaneLogger::setProjectName("PLV", true);
    KelvaneLogger::log("apro l'app: Città è già 😀 שלום", -1);
    EXPECT_EQ(logText(), " \n=== NEW SESSION ===\nNORMAL:apro l'app: Città è già 😀 שלום");
}

TEST_F(Logger, NeverDiscardsAnExistingFileBecauseOfItsContent)
{
    std::string foreign = std::string("old \xff\xfe binary\0entries", 22);
    device.write(LogPath, foreign);
    KelvaneLogger::setProjectName("PLV", true);
    KelvaneLogger::log("next", 1);
    EXPECT_EQ(logText(), foreign + "\n=== NEW SESSION ===\nSEVERE:next");
}

TEST_F(Logger, AMissingMessageIsWrittenAsNull)
{
    KelvaneLogger::setProjectName("PLV", true);
    KelvaneLogger::log(static_cast<const char*>(nullptr), -1);
    KelvaneLogger::log(std::optional<std::string>(), 2);
    EXPECT_EQ(logText(), " \n=== NEW SESSION ===\nNORMAL:(null)\nCRITICAL:(null)");
}

TEST_F(Logger, AfterTheFileIsRemovedTheRunGoesOnWithoutAHeader)
{
    KelvaneLogger::setProjectName("PLV", true);
    KelvaneLogger::log("first", -1);
    std::filesystem::remove(device.host(LogPath));
    KelvaneLogger::log("second", -1);
    EXPECT_EQ(logText(), " \nNORMAL:second");
}

TEST_F(Logger, RecreatesTheFolderWhenItWasRemoved)
{
    KelvaneLogger::setProjectName("PLV", true);
    KelvaneLogger::log("first", -1);
    std::filesystem::remove_all(device.host("/var/mobile/Library/PLV"));
    KelvaneLogger::log("second", -1);
    EXPECT_EQ(logText(), " \nNORMAL:second");
}

TEST_F(Logger, BeforeTheProjectNameEntriesGoToTheSystemLog)
{
    KelvaneLogger::log("too early", 1);
    EXPECT_FALSE(device.exists(LogPath));
    EXPECT_TRUE(foundation::SystemLog::shared().contains("KelvaneLogger:SEVERE:too early"));
}

TEST_F(Logger, RemovingTheLogHonoursTheLimitExactly)
{
    KelvaneLogger::setProjectName("PLV", true);
    device.write(LogPath, std::string(99999, 'x'));
    EXPECT_EQ(KelvaneLogger::removeLogFileIfAtLeast(LogPath, 100000), 99999);
    EXPECT_TRUE(device.exists(LogPath));
    device.write(LogPath, std::string(100000, 'x'));
    EXPECT_EQ(KelvaneLogger::removeLogFileIfAtLeast(LogPath, 100000), 100000);
    EXPECT_FALSE(device.exists(LogPath));
    EXPECT_EQ(KelvaneLogger::removeLogFileIfAtLeast(LogPath, 100000), std::nullopt);
}

size_t countLines(const std::string& text, std::string_view prefix)
{
    size_t count = 0;
    for (size_t at = text.find(prefix); at != std::string::npos; at = text.find(prefix, at + 1))
        ++count;
    return count;
}

TEST_F(Logger, ConcurrentWritersLoseNoEntry)
{
    KelvaneLogger::setProjectName("PLV", true);
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([t] {
            for (int i = 0; i < 250; ++i)
                KelvaneLogger::log("thread " + std::to_string(t) + " entry " + std::to_string(i), -1);
        });
    }
    std::thread remover([] {
        for (int i = 0; i < 20; ++i)
            KelvaneLogger::removeLogFileIfAtLeast(LogPath, 1 << 30);
    });
    for (auto& writer : writers)
        writer.join();
    remover.join();
    std::string text = logText();
    EXPECT_EQ(countLines(text, "\nNORMAL:thread "), 1000u);
    EXPECT_EQ(countLines(text, "=== NEW SESSION ==="), 1u);
}

#if !defined(__SANITIZE_THREAD__)
TEST_F(Logger, WritersInSeveralProcessesLoseNoEntry)
{
    KelvaneLogger::setProjectName("PLV", true);
    KelvaneLogger::log("parent", -1);
    std::vector<pid_t> children;
    for (int c = 0; c < 3; ++c) {
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (int i = 0; i < 200; ++i)
                KelvaneLogger::log("child " + std::to_string(c), -1);
            ::_exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    EXPECT_EQ(countLines(logText(), "\nNORMAL:child "), 600u);
}
#endif

} // namespace
