// A writer killed with SIGKILL at a random moment, again and again: after each
// kill the preferences file reads and holds the last content whose write had
// returned or the one being written, every log entry whose call had returned
// is in the log, an entry cut short by the kill is gone once the next writer
// has written, and the killed writers' temporary files do not pile up.
//
// The writer is this test binary started again in child mode. It writes
// generation after generation and reports each one through a pipe once the
// call has returned. PLV_CRASH_KILLS sets the number of kills (default 100,
// 40 under the sanitizers).
#include <KelvaneLibrary/KelvaneLogger.h>
#include <KelvaneLibrary/KelvanePreferenceManager.h>
#include <KelvaneLibrary/SharedFiles.h>
#include <foundation/DevicePath.h>
#include <foundation/PlistReader.h>
#include <support/TemporaryDevice.h>

#include <gtest/gtest.h>

#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

using foundation::PlistValue;
using kelvane::KelvaneLogger;
using kelvane::KelvanePreferenceManager;

namespace {

constexpr std::string_view LogPath = "/var/mobile/Library/PLV/PLV.log";
constexpr int ReportFd = 3;

// Large enough that a file or an entry spans more than one page, so that a
// kill can land between the pages of one write.
std::string paddingFor(uint64_t generation)
{
    std::string padding;
    while (padding.size() < 6000)
        padding += std::to_string(generation * 7919 + padding.size()) + ".";
    return padding;
}

std::string logMessage(uint64_t generation) { return "crash-test " + std::to_string(generation) + " " + paddingFor(generation).substr(0, 3000) + "#"; }

struct Report {
    char kind; // 'P' a preferences write returned, 'L' a log call returned
    uint64_t generation;
};

// What the parent knows from the pipe and from the files.
struct Confirmed {
    std::optional<uint64_t> preferences;
    std::optional<uint64_t> log;
    uint64_t highest { 0 };
};

size_t killCount()
{
    if (const char* text = std::getenv("PLV_CRASH_KILLS"))
        return std::strtoul(text, nullptr, 10);
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return 40; // a sanitized writer takes several times as long to start
#else
    return 100;
#endif
}

pid_t startWriter(int reportPipe, const std::filesystem::path& root, uint64_t firstGeneration)
{
    std::string filter = "--gtest_filter=CrashConsistencyChild.WritesUntilKilled";
    std::string rootVariable = "PLV_CRASH_CHILD_ROOT=" + root.string();
    std::string generationVariable = "PLV_CRASH_CHILD_GENERATION=" + std::to_string(firstGeneration);
    std::vector<char*> environment;
    for (char** e = environ; *e; ++e)
        environment.push_back(*e);
    environment.push_back(rootVariable.data());
    environment.push_back(generationVariable.data());
    environment.push_back(nullptr);
    char self[] = "/proc/self/exe";
    char* arguments[] = { self, filter.data(), nullptr };
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, reportPipe, ReportFd);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    int error = ::posix_spawn(&child, "/proc/self/exe", &actions, nullptr, arguments, environment.data());
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? child : -1;
}

