#include "ChatKitTestSupport.h"

using namespace chatkit_test;

namespace {

class Lookup : public OwnMessagesDatabase { };

using InitImp = Id (*)(runtime::Object*, runtime::Sel, const Id&, const std::vector<Id>&);
InitImp s_savedInit;
std::vector<std::string> s_seen;

Id recordIncomingSMS(runtime::Object* self, runtime::Sel selector, const Id& message, const std::vector<Id>& parts)
{
    Id built = s_savedInit(self, selector, message, parts);
    if (built) {
        s_seen.push_back(send<std::string>(built, "address") + "|" + send<std::string>(built, "text") + "|"
            + std::to_string(send<bool>(built, "isOutgoing")) + std::to_string(send<bool>(built, "isRead")) + "|"
            + std::to_string(send<int64_t>(built, "rowID")));
    }
    return built;
}

TEST_F(Lookup, ReceivedSMSIsAnUnreadIncomingRowOfItsConversation)
{
    auto row = chatkit::receiveSMS("+15555550100", "Are you coming?");
    ASSERT_TRUE(row);
    Id message = dbMessage(*row);
    ASSERT_TRUE(message);
    EXPECT_EQ(send<std::string>(message, "text"), "Are you coming?");
    EXPECT_EQ(send<std::string>(message, "address"), "+15555550100");
    EXPECT_EQ(send<std::string>(message, "madridAccountGUID"), "");
    EXPECT_FALSE(send<bool>(message, "isOutgoing"));
    EXPECT_FALSE(send<bool>(message, "isRead"));
    EXPECT_EQ(send<double>(message, "date"), testNow);
    auto parts = send<std::vector<Id>>(message, "messageParts");
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_FALSE(send<bool>(parts[0], "isKindOfClass:", classObject("CKMediaObjectMessagePart")));
    EXPECT_EQ(send<std::string>(parts[0], "text"), "Are you coming?");

    RawDatabase raw(m_databasePath);
    EXPECT_EQ(raw.integer("SELECT flags FROM message"), 0);
    EXPECT_EQ(raw.integer("SELECT read FROM message"), 0);
    EXPECT_EQ(raw.integer("SELECT date FROM message"), 1330000000) << "SMS dates are Unix seconds";
    EXPECT_EQ(raw.integer("SELECT unread_count FROM msg_group"), 1);
    EXPECT_EQ(raw.integer("SELECT newest_message FROM msg_group"), *row);
    EXPECT_EQ(raw.text("SELECT address FROM group_member"), "+15555550100");
    EXPECT_EQ(raw.text("SELECT value FROM _SqliteDatabaseProperties WHERE key = 'counter_in_all'"), "1");

    // The same person writing with another spelling of the number stays in
    // the same conversation.
    ASSERT_TRUE(chatkit::receiveSMS("(555) 555-0100", "Hello?"));
    EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM msg_group"), 1);
    EXPECT_EQ(raw.integer("SELECT unread_count FROM msg_group"), 2);
}

TEST_F(Lookup, ReceivedIMessageKeepsItsPictureAsAnAttachmentFile)
{
    auto picture = fakeJPEG();
    auto row = chatkit::receiveIMessage("friend@example.com", "Look at this", picture);
    ASSERT_TRUE(row);
    Id message = dbMessage(*row);
    ASSERT_TRUE(message);
    EXPECT_EQ(send<std::string>(message, "address"), "friend@example.com");
    EXPECT_FALSE(send<std::string>(message, "madridAccountGUID").empty());
    EXPECT_FALSE(send<bool>(message, "isOutgoing"));
    EXPECT_FALSE(send<bool>(message, "isRead"));
    EXPECT_EQ(send<double>(message, "date"), testNow);

    auto parts = send<std::vector<Id>>(message, "messageParts");
    ASSERT_EQ(parts.size(), 2u) << "the text, then the picture";
    EXPECT_EQ(send<std::string>(parts[0], "text"), "Look at this");
    ASSERT_TRUE(send<bool>(parts[1], "isKindOfClass:", classObject("CKMediaObjectMessagePart")));
    Id media = send<Id>(parts[1], "mediaObject");
    EXPECT_EQ(send<std::vector<uint8_t>>(media, "data"), picture);
    EXPECT_EQ(send<std::string>(media, "mimeType"), "image/jpeg");
    EXPECT_EQ(send<std::string>(media, "exportedFilename"), "image.jpg");
    std::string devicePath = send<std::string>(media, "filename");
    EXPECT_TRUE(devicePath.starts_with("/var/mobile/Library/SMS/Attachments/")) << devicePath;
    EXPECT_EQ(send<std::string>(media, "previewItemURL"), "file://" + devicePath);

    RawDatabase raw(m_databasePath);
    EXPECT_EQ(raw.integer("SELECT date FROM message"), 1330000000 - chatkit::MacEpochOffset) << "iMessage dates count from 2001";
    EXPECT_EQ(raw.integer("SELECT madrid_flags FROM message"), chatkit::madridflags::Received);
    EXPECT_EQ(raw.integer("SELECT is_madrid FROM message"), 1);
    EXPECT_EQ(raw.text("SELECT madrid_handle FROM message"), "friend@example.com");
    EXPECT_FALSE(raw.text("SELECT address FROM message"));
    EXPECT_EQ(raw.text("SELECT madrid_guid FROM message").value_or("").size(), 36u);
    EXPECT_EQ(raw.integer("SELECT is_incoming FROM madrid_attachment"), 1);
    EXPECT_EQ(raw.integer("SELECT message_id FROM madrid_attachment"), *row);

    auto listed = chatkit::listMessages();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(chatkit::kindName(listed[0].kind), "iMessage");
    EXPECT_EQ(listed[0].address, "friend@example.com");
}

TEST_F(Lookup, MissingAttachmentFileLeavesOnlyTheText)
{
    auto row = chatkit::receiveIMessage("friend@example.com", "gone", fakeJPEG());
    ASSERT_TRUE(row);
    std::filesystem::remove_all(m_smsFolder / "Attachments");
    auto parts = send<std::vector<Id>>(dbMessage(*row), "messageParts");
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(send<std::string>(parts[0], "text"), "gone");
}

TEST_F(Lookup, AttachmentPathsOutsideTheSMSFolderAreIgnored)
{
    writeFile(m_folder.path() / "secret.txt", { 's', 'e', 'c', 'r', 'e', 't' });
    {
        RawDatabase raw(m_databasePath);
        raw.exec("INSERT INTO message (ROWID, text, is_madrid, madrid_handle, madrid_flags, read) VALUES (1, 'x', 1, 'a@b.c', 12289, 0)");
        raw.exec("INSERT INTO madrid_attachment (filename, mime_type, message_id) VALUES ('/var/mobile/Library/SMS/../../secret.txt', 'text/plain', 1)");
        raw.exec("INSERT INTO madrid_attachment (filename, mime_type, message_id) VALUES ('" + (m_folder.path() / "secret.txt").string() + "', 'text/plain', 1)");
        raw.exec("INSERT INTO madrid_attachment (filename, mime_type, message_id) VALUES ('~/Library/SMS/Attachments/ok.jpg', 'image/jpeg', 1)");
    }
    writeFile(m_smsFolder / "Attachments" / "ok.jpg", fakeJPEG());
    auto parts = send<std::vector<Id>>(dbMessage(1), "messageParts");
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(send<std::vector<uint8_t>>(send<Id>(parts[1], "mediaObject"), "data"), fakeJPEG());
}

TEST_F(Lookup, MMSPartsComeFromPiecesInOrder)
{
    writeFile(m_smsFolder / "Parts" / "0" / "IMG_0001.jpg", fakeJPEG(100));
    {
        RawDatabase raw(m_databasePath);
        raw.exec("INSERT INTO message (ROWID, address, text, flags, read, is_madrid) VALUES (1, '555', NULL, 2, 1, 0)");
        raw.exec("INSERT INTO msg_pieces (message_id, part_id, content_type, data) VALUES (1, 0, 'application/smil', '<smil/>')");
        raw.exec("INSERT INTO msg_pieces (message_id, part_id, content_type, content_loc) VALUES (1, 2, 'image/jpeg', '0/IMG_0001.jpg')");
        raw.exec("INSERT INTO msg_pieces (message_id, part_id, content_type, data) VALUES (1, 1, 'text/plain', 'caption')");
        raw.exec("INSERT INTO msg_pieces (message_id, part_id, content_type, content_loc) VALUES (1, 3, 'image/jpeg', 'missing.jpg')");
    }
    Id message = dbMessage(1);
    EXPECT_EQ(send<std::string>(message, "text"), "caption") << "an MMS keeps its words in a piece";
    auto parts = send<std::vector<Id>>(message, "messageParts");
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(send<std::string>(parts[0], "text"), "caption");
    EXPECT_EQ(send<std::vector<uint8_t>>(send<Id>(parts[1], "mediaObject"), "data").size(), 100u);
}

TEST_F(Lookup, UnknownRecordIsNil)
{
    EXPECT_FALSE(dbMessage(42));
    EXPECT_FALSE(send<Id>(send<Id>(classObject("CKSMSMessage"), "alloc"), "initWithRowID:", int64_t(42)));
}

TEST_F(Lookup, MarkingAnSMSReadUpdatesTheRowAndItsConversation)
{
    auto row = chatkit::receiveSMS("+15555550100", "read me");
    ASSERT_TRUE(row);
    Id message = send<Id>(send<Id>(classObject("CKSMSMessage"), "alloc"), "initWithRowID:", *row);
    ASSERT_TRUE(message);
    EXPECT_EQ(send<std::string>(message, "text"), "read me");
    EXPECT_FALSE(send<bool>(message, "isRead"));
    send(message, "markAsRead");
    EXPECT_TRUE(send<bool>(message, "isRead"));

    RawDatabase raw(m_databasePath);
    EXPECT_EQ(raw.integer("SELECT flags FROM message"), 2);
    EXPECT_EQ(raw.integer("SELECT read FROM message"), 1);
    EXPECT_EQ(raw.integer("SELECT unread_count FROM msg_group"), 0);
    send(message, "markAsRead");
    EXPECT_EQ(raw.integer("SELECT unread_count FROM msg_group"), 0) << "marking twice does not count twice";
    EXPECT_TRUE(send<bool>(dbMessage(*row), "isRead"));
}

TEST_F(Lookup, MarkingAnIMessageReadRecordsWhen)
{
    auto row = chatkit::receiveIMessage("friend@example.com", "read me");
    ASSERT_TRUE(row);
    chatkit::setClock([] { return testNow + 60; });
    send(dbMessage(*row, "CKIMDBMessage"), "markAsRead");
    RawDatabase raw(m_databasePath);
    EXPECT_EQ(raw.integer("SELECT read FROM message"), 1);
    EXPECT_EQ(raw.integer("SELECT madrid_date_read FROM message"), 1330000060 - chatkit::MacEpochOffset);
    EXPECT_TRUE(send<bool>(dbMessage(*row), "isRead"));
}

TEST_F(Lookup, IncomingSMSObjectIsBuiltThroughTheRuntime)
{
    s_seen.clear();
    runtime::Class* cls = runtime::classNamed("CKSMSMessage");
    ASSERT_EQ(runtime::hookMessage(cls, "initWithCTMessage:messageParts:", &recordIncomingSMS, &s_savedInit), runtime::HookResult::Ok);
    auto row = chatkit::receiveSMS("+15555550100", "hooked");
    runtime::revertHook(cls, "initWithCTMessage:messageParts:", &recordIncomingSMS, s_savedInit);
    ASSERT_TRUE(row);
    ASSERT_EQ(s_seen.size(), 1u);
    EXPECT_EQ(s_seen[0], "+15555550100|hooked|00|" + std::to_string(*row));
    EXPECT_FALSE(send<Id>(send<Id>(classObject("CKSMSMessage"), "alloc"), "initWithCTMessage:messageParts:", Id(), std::vector<Id> {}));
}

TEST_F(Lookup, ConversationsClearTheirUnreadState)
{
    ASSERT_TRUE(chatkit::receiveSMS("+15555550100", "one"));
    ASSERT_TRUE(chatkit::receiveSMS("+15555550100", "two"));
    ASSERT_TRUE(chatkit::receiveSMS("+15555550199", "other person"));
    Id service = send<Id>(classObject("CKSMSService"), "sharedSMSService");
    Id list = send<Id>(service, "conversationList");
    EXPECT_FALSE(send<Id>(list, "existingConversationForAddresses:", std::vector<std::string> { "+15555550111" }));
    Id conversation = send<Id>(list, "existingConversationForAddresses:", std::vector<std::string> { "5555550100" });
    ASSERT_TRUE(conversation);
    EXPECT_EQ(send<int64_t>(conversation, "unreadCount"), 2);
    send(conversation, "markAllMessagesAsRead");
    send(conversation, "resetPendingMessages");
    send(conversation, "setUnreadCount:", int64_t(0));

    RawDatabase raw(m_databasePath);
    EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM message WHERE read = 0"), 1) << "the other conversation stays unread";
    EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM message WHERE flags = 2"), 2);
    EXPECT_EQ(raw.integer("SELECT unread_count FROM msg_group WHERE ROWID = 1"), 0);
    EXPECT_EQ(raw.integer("SELECT unread_count FROM msg_group WHERE ROWID = 2"), 1);
}

TEST_F(Lookup, EntityNamesComeFromTheAddressBook)
{
    chatkit::setContactNameResolver([](const std::string& address) { return address == "+15555550100" ? std::string("Anna Rossi") : std::string(); });
    Id service = send<Id>(classObject("CKSMSService"), "sharedSMSService");
    EXPECT_EQ(send<std::string>(send<Id>(service, "copyEntityForAddressString:", std::string("+15555550100")), "name"), "Anna Rossi");
    EXPECT_EQ(send<std::string>(send<Id>(service, "copyEntityForAddressString:", std::string("+15555550101")), "name"), "");
    EXPECT_FALSE(send<Id>(service, "copyEntityForAddressString:", std::string("  ")));
}

} // namespace

