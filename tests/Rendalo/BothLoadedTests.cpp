// Parlivo and Rendalo installed on one phone and loaded by its loader, as a
// phone with both packages boots: their hooks chain in load order, each
// writes its own log with its own logger, and every reply leaves the phone.
#include "springboard/PhoneFixture.h"

#include <chatkit/ChatKit.h>
#include <mail/MailOutbox.h>
#include <simulator/ProductInstall.h>
#include <springboard/BBBulletin.h>
#include <springboard/BulletinBoard.h>

#include <fstream>
#include <sstream>

namespace {

using runtime::Id;

std::string deviceFile(std::string_view devicePath)
{
    std::ifstream in(foundation::hostPath(devicePath), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class BothLoaded : public springboard_test::PhoneWithOneContact {
protected:
    phone::Phone& bootWithBoth()
    {
        auto installed = simulator::installExtensions({ PLV_EXTENSION_DIRS }, { "Parlivo", "Rendalo" });
        EXPECT_TRUE(installed) << installed.reason();
        phone::BootOptions options;
        options.loadExtensions = true;
        return boot(std::move(options));
    }

    // Types and sends a reply in the quick reply that is open.
    void reply(phone::Phone& phone, const std::string& text)
    {
        ASSERT_TRUE(phone.tapView("sendButton"));
        phone.advance(1);
        ASSERT_TRUE(phone.type(text));
        ASSERT_TRUE(phone.tapView("sendButton"));
        phone.advance(1);
    }
};

TEST_F(BothLoaded, RepliesLeaveAndEachLibraryKeepsItsOwnLog)
{
    auto installed = simulator::installExtensions({ PLV_EXTENSION_DIRS }, { "Parlivo", "Rendalo" });
    ASSERT_TRUE(installed) << installed.reason();
    ASSERT_TRUE(foundation::deviceFileExists("/usr/lib/libKelvaneLibrary.dylib"));

    phone::BootOptions options;
    options.loadExtensions = true;
    auto& phone = boot(std::move(options));
    ASSERT_FALSE(logContains("Substrate: not loading"));

    // Rendalo, loaded second, answers the banner.
    ASSERT_TRUE(phone.receiveSMS("+39 333 1234567", "Ci vediamo?"));
    ASSERT_TRUE(phone.tapView("bannerTitle"));
    phone.advance(1);
    ASSERT_TRUE(phone.tapView("sendButton"));
    phone.advance(1);
    ASSERT_TRUE(phone.type("Va bene"));
    ASSERT_TRUE(phone.tapView("sendButton"));
    phone.advance(1);
    bool smsSent = false;
    for (auto& row : chatkit::listMessages())
        smsSent = smsSent || (row.outgoing && row.text == "Va bene");
    EXPECT_TRUE(smsSent);

    ASSERT_TRUE(phone.receiveMail("giulia@example.com", "Documento", "Hai letto?"));
    ASSERT_TRUE(phone.tapView("bannerTitle"));
    phone.advance(1);
    ASSERT_TRUE(phone.tapView("sendButton"));
    phone.advance(1);
    ASSERT_TRUE(phone.type("Sì"));
    ASSERT_TRUE(phone.tapView("sendButton"));
    phone.advance(1);
    auto outbox = mail::listOutbox();
    ASSERT_EQ(outbox.size(), 1u);
    EXPECT_EQ(outbox[0].message.to, std::vector<std::string> { "giulia@example.com" });
    EXPECT_EQ(outbox[0].message.subject, "RE");

    // Two loggers, two files: Parlivo saw the bulletins, Rendalo answered.
    std::string parlivoLog = deviceFile("/var/mobile/Library/PLV/PLV.log");
    std::string rendaloLog = deviceFile("/var/mobile/Library/RDL/RDL.log");
    EXPECT_NE(parlivoLog.find("ADDBULLETIN"), std::string::npos);
    EXPECT_EQ(parlivoLog.find("Going to send"), std::string::npos);
    EXPECT_NE(rendaloLog.find("Going to send SMS"), std::string::npos);
    EXPECT_NE(rendaloLog.find("Going to send mail"), std::string::npos);
    EXPECT_EQ(rendaloLog.find("ADDBULLETIN"), std::string::npos);
}

// Rendalo asks a mail action for its real URL through Parlivo's launch-URL
// hook, so a sentinel Parlivo kept from a notification-centre row would tie
// the next mail to nothing, and its reply would go to the SMS sender.
TEST_F(BothLoaded, NotificationCentreRowsLeaveNoSentinelForTheNextMail)
{
    auto& phone = bootWithBoth();
    // An ordinary row, answered by Rendalo's window.
    ASSERT_TRUE(phone.receiveSMS(AnnasNumber, "Ciao"));
    phone.advance(10);
    ASSERT_TRUE(phone.openNotificationCenter());
    ASSERT_TRUE(phone.tapNotification(0));
    phone.advance(2);
    ASSERT_TRUE(phone.tapView("closeButton"));
    phone.advance(1);

    // Then a messages row whose bulletin carries no action: nobody asks for
    // its launch URL, so the tap alone must not leave a flag behind.
    auto row = chatkit::receiveSMS(AnnasNumber, "senza azione");
    ASSERT_TRUE(row);
    auto bulletin = runtime::cast<springboard::BBBulletin>(runtime::send<Id>(runtime::send<Id>(runtime::classNamed("BBBulletin"), "alloc"), "init"));
    ASSERT_TRUE(bulletin);
    runtime::send(bulletin, "setSectionID:", std::string("com.apple.MobileSMS"));
    runtime::send(bulletin, "setRecordID:", std::to_string(*row));
    runtime::send(bulletin, "setTitle:", std::string("Anna Rossi"));
    springboard::publishBulletin(bulletin);
    phone.advance(10);
    ASSERT_TRUE(phone.openNotificationCenter());
    phone.tapNotification(0);
    phone.advance(2);
    phone.tapView("closeButton");
    phone.advance(1);

    ASSERT_TRUE(phone.receiveMail("giulia@example.com", "Documento", "Hai letto?"));
    ASSERT_TRUE(phone.tapView("bannerTitle"));
    phone.advance(1);
    reply(phone, "Sì");
    auto outbox = mail::listOutbox();
    ASSERT_EQ(outbox.size(), 1u);
    EXPECT_EQ(outbox[0].message.to, std::vector<std::string> { "giulia@example.com" });
}

} // namespace
