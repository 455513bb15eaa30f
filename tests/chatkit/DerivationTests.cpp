#include "ChatKitTestSupport.h"

#include <chatkit/AddressMatching.h>
#include <chatkit/MessageRecord.h>

using namespace chatkit_test;
using chatkit::StoredMessage;

namespace {

StoredMessage sms(int64_t flags, std::optional<int64_t> read)
{
    StoredMessage m;
    m.flags = flags;
    m.read = read;
    return m;
}

StoredMessage imessage(int64_t madridFlags, std::optional<int64_t> read)
{
    StoredMessage m;
    m.isMadrid = true;
    m.madridFlags = madridFlags;
    m.read = read;
    return m;
}

TEST(Derivation, SMSDirectionComesFromFlagsBitZero)
{
    struct Case {
        int64_t flags;
        bool outgoing;
    } cases[] = { { 0, false }, { 2, false }, { 3, true }, { 33, true }, { 35, true }, { 129, true }, { 16387, true } };
    for (auto c : cases)
        EXPECT_EQ(sms(c.flags, 0).isOutgoing(), c.outgoing) << c.flags;
}

TEST(Derivation, SMSReadStateComesFromTheReadColumn)
{
    EXPECT_FALSE(sms(2, 0).isRead()) << "the read column wins over the flags";
    EXPECT_TRUE(sms(0, 1).isRead());
    EXPECT_TRUE(sms(3, 0).isRead()) << "the user's own messages count as read";
    // Without a read column (older layout or NULL) the complete bit decides.
    EXPECT_FALSE(sms(0, std::nullopt).isRead());
    EXPECT_TRUE(sms(2, std::nullopt).isRead());
    EXPECT_FALSE(chatkit::smsFlagsAreRead(0));
    EXPECT_TRUE(chatkit::smsFlagsAreRead(2));
}

TEST(Derivation, MadridDirectionMatchesEveryDocumentedValue)
{
    for (int64_t in : { 12289, 77825 })
        EXPECT_FALSE(imessage(in, 0).isOutgoing()) << in;
    for (int64_t out : { 36869, 45061, 102405, 32773, 98309 })
        EXPECT_TRUE(imessage(out, 0).isOutgoing()) << out;
    // The SMS flags of an iMessage row say nothing about its direction.
    auto received = imessage(12289, 0);
    received.flags = 3;
    EXPECT_FALSE(received.isOutgoing());
}

TEST(Derivation, MadridReadStateFallsBackOnTheReadDate)
{
    EXPECT_FALSE(imessage(12289, 0).isRead());
    EXPECT_TRUE(imessage(12289, 1).isRead());
    auto noColumn = imessage(12289, std::nullopt);
    EXPECT_FALSE(noColumn.isRead());
    noColumn.madridDateRead = 351692800;
    EXPECT_TRUE(noColumn.isRead());
}

TEST(Derivation, DatesUseEachServicesEpoch)
{
    auto text = sms(2, 1);
    text.date = 1330000000;
    EXPECT_EQ(text.unixDate(), 1330000000);
    auto madrid = imessage(12289, 1);
    madrid.date = 1330000000 - chatkit::MacEpochOffset;
    EXPECT_EQ(madrid.unixDate(), 1330000000);
    madrid.date = 0;
    EXPECT_EQ(madrid.unixDate(), 0) << "0 means unset, not 2001";
}

TEST(Derivation, PeerAndAccountTellTheServicesApart)
{
    auto text = sms(0, 0);
    text.address = "+15555550100";
    text.madridAccountGuid = "stray";
    EXPECT_EQ(text.peer(), "+15555550100");
    EXPECT_EQ(text.accountGUID(), "") << "an SMS never looks like an iMessage";
    auto madrid = imessage(12289, 0);
    madrid.madridHandle = "friend@example.com";
    EXPECT_EQ(madrid.peer(), "friend@example.com");
    EXPECT_FALSE(madrid.accountGUID().empty()) << "an iMessage without account columns still looks like one";
    madrid.madridHandle.reset();
    madrid.address = "+15555550100";
    EXPECT_EQ(madrid.peer(), "+15555550100");
}

TEST(Derivation, AddressesMatchAcrossNumberFormats)
{
    EXPECT_TRUE(chatkit::addressesMatch("(555) 555-1212", "+15555551212"));
    EXPECT_TRUE(chatkit::addressesMatch("15555551212", "555-1212"));
    EXPECT_TRUE(chatkit::addressesMatch("Friend@Example.com", "friend@example.com"));
    EXPECT_FALSE(chatkit::addressesMatch("+15555551212", "+15555551213"));
    EXPECT_FALSE(chatkit::addressesMatch("12345", "912345")) << "short codes must match exactly";
    EXPECT_FALSE(chatkit::addressesMatch("", ""));
    EXPECT_FALSE(chatkit::addressesMatch("friend@example.com", "5551212"));
}

TEST(Derivation, DetectedDataInTexts)
{
    EXPECT_TRUE(chatkit::textHasDetectedData("call me on 555 555 1212"));
    EXPECT_TRUE(chatkit::textHasDetectedData("see http://example.com"));
    EXPECT_TRUE(chatkit::textHasDetectedData("write to a@b.org"));
    EXPECT_FALSE(chatkit::textHasDetectedData("see you at 10:30 on the 12th"));
}

} // namespace
