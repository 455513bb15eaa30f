#include "ChatKitTestSupport.h"

#include <chatkit/MessageStore.h>
#include <foundation/DevicePath.h>
#include <thread>

using namespace chatkit_test;

namespace {

class Database : public OwnMessagesDatabase { };

TEST_F(Database, TriggersNeedTheReadFunction)
{
    // A stock SQLite connection cannot write to a phone's database: its
    // triggers call read().
    {
        RawDatabase stock(m_databasePath, false);
        EXPECT_NE(stock.exec("INSERT INTO message (address, text, flags, group_id) VALUES ('555', 'x', 0, 0)").find("read"), std::string::npos);
    }
    RawDatabase raw(m_databasePath);
    ASSERT_EQ(raw.exec("INSERT INTO msg_group (type, newest_message, unread_count, hash) VALUES (0, 0, 0, 0)"), "");
    ASSERT_EQ(raw.exec("INSERT INTO message (address, text, flags, group_id, read) VALUES ('555', 'a', 0, 1, 0)"), "");
    ASSERT_EQ(raw.exec("INSERT INTO message (address, text, flags, group_id, read) VALUES ('555', 'b', 2, 1, 1)"), "");
    EXPECT_EQ(raw.integer("SELECT unread_count FROM msg_group WHERE ROWID = 1"), 1) << "only the unread message counts";
    EXPECT_EQ(raw.integer("SELECT newest_message FROM msg_group WHERE ROWID = 1"), 2);
    ASSERT_EQ(raw.exec("UPDATE message SET flags = 2 WHERE ROWID = 1"), "");
    EXPECT_EQ(raw.integer("SELECT unread_count FROM msg_group WHERE ROWID = 1"), 0);
    ASSERT_EQ(raw.exec("INSERT INTO msg_pieces (message_id, part_id, content_type) VALUES (2, 0, 'text/plain')"), "");
    ASSERT_EQ(raw.exec("DELETE FROM message WHERE ROWID = 2"), "");
    EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM msg_pieces"), 0);
    EXPECT_EQ(raw.integer("SELECT newest_message FROM msg_group WHERE ROWID = 1"), 1);
}

TEST_F(Database, CreationRefusesToOverwrite)
{
    ASSERT_TRUE(chatkit::receiveSMS("555", "keep me"));
    auto created = chatkit::createDatabase(m_databasePath);
    EXPECT_FALSE(created);
    EXPECT_NE(created.reason().find("already exists"), std::string::npos);
    EXPECT_EQ(chatkit::listMessages().size(), 1u);
}

TEST_F(Database, RowsWithNullTextOrAddressReadAsEmpty)
{
    {
        RawDatabase raw(m_databasePath);
        ASSERT_EQ(raw.exec("INSERT INTO message (address, text, flags, read, is_madrid) VALUES (NULL, NULL, NULL, NULL, NULL)"), "");
        ASSERT_EQ(raw.exec("INSERT INTO message (text, is_madrid, madrid_handle) VALUES (NULL, 1, NULL)"), "");
    }
    for (int64_t row : { 1, 2 }) {
        Id message = dbMessage(row);
        ASSERT_TRUE(message);
        EXPECT_EQ(send<std::string>(message, "text"), "");
        EXPECT_EQ(send<std::string>(message, "address"), "");
        EXPECT_TRUE(send<std::vector<Id>>(message, "messageParts").empty());
    }
    EXPECT_EQ(send<std::string>(dbMessage(2), "madridAccountGUID").empty(), false) << "still an iMessage";
    auto rows = chatkit::listMessages();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].kind, chatkit::MessageKind::SMS);
    EXPECT_FALSE(rows[0].read);
}

TEST_F(Database, MegabyteTextRoundTrips)
{
    std::string text(1 << 20, 'x');
    text.replace(0, 5, "start");
    auto row = chatkit::receiveSMS("+15555550123", text);
    ASSERT_TRUE(row);
    Id message = dbMessage(*row);
    EXPECT_EQ(send<std::string>(message, "text"), text);
    EXPECT_EQ(chatkit::listMessages().at(0).text.size(), text.size());
}

