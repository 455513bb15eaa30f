// Phones whose sms.db or AddressBook.sqlitedb is not what a phone of ours
// wrote: tables and columns missing or added, values of other types, NULL
// everywhere, 10 MB texts, a later layout, a file that is no database, a
// database another process holds locked. Each phone runs in a plv-sim process
// of its own with both extension libraries loaded, so a crash shows as an
// exit status rather than taking the test binary with it. Every phone boots;
// the Messages database either takes a banner tap, a quick reply and a
// compose window or refuses them with a reason; and what was stored before is
// still there, unchanged.
#include "support/TemporaryDevice.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sqlite3.h>
#include <sstream>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

constexpr std::string_view MessagesPath = "var/mobile/Library/SMS/sms.db";
constexpr std::string_view AddressBookPath = "var/mobile/Library/AddressBook/AddressBook.sqlitedb";

// The iOS 5 tables, as a phone of that generation has them.
constexpr const char* MessageTable = R"(CREATE TABLE message (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, address TEXT, date INTEGER,
  text TEXT, flags INTEGER, replace INTEGER, svc_center TEXT, group_id INTEGER, association_id INTEGER, height INTEGER,
  UIFlags INTEGER, version INTEGER, subject TEXT, country TEXT, headers BLOB, recipients BLOB, read INTEGER,
  madrid_attributedBody BLOB, madrid_handle TEXT, madrid_version INTEGER, madrid_guid TEXT, madrid_type INTEGER,
  madrid_roomname TEXT, madrid_service TEXT, madrid_account TEXT, madrid_flags INTEGER, madrid_attachmentInfo BLOB,
  madrid_url TEXT, madrid_error INTEGER, is_madrid INTEGER, madrid_date_read INTEGER, madrid_date_delivered INTEGER,
  madrid_account_guid TEXT LATER_COLUMNS);)";
constexpr const char* OtherMessageTables = R"(
CREATE TABLE msg_pieces (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, message_id INTEGER, data BLOB, part_id INTEGER,
  preview_part INTEGER, content_type TEXT, height INTEGER, version INTEGER, flags INTEGER, content_id TEXT,
  content_loc TEXT, headers BLOB);
CREATE TABLE msg_group (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, type INTEGER, newest_message INTEGER,
  unread_count INTEGER, hash INTEGER);
CREATE TABLE group_member (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, group_id INTEGER, address TEXT, country TEXT);
CREATE TABLE madrid_attachment (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, attachment_guid TEXT, created_date INTEGER,
  start_date INTEGER, filename TEXT, uti_type TEXT, mime_type TEXT, transfer_state INTEGER, is_incoming INTEGER,
  message_id INTEGER);
CREATE TABLE madrid_chat (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, style INTEGER, state INTEGER, account_id TEXT,
  properties BLOB, chat_identifier TEXT, service_name TEXT, guid TEXT, room_name TEXT, account_login TEXT,
  participants BLOB);
CREATE TABLE _SqliteDatabaseProperties (key TEXT, value TEXT, UNIQUE(key));)";
constexpr const char* PersonTables = R"(CREATE TABLE ABPerson (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, First TEXT, Last TEXT,
  Middle TEXT, FirstPhonetic TEXT, MiddlePhonetic TEXT, LastPhonetic TEXT, Organization TEXT, Department TEXT, Note TEXT,
  Kind INTEGER, Birthday TEXT, JobTitle TEXT, Nickname TEXT, Prefix TEXT, Suffix TEXT, FirstSort TEXT, LastSort TEXT,
  CreationDate INTEGER, ModificationDate INTEGER, CompositeNameFallback TEXT, ExternalIdentifier TEXT, StoreID INTEGER,
  DisplayName TEXT, FirstSortSection TEXT, LastSortSection TEXT, FirstSortLanguageIndex INTEGER DEFAULT 2147483647,
  LastSortLanguageIndex INTEGER DEFAULT 2147483647 LATER_COLUMNS);
