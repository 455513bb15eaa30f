#include "MessageUITestSupport.h"

#include <mail/MailOutbox.h>
#include <messageui/ComposeResults.h>
#include <messageui/MFMailComposeViewController.h>

using namespace messageui;
using namespace messageui_test;

namespace {

std::vector<uint8_t> logBytes()
{
    std::string text = "DEV:reloadPrefsNotification\nNORMAL:è andato\n";
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    bytes.push_back(0xFF);
    return bytes;
}

class MailComposer : public ComposerHost {
protected:
    // The settings application's bug report, built through the runtime.
    Id bugReport()
    {
        runtime::Class* cls = runtime::classNamed("MFMailComposeViewController");
        Id composer = runtime::send<Id>(runtime::send<Id>(cls, "alloc"), "init");
        runtime::send(composer, "setMailComposeDelegate:", Id(probe));
        runtime::send(composer, "setToRecipients:", std::vector<std::string> { "support@example.org" });
        runtime::send(composer, "setSubject:", std::string("PLV Bug report"));
        runtime::send(composer, "setMessageBody:isHTML:", std::string("Please write here<br><br>This device is iPhone<br>"), true);
        runtime::send(composer, "addAttachmentData:mimeType:fileName:", logBytes(), std::string("text/plain"), std::string("PLV.log"));
        return composer;
    }

