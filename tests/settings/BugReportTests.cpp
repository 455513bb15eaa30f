// The bug-report mail: composed with the support address, the subject, the
// device in the body and Parlivo's log attached, sent into the outbox and
// read back from there; a send that fails, a phone without a log and a phone
// without a mail account are each told to the user.
#include "SettingsFixture.h"

#include <mail/MailConfiguration.h>
#include <mail/MailFolder.h>
#include <mail/MailOutbox.h>
#include <messageui/MFMailComposeViewController.h>
#include <settings/BugReport.h>
#include <uikit/UIAlertView.h>

namespace settings_test {

class BugReport : public SettingsTest {
protected:
    void TearDown() override
    {
        mail::resetMailConfiguration();
        SettingsTest::TearDown();
    }

    Ref<messageui::MFMailComposeViewController> composeReport()
    {
        openSettings();
        tap("row-bug");
        return runtime::cast<messageui::MFMailComposeViewController>(presented());
    }

    static void writeLog(std::string_view text)
    {
        foundation::createDeviceDirectory("/var/mobile/Library/PLV", foundation::Intermediates::Yes);
        ASSERT_TRUE(foundation::writeDeviceFileAtomically(kelvane::PLVLogPath, text));
    }

    Ref<uikit::UIAlertView> alert()
    {
        auto button = viewNamed("alertButton0");
        return runtime::cast<uikit::UIAlertView>(button ? button->superview() : nullptr);
    }
};

TEST_F(BugReport, TheMailWithTheLogAttachedReachesTheOutbox)
{
    writeLog(" \n=== NEW SESSION ===\nNORMAL:reloadPrefsNotification");
    auto composer = composeReport();
    ASSERT_TRUE(composer);
    EXPECT_EQ(composer->modalTransitionStyle(), uikit::UIModalTransitionStyleFlipHorizontal);
    composer->sendMail();
    settle();
    EXPECT_FALSE(presented());
    EXPECT_FALSE(alert());

    auto outbox = mail::listOutbox();
    ASSERT_EQ(outbox.size(), 1u);
    const auto& sent = outbox[0].message;
    EXPECT_EQ(sent.to, (std::vector<std::string> { std::string(plvsettings::SupportAddress) }));
    EXPECT_EQ(sent.subject, "PLV Bug report");
    EXPECT_TRUE(sent.bodyIsHTML);
    auto device = uikit::UIDevice::currentDevice();
    EXPECT_EQ(sent.body,
        "Please write here a brief description of the problem<br><br>Automatically generated report from PLV follows:<br>This device is "
            + device->description() + "<br>Running iOS " + device->systemVersion() + "<br>UDID " + device->uniqueIdentifier() + "<br>");
    ASSERT_EQ(sent.attachments.size(), 1u);
    EXPECT_EQ(sent.attachments[0].fileName, "PLV.log");
    EXPECT_EQ(sent.attachments[0].mimeType, "text/plain");
    std::string attached(sent.attachments[0].data.begin(), sent.attachments[0].data.end());
    EXPECT_EQ(attached, " \n=== NEW SESSION ===\nNORMAL:reloadPrefsNotification");
}

TEST_F(BugReport, WithoutALogTheBodySaysSoAndNothingIsAttached)
{
    auto composer = composeReport();
    ASSERT_TRUE(composer);
    EXPECT_TRUE(composer->draft().attachments.empty());
    EXPECT_TRUE(composer->draft().body.ends_with(plvsettings::NoLogLine));
    composer->sendMail();
    settle();
    ASSERT_EQ(mail::listOutbox().size(), 1u);
}

TEST_F(BugReport, AFailedSendIsToldToTheUser)
{
    writeLog("log");
    auto composer = composeReport();
    ASSERT_TRUE(composer);
    // A file where the Outbox folder should be: the mail cannot be queued.
    foundation::createDeviceDirectory("/var/mobile/Library/Mail", foundation::Intermediates::Yes);
    ASSERT_TRUE(foundation::writeDeviceFileAtomically(mail::OutboxFolder, std::string_view("not a folder")));
    composer->sendMail();
    settle();
    EXPECT_FALSE(presented());
    auto shown = alert();
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->title(), "Bug report not sent");
}

TEST_F(BugReport, CancellingIsNotAFailure)
{
    auto composer = composeReport();
    ASSERT_TRUE(composer);
    composer->discardDraft();
    settle();
    EXPECT_FALSE(presented());
    EXPECT_FALSE(alert());
    EXPECT_TRUE(mail::listOutbox().empty());
}

TEST_F(BugReport, WithoutAMailAccountTheUserIsToldInsteadOfAComposer)
{
    bootPhone();
    mail::setMailAccount(std::nullopt);
    ASSERT_TRUE(phone().openApp("it.kelvane.plvsettings"));
    settle();
    tap("row-bug");
    EXPECT_FALSE(presented());
    auto shown = alert();
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->title(), "Cannot send mail");
}

} // namespace settings_test