namespace {

// The web panels read only the end of the table; deleted rows leave gaps in
// the ROWIDs, which must neither shift the window nor the count.
TEST_F(Lookup, NewestRowsAreTheEndOfTheTableInRowOrder)
{
    EXPECT_TRUE(chatkit::listNewestMessages(3).empty());
    EXPECT_EQ(chatkit::messageCount(), 0);
    std::vector<int64_t> rows;
    for (int i = 0; i < 5; ++i)
        rows.push_back(*chatkit::receiveSMS("+15555550100", "message " + std::to_string(i)));
    RawDatabase(m_databasePath).exec("DELETE FROM message WHERE ROWID = " + std::to_string(rows[3]));

    auto newest = chatkit::listNewestMessages(2);
    ASSERT_EQ(newest.size(), 2u);
    EXPECT_EQ(newest[0].rowID, rows[2]);
    EXPECT_EQ(newest[1].rowID, rows[4]);
    EXPECT_EQ(newest[1].text, "message 4");
    EXPECT_EQ(chatkit::messageCount(), 4);

    auto all = chatkit::listMessages();
    auto beyond = chatkit::listNewestMessages(100);
    ASSERT_EQ(beyond.size(), all.size());
    for (size_t i = 0; i < all.size(); ++i)
        EXPECT_EQ(beyond[i].rowID, all[i].rowID);
    EXPECT_TRUE(chatkit::listNewestMessages(0).empty());
}

} // namespace