CREATE TABLE ABMultiValue (UID INTEGER PRIMARY KEY, record_id INTEGER, property INTEGER, identifier INTEGER,
  label INTEGER, value TEXT);
CREATE TABLE ABMultiValueLabel (value TEXT, UNIQUE(value));)";

std::string replaced(std::string text, std::string_view what, std::string_view with)
{
    if (auto at = text.find(what); at != std::string::npos)
        text.replace(at, what.size(), with);
    return text;
}

std::string ios5Messages(std::string_view laterColumns = "") { return replaced(MessageTable, "LATER_COLUMNS", laterColumns) + OtherMessageTables; }
std::string ios5People(std::string_view laterColumns = "") { return replaced(PersonTables, "LATER_COLUMNS", laterColumns); }

const std::string TenMegabytes(10 * 1024 * 1024, 'A');

// Raw SQL on a file, with a text bound to ?1 for the statements that want one.
class Sql {
public:
    explicit Sql(const fs::path& path) { sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr); }
    ~Sql() { sqlite3_close(m_db); }
    Sql(const Sql&) = delete;
    Sql& operator=(const Sql&) = delete;

    std::string run(const std::string& script)
    {
        char* error = nullptr;
        std::string result;
        if (sqlite3_exec(m_db, script.c_str(), nullptr, nullptr, &error) != SQLITE_OK)
            result = error ? error : "error";
        sqlite3_free(error);
        return result;
    }
    std::string runWithText(const std::string& sql, const std::string& text)
    {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
            return sqlite3_errmsg(m_db);
        sqlite3_bind_text(statement, 1, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
        int result = sqlite3_step(statement);
        sqlite3_finalize(statement);
        return result == SQLITE_DONE ? "" : sqlite3_errmsg(m_db);
    }
    // Every row of a table, each value with its storage class, in rowid order.
    std::vector<std::string> rows(const std::string& table)
    {
        std::vector<std::string> rows;
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_db, ("SELECT * FROM " + table + " ORDER BY ROWID").c_str(), -1, &statement, nullptr) != SQLITE_OK)
            return { std::string("unreadable: ") + sqlite3_errmsg(m_db) };
        while (sqlite3_step(statement) == SQLITE_ROW) {
            std::string row;
            for (int column = 0; column < sqlite3_column_count(statement); ++column) {
                row += std::to_string(sqlite3_column_type(statement, column)) + ":";
                auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
                row.append(bytes ? bytes : "", static_cast<size_t>(sqlite3_column_bytes(statement, column)));
                row += '|';
            }
            rows.push_back(std::move(row));
        }
        sqlite3_finalize(statement);
        return rows;
    }
    sqlite3* handle() const { return m_db; }

private:
    sqlite3* m_db { nullptr };
};

std::string fileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Outcome {
    int exitCode { -1 };
    std::string err;
};

// The things a person does with the phone's messages: an SMS arrives, its
// banner is tapped, the quick reply answers it, and quick compose opens and
// searches the contacts.
constexpr const char* TourWithAnSMS = R"([
    { "step": "receive_sms", "from": "+393471234567", "text": "Ci sei?" },
    { "step": "tap", "x": 160, "y": 20 },
    { "step": "advance", "seconds": 1.5 },
    { "step": "tap", "view": "sendButton" },
    { "step": "advance", "seconds": 0.5 },
    { "step": "type", "text": "Arrivo" },
    { "step": "tap", "view": "sendButton" },
    { "step": "advance", "seconds": 1 },
    { "step": "activator", "listener": "it.kelvane.RDLComposer" },
    { "step": "advance", "seconds": 1 },
    { "step": "tap", "view": "toField" },
    { "step": "type", "text": "ros" },
    { "step": "advance", "seconds": 1 },
    { "step": "dump" }
])";
// What can be done on a phone whose Messages database refuses everything:
// quick compose opens and sends to a typed number.
constexpr const char* TourOfQuickCompose = R"([
    { "step": "activator", "listener": "it.kelvane.RDLComposer" },
    { "step": "advance", "seconds": 1 },
    { "step": "tap", "view": "replyField" },
    { "step": "type", "text": "Ci sei?" },
    { "step": "tap", "view": "toField" },
    { "step": "type", "text": "+393479999999" },
    { "step": "tap", "view": "sendButton" },
    { "step": "advance", "seconds": 1 },
    { "step": "dump" }
])";