TEST_F(Database, ReadsColumnsByNameWhateverTheirOrder)
{
    // The layout an upgraded phone has: the iOS 4 table, then the columns
    // the migrations appended, plus columns some exporters add.
    auto upgradedPath = m_folder.path() / "upgraded" / "sms.db";
    std::filesystem::create_directories(upgradedPath.parent_path());
    {
        RawDatabase raw(upgradedPath);
        ASSERT_EQ(raw.exec("CREATE TABLE message (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, smsc_ref INTEGER, address TEXT, date INTEGER, "
                           "text TEXT, flags INTEGER, replace INTEGER, svc_center TEXT, group_id INTEGER, association_id INTEGER, "
                           "height INTEGER, UIFlags INTEGER, version INTEGER)"),
            "");
        for (const char* column : { "subject TEXT", "country TEXT", "headers BLOB", "recipients BLOB", "read INTEGER",
                 "madrid_attributedBody BLOB", "madrid_handle TEXT", "madrid_version INTEGER", "madrid_guid TEXT",
                 "madrid_type INTEGER", "madrid_roomname TEXT", "madrid_service TEXT", "madrid_account TEXT",
                 "madrid_flags INTEGER", "madrid_attachmentInfo BLOB", "madrid_url TEXT", "madrid_error INTEGER",
                 "is_madrid INTEGER", "madrid_date_read INTEGER", "madrid_date_delivered INTEGER", "dr_date INTEGER",
                 "madrid_account_guid TEXT" })
            ASSERT_EQ(raw.exec(std::string("ALTER TABLE message ADD COLUMN ") + column), "");
    }
    auto insertRows = [](const std::filesystem::path& path) {
        RawDatabase raw(path);
        EXPECT_EQ(raw.exec("INSERT INTO message (ROWID, address, date, text, flags, read, is_madrid) "
                           "VALUES (7, '+15555550100', 1330000000, 'sms text', 3, 1, 0)"),
            "");
        EXPECT_EQ(raw.exec("INSERT INTO message (ROWID, date, text, flags, read, is_madrid, madrid_handle, madrid_flags, "
                           "madrid_account_guid) VALUES (8, 351692800, 'im text', 0, 0, 1, 'friend@example.com', 12289, 'ACCOUNT')"),
            "");
    };
    insertRows(upgradedPath);
    insertRows(m_databasePath);

    auto describe = [&](const std::filesystem::path& path) {
        chatkit::useDatabase(path);
        std::vector<std::string> seen;
        for (int64_t row : { 7, 8 }) {
            Id message = dbMessage(row);
            EXPECT_TRUE(message) << path;
            seen.push_back(send<std::string>(message, "text") + "|" + send<std::string>(message, "address") + "|"
                + send<std::string>(message, "madridAccountGUID") + "|" + std::to_string(send<bool>(message, "isOutgoing")) + "|"
                + std::to_string(send<bool>(message, "isRead")) + "|" + std::to_string(static_cast<int64_t>(send<double>(message, "date"))));
        }
        return seen;
    };
    auto fresh = describe(m_databasePath);
    auto upgraded = describe(upgradedPath);
    EXPECT_EQ(fresh, upgraded);
    EXPECT_EQ(fresh.at(0), "sms text|+15555550100||1|1|1330000000");
    EXPECT_EQ(fresh.at(1), "im text|friend@example.com|ACCOUNT|0|0|1330000000");
}

class BadDatabase : public OwnMessagesDatabase {
protected:
    bool createsDatabase() const override { return false; }

