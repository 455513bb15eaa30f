#include <KelvaneLibrary/KelvaneLogger.h>
#include <foundation/SystemLog.h>
#include <support/TemporaryDevice.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <sys/xattr.h>
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
    KelvaneLogger::log("reloadPrefsNotification", KelvaneLogger::Development);
    EXPECT_EQ(logText(), " \n=== NEW SESSION ===\nDEV:reloadPrefsNotification");
}

TEST_F(Logger, EachSeverityHasItsLabelAndTheHeaderComesOncePerRun)
{
    device.write(LogPath, " \n=== NEW SESSION ===\nNORMAL:earlier run");
    KelvaneLogger::setProjectName("PLV", true);
    KelvaneLogger::log("a", KelvaneLogger::Normal);
    KelvaneLogger::log("b", KelvaneLogger::Development);
    KelvaneLogger::log("CANNOT OPEN PREFERENCES FILE", KelvaneLogger::Severe);
    KelvaneLogger::log("d", KelvaneLogger::Critical);
    KelvaneLogger::log("bare", static_cast<KelvaneLogger::Severity>(5));
    EXPECT_EQ(logText(), " \n=== NEW SESSION ===\nNORMAL:earlier run"
                         "\n=== NEW SESSION ===\nNORMAL:a\nDEV:b\nSEVERE:CANNOT OPEN PREFERENCES FILE\nCRITICAL:d\nbare");
}

TEST_F(Logger, DevelopmentEntriesNeedDevelopmentMode)
{
    KelvaneLogger::setProjectName("PLV", false);
    KelvaneLogger::log("hidden", KelvaneLogger::Development);
    EXPECT_FALSE(device.exists(LogPath));
    KelvaneLogger::log("shown", KelvaneLogger::Normal);
    // The run's header still goes in front of its first written entry.
    EXPECT_EQ(logText(), " \n=== NEW SESSION ===\nNORMAL:shown");
}

TEST_F(Logger, KeepsAccentsNamesAndEmojiAsUtf8)
{
    KelvaneLogger::setProjectName("PLV", true);
    KelvaneLogger::log("apro l'app: Città è già 😀 שלום", KelvaneLogger::Normal);
    EXPECT_EQ(logText(), " \n=== NEW SESSION ===\nNORMAL:apro l'app: Città è già 😀 שלום");
}

TEST_F(Logger, NeverDiscardsAnExistingFileBecauseOfItsContent)
{
    std::string foreign = std::string("old \xff\xfe binary\0entries", 22);
    device.write(LogPath, foreign);
    KelvaneLogger::setProjectName("PLV", true);
    KelvaneLogger::log("next", KelvaneLogger::Severe);
    EXPECT_EQ(logText(), foreign + "\n=== NEW SESSION ===\nSEVERE:next");
}

TEST_F(Logger, AMissingMessageIsWrittenAsNull)
{
    KelvaneLogger::setProjectName("PLV", true);
    KelvaneLogger::log(static_cast<const char*>(nullptr), KelvaneLogger::Normal);
    KelvaneLogger::log(std::optional<std::string>(), KelvaneLogger::Critical);
    EXPECT_EQ(logText(), " \n=== NEW SESSION ===\nNORMAL:(null)\nCRITICAL:(null)");
}

TEST_F(Logger, AfterTheFileIsRemovedTheRunGoesOnWithoutAHeader)
{
    KelvaneLogger::setProjectName("PLV", true);
    KelvaneLogger::log("first", KelvaneLogger::Normal);
    std::filesystem::remove(device.host(LogPath));
    KelvaneLogger::log("second", KelvaneLogger::Normal);
    EXPECT_EQ(logText(), " \nNORMAL:second");
}

TEST_F(Logger, RecreatesTheFolderWhenItWasRemoved)
{
    KelvaneLogger::setProjectName("PLV", true);
    KelvaneLogger::log("first", KelvaneLogger::Normal);
    std::filesystem::remove_all(device.host("/var/mobile/Library/PLV"));
    KelvaneLogger::log("second", KelvaneLogger::Normal);
    EXPECT_EQ(logText(), " \nNORMAL:second");
}

TEST_F(Logger, BeforeTheProjectNameEntriesGoToTheSystemLog)
{
    KelvaneLogger::log("too early", KelvaneLogger::Severe);
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

// Lowers this process's file size limit for its lifetime, with SIGXFSZ
// ignored, so that a write past the limit comes back short and then fails
// with EFBIG, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_saved;
        lowered.rlim_cur = bytes;
        m_applied = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_savedHandler);
    }
    bool applied() const { return m_applied; }

private:
    rlimit m_saved {};
    void (*m_savedHandler)(int) {};
    bool m_applied { false };
};

TEST_F(Logger, AnEntryThatCannotBeWrittenWholeLeavesNothingBehind)
{
    KelvaneLogger::setProjectName("PLV", true);
    {
        // A new file with room for the blank and part of the header.
        FileSizeLimit limit(6);
        ASSERT_TRUE(limit.applied());
        KelvaneLogger::log("lost", KelvaneLogger::Normal);
    }
    EXPECT_EQ(logText(), "");

    std::string before = " \n=== NEW SESSION ===\nNORMAL:earlier run";
    device.write(LogPath, before);
    {
        FileSizeLimit limit(before.size() + 8);
        ASSERT_TRUE(limit.applied());
        KelvaneLogger::log("an entry longer than the room that is left", KelvaneLogger::Severe);
    }
    EXPECT_EQ(logText(), before);

    // No header reached the file, so the run's next entry brings it.
    KelvaneLogger::log("next", KelvaneLogger::Severe);
    EXPECT_EQ(logText(), before + "\n=== NEW SESSION ===\nSEVERE:next");
}