class HostileDatabase : public ::testing::Test {
protected:
    // One demo phone with both extensions, seeded once and copied for each case.
    static void SetUpTestSuite()
    {
        s_seeded = new testsupport::TemporaryDevice;
        auto result = plvSim("seed '" + (s_seeded->root() / "phone").string() + "' --extensions parlivo,rendalo", s_seeded->root());
        ASSERT_EQ(result.exitCode, 0) << result.err;
    }
    static void TearDownTestSuite()
    {
        delete s_seeded;
        s_seeded = nullptr;
    }

    static Outcome plvSim(const std::string& arguments, const fs::path& scratch)
    {
        auto err = scratch / "stderr";
        // A phone that hangs is killed, and shows as exit status 124.
        std::string command = "timeout 120 '" PLV_SIM_PATH "' " + arguments + " >/dev/null 2>'" + err.string() + "'";
        int status = std::system(command.c_str());
        return { WIFEXITED(status) ? WEXITSTATUS(status) : -1, fileBytes(err) };
    }

    // A copy of the demo phone with `file` replaced by what `make` writes.
    fs::path phoneWith(std::string_view file, const std::function<void(const fs::path&)>& make)
    {
        auto phone = m_device.root() / ("phone" + std::to_string(++m_phones));
        fs::copy(s_seeded->root() / "phone", phone, fs::copy_options::recursive);
        auto path = phone / file;
        for (const char* suffix : { "", "-wal", "-shm", "-journal" })
            fs::remove(path.string() + suffix);
        make(path);
        return phone;
    }

    Outcome tour(const fs::path& phone, const char* steps)
    {
        auto scenario = m_device.root() / "scenario.json";
        std::ofstream(scenario) << steps;
        return plvSim("run '" + scenario.string() + "' --device '" + phone.string() + "'", m_device.root());
    }

    static std::function<void(const fs::path&)> sql(std::string script)
    {
        return [script = std::move(script)](const fs::path& path) {
            Sql database(path);
            ASSERT_EQ(database.run(script), "");
        };
    }
    static std::function<void(const fs::path&)> bytes(std::string content)
    {
        return [content = std::move(content)](const fs::path& path) { std::ofstream(path, std::ios::binary) << content; };
    }

    static inline testsupport::TemporaryDevice* s_seeded = nullptr;
    testsupport::TemporaryDevice m_device;
    int m_phones { 0 };
};

struct MessagesCase {
    const char* name;
    std::function<void(const fs::path&)> make;
    // Empty: the database takes the tour. Otherwise the reason it refuses.
    const char* refusal;
};

const char* const OldRow = "INSERT INTO message (address, date, text, flags, read, is_madrid) VALUES ('+393471234567', 1330000000, 'old', 2, 1, 0);";

