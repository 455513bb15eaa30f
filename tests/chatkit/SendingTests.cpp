#include "SenderChains.h"

using namespace chatkit_test;

namespace {

class Sending : public OwnMessagesDatabase { };

TEST_F(Sending, SMSIsKeptAsASentRowOfItsConversation)
{
    ASSERT_EQ(sendSMS("On my way", "(555) 555-0100"), "OK");
    RawDatabase raw(m_databasePath);
    EXPECT_EQ(raw.text("SELECT address FROM message"), "(555) 555-0100") << "the address is stored as given";
    EXPECT_EQ(raw.text("SELECT text FROM message"), "On my way");
    EXPECT_EQ(raw.integer("SELECT flags FROM message"), chatkit::smsflags::Sent);
    EXPECT_EQ(raw.integer("SELECT read FROM message"), 1);
    EXPECT_EQ(raw.integer("SELECT is_madrid FROM message"), 0);
    EXPECT_EQ(raw.integer("SELECT date FROM message"), 1330000000);
    EXPECT_EQ(raw.integer("SELECT unread_count FROM msg_group"), 0);
    EXPECT_EQ(raw.text("SELECT address FROM group_member"), "(555) 555-0100");
    EXPECT_EQ(raw.text("SELECT value FROM _SqliteDatabaseProperties WHERE key = 'counter_out_all'"), "1");

    // A reply from the same number, and a second send, join that conversation.
    ASSERT_TRUE(chatkit::receiveSMS("+15555550100", "ok"));
    ASSERT_EQ(sendSMS("see you", "(555) 555-0100"), "OK");
    EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM msg_group"), 1);
    EXPECT_EQ(raw.integer("SELECT COUNT(DISTINCT group_id) FROM message"), 1);
    EXPECT_EQ(raw.integer("SELECT newest_message FROM msg_group"), 3);

    auto listed = chatkit::listMessages();
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_TRUE(listed[0].outgoing);
    EXPECT_FALSE(listed[1].outgoing);
    EXPECT_FALSE(listed[1].read);
}

TEST_F(Sending, SMSWithoutTextOrAddressIsNotSent)
{
    EXPECT_EQ(sendSMS("", "5550100"), "No sms");
    EXPECT_EQ(sendSMS("text", ""), "No entity");
    EXPECT_TRUE(chatkit::listMessages().empty());
}

TEST_F(Sending, LongSMSIsStoredWhole)
{
    std::string text(1 << 20, 'y');
    ASSERT_EQ(sendSMS(text, "5550100"), "OK");
    EXPECT_EQ(chatkit::listMessages().at(0).text, text);
}

TEST_F(Sending, SentMessageIsStoredOnce)
{
    Id service = send<Id>(classObject("CKSMSService"), "sharedSMSService");
    Id entity = send<Id>(service, "copyEntityForAddressString:", std::string("5550100"));
    Id conversation = send<Id>(send<Id>(service, "conversationList"), "conversationForRecipients:create:service:", std::vector<Id> { entity }, true, service);
    Id message = send<Id>(service, "_newSMSMessageWithText:forConversation:", std::string("once"), conversation);
    EXPECT_EQ(send<std::vector<Id>>(conversation, "pendingMessages").size(), 1u);
    send(service, "sendMessage:", message);
    send(service, "sendMessage:", message);
    EXPECT_EQ(chatkit::listMessages().size(), 1u);
    EXPECT_TRUE(send<std::vector<Id>>(conversation, "pendingMessages").empty());
    EXPECT_GT(send<int64_t>(message, "rowID"), 0);
}

TEST_F(Sending, IMessageWithPictureIsKeptAsThePhoneKeepsIt)
{
    auto picture = fakeJPEG(4096);
    const std::string guid = "0E4A1B2C-3D4E-4F50-8162-738495A6B7C8";
    ASSERT_EQ(sendIMessage("Here it is", "friend@example.com", guid, picture), "OK");

    RawDatabase raw(m_databasePath);
    EXPECT_EQ(raw.integer("SELECT is_madrid FROM message"), 1);
    EXPECT_EQ(raw.text("SELECT madrid_guid FROM message"), guid);
    EXPECT_EQ(raw.text("SELECT madrid_handle FROM message"), "friend@example.com");
    EXPECT_EQ(raw.text("SELECT text FROM message"), "Here it is");
    EXPECT_EQ(raw.integer("SELECT madrid_flags FROM message"), chatkit::madridflags::Sent);
    EXPECT_EQ(raw.integer("SELECT date FROM message"), 1330000000 - chatkit::MacEpochOffset);
    EXPECT_EQ(raw.text("SELECT madrid_service FROM message"), "Madrid");
    EXPECT_EQ(raw.integer("SELECT read FROM message"), 1);
    EXPECT_EQ(raw.text("SELECT chat_identifier FROM madrid_chat"), "friend@example.com");
    EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM madrid_attachment"), 1);
    EXPECT_EQ(raw.text("SELECT mime_type FROM madrid_attachment"), "image/jpeg");
    EXPECT_EQ(raw.text("SELECT uti_type FROM madrid_attachment"), "public.jpeg");
    EXPECT_EQ(raw.integer("SELECT is_incoming FROM madrid_attachment"), 0);
    std::string filename = raw.text("SELECT filename FROM madrid_attachment").value_or("");
    ASSERT_TRUE(filename.starts_with("/var/mobile/Library/SMS/Attachments/")) << filename;
    EXPECT_TRUE(filename.ends_with("/image.jpg"));
    EXPECT_EQ(readFile(m_smsFolder / filename.substr(std::string("/var/mobile/Library/SMS/").size())), picture);

    // Read back as the banner code would.
    Id stored = dbMessage(1);
    EXPECT_FALSE(send<std::string>(stored, "madridAccountGUID").empty());
    EXPECT_TRUE(send<bool>(stored, "isOutgoing"));
    auto parts = send<std::vector<Id>>(stored, "messageParts");
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_TRUE(send<bool>(parts[1], "isKindOfClass:", classObject("CKMediaObjectMessagePart")));
}

TEST_F(Sending, IMessageTextWithDataAndSecondMessageReuseTheChat)
{
    ASSERT_EQ(sendIMessage("call 555 555 0100", "+15555550100", "A"), "OK");
    ASSERT_EQ(sendIMessage("again", "+15555550100", "B"), "OK");
    RawDatabase raw(m_databasePath);
    EXPECT_EQ(raw.integer("SELECT madrid_flags FROM message WHERE ROWID = 1"), chatkit::madridflags::SentWithData);
    EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM madrid_chat"), 1);
    EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM madrid_attachment"), 0);
}

TEST_F(Sending, PictureNameCannotLeaveItsFolder)
{
    ASSERT_EQ(sendIMessage("x", "friend@example.com", "G", fakeJPEG(), "../../../escape.jpg"), "OK");
    RawDatabase raw(m_databasePath);
    std::string filename = raw.text("SELECT filename FROM madrid_attachment").value_or("");
    EXPECT_TRUE(filename.ends_with("/escape.jpg")) << filename;
    EXPECT_EQ(filename.find(".."), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(m_folder.path() / "escape.jpg"));
}

TEST_F(Sending, IMessageChainStopsWhereThePlatformAnswersNil)
{
    auto noPicture = std::vector<uint8_t> {};
    EXPECT_EQ(sendIMessage("x", "", "G"), "entity");
    EXPECT_EQ(sendIMessage("", "friend@example.com", "G"), "im message") << "nothing to send";
    EXPECT_EQ(sendIMessage("x", "friend@example.com", "G", noPicture), "MO IS NIL");
    EXPECT_FALSE(send<Id>(send<Id>(classObject("CKMediaObjectMessagePart"), "alloc"), "initWithMediaObject:", Id()));
    Id service = send<Id>(classObject("CKMadridService"), "sharedMadridService");
    EXPECT_FALSE(send<Id>(service, "_madridMessageForIMMessage:inIMChat:", Id(), Id()));
    Id sms = send<Id>(classObject("CKSMSService"), "sharedSMSService");
    Id entities[] = { send<Id>(service, "copyEntityForAddressString:", std::string("a@b.c")), send<Id>(service, "copyEntityForAddressString:", std::string("c@d.e")) };
    EXPECT_FALSE(send<Id>(service, "_conversationWithRecipients:createIfNecessary:", std::vector<Id>(std::begin(entities), std::end(entities)), true));
    EXPECT_FALSE(send<Id>(service, "_conversationWithRecipients:createIfNecessary:", std::vector<Id> { entities[0] }, false))
        << "no chat with that handle yet";
    Id smsConversation = send<Id>(send<Id>(sms, "conversationList"), "conversationForRecipients:create:service:", std::vector<Id> { entities[0] }, true, sms);
    EXPECT_FALSE(send<Id>(service, "_IMMessageToConversation:withText:subject:date:messageParts:isFinished:messageGUID:", smsConversation,
        std::string("x"), std::string(), 0.0, std::vector<Id> {}, true, std::string("G")))
        << "an SMS conversation cannot carry an iMessage";
    EXPECT_TRUE(chatkit::listMessages().empty());
}

TEST_F(Sending, IMessageSwitchedOffHasNoService)
{
    chatkit::setMadridEnabled(false);
    EXPECT_FALSE(send<bool>(classObject("CKMadridService"), "isMadridEnabled"));
    EXPECT_EQ(sendIMessage("x", "friend@example.com", "G"), "service");
    chatkit::setMadridEnabled(true);
    EXPECT_TRUE(send<bool>(classObject("CKMadridService"), "isMadridEnabled"));
    Id service = send<Id>(classObject("CKMadridService"), "sharedMadridService");
    EXPECT_EQ(send<int64_t>(service, "availabilityForAddress:checkWithServer:", std::string("friend@example.com"), false), 1);
    EXPECT_EQ(send<int64_t>(service, "availabilityForAddress:checkWithServer:", std::string("not an address"), false), 0);
}

} // namespace
