// Failures injected into the file layer: which call fails, how often, on which
// path, and what the atomic replacement and the whole-file read leave behind
// for each kind of failure. Running as root, permissions could not make these
// calls fail; the seam can.
#include <foundation/AtomicFile.h>
#include <foundation/FileFaults.h>
#include <foundation/SqliteFileFaults.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <utility>

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
        return result ? std::string(result->begin(), result->end()) : "<unreadable>";
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
    EXPECT_NE(result.reason().find("favorites.plist"), std::string::npos) << result.reason();
    EXPECT_NE(result.reason().find(std::strerror(EIO)), std::string::npos) << result.reason();
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

namespace {

// A database opened through the faulting VFS, with one table of numbered rows.
class SqliteFaults : public FileFaultTest {
protected:
    void SetUp() override
    {
        FileFaultTest::SetUp();
        ASSERT_TRUE(faultableSqliteVfs());
        m_path = m_folder / "sms.db";
        ASSERT_EQ(sqlite3_open_v2(m_path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, faultableSqliteVfs()), SQLITE_OK);
        ASSERT_EQ(exec("CREATE TABLE message (ROWID INTEGER PRIMARY KEY, text TEXT)"), SQLITE_OK);
        ASSERT_EQ(exec("BEGIN"), SQLITE_OK);
        for (int i = 0; i < 50; ++i)
            ASSERT_EQ(insert(std::string(900, 'a' + i % 26)), SQLITE_OK);
        ASSERT_EQ(exec("COMMIT"), SQLITE_OK);
    }
    void TearDown() override
    {
        sqlite3_close(m_db);
        FileFaultTest::TearDown();
    }

    int exec(const std::string& sql) { return sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr); }
    int insert(const std::string& text) { return exec("INSERT INTO message (text) VALUES ('" + text + "')"); }
    std::string dump()
    {
        std::string rows;
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(m_db, "SELECT ROWID, text FROM message ORDER BY ROWID", -1, &statement, nullptr);
        while (sqlite3_step(statement) == SQLITE_ROW)
            rows += std::to_string(sqlite3_column_int64(statement, 0)) + ":" + reinterpret_cast<const char*>(sqlite3_column_text(statement, 1)) + "\n";
        sqlite3_finalize(statement);
        return rows;
    }
    // Runs a transaction large enough to spill pages before it commits under
    // each fault, and expects it refused with nothing committed lost.
    void expectEachFaultKeepsTheCommittedRows(std::initializer_list<std::pair<const char*, FileFault>> faults)
    {
        for (const auto& [name, fault] : faults) {
            SCOPED_TRACE(name);
            const std::string before = dump();
            {
                ArmedFileFault armed(fault);
                int result = exec("BEGIN");
                for (int i = 0; i < 40 && result == SQLITE_OK; ++i)
                    result = insert(std::string(3000, 'z'));
                if (result == SQLITE_OK)
                    result = exec("COMMIT");
                EXPECT_NE(result, SQLITE_OK);
                exec("ROLLBACK");
            }
            EXPECT_EQ(dump(), before);
            EXPECT_EQ(integrity(), "ok");
            EXPECT_EQ(insert("after"), SQLITE_OK);
        }
    }
    // Through SQLite's own file layer, not ours.
    static int countOnAPlainConnection(const fs::path& path)
    {
        sqlite3* other = nullptr;
        int rows = -1;
        if (sqlite3_open_v2(path.c_str(), &other, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
            sqlite3_stmt* count = nullptr;
            sqlite3_prepare_v2(other, "SELECT count(*) FROM message", -1, &count, nullptr);
            if (sqlite3_step(count) == SQLITE_ROW)
                rows = sqlite3_column_int(count, 0);
            sqlite3_finalize(count);
        }
        sqlite3_close(other);
        return rows;
    }
    std::string integrity()
    {
        std::string result;
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(m_db, "PRAGMA integrity_check", -1, &statement, nullptr);
        if (sqlite3_step(statement) == SQLITE_ROW)
            result = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        sqlite3_finalize(statement);
        return result;
    }

    fs::path m_path;
    sqlite3* m_db { nullptr };
};

} // namespace