// What a writer killed between the pages of its entry leaves: its note of the
// sizes before and after, and part of the entry.
TEST_F(Logger, HalfAnEntryLeftByAKilledWriterIsCutOffByTheNext)
{
    KelvaneLogger::setProjectName("PLV", true);
    struct Sizes {
        int64_t before, after;
    };
    auto leaveHalfAnEntry = [&](const std::string& whole, std::string_view entry, size_t written) {
        device.write(LogPath, whole + std::string(entry.substr(0, written)));
        Sizes sizes { int64_t(whole.size()), int64_t(whole.size() + entry.size()) };
        return ::setxattr(device.host(LogPath).c_str(), "user.plv.append", &sizes, sizeof sizes, 0) == 0;
    };
    std::string before = " \n=== NEW SESSION ===\nNORMAL:earlier run";
    if (!leaveHalfAnEntry(before, "\nNORMAL:killed in the middle", 12))
        GTEST_SKIP() << "this file system keeps no extended attributes";
    KelvaneLogger::log("next", KelvaneLogger::Severe);
    EXPECT_EQ(logText(), before + "\n=== NEW SESSION ===\nSEVERE:next");

    // A note whose entry was written whole, or whose file has since grown
    // past it, cuts nothing.
    std::string now = logText();
    ASSERT_TRUE(leaveHalfAnEntry(now, "\nNORMAL:whole", 13));
    KelvaneLogger::log("after", KelvaneLogger::Normal);
    EXPECT_EQ(logText(), now + "\nNORMAL:whole\nNORMAL:after");

    // A half first entry of a new file goes with its blank and header.
    ASSERT_TRUE(leaveHalfAnEntry("", " \n=== NEW SESSION ===\nNORMAL:first", 9));
    KelvaneLogger::log("again", KelvaneLogger::Normal);
    EXPECT_EQ(logText(), " \nNORMAL:again");
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
    // The size check runs beside the writers but never removes here, so every
    // entry must be on the one file; removal is the next test's business.
    KelvaneLogger::setProjectName("PLV", true);
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([t] {
            for (int i = 0; i < 250; ++i)
                KelvaneLogger::log("thread " + std::to_string(t) + " entry " + std::to_string(i), KelvaneLogger::Normal);
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

TEST_F(Logger, EntriesWrittenAfterTheSizeCheckRemovesTheFileLandInTheNewFile)
{
    // Another process's size check removes the file over and over while this
    // process's threads write, so writers keep finding, once they hold the
    // lock, that the file they opened is gone. Every byte written must then be
    // on a file the check removed (and measured under the lock) or on the file
    // left at the end: bytes written into a removed file are in neither.
    KelvaneLogger::setProjectName("PLV", true);
    constexpr long long limit = 512;
    int stop[2];
    int removed[2];
    ASSERT_EQ(::pipe(stop), 0);
    ASSERT_EQ(::pipe(removed), 0);
    pid_t checker = ::fork();
    ASSERT_GE(checker, 0);
    if (checker == 0) {
        ::close(stop[1]);
        ::close(removed[0]);
        ::fcntl(stop[0], F_SETFL, O_NONBLOCK);
        char byte;
        while (::read(stop[0], &byte, 1) < 0 && errno == EAGAIN) {
            auto size = KelvaneLogger::removeLogFileIfAtLeast(LogPath, limit);
            if (size && *size >= limit && ::write(removed[1], &*size, sizeof *size) != sizeof *size)
                ::_exit(1);
        }
        ::_exit(0);
    }
    ::close(stop[0]);
    ::close(removed[1]);

    // The lock favours whoever asks again first, so the writers go on until
    // the check has had its turn often enough, not for a fixed count.
    constexpr int wantedRemovals = 25;
    constexpr int mostEntriesPerThread = 50000;
    std::atomic<int> removals { 0 };
    std::atomic<long long> removedBytes { 0 };
    std::thread tally([&] {
        long long size = 0;
        while (::read(removed[0], &size, sizeof size) == sizeof size) {
            removedBytes += size;
            ++removals;
        }
    });
    constexpr int threads = 4;
    std::vector<std::thread> writers;
    std::vector<size_t> written(threads);
    for (int t = 0; t < threads; ++t) {
        writers.emplace_back([t, &written, &removals] {
            for (int i = 0; i < mostEntriesPerThread && removals.load() < wantedRemovals; ++i) {
                std::string message = "thread " + std::to_string(t) + " entry " + std::to_string(i);
                KelvaneLogger::log(message, KelvaneLogger::Normal);
                written[t] += std::string_view("\nNORMAL:").size() + message.size();
            }
        });
    }
    for (auto& writer : writers)
        writer.join();
    ::close(stop[1]);
    tally.join(); // the checker has exited and closed its end
    ::close(removed[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(checker, &status, 0), checker);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_GE(removals.load(), wantedRemovals) << "the check must really remove the file while the writers run";

    std::string text = logText();
    long long expected = std::string_view("\n=== NEW SESSION ===").size();
    for (size_t bytes : written)
        expected += static_cast<long long>(bytes);
    // Each file the writers started opens with a blank; the check may have
    // removed the last one too.
    expected += removals.load() + (text.empty() ? 0 : 1);
    EXPECT_EQ(removedBytes.load() + static_cast<long long>(text.size()), expected);
}

#if !defined(__SANITIZE_THREAD__)
TEST_F(Logger, WritersInSeveralProcessesLoseNoEntry)
{
    KelvaneLogger::setProjectName("PLV", true);
    KelvaneLogger::log("parent", KelvaneLogger::Normal);
    std::vector<pid_t> children;
    for (int c = 0; c < 3; ++c) {
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (int i = 0; i < 200; ++i)
                KelvaneLogger::log("child " + std::to_string(c), KelvaneLogger::Normal);
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