TEST_F(HostileDatabase, AMessagesDatabaseTheTourCanUseKeepsWhatItHeld)
{
    const MessagesCase cases[] = {
        { "only the message table", sql(replaced(MessageTable, "LATER_COLUMNS", "") + OldRow), "" },
        { "only ROWID, address and text", sql("CREATE TABLE message (ROWID INTEGER PRIMARY KEY, address TEXT, text TEXT); INSERT INTO message (address, text) VALUES ('+393471234567', 'old');"), "" },
        { "a later iOS 5 with more columns, tables and a trigger",
            sql(ios5Messages(", madrid_date_played INTEGER, was_downgraded INTEGER DEFAULT 0, cache_roomnames TEXT, sort_id INTEGER NOT NULL DEFAULT 0")
                + "CREATE TABLE madrid_message_summary (ROWID INTEGER PRIMARY KEY, message_id INTEGER, summary TEXT);"
                  "CREATE TRIGGER summarise AFTER INSERT ON message BEGIN INSERT INTO madrid_message_summary (message_id, summary) VALUES (new.ROWID, substr(new.text, 1, 10)); END;"
                + OldRow),
            "" },
        { "values of the wrong types",
            sql(ios5Messages() + R"(
                INSERT INTO message (address, date, text, flags, read, is_madrid, group_id, madrid_flags) VALUES (x'00ff', 'yesterday', x'c3', 'two', 'yes', 'no', 'g', 'f');
                INSERT INTO message (address, date, text, flags, read, is_madrid, group_id) VALUES (393471234567, 1.5e300, 42, 2.5, -1, 7, 9223372036854775807);
                INSERT INTO msg_group (type, newest_message, unread_count) VALUES ('x', 'y', 'z');
                INSERT INTO group_member (group_id, address) VALUES ('x', 12);
                INSERT INTO madrid_attachment (filename, message_id) VALUES (x'2e2e2f2e2e', 'x');
                INSERT INTO _SqliteDatabaseProperties VALUES ('counter_in_all', 'many');)"),
            "" },
        { "NULL everywhere",
            sql(ios5Messages() + R"(
                INSERT INTO message (ROWID) VALUES (1); INSERT INTO message (ROWID) VALUES (2);
                INSERT INTO msg_group (ROWID) VALUES (1); INSERT INTO group_member (ROWID) VALUES (1); INSERT INTO msg_pieces (ROWID) VALUES (1);
                INSERT INTO madrid_attachment (ROWID) VALUES (1); INSERT INTO madrid_chat (ROWID) VALUES (1);
                INSERT INTO _SqliteDatabaseProperties VALUES (NULL, NULL);)"),
            "" },
        { "10 MB texts and addresses",
            [](const fs::path& path) {
                Sql database(path);
                ASSERT_EQ(database.run(ios5Messages()), "");
                ASSERT_EQ(database.runWithText("INSERT INTO message (address, date, text, flags, read, is_madrid) VALUES ('+393471234567', 1330000000, ?1, 0, 0, 0)", TenMegabytes), "");
                ASSERT_EQ(database.runWithText("INSERT INTO message (address, date, text, flags, read, is_madrid) VALUES (?1, 1330000000, 'long address', 0, 0, 0)", TenMegabytes), "");
            },
            "" },
    };
    for (const auto& [name, make, refusal] : cases) {
        SCOPED_TRACE(name);
        auto phone = phoneWith(MessagesPath, make);
        const auto before = Sql(phone / MessagesPath).rows("message");
        auto run = tour(phone, TourWithAnSMS);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        // The rows that were there are there as they were; the tour added its
        // own two after them.
        auto after = Sql(phone / MessagesPath).rows("message");
        ASSERT_EQ(after.size(), before.size() + 2);
        after.resize(before.size());
        EXPECT_TRUE(after == before);
    }
}