// The writer's reports: only the first when `waitForFirst`, else all it left
// in the pipe before it died.
std::vector<Report> readReports(int fd, bool waitForFirst)
{
    std::vector<Report> reports;
    Report report {};
    while (true) {
        ssize_t got = ::read(fd, &report, sizeof report);
        if (got == sizeof report) {
            reports.push_back(report);
            if (waitForFirst)
                return reports;
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        return reports; // end of the pipe: every writer end is closed
    }
}

class CrashConsistency : public ::testing::Test {
protected:
    // The preferences file holds the last confirmed generation or the next
    // one, whole.
    void checkPreferences(Confirmed& confirmed)
    {
        auto read = foundation::readPlistDictionaryFile(device.host(kelvane::PLVPreferencesPath));
        if (!confirmed.preferences && !read) {
            EXPECT_FALSE(device.exists(kelvane::PLVPreferencesPath)) << read.reason();
            return;
        }
        ASSERT_TRUE(read) << "the preferences file must always read: " << read.reason();
        auto generationText = read->find("generation");
        ASSERT_TRUE(generationText && generationText->asString());
        uint64_t generation = std::stoull(*generationText->asString());
        uint64_t last = confirmed.preferences.value_or(0);
        EXPECT_TRUE(generation == last || generation == last + 1)
            << "file holds generation " << generation << ", the last confirmed write was " << last;
        EXPECT_EQ(read->find("padding")->stringValue(), paddingFor(generation)) << "the file is whole";
        EXPECT_EQ(read->find("version")->stringValue(), "1.100000");
        confirmed.highest = std::max(confirmed.highest, generation);
    }

    // Every entry is whole and in order, and none that was confirmed is
    // missing. Only the last line may be cut short, by a writer killed in the
    // middle of that entry's call: the next writer cuts it off before it
    // appends, which the next check sees, as it reads on from the end of the
    // last whole entry.
    void checkLog(Confirmed& confirmed)
    {
        std::ifstream file(device.host(LogPath), std::ios::binary);
        file.seekg(static_cast<std::streamoff>(m_logChecked));
        std::string text { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
        std::string_view fresh = text;
        size_t whole = 0; // bytes of `text` that hold whole entries
        if (m_logChecked == 0 && !fresh.empty()) {
            ASSERT_EQ(fresh.front(), ' ') << "a new log starts with a blank";
            whole = 1;
        }
        while (whole < fresh.size()) {
            ASSERT_EQ(fresh[whole], '\n') << "every entry begins with a newline";
            size_t end = fresh.find('\n', whole + 1);
            bool last = end == std::string_view::npos;
            std::string_view line = fresh.substr(whole + 1, last ? std::string_view::npos : end - whole - 1);
            constexpr std::string_view prefix = "NORMAL:crash-test ";
            if (line != "=== NEW SESSION ===") {
                uint64_t generation = 0;
                auto digits = line.substr(std::min(line.size(), prefix.size()));
                auto [next, error] = std::from_chars(digits.data(), digits.data() + digits.size(), generation);
                bool isEntry = line.starts_with(prefix) && error == std::errc() && next != digits.data()
                    && line.substr(std::string_view("NORMAL:").size()) == logMessage(generation);
                if (!isEntry && last) {
                    // Cut short: only the entry whose call never returned.
                    EXPECT_TRUE(prefix.starts_with(line.substr(0, prefix.size())) || line.starts_with(prefix))
                        << "not the start of an entry: " << line.substr(0, 60);
                    ++m_cutShort;
                    break;
                }
                ASSERT_TRUE(isEntry) << "not a whole entry: " << line.substr(0, 60) << "… (" << line.size() << " bytes)";
                EXPECT_TRUE(!m_lastLogged || generation > *m_lastLogged) << "entries in order, each once";
                m_lastLogged = generation;
                confirmed.highest = std::max(confirmed.highest, generation);
            }
            whole += 1 + line.size();
        }
        if (confirmed.log) {
            EXPECT_TRUE(m_lastLogged && *m_lastLogged >= *confirmed.log)
                << "entry " << *confirmed.log << " had returned but is not in the log";
        }
        m_logChecked += whole;
    }

    // A killed writer may leave its temporary file; the next writer clears it.
    size_t temporaries() const
    {
        size_t count = 0;
        for (auto& entry : std::filesystem::directory_iterator(device.host("/var/mobile/Library/PLV"))) {
            if (entry.path().filename().string().starts_with(".preferences.plist."))
                ++count;
        }
        return count;
    }

    testsupport::TemporaryDevice device;
    size_t m_logChecked { 0 };
    size_t m_cutShort { 0 }; // entries found cut short after a kill
    std::optional<uint64_t> m_lastLogged;
};

TEST_F(CrashConsistency, FilesSurviveAWriterKilledAtAnyMoment)
{
    device.makeDirectory("/var/mobile/Library/PLV");
    std::mt19937 random(std::random_device {}());
    // Past the writer's start-up, into its loop: kills land anywhere in a
    // write of either file.
    std::uniform_int_distribution<int> delayMicroseconds(0, 4000);
    Confirmed confirmed;
    size_t kills = killCount();
    for (size_t round = 0; round < kills; ++round) {
        int pipeEnds[2];
        ASSERT_EQ(::pipe2(pipeEnds, O_CLOEXEC), 0);
        pid_t child = startWriter(pipeEnds[1], device.root(), confirmed.highest + 1);
        ::close(pipeEnds[1]);
        ASSERT_GT(child, 0);
        // The first report says the writer is in its loop.
        auto reports = readReports(pipeEnds[0], true);
        if (!reports.empty())
            std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(reports.empty() || (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL))
            << "the writer stopped by itself";
        for (auto& report : readReports(pipeEnds[0], false))
            reports.push_back(report);
        ::close(pipeEnds[0]);
        for (auto& report : reports)
            (report.kind == 'P' ? confirmed.preferences : confirmed.log) = report.generation;
        SCOPED_TRACE("after kill " + std::to_string(round + 1));
        checkPreferences(confirmed);
        checkLog(confirmed);
        EXPECT_LE(temporaries(), 1u) << "temporaries of killed writers pile up";
        if (HasFatalFailure() || HasFailure())
            return;
    }
    RecordProperty("kills", static_cast<int>(kills));
    RecordProperty("entriesCutShortByAKill", static_cast<int>(m_cutShort));
    EXPECT_GT(confirmed.log.value_or(0), 0u) << "the writers must really have written";
}

// The writer of the test above; it does nothing when run on its own.
TEST(CrashConsistencyChild, WritesUntilKilled)
{
    const char* root = std::getenv("PLV_CRASH_CHILD_ROOT");
    const char* first = std::getenv("PLV_CRASH_CHILD_GENERATION");
    if (!root || !first)
        GTEST_SKIP() << "started by CrashConsistency.FilesSurviveAWriterKilledAtAnyMoment";
    foundation::setDeviceRoot(root);
    KelvaneLogger::setProjectName("PLV", true);
    auto store = std::make_unique<KelvanePreferenceManager>(KelvanePreferenceManager::Variant::Settings);
    store->setAppName("PLV");
    auto report = [](char kind, uint64_t generation) {
        Report record { kind, generation };
        if (::write(ReportFd, &record, sizeof record) != sizeof record)
            ::_exit(1);
    };
    for (uint64_t generation = std::strtoull(first, nullptr, 10);; ++generation) {
        store->preferences()->set("generation", PlistValue(std::to_string(generation)));
        store->preferences()->set("padding", PlistValue(paddingFor(generation)));
        store->writePreferences();
        report('P', generation);
        KelvaneLogger::log(logMessage(generation), KelvaneLogger::Normal);
        report('L', generation);
    }
}

} // namespace