    void present(const Id& composer)
    {
        runtime::send(host, "presentModalViewController:animated:", composer, true);
        settle();
    }
};

// What the quick reply window does when the body has loaded: press Send
// through the composer's private parts.
void pressSendThroughPrivateParts(const Id& composer)
{
    Id root = runtime::send<Id>(composer, "_rootViewController");
    Id item = runtime::objectIvar(root, "_sendButtonItem");
    ASSERT_TRUE(item);
    EXPECT_EQ(item->runtimeClassName(), "UIBarButtonItem");
    runtime::send(root, "send:", item);
}

TEST_F(MailComposer, SentMailLandsInTheOutboxWithItsAttachment)
{
    EXPECT_TRUE(runtime::send<bool>(runtime::classNamed("MFMailComposeViewController"), "canSendMail"));
    present(bugReport());
    EXPECT_EQ(probe->trace, "body:YES|");
    ASSERT_TRUE(tap("composeSendButton"));
    foundation::RunLoop::main().runPending();
    EXPECT_EQ(probe->trace, "body:YES|mail:2|");

    ASSERT_TRUE(device.exists("/var/mobile/Library/Mail/Outbox/1.eml"));
    auto outbox = mail::listOutbox();
    ASSERT_EQ(outbox.size(), 1u);
    const auto& sent = outbox[0].message;
    EXPECT_EQ(sent.from, "Mobile <mobile@example.com>");
    EXPECT_EQ(sent.to, std::vector<std::string> { "support@example.org" });
    EXPECT_EQ(sent.subject, "PLV Bug report");
    EXPECT_EQ(sent.date, testNow);
    EXPECT_FALSE(sent.messageID.empty());
    EXPECT_TRUE(sent.bodyIsHTML);
    EXPECT_EQ(sent.body, "Please write here<br><br>This device is iPhone<br>");
    ASSERT_EQ(sent.attachments.size(), 1u);
    EXPECT_EQ(sent.attachments[0].mimeType, "text/plain");
    EXPECT_EQ(sent.attachments[0].fileName, "PLV.log");
    EXPECT_EQ(sent.attachments[0].data, logBytes());
}

TEST_F(MailComposer, BodyLoadsAfterPresentationAndItsCallbackMaySend)
{
    Id composer = bugReport();
    probe->onBodyLoaded = [this](const Id& c) {
        probe->trace += "send|";
        pressSendThroughPrivateParts(c);
    };
    probe->onFinish = [](const Id&) { EXPECT_EQ(mail::listOutbox().size(), 1u) << "the mail is queued before the delegate hears"; };
    runtime::send(host, "presentModalViewController:animated:", composer, true);
    EXPECT_EQ(probe->trace, "") << "the body is built on a later turn of the run loop";
    foundation::RunLoop::main().runPending();
    EXPECT_EQ(probe->trace, "body:YES|send|mail:2|");
    settle();
    EXPECT_EQ(probe->trace, "body:YES|send|mail:2|") << "the body loads once";
}

TEST_F(MailComposer, HiddenComposerSendsWithoutBeingShown)
{
    // The reply-only library's e-mail reply: the composer's view parked off
    // screen in another view, never presented.
    runtime::Class* cls = runtime::classNamed("MFMailComposeViewController");
    Id composer = runtime::send<Id>(runtime::send<Id>(cls, "alloc"), "init");
    runtime::send(composer, "setMailComposeDelegate:", Id(probe));
    runtime::send(composer, "setToRecipients:", std::vector<std::string> { "anna@example.it" });
    runtime::send(composer, "setSubject:", std::string("RE"));
    runtime::send(composer, "setMessageBody:isHTML:", std::string("Arrivo!"), false);
    Id view = runtime::send<Id>(composer, "view");
    Id root = runtime::send<Id>(composer, "_rootViewController");
    Id composeView = runtime::send<Id>(root, "mailComposeView");
    ASSERT_TRUE(composeView);
    EXPECT_EQ(composeView->runtimeClassName(), "MFMailComposeView");
    runtime::send(view, "setFrame:", uikit::CGRectMake(600, 600, 100, 100));
    runtime::send(composeView, "setHidden:", true);
    runtime::send(host->view(), "addSubview:", view);
    probe->onBodyLoaded = pressSendThroughPrivateParts;

    foundation::RunLoop::main().runPending();
    foundation::RunLoop::main().runPending();
    EXPECT_EQ(probe->trace, "body:YES|mail:2|");
    auto outbox = mail::listOutbox();
    ASSERT_EQ(outbox.size(), 1u);
    EXPECT_EQ(outbox[0].message.to, std::vector<std::string> { "anna@example.it" });
    EXPECT_EQ(outbox[0].message.subject, "RE");
    EXPECT_FALSE(outbox[0].message.bodyIsHTML);
    EXPECT_EQ(outbox[0].message.body, "Arrivo!");
}

TEST_F(MailComposer, NoRecipientMeansNoMailAndAFailure)
{
    auto composer = MFMailComposeViewController::create();
    composer->setMailComposeDelegate(probe);
    composer->setToRecipients({ "" });
    composer->setSubject("s");
    host->presentModalViewController(composer, false);
    foundation::RunLoop::main().runPending();
    EXPECT_FALSE(composer->rootViewController()->sendButtonItem()->isEnabled());
    pressSendThroughPrivateParts(composer);
    foundation::RunLoop::main().runPending();
    EXPECT_EQ(probe->trace, "body:YES|mail:3|");
    EXPECT_EQ(composer->failureReason(), "No recipients");
    EXPECT_TRUE(mail::listOutbox().empty());

    pressSendThroughPrivateParts(composer);
    foundation::RunLoop::main().runPending();
    EXPECT_EQ(probe->trace, "body:YES|mail:3|") << "a finished composer stays finished";
}

TEST_F(MailComposer, SendingTwiceQueuesOneMail)
{
    Id composer = bugReport();
    probe->onBodyLoaded = [](const Id& c) {
        pressSendThroughPrivateParts(c);
        pressSendThroughPrivateParts(c);
    };
    present(composer);
    EXPECT_EQ(mail::listOutbox().size(), 1u);
    EXPECT_EQ(probe->trace, "body:YES|mail:2|");
}

TEST_F(MailComposer, TypedLinesReplaceWhatTheApplicationGave)
{
    auto composer = MFMailComposeViewController::create();
    composer->setMailComposeDelegate(probe);
    composer->setMessageBody("ciao", false);
    host->presentModalViewController(composer, false);
    foundation::RunLoop::main().runPending();
    ASSERT_TRUE(tap("mailToField"));
    ASSERT_TRUE(uikit::typeText("\"Rossi, Anna\" <anna@example.it>, bob@example.com"));
    EXPECT_TRUE(composer->rootViewController()->sendButtonItem()->isEnabled());
    ASSERT_TRUE(tap("mailSubjectField"));
    ASSERT_TRUE(uikit::typeText("Cena"));
    ASSERT_TRUE(tap("mailBodyView"));
    ASSERT_TRUE(uikit::typeText(" a tutti"));
    ASSERT_TRUE(tap("composeSendButton"));
    foundation::RunLoop::main().runPending();
    EXPECT_EQ(probe->trace, "body:YES|mail:2|");
    auto outbox = mail::listOutbox();
    ASSERT_EQ(outbox.size(), 1u);
    EXPECT_EQ(outbox[0].message.to, (std::vector<std::string> { "\"Rossi, Anna\" <anna@example.it>", "bob@example.com" }));
    EXPECT_EQ(outbox[0].message.subject, "Cena");
    EXPECT_EQ(outbox[0].message.body, "ciao a tutti");
}

TEST_F(MailComposer, CancelAsksWhatToDoWithTheDraft)
{
    present(bugReport());
    ASSERT_TRUE(tap("composeCancelButton"));
    foundation::RunLoop::main().runPending();
    EXPECT_EQ(probe->trace, "body:YES|") << "nothing is decided before the sheet is answered";
    auto root = runtime::cast<MFMailComposeViewController>(Id(host->modalViewController()))->rootViewController();
    ASSERT_TRUE(root->draftSheet());
    EXPECT_EQ(root->draftSheet()->buttonTitleAtIndex(0), "Delete Draft");
    EXPECT_EQ(root->draftSheet()->buttonTitleAtIndex(1), "Save Draft");
    root->draftSheet()->clickButtonAtIndex(1);
    foundation::RunLoop::main().runPending();
    EXPECT_EQ(probe->trace, "body:YES|mail:1|");
    auto drafts = mail::listDrafts();
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].message.attachments.size(), 1u);
    EXPECT_TRUE(mail::listOutbox().empty());
}

