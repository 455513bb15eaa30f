#include "MailTestSupport.h"

#include <foundation/FileFaults.h>
#include <mail/MailInbox.h>
#include <mail/MailOutbox.h>

#include <cerrno>
#include <filesystem>

#include <set>
#include <thread>

using namespace mail;
using namespace mail_test;
using foundation::FileFault;
using foundation::FileOperation;

namespace {

class Outbox : public MailTest { };

MailMessage reply(std::vector<std::string> to)
{
    MailMessage m;
    m.to = std::move(to);
    m.subject = "RE";
    m.body = "see you";
    return m;
}

TEST_F(Outbox, SentMailIsQueuedFromTheAccountWithDateAndMessageID)
{
    auto result = queueMail(reply({ "friend@example.com" }));
    ASSERT_TRUE(result) << result.reason();
    EXPECT_EQ(*result, "/var/mobile/Library/Mail/Outbox/1.eml");
    EXPECT_TRUE(device.exists("/var/mobile/Library/Mail/Outbox/1.eml"));

    auto listed = listOutbox();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].number, 1u);
    EXPECT_EQ(listed[0].message.from, "Mobile <mobile@example.com>");
    EXPECT_EQ(listed[0].message.to, std::vector<std::string> { "friend@example.com" });
    EXPECT_EQ(listed[0].message.date, testNow);
    EXPECT_TRUE(listed[0].message.messageID.ends_with("@example.com"));
    EXPECT_EQ(listed[0].message.body, "see you");
}

TEST_F(Outbox, MailThatCannotGoIsRefusedAndLeavesNothing)
{
    EXPECT_EQ(queueMail(reply({})).reason(), "No recipients");
    EXPECT_EQ(queueMail(reply({ "", "   " })).reason(), "No recipients");
    EXPECT_EQ(queueMail(reply({ "friend@example.com", "+39 333 1234567" })).reason(), "Invalid address: +39 333 1234567");
    setMailAccount(std::nullopt);
    EXPECT_EQ(queueMail(reply({ "friend@example.com" })).reason(), "No mail account");
    EXPECT_TRUE(listOutbox().empty());
    EXPECT_FALSE(device.exists("/var/mobile/Library/Mail/Outbox/1.eml"));
}

TEST_F(Outbox, BlankRecipientEntriesAreSkipped)
{
    ASSERT_TRUE(queueMail(reply({ "", "friend@example.com", " " })));
    EXPECT_EQ(listOutbox().at(0).message.to, std::vector<std::string> { "friend@example.com" });
}

TEST_F(Outbox, NumbersFollowTheHighestAndOtherFilesAreNotMail)
{
    device.write("/var/mobile/Library/Mail/Outbox/7.eml", "From: a@example.com\r\nSubject: old\r\n\r\nold\r\n");
    device.write("/var/mobile/Library/Mail/Outbox/notes.txt", "not mail");
    device.write("/var/mobile/Library/Mail/Outbox/0.eml", "zero is no number");
    device.write("/var/mobile/Library/Mail/Outbox/99999999999999999999999.eml", "too large a number");
    device.makeDirectory("/var/mobile/Library/Mail/Outbox/12.eml");
    auto result = queueMail(reply({ "friend@example.com" }));
    ASSERT_TRUE(result);
    EXPECT_EQ(*result, "/var/mobile/Library/Mail/Outbox/8.eml");
    auto listed = listOutbox();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].message.subject, "old");
    EXPECT_EQ(listed[1].number, 8u);
}

TEST_F(Outbox, WritersRunningTogetherNeverShareANumber)
{
    constexpr int threads = 4;
    constexpr int each = 10;
    std::vector<std::thread> writers;
    for (int t = 0; t < threads; ++t) {
        writers.emplace_back([t] {
            for (int i = 0; i < each; ++i) {
                MailMessage m = reply({ "friend@example.com" });
                m.subject = std::to_string(t) + "-" + std::to_string(i);
                queueMail(m);
            }
        });
    }
    for (auto& writer : writers)
        writer.join();
    auto listed = listOutbox();
    ASSERT_EQ(listed.size(), size_t(threads * each)) << "no mail overwrote another";
    std::set<std::string> subjects;
    for (const auto& stored : listed)
        subjects.insert(stored.message.subject);
    EXPECT_EQ(subjects.size(), size_t(threads * each));
    EXPECT_EQ(listed.back().number, uint64_t(threads * each));
}

