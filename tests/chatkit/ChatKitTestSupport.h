// A phone with its own Messages database in a fresh folder, a fixed clock
// and captured framework complaints; plus raw SQL access to check what the
// frameworks left in the database.
#pragma once

#include "support/SqliteProbe.h"
#include "support/TemporaryFolder.h"
#include "support/TestClock.h"

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

using testsupport::testNow;

inline std::vector<std::string> g_log;

// The SQLite probe with the read() function the Messages triggers need, so
// that a test can write rows the way the phone's own connections do.
class RawDatabase : public testsupport::SqliteProbe {
public:
    explicit RawDatabase(const std::filesystem::path& path, bool withReadFunction = true)
        : SqliteProbe(path)
    {
        if (withReadFunction)
            chatkit::registerReadFunction(handle());
    }
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
class OwnMessagesDatabase : public ::testing::Test {
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

    testsupport::TemporaryFolder m_folder { "chatkit-test" };
    std::filesystem::path m_smsFolder;
    std::filesystem::path m_databasePath;
};

} // namespace chatkit_test
