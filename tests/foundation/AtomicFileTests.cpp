#include <foundation/AtomicFile.h>
#include <foundation/PlistReader.h>
#include <foundation/PropertyList.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <thread>

using namespace foundation;
namespace fs = std::filesystem;

namespace {

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::path(::testing::TempDir()) / "atomicfile.XXXXXX").string();
        ASSERT_TRUE(::mkdtemp(pattern.data()));
        m_folder = pattern;
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string contents(const fs::path& path)
    {
        auto result = readWholeFile(path, 1 << 24);
        return result ? std::string(result.bytes->begin(), result.bytes->end()) : "<unreadable>";
    }

    size_t entries() const { return static_cast<size_t>(std::distance(fs::directory_iterator(m_folder), {})); }

    fs::path m_folder;
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

TEST_F(AtomicFileTest, ReaderSeesTheOldOrTheNewFileNeverAMix)
{
    auto path = m_folder / "shared.plist";
    const std::string a(200'000, 'a');
    const std::string b(70'000, 'b');
    ASSERT_TRUE(writeFileAtomically(path, a));
    std::atomic<bool> done { false };
    std::atomic<int> reads { 0 };
    std::thread reader([&] {
        while (!done.load()) {
            auto text = contents(path);
            if (text != a && text != b) {
                ADD_FAILURE() << "mixed or missing content of size " << text.size();
                return;
            }
            ++reads;
        }
    });
    for (int i = 0; i < 60; ++i)
        ASSERT_TRUE(writeFileAtomically(path, i % 2 ? a : b));
    while (reads.load() < 10)
        std::this_thread::yield();
    done = true;
    reader.join();
}

TEST_F(AtomicFileTest, ReadingRefusesWhatIsNotAnOrdinaryFileOfBoundedSize)
{
    EXPECT_FALSE(readWholeFile(m_folder / "absent", 100));
    EXPECT_FALSE(readWholeFile(m_folder, 100));
    auto fifo = m_folder / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto pipeResult = readWholeFile(fifo, 100); // must not block waiting for a writer
    EXPECT_FALSE(pipeResult);
    EXPECT_NE(pipeResult.error.find("not a regular file"), std::string::npos);

    auto path = m_folder / "big";
    ASSERT_TRUE(writeFileAtomically(path, std::string(101, 'x')));
    auto big = readWholeFile(path, 100);
    EXPECT_FALSE(big);
    EXPECT_NE(big.error.find("larger than 100 bytes"), std::string::npos);
    EXPECT_TRUE(readWholeFile(path, 101));

    ASSERT_TRUE(writeFileAtomically(path, std::string_view("")));
    auto empty = readWholeFile(path, 100);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty.bytes->empty());
}

TEST_F(AtomicFileTest, PropertyListsRoundTripThroughFiles)
{
    auto path = m_folder / "favorites.plist";
    PlistValue favourites(PlistDictionary { { "+39 333 1234567", "Mario Rossi" }, { "555-1212", "Zoë" } });
    ASSERT_TRUE(writePlistAtomically(path, favourites));
    auto result = readPlistDictionaryFile(path);
    ASSERT_TRUE(result) << result.error;
    EXPECT_EQ(*result.value, favourites);
    EXPECT_EQ(result.value->asDictionary()->keys(), favourites.asDictionary()->keys());

    auto missing = readPlistDictionaryFile(m_folder / "none.plist");
    EXPECT_FALSE(missing);
    EXPECT_NE(missing.error.find("none.plist"), std::string::npos);
}