TEST_F(Outbox, DraftsNeedNoRecipient)
{
    auto result = saveDraft(reply({ "half typed" }));
    ASSERT_TRUE(result) << result.reason();
    EXPECT_EQ(*result, "/var/mobile/Library/Mail/Drafts/1.eml");
    EXPECT_EQ(listDrafts().size(), 1u);
    EXPECT_TRUE(listOutbox().empty());
}

TEST_F(Outbox, AnUnwritableFolderIsAFailure)
{
    device.write("/var/mobile/Library/Mail/Outbox", "a file where the folder should be");
    auto result = queueMail(reply({ "friend@example.com" }));
    EXPECT_FALSE(result);
    EXPECT_FALSE(result.reason().empty());
}

TEST_F(Outbox, AMailTheDiskRefusesIsAFailureAndTheQueuedOnesStayWhole)
{
    ASSERT_TRUE(queueMail(reply({ "first@example.com" })));
    const std::string first = device.read("/var/mobile/Library/Mail/Outbox/1.eml");
    const std::pair<const char*, foundation::FileFault> faults[] = {
        { "no room for the file", FileFault::on(FileOperation::Open).withError(ENOSPC) },
        { "the disk fills up halfway", FileFault::on(FileOperation::Write).withError(ENOSPC).halfWritten() },
        { "the flush fails", FileFault::on(FileOperation::Sync).withError(EIO) },
        { "the file cannot take its number", FileFault::on(FileOperation::Rename).withError(EIO).onPath(".eml") },
    };
    for (const auto& [name, fault] : faults) {
        SCOPED_TRACE(name);
        {
            foundation::ArmedFileFault armed(fault);
            auto result = queueMail(reply({ "second@example.com" }));
            EXPECT_FALSE(result);
            EXPECT_EQ(result.reason(), "Cannot write /var/mobile/Library/Mail/Outbox");
        }
        // Only the first mail is there, whole, and nothing half-made beside it.
        auto names = std::vector<std::string>();
        for (const auto& entry : std::filesystem::directory_iterator(device.host("/var/mobile/Library/Mail/Outbox")))
            names.push_back(entry.path().filename().string());
        EXPECT_EQ(names, std::vector<std::string> { "1.eml" });
        EXPECT_EQ(device.read("/var/mobile/Library/Mail/Outbox/1.eml"), first);
    }
    // The next mail takes the next number.
    EXPECT_EQ(queueMail(reply({ "second@example.com" })).valueOr({}), "/var/mobile/Library/Mail/Outbox/2.eml");
}

class Inbox : public MailTest { };

TEST_F(Inbox, ReceivedMailIsFoundByItsReference)
{
    auto reference = receiveMail("Anna Rossi <anna@example.it>", "Cena", "Ci vediamo alle 8?");
    ASSERT_TRUE(reference);
    EXPECT_TRUE(reference->starts_with("message://%3c"));
    EXPECT_TRUE(reference->ends_with("@example.com%3e"));
    auto second = receiveMail("bob@example.com", "Hi", "Hello");
    ASSERT_TRUE(second);
    EXPECT_NE(*reference, *second);

    auto found = findInboxMail(*reference);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->sender, "Anna Rossi <anna@example.it>");
    EXPECT_EQ(found->subject, "Cena");
    EXPECT_EQ(found->body, "Ci vediamo alle 8?");
    EXPECT_EQ(found->date, testNow);
    EXPECT_EQ(listInbox().size(), 2u);
    EXPECT_FALSE(findInboxMail("message://%3cnobody@example.com%3e"));
}

TEST_F(Inbox, MailFromNoAddressOrTooLargeIsNotReceived)
{
    EXPECT_FALSE(receiveMail("", "s", "b"));
    EXPECT_FALSE(receiveMail("not an address", "s", "b"));
    EXPECT_FALSE(receiveMail("a@example.com", "s", std::string(MaximumReceivedBody + 1, 'x')));
    EXPECT_TRUE(listInbox().empty());
}

TEST(MessageReference, CharactersAURLCannotCarryAreEscaped)
{
    EXPECT_EQ(messageReference("AB-12@example.com"), "message://%3cAB-12@example.com%3e");
    EXPECT_EQ(messageReference("a b%c>d"), "message://%3ca%20b%25c%3Ed%3e");
}

} // namespace
