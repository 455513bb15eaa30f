// Failures injected into the file layer: which call fails, how often, on which
// path, and what the atomic replacement and the whole-file read leave behind
// for each kind of failure. Running as root, permissions could not make these
// calls fail; the seam can.
#include <foundation/AtomicFile.h>
#include <foundation/FileFaults.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

using namespace foundation;
namespace fs = std::filesystem;

namespace {

class FileFaultTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::path(::testing::TempDir()) / "filefaults.XXXXXX").string();
        ASSERT_TRUE(::mkdtemp(pattern.data()));
        m_folder = pattern;
    }
    void TearDown() override
    {
        FileFaults::disarm();
        fs::remove_all(m_folder);
    }

    std::string contents(const fs::path& path)
    {
        auto result = readWholeFile(path, 1 << 24);
        return result ? std::string(result.bytes->begin(), result.bytes->end()) : "<unreadable>";
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(m_folder))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }

    fs::path m_folder;
};

struct ReplacementFault {
    const char* name;
    FileFault fault;
};

} // namespace

TEST_F(FileFaultTest, EveryFailedStepOfAReplacementLeavesTheOldFileAloneAndNoTemporary)
{
    const ReplacementFault faults[] = {
        { "the temporary cannot be created", FileFault::on(FileOperation::Open).withError(ENOSPC) },
        { "the write fails", FileFault::on(FileOperation::Write).withError(EIO) },
        { "the disk fills up halfway", FileFault::on(FileOperation::Write).withError(ENOSPC).halfWritten() },
        { "the flush fails", FileFault::on(FileOperation::Sync).withError(EIO) },
        { "the rename fails", FileFault::on(FileOperation::Rename).withError(EXDEV) },
    };
    auto path = m_folder / "preferences.plist";
    const std::string old(10'000, 'o');
    for (const auto& [name, fault] : faults) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(writeFileAtomically(path, old));
        {
            ArmedFileFault armed(fault);
            EXPECT_FALSE(writeFileAtomically(path, std::string(20'000, 'n')));
            EXPECT_EQ(FileFaults::failuresInjected(), 1u);
        }
        EXPECT_EQ(contents(path), old);
        EXPECT_EQ(names(), std::vector<std::string> { "preferences.plist" });
        // The fault was for one call: the next replacement goes through.
        EXPECT_TRUE(writeFileAtomically(path, "after"));
        EXPECT_EQ(contents(path), "after");
    }
}

TEST_F(FileFaultTest, AFailedReadSaysWhyAndNamesTheFile)
{
    auto path = m_folder / "favorites.plist";
    ASSERT_TRUE(writeFileAtomically(path, "kept"));
    ArmedFileFault armed(FileFault::on(FileOperation::Read).withError(EIO));
    auto result = readWholeFile(path, 100);
    ASSERT_FALSE(result);
    EXPECT_NE(result.error.find("favorites.plist"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find(std::strerror(EIO)), std::string::npos) << result.error;
    EXPECT_EQ(contents(path), "kept");
}

TEST_F(FileFaultTest, TheFaultHitsTheNthMatchingCallForAsManyCallsAsAsked)
{
    auto prefs = m_folder / "preferences.plist";
    auto log = m_folder / "PLV.log";
    // The 2nd and 3rd renames onto the preferences fail; the log's never do.
    ArmedFileFault armed(FileFault::on(FileOperation::Rename).fromCall(2).forCalls(2).withError(ENOSPC).onPath("preferences.plist"));
    std::string trace;
    for (int i = 0; i < 5; ++i) {
        trace += writeFileAtomically(prefs, std::to_string(i)) ? 'p' : '-';
        trace += writeFileAtomically(log, std::to_string(i)) ? 'l' : '-';
    }
    EXPECT_EQ(trace, "pl-l-lplpl");
    EXPECT_EQ(FileFaults::failuresInjected(), 2u);

    FileFaults::arm(FileFault::on(FileOperation::Write).fromCall(3).always());
    trace.clear();
    for (int i = 0; i < 5; ++i)
        trace += writeFileAtomically(log, "x") ? 'w' : '-';
    EXPECT_EQ(trace, "ww---");

    // Disarmed, nothing fails.
    FileFaults::disarm();
    EXPECT_TRUE(writeFileAtomically(log, "x"));
    EXPECT_TRUE(readWholeFile(log, 10));
}