TEST_F(SqliteFaults, ADatabaseTheDiskRefusesKeepsEveryCommittedRow)
{
    expectEachFaultKeepsTheCommittedRows({
        { "the disk is full", FileFault::on(FileOperation::Write).withError(ENOSPC).onPath("sms.db").always() },
        { "the disk fills up in the middle of a page", FileFault::on(FileOperation::Write).fromCall(2).withError(ENOSPC).onPath("sms.db").halfWritten().always() },
        { "the flush fails", FileFault::on(FileOperation::Sync).withError(EIO).onPath("sms.db").always() },
        { "the journal cannot be created", FileFault::on(FileOperation::Open).withError(ENOSPC).onPath("sms.db-journal") },
    });
    // A second connection, reading the file from scratch, sees the same rows.
    EXPECT_EQ(countOnAPlainConnection(m_path), 54);
}

// The phone's own mode: a write-ahead log, flushed only at checkpoints. The
// layer writes each frame of the log, header and page, in one call, so what
// it holds back must be on disk whenever anyone else could look.
TEST_F(SqliteFaults, AWriteAheadLogTheDiskRefusesKeepsEveryCommittedRowAndEveryFrameIsOnDiskAtCommit)
{
    ASSERT_EQ(exec("PRAGMA journal_mode = WAL"), SQLITE_OK);
    ASSERT_EQ(exec("PRAGMA synchronous = NORMAL"), SQLITE_OK);
    ASSERT_EQ(exec("PRAGMA wal_autocheckpoint = 0"), SQLITE_OK);
    expectEachFaultKeepsTheCommittedRows({
        { "the disk is full", FileFault::on(FileOperation::Write).withError(ENOSPC).onPath("sms.db-wal").always() },
        { "the disk fills up in the middle of a frame", FileFault::on(FileOperation::Write).fromCall(2).withError(ENOSPC).onPath("sms.db-wal").halfWritten().always() },
    });
    ASSERT_TRUE(fs::exists(m_folder / "sms.db-wal"));
    {
        ArmedFileFault armed(FileFault::on(FileOperation::Sync).withError(EIO).onPath("sms.db").always());
        EXPECT_NE(sqlite3_wal_checkpoint_v2(m_db, nullptr, SQLITE_CHECKPOINT_FULL, nullptr, nullptr), SQLITE_OK);
    }
    EXPECT_EQ(integrity(), "ok");

    // Committed frames are readable by a second connection while this one
    // still has the log open ...
    EXPECT_EQ(countOnAPlainConnection(m_path), 52);
    // ... and by one that recovers the log, as after a crash: the files are
    // copied as they are, without a close or a checkpoint.
    const fs::path copy = m_folder / "copy";
    fs::create_directory(copy);
    fs::copy_file(m_path, copy / "sms.db");
    fs::copy_file(m_folder / "sms.db-wal", copy / "sms.db-wal");
    EXPECT_EQ(countOnAPlainConnection(copy / "sms.db"), 52);

    // A checkpoint moves every frame into the database.
    int logged = -1, moved = -1;
    EXPECT_EQ(sqlite3_wal_checkpoint_v2(m_db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, &logged, &moved), SQLITE_OK);
    EXPECT_EQ(logged, moved);
    EXPECT_EQ(fs::file_size(m_folder / "sms.db-wal"), 0u);
    EXPECT_EQ(integrity(), "ok");
    EXPECT_EQ(countOnAPlainConnection(m_path), 52);
}

TEST_F(SqliteFaults, AFailingReadIsAnErrorNotARow)
{
    sqlite3_close(m_db);
    ASSERT_EQ(sqlite3_open_v2(m_path.c_str(), &m_db, SQLITE_OPEN_READONLY, faultableSqliteVfs()), SQLITE_OK);
    ArmedFileFault armed(FileFault::on(FileOperation::Read).withError(EIO).onPath("sms.db").always());
    sqlite3_stmt* statement = nullptr;
    int prepared = sqlite3_prepare_v2(m_db, "SELECT text FROM message", -1, &statement, nullptr);
    int stepped = prepared == SQLITE_OK ? sqlite3_step(statement) : prepared;
    sqlite3_finalize(statement);
    EXPECT_NE(stepped, SQLITE_ROW);
    EXPECT_EQ(sqlite3_extended_errcode(m_db) & 0xff, SQLITE_IOERR);
}
