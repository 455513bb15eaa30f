// Parlivo and Rendalo installed on one phone and loaded by its loader, as a
// phone with both packages boots: their hooks chain in load order, each
// writes its own log with its own logger, and every reply leaves the phone.
#include "springboard/PhoneFixture.h"

#include <chatkit/ChatKit.h>
#include <mail/MailOutbox.h>
#include <simulator/ProductInstall.h>

#include <fstream>
#include <sstream>

namespace {

std::string deviceFile(std::string_view devicePath)
{
    std::ifstream in(foundation::hostPath(devicePath), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class BothLoaded : public springboard_test::PhoneWithOneContact { };

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

} // namespace