    // Every service path that would write: none may touch the file.
    void tryEverything()
    {
        EXPECT_FALSE(chatkit::receiveSMS("555", "hello"));
        EXPECT_FALSE(chatkit::receiveIMessage("a@b.c", "hello", fakeJPEG()));
        EXPECT_FALSE(dbMessage(1));
        EXPECT_FALSE(send<Id>(send<Id>(classObject("CKSMSMessage"), "alloc"), "initWithRowID:", int64_t(1)));
        send(dbMessage(1, "CKIMDBMessage"), "markAsRead");
        EXPECT_TRUE(chatkit::listMessages().empty());

        Id service = send<Id>(classObject("CKSMSService"), "sharedSMSService");
        Id entity = send<Id>(service, "copyEntityForAddressString:", std::string("555"));
        Id list = send<Id>(classObject("CKConversationList"), "sharedConversationList");
        Id conversation = send<Id>(list, "conversationForRecipients:create:service:", std::vector<Id> { entity }, true, service);
        Id sms = send<Id>(service, "_newSMSMessageWithText:forConversation:", std::string("out"), conversation);
        send(service, "sendMessage:", sms);
        EXPECT_EQ(send<int64_t>(sms, "rowID"), 0) << "not stored";
        EXPECT_EQ(send<int64_t>(conversation, "groupID"), 0) << "no group without a database";
        EXPECT_EQ(send<int64_t>(conversation, "unreadCount"), 0);
    }
};

TEST_F(BadDatabase, MissingFileIsNotCreated)
{
    tryEverything();
    EXPECT_FALSE(std::filesystem::exists(m_databasePath));
    EXPECT_NE(chatkit::databaseError().find("no Messages database"), std::string::npos);
}

TEST_F(BadDatabase, EmptyFileStaysEmpty)
{
    writeFile(m_databasePath, {});
    tryEverything();
    EXPECT_EQ(std::filesystem::file_size(m_databasePath), 0u);
    EXPECT_NE(chatkit::databaseError().find("no message table"), std::string::npos);
}

TEST_F(BadDatabase, CorruptFileIsLeftAlone)
{
    auto garbage = fakeJPEG(8192);
    writeFile(m_databasePath, garbage);
    tryEverything();
    EXPECT_EQ(readFile(m_databasePath), garbage);
    EXPECT_NE(chatkit::databaseError().find("not a readable Messages database"), std::string::npos);
    EXPECT_FALSE(g_log.empty()) << "the refusal is reported";
}

TEST_F(BadDatabase, LaterSchemaIsRefusedWithAReason)
{
    std::filesystem::create_directories(m_smsFolder);
    {
        RawDatabase raw(m_databasePath);
        ASSERT_EQ(raw.exec("CREATE TABLE message (ROWID INTEGER PRIMARY KEY, guid TEXT, text TEXT, handle_id INTEGER, service TEXT, "
                           "is_from_me INTEGER, address TEXT);"
                           "CREATE TABLE handle (ROWID INTEGER PRIMARY KEY, id TEXT);"
                           "INSERT INTO message (ROWID, text, address) VALUES (1, 'later', '555');"),
            "");
    }
    auto before = readFile(m_databasePath);
    tryEverything();
    EXPECT_EQ(readFile(m_databasePath), before);
    EXPECT_NE(chatkit::databaseError().find("later iOS"), std::string::npos);
}

TEST_F(BadDatabase, DatabaseThatAppearsLaterIsFound)
{
    EXPECT_FALSE(chatkit::receiveSMS("555", "too early"));
    ASSERT_TRUE(chatkit::createDatabase(m_databasePath));
    EXPECT_TRUE(chatkit::receiveSMS("555", "now"));
    EXPECT_EQ(chatkit::databaseError(), "");
}

} // namespace

namespace {

TEST_F(Database, DeviceDatabaseLivesUnderTheDeviceRoot)
{
    auto previousRoot = foundation::deviceRoot();
    auto root = m_folder.path() / "device";
    foundation::setDeviceRoot(root);
    chatkit::useDeviceDatabase();
    EXPECT_FALSE(chatkit::receiveSMS("555", "no database yet"));
    ASSERT_TRUE(chatkit::createDatabase(root / "var/mobile/Library/SMS/sms.db"));
    auto row = chatkit::receiveIMessage("friend@example.com", "hello", fakeJPEG());
    EXPECT_TRUE(row);
    EXPECT_TRUE(std::filesystem::is_directory(root / "var/mobile/Library/SMS/Attachments"));
    auto parts = send<std::vector<Id>>(dbMessage(*row), "messageParts");
    EXPECT_EQ(parts.size(), 2u);
    foundation::setDeviceRoot(previousRoot);
}

} // namespace

