#include "support/TemporaryFolder.h"

#include <foundation/AtomicFile.h>
#include <foundation/PlistReader.h>
#include <foundation/PropertyList.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace foundation;
namespace fs = std::filesystem;

namespace {

class AtomicFileTest : public ::testing::Test {
protected:
    testsupport::TemporaryFolder m_temporary { "atomicfile" };
    const fs::path& m_folder = m_temporary.path();

    std::string contents(const fs::path& path)
    {
        auto result = readWholeFile(path, 1 << 24);
        return result ? std::string(result->begin(), result->end()) : "<unreadable>";
    }

    size_t entries() const { return static_cast<size_t>(std::distance(fs::directory_iterator(m_folder), {})); }
};

}

TEST_F(AtomicFileTest, CreatesAndReplacesWithoutLeavingTemporaries)
{
    auto path = m_folder / "preferences.plist";
    ASSERT_TRUE(writeFileAtomically(path, "first"));
    EXPECT_EQ(contents(path), "first");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0644));
    ASSERT_TRUE(writeFileAtomically(path, std::string_view("")));
    EXPECT_EQ(contents(path), "");
    ASSERT_TRUE(writeFileAtomically(path, "third"));
    EXPECT_EQ(contents(path), "third");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(AtomicFileTest, TemporariesOfKilledWritersAreRemovedByTheNextWrite)
{
    // The process id of a writer that has ended.
    pid_t gone = 0;
    char program[] = "/bin/true";
    char* arguments[] = { program, nullptr };
    ASSERT_EQ(::posix_spawn(&gone, program, nullptr, nullptr, arguments, environ), 0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    auto path = m_folder / "preferences.plist";
    auto leftBy = [&](std::string name) {
        std::ofstream(m_folder / name) << "half";
        return m_folder / name;
    };
    auto abandoned = leftBy(".preferences.plist." + std::to_string(gone) + ".a1B2c3");
    auto live = leftBy(".preferences.plist." + std::to_string(::getpid()) + ".d4E5f6");
    auto otherFile = leftBy(".favorites.plist." + std::to_string(gone) + ".g7H8i9");
    auto unlike = leftBy(".preferences.plist.notapid.j1K2l3");
    ASSERT_TRUE(writeFileAtomically(path, "new"));
    EXPECT_EQ(contents(path), "new");
    EXPECT_FALSE(fs::exists(abandoned)) << "its writer is gone";
    EXPECT_TRUE(fs::exists(live)) << "another thread of a live writer may still rename it";
    EXPECT_TRUE(fs::exists(otherFile)) << "only the written file's temporaries are looked at";
    EXPECT_TRUE(fs::exists(unlike)) << "a name we did not make is left alone";
}

TEST_F(AtomicFileTest, KeepsTheExistingFilesPermissions)
{
    auto path = m_folder / "PLV.log";
    ASSERT_TRUE(writeFileAtomically(path, "a"));
    fs::permissions(path, fs::perms(0600));
    ASSERT_TRUE(writeFileAtomically(path, "b"));
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0600));
}

TEST_F(AtomicFileTest, FailsCleanly)
{
    EXPECT_FALSE(writeFileAtomically(m_folder / "missing" / "file", "x"));
    EXPECT_FALSE(fs::exists(m_folder / "missing"));

    fs::create_directory(m_folder / "folder");
    EXPECT_FALSE(writeFileAtomically(m_folder / "folder", "x"));
    EXPECT_TRUE(fs::is_directory(m_folder / "folder"));

    EXPECT_FALSE(writeFileAtomically(fs::path(), "x"));
    EXPECT_EQ(entries(), 1u);

    // A folder we may not write into: the old file stays and no temporary is left.
    if (::geteuid() != 0) {
        auto locked = m_folder / "locked";
        fs::create_directory(locked);
        ASSERT_TRUE(writeFileAtomically(locked / "f", "old"));
        fs::permissions(locked, fs::perms(0500));
        EXPECT_FALSE(writeFileAtomically(locked / "f", "new"));
        fs::permissions(locked, fs::perms(0700));
        EXPECT_EQ(contents(locked / "f"), "old");
        EXPECT_EQ(std::distance(fs::directory_iterator(locked), {}), 1);
    }
}