TEST_F(HostileDatabase, AMessagesDatabaseThatCannotBeUsedIsRefusedWithAReasonAndLeftAlone)
{
    const MessagesCase cases[] = {
        { "no message table", sql(OtherMessageTables), "not a Messages database (it has no message table)" },
        { "a message table without text", sql("CREATE TABLE message (ROWID INTEGER PRIMARY KEY, address TEXT, date INTEGER);"), "the message table has no address or text column" },
        { "the layout of a later iOS",
            sql("CREATE TABLE message (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, guid TEXT UNIQUE NOT NULL, text TEXT, handle_id INTEGER DEFAULT 0, "
                "service TEXT, date INTEGER, is_from_me INTEGER); CREATE TABLE handle (ROWID INTEGER PRIMARY KEY, id TEXT NOT NULL, service TEXT NOT NULL);"
                "CREATE TABLE chat (ROWID INTEGER PRIMARY KEY, guid TEXT); CREATE TABLE chat_message_join (chat_id INTEGER, message_id INTEGER);"
                "INSERT INTO message (guid, text) VALUES ('g', 'later');"),
            "the layout of a later iOS" },
        { "not a database", bytes(std::string(8192, '\x5a')), "not a readable Messages database (file is not a database)" },
        { "a damaged database header", bytes(std::string("SQLite format 3\0", 16) + std::string(4096, '\x7f')), "not a readable Messages database" },
        { "the Address Book in its place", [this](const fs::path& path) { fs::copy_file(s_seeded->root() / "phone" / AddressBookPath, path); }, "it has no message table" },
        { "a trigger calling a function only the device has",
            sql(ios5Messages() + OldRow + "CREATE TRIGGER device AFTER INSERT ON message BEGIN SELECT device_only_function(new.ROWID); END;"), "the Messages database could not store the message" },
    };
    for (const auto& [name, make, refusal] : cases) {
        SCOPED_TRACE(name);
        auto phone = phoneWith(MessagesPath, make);
        const auto before = fileBytes(phone / MessagesPath);
        auto run = tour(phone, TourWithAnSMS);
        EXPECT_EQ(run.exitCode, 1) << run.err;
        EXPECT_NE(run.err.find("step 1 (receive_sms)"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(refusal), std::string::npos) << run.err;
        // Quick compose still opens and sends; the database refuses the message.
        run = tour(phone, TourOfQuickCompose);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(fileBytes(phone / MessagesPath) == before);
    }
}

TEST_F(HostileDatabase, AnAddressBookOfAnyShapeNeverStopsTheTourAndIsNeverWritten)
{
    const std::string person = "INSERT INTO ABPerson (ROWID, First, Last) VALUES (1, 'Anna', 'Rossi');"
                               "INSERT INTO ABMultiValue (record_id, property, identifier, label, value) VALUES (1, 3, 0, 1, '+39 347 123 4567');"
                               "INSERT INTO ABMultiValueLabel VALUES ('_$!<Mobile>!$_');";
    const std::pair<const char*, std::function<void(const fs::path&)>> cases[] = {
        { "no Address Book tables", sql("CREATE TABLE other (x);") },
        { "people without a value table", sql("CREATE TABLE ABPerson (ROWID INTEGER PRIMARY KEY, First TEXT, Last TEXT); INSERT INTO ABPerson VALUES (1, 'Anna', 'Rossi');") },
        { "only a last name and a value without property",
            sql("CREATE TABLE ABPerson (ROWID INTEGER PRIMARY KEY, Last TEXT); CREATE TABLE ABMultiValue (record_id INTEGER, value TEXT);"
                "INSERT INTO ABPerson VALUES (1, 'Rossi'); INSERT INTO ABMultiValue VALUES (1, '+39 347');") },
        { "values of the wrong types",
            sql(ios5People() + R"(
                INSERT INTO ABPerson (ROWID, First, Last, Organization) VALUES (1, x'00ff41', 42, 1.5);
                INSERT INTO ABMultiValue (record_id, property, identifier, label, value) VALUES ('1', '3', 'zero', 'lbl', x'2b3339');
                INSERT INTO ABMultiValue (record_id, property, identifier, label, value) VALUES (1, 3.0, 9223372036854775807, -5, 3471234567);
                INSERT INTO ABMultiValue (record_id, property, identifier, label, value) VALUES (1, 4, NULL, 999999, 12.5);)") },
        { "NULL everywhere",
            sql(ios5People() + "INSERT INTO ABPerson (ROWID) VALUES (1); INSERT INTO ABPerson (ROWID) VALUES (2); INSERT INTO ABMultiValue (UID) VALUES (1);"
                               "INSERT INTO ABMultiValue (record_id) VALUES (1); INSERT INTO ABMultiValue (record_id, property) VALUES (2, 3);"
                               "INSERT INTO ABMultiValueLabel VALUES (NULL);") },
        { "10 MB names and numbers",
            [](const fs::path& path) {
                Sql database(path);
                ASSERT_EQ(database.run(ios5People()), "");
                ASSERT_EQ(database.runWithText("INSERT INTO ABPerson (ROWID, First, Last) VALUES (1, ?1, 'Rossi')", TenMegabytes), "");
                ASSERT_EQ(database.run("INSERT INTO ABMultiValue (record_id, property, identifier, value) VALUES (1, 3, 0, '+393471234567')"), "");
                ASSERT_EQ(database.run("INSERT INTO ABPerson (ROWID, First, Last) VALUES (2, 'Numero', 'Lungo')"), "");
                ASSERT_EQ(database.runWithText("INSERT INTO ABMultiValue (record_id, property, identifier, value) VALUES (2, 3, 0, ?1)", std::string(10 * 1024 * 1024, '3')), "");
            } },
        { "a later iOS: more columns and tables, a default calling a device function",
            sql(ios5People(", ExternalModificationTag TEXT, ExternalUUID TEXT, ExternalRepresentation BLOB, PersonLink INTEGER DEFAULT -1, ImageURI TEXT, "
                           "IsPreferredName INTEGER DEFAULT 1, guid TEXT DEFAULT (ab_generate_guid())")
                + "CREATE TABLE ABPersonLink (ROWID INTEGER PRIMARY KEY, name TEXT); CREATE TABLE ABAccount (ROWID INTEGER PRIMARY KEY, AccountIdentifier TEXT);"
                  "INSERT INTO ABPerson (ROWID, First, Last, guid) VALUES (1, 'Anna', 'Rossi', 'g1');"
                  "INSERT INTO ABMultiValue (record_id, property, identifier, label, value) VALUES (1, 3, 0, 1, '+39 347 123 4567');") },
        { "not a database", bytes(std::string(8192, '\x5a')) },
        { "the Messages database in its place", [this](const fs::path& path) { fs::copy_file(s_seeded->root() / "phone" / MessagesPath, path); } },
    };
    for (const auto& [name, make] : cases) {
        SCOPED_TRACE(name);
        auto phone = phoneWith(AddressBookPath, make);
        const auto before = fileBytes(phone / AddressBookPath);
        auto run = tour(phone, TourWithAnSMS);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(fileBytes(phone / AddressBookPath) == before);
    }
}

// Another process holds both databases for the whole run: every wait for
// them ends, the refusal says why, and once they are free the phone works.
TEST_F(HostileDatabase, DatabasesLockedByAnotherProcessAreWaitedForAWhileThenRefused)
{
    auto phone = phoneWith(MessagesPath, sql(ios5Messages() + OldRow));
    const auto messagesBefore = fileBytes(phone / MessagesPath);
    const auto peopleBefore = fileBytes(phone / AddressBookPath);
    {
        Sql messages(phone / MessagesPath);
        Sql people(phone / AddressBookPath);
        ASSERT_EQ(messages.run("BEGIN EXCLUSIVE; INSERT INTO message (text) VALUES ('uncommitted');"), "");
        ASSERT_EQ(people.run("BEGIN EXCLUSIVE; DELETE FROM ABPerson;"), "");

        auto run = tour(phone, TourWithAnSMS);
        EXPECT_EQ(run.exitCode, 1) << run.err;
        EXPECT_NE(run.err.find("step 1 (receive_sms)"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("database is locked"), std::string::npos) << run.err;
        run = tour(phone, TourOfQuickCompose);
        EXPECT_EQ(run.exitCode, 0) << run.err;

        ASSERT_EQ(messages.run("ROLLBACK"), "");
        ASSERT_EQ(people.run("ROLLBACK"), "");
    }
    EXPECT_TRUE(fileBytes(phone / MessagesPath) == messagesBefore);
    EXPECT_TRUE(fileBytes(phone / AddressBookPath) == peopleBefore);
    auto run = tour(phone, TourWithAnSMS);
    EXPECT_EQ(run.exitCode, 0) << run.err;
}

} // namespace