namespace {

// The simulator dumps the database from its server thread while the phone
// writes on the main thread.
TEST_F(Database, ListingWhileMessagesArriveFromAnotherThread)
{
    constexpr int count = 40;
    std::thread writer([] {
        for (int i = 0; i < count; ++i)
            chatkit::receiveSMS("+15555550100", "message " + std::to_string(i));
    });
    size_t seen = 0;
    while (seen < count) {
        auto rows = chatkit::listMessages();
        EXPECT_GE(rows.size(), seen) << "rows never disappear";
        seen = rows.size();
    }
    writer.join();
    EXPECT_EQ(chatkit::listMessages().size(), size_t(count));
}

} // namespace

namespace {

TEST_F(Database, StatementsKeptForReuseSeeWritesFromOtherConnections)
{
    // The store keeps its prepared statements; one left mid-read would pin
    // an old snapshot, or refuse its next binding.
    auto opened = chatkit::MessageStore::open(m_databasePath);
    ASSERT_TRUE(opened) << opened.reason();
    auto& store = **opened;
    ASSERT_TRUE(store.ensureChat("anna@example.it"));
    ASSERT_TRUE(store.hasChat("anna@example.it"));
    auto group = store.groupFor({ "+393471234567" }, true);
    ASSERT_TRUE(group);
    ASSERT_TRUE(store.setUnreadCount(*group, 3));
    EXPECT_EQ(store.unreadCount(*group), 3);
    {
        RawDatabase raw(m_databasePath);
        ASSERT_EQ(raw.exec("DELETE FROM madrid_chat"), "");
        ASSERT_EQ(raw.exec("UPDATE msg_group SET unread_count = 5"), "");
    }
    EXPECT_FALSE(store.hasChat("anna@example.it"));
    EXPECT_EQ(store.unreadCount(*group), 5);
    EXPECT_TRUE(store.ensureChat("anna@example.it"));
    EXPECT_TRUE(store.hasChat("anna@example.it"));
}

// The checkpoint a filled write-ahead log calls for is handed to the
// scheduler once, not at every later commit, and one that runs after the store
// has closed does nothing.
TEST_F(Database, AFilledLogAsksForOneCheckpointThatOutlivesNoStore)
{
    auto opened = chatkit::MessageStore::open(m_databasePath);
    ASSERT_TRUE(opened) << opened.reason();
    std::shared_ptr<chatkit::MessageStore> store = opened.releaseValue();
    std::vector<std::function<void()>> scheduled;
    store->setCheckpointScheduler([&](std::function<void()> checkpoint) { scheduled.push_back(std::move(checkpoint)); });
    auto walBytes = [&] {
        std::error_code ignored;
        return std::filesystem::file_size(m_databasePath.string() + "-wal", ignored);
    };
    // Each message fills three pages or so with its text; the log holds
    // CheckpointPages after a few hundred.
    auto message = [](std::string text) {
        chatkit::NewMessage m;
        m.address = "555";
        m.text = std::move(text);
        return m;
    };
    const std::string text(10000, 'x');
    auto fillTheLog = [&] {
        size_t before = scheduled.size();
        for (int i = 0; i < 1000 && scheduled.size() == before; ++i)
            ASSERT_TRUE(store->insert(message(text))) << i;
        // More writes while it waits ask for nothing more.
        for (int i = 0; i < 50; ++i)
            ASSERT_TRUE(store->insert(message("after")));
    };
    fillTheLog();
    ASSERT_EQ(scheduled.size(), 1u);
    EXPECT_GE(walBytes(), uintmax_t(chatkit::MessageStore::CheckpointPages) * 4096) << "the commit that filled the log did not checkpoint";

    // Once it has run, the log is written again from its start, and a log
    // filled anew asks again.
    scheduled.front()();
    auto afterCheckpoint = walBytes();
    fillTheLog();
    ASSERT_EQ(scheduled.size(), 2u);
    EXPECT_LE(walBytes(), afterCheckpoint + 64 * 4096) << "the log grew past the checkpointed one instead of starting over";

    std::weak_ptr<chatkit::MessageStore> gone = store;
    store.reset();
    ASSERT_TRUE(gone.expired());
    scheduled.back()(); // the store is closed: nothing to do, nothing touched
}

} // namespace