TEST_F(AtomicFileTest, AReaderInAnotherProcessSeesTheOldOrTheNewFileNeverAMix)
{
    auto path = m_folder / "shared.plist";
    const std::string a(200'000, 'a');
    const std::string b(70'000, 'b');
    ASSERT_TRUE(writeFileAtomically(path, a));
    int stop[2];
    int ready[2];
    ASSERT_EQ(::pipe(stop), 0);
    ASSERT_EQ(::pipe(ready), 0);
    pid_t reader = ::fork();
    ASSERT_GE(reader, 0);
    if (reader == 0) {
        // The reader: reads until the writer closes `stop`, says when it has
        // read a few times, and exits 1 at the first mixed or missing file.
        ::close(stop[1]);
        ::close(ready[0]);
        int reads = 0;
        for (;;) {
            pollfd done { stop[0], POLLIN, 0 };
            if (::poll(&done, 1, 0) > 0)
                ::_exit(0);
            auto result = readWholeFile(path, 1 << 24);
            if (!result)
                ::_exit(1);
            std::string text(result->begin(), result->end());
            if (text != a && text != b)
                ::_exit(1);
            if (++reads == 20 && ::write(ready[1], "r", 1) != 1)
                ::_exit(2);
        }
    }
    ::close(stop[0]);
    ::close(ready[1]);
    // Replace the file over and over until the reader has read it 20 times.
    pollfd readerReady { ready[0], POLLIN, 0 };
    int writes = 0;
    while (::poll(&readerReady, 1, 0) == 0 && writes < 20'000)
        ASSERT_TRUE(writeFileAtomically(path, writes++ % 2 ? a : b));
    ::close(stop[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(reader, &status, 0), reader);
    ::close(ready[0]);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the reader saw a mixed or missing file";
    EXPECT_GT(writes, 0);
}

TEST_F(AtomicFileTest, ReadingRefusesWhatIsNotAnOrdinaryFileOfBoundedSize)
{
    EXPECT_FALSE(readWholeFile(m_folder / "absent", 100));
    EXPECT_FALSE(readWholeFile(m_folder, 100));
    auto fifo = m_folder / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto pipeResult = readWholeFile(fifo, 100); // must not block waiting for a writer
    EXPECT_FALSE(pipeResult);
    EXPECT_NE(pipeResult.reason().find("not a regular file"), std::string::npos);

    auto path = m_folder / "big";
    ASSERT_TRUE(writeFileAtomically(path, std::string(101, 'x')));
    auto big = readWholeFile(path, 100);
    EXPECT_FALSE(big);
    EXPECT_NE(big.reason().find("larger than 100 bytes"), std::string::npos);
    EXPECT_TRUE(readWholeFile(path, 101));

    ASSERT_TRUE(writeFileAtomically(path, std::string_view("")));
    auto empty = readWholeFile(path, 100);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
}

TEST_F(AtomicFileTest, PropertyListsRoundTripThroughFiles)
{
    auto path = m_folder / "favorites.plist";
    PlistValue favourites(PlistDictionary { { "+39 333 1234567", "Mario Rossi" }, { "555-1212", "Zoë" } });
    ASSERT_TRUE(writePlistAtomically(path, favourites));
    auto result = readPlistDictionaryFile(path);
    ASSERT_TRUE(result) << result.reason();
    EXPECT_EQ(*result, favourites);
    EXPECT_EQ(result->asDictionary()->keys(), favourites.asDictionary()->keys());

    auto missing = readPlistDictionaryFile(m_folder / "none.plist");
    EXPECT_FALSE(missing);
    EXPECT_NE(missing.reason().find("none.plist"), std::string::npos);
}
