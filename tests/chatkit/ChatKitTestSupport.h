// A phone with its own Messages database in a fresh folder, a fixed clock
// and captured framework complaints; plus raw SQL access to check what the
// frameworks left in the database.
#pragma once

#include <chatkit/ChatKit.h>

#include <gtest/gtest.h>
#include <runtime/Runtime.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace chatkit_test {

using runtime::Id;
using runtime::send;

// 2012-02-23 00:26:40 UTC.
inline constexpr double testNow = 1330000000;

inline std::vector<std::string> g_log;

class TemporaryFolder {
public:
    TemporaryFolder()
    {
        std::random_device random;
        m_path = std::filesystem::temp_directory_path() / ("chatkit-test-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(m_path);
    }
    ~TemporaryFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// Raw access to a database file, with the read() function the triggers need.
class RawDatabase {
public:
    explicit RawDatabase(const std::filesystem::path& path, bool withReadFunction = true)
    {
        sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (withReadFunction)
            chatkit::registerReadFunction(m_db);
    }
    ~RawDatabase() { sqlite3_close(m_db); }
    RawDatabase(const RawDatabase&) = delete;
    RawDatabase& operator=(const RawDatabase&) = delete;

    // Runs SQL; answers the error text, empty on success.
    std::string exec(const std::string& sql)
    {
        char* error = nullptr;
        std::string result;
        if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK)
            result = error ? error : "error";
        sqlite3_free(error);
        return result;
    }
    std::optional<int64_t> integer(const std::string& sql)
    {
        sqlite3_stmt* statement = nullptr;
        std::optional<int64_t> value;
        if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW
            && sqlite3_column_type(statement, 0) != SQLITE_NULL)
            value = sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
        return value;
    }
    std::optional<std::string> text(const std::string& sql)
    {
        sqlite3_stmt* statement = nullptr;
        std::optional<std::string> value;
        if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW
            && sqlite3_column_type(statement, 0) != SQLITE_NULL)
            value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        sqlite3_finalize(statement);
        return value;
    }

private:
    sqlite3* m_db { nullptr };
};

inline std::vector<uint8_t> readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Bytes that begin and end like a JPEG file; the frameworks only store them.
inline std::vector<uint8_t> fakeJPEG(size_t size = 2048)
{
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(i * 31 + 7);
    bytes[0] = 0xFF;
    bytes[1] = 0xD8;
    bytes[size - 2] = 0xFF;
    bytes[size - 1] = 0xD9;
    return bytes;
}

inline Id classObject(const char* name)
{
    runtime::Class* cls = runtime::classNamed(name);
    return cls ? cls->self() : nullptr;
}

// A phone whose sms.db sits in a fresh folder: <folder>/SMS/sms.db.
class PhoneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        chatkit::registerChatKitClasses();
        chatkit::resetConfiguration();
        chatkit::resetChatKitObjects();
        chatkit::setClock([] { return testNow; });
        g_log.clear();
        chatkit::setLogSink([](std::string_view line) { g_log.emplace_back(line); });
        m_smsFolder = m_folder.path() / "SMS";
        m_databasePath = m_smsFolder / "sms.db";
        if (createsDatabase()) {
            auto created = chatkit::createDatabase(m_databasePath);
            ASSERT_TRUE(created) << created.reason();
        }
        chatkit::useDatabase(m_databasePath);
    }
    void TearDown() override
    {
        chatkit::closeDatabase();
        chatkit::resetChatKitObjects();
        chatkit::resetConfiguration();
    }
    virtual bool createsDatabase() const { return true; }

    Id dbMessage(int64_t recordID, const char* cls = "CKDBMessage")
    {
        return send<Id>(send<Id>(classObject(cls), "alloc"), "initWithRecordID:", recordID);
    }

    TemporaryFolder m_folder;
    std::filesystem::path m_smsFolder;
    std::filesystem::path m_databasePath;
};

} // namespace chatkit_test