TEST_F(MailComposer, DeleteDraftIsACancel)
{
    present(bugReport());
    ASSERT_TRUE(tap("composeCancelButton"));
    auto root = runtime::cast<MFMailComposeViewController>(Id(host->modalViewController()))->rootViewController();
    ASSERT_TRUE(root->draftSheet());
    root->draftSheet()->clickButtonAtIndex(root->draftSheet()->destructiveButtonIndex());
    foundation::RunLoop::main().runPending();
    EXPECT_EQ(probe->trace, "body:YES|mail:0|");
    EXPECT_TRUE(mail::listDrafts().empty());
    EXPECT_TRUE(mail::listOutbox().empty());
}

TEST_F(MailComposer, AnUntouchedComposerCancelsAtOnce)
{
    auto composer = MFMailComposeViewController::create();
    composer->setMailComposeDelegate(probe);
    host->presentModalViewController(composer, false);
    foundation::RunLoop::main().runPending();
    ASSERT_TRUE(tap("composeCancelButton"));
    foundation::RunLoop::main().runPending();
    EXPECT_EQ(probe->trace, "body:YES|mail:0|");
    EXPECT_FALSE(composer->rootViewController()->draftSheet());
}

TEST_F(MailComposer, OddAttachmentsAndHugeBodiesStillMakeAMail)
{
    auto composer = MFMailComposeViewController::create();
    composer->setMailComposeDelegate(probe);
    composer->setToRecipients({ "support@example.org" });
    std::string body(4 << 20, 'b');
    composer->setMessageBody(body, false);
    composer->addAttachmentData({ 1, 2, 3 }, "image/jpeg", "../../../etc/passwd");
    composer->addAttachmentData({}, "", "");
    composer->addAttachmentData({ 4 }, "text/plain", "line\r\nBcc: spy@example.net");
    host->presentModalViewController(composer, false);
    foundation::RunLoop::main().runPending();
    pressSendThroughPrivateParts(composer);
    foundation::RunLoop::main().runPending();
    EXPECT_EQ(probe->trace, "body:YES|mail:2|");
    auto outbox = mail::listOutbox();
    ASSERT_EQ(outbox.size(), 1u);
    const auto& sent = outbox[0].message;
    EXPECT_TRUE(sent.body == body);
    EXPECT_TRUE(sent.bcc.empty());
    ASSERT_EQ(sent.attachments.size(), 3u);
    EXPECT_EQ(sent.attachments[0].fileName, "passwd");
    EXPECT_EQ(sent.attachments[0].data, (std::vector<uint8_t> { 1, 2, 3 }));
    EXPECT_EQ(sent.attachments[1].fileName, "attachment");
    EXPECT_EQ(sent.attachments[1].mimeType, "application/octet-stream");
    EXPECT_EQ(sent.attachments[2].fileName, "line  Bcc: spy@example.net");
}

TEST_F(MailComposer, WithoutAnAccountNothingCanBeSent)
{
    mail::setMailAccount(std::nullopt);
    EXPECT_FALSE(MFMailComposeViewController::canSendMail());
    Id composer = bugReport();
    probe->onBodyLoaded = pressSendThroughPrivateParts;
    present(composer);
    EXPECT_EQ(probe->trace, "body:YES|mail:3|");
    EXPECT_TRUE(mail::listOutbox().empty());
}

TEST_F(MailComposer, WithoutADelegateItDismissesItself)
{
    auto composer = MFMailComposeViewController::create();
    composer->setToRecipients({ "support@example.org" });
    host->presentModalViewController(composer, false);
    foundation::RunLoop::main().runPending();
    ASSERT_TRUE(tap("composeSendButton"));
    settle();
    EXPECT_FALSE(host->modalViewController());
    EXPECT_EQ(mail::listOutbox().size(), 1u);
}

} // namespace
