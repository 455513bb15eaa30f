// Replies from the panel: an SMS through the sender, an e-mail through the
// hidden composer, the system composers when the preferences ask for them,
// and every reply that does not leave keeping its text.
#include "RendaloFixture.h"

#include <foundation/FileFaults.h>
#include <runtime/Runtime.h>

#include <cerrno>

namespace rendalo_test {
using foundation::FileFault;
using foundation::FileOperation;
namespace {

    void ignoreSend(runtime::Object*, runtime::Sel, const Id&) { }

    class RendaloReplies : public RendaloTest { };

    TEST_F(RendaloReplies, EmailReplyLeavesAsMailToTheSender)
    {
        bootWithRendalo();
        openMail("luca@example.com", "Ci vediamo alle otto?");
        replyWith("Sì, a dopo");
        // The window waits for the composer, which sends without showing.
        EXPECT_EQ(rdl().status(), common::WindowStatus::Open);
        phone().advance(0.05);

        auto outbox = mail::listOutbox();
        ASSERT_EQ(outbox.size(), 1u);
        EXPECT_EQ(outbox[0].message.to, std::vector<std::string> { "luca@example.com" });
        EXPECT_EQ(outbox[0].message.subject, "RE");
        EXPECT_EQ(outbox[0].message.body, "Sì, a dopo");
        EXPECT_FALSE(outbox[0].message.bodyIsHTML);
        EXPECT_TRUE(logHasInOrder({ "Going to send mail", "tryMe", "bodyFinishedLoading", "mailComposeController delegate" }));

        // About a tenth of a second after the composer reported, it closes.
        EXPECT_EQ(rdl().status(), common::WindowStatus::Open);
        phone().advance(0.1);
        EXPECT_EQ(rdl().status(), common::WindowStatus::Closed);
        EXPECT_FALSE(window()->mfvcemail());
    }

    TEST_F(RendaloReplies, SMSReplyLandsInTheMessagesDatabase)
    {
        bootWithRendalo();
        openSMS("+39 333 1234567", "Ci sei?");
        replyWith("Arrivo");
        EXPECT_EQ(rdl().status(), common::WindowStatus::Closed);
        auto sent = sentRows();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].text, "Arrivo");
        EXPECT_EQ(sent[0].address, "+39 333 1234567");
        EXPECT_TRUE(logHasInOrder({ "We are going to reply to an SMS", "We are going to reply to an SMS with our", "Going to send SMS" }));
    }

    TEST_F(RendaloReplies, UnsentSMSKeepsTheTextAndSaysSo)
    {
        bootWithRendalo();
        openSMS("+39 333 1234567", "Ci sei?");
        runtime::ScopedClassRemoval noService("CKSMSService");
        replyWith("Arrivo");
        EXPECT_EQ(rdl().status(), common::WindowStatus::Open);
        EXPECT_EQ(window()->replyField()->text(), "Arrivo");
        ASSERT_TRUE(window()->sendFailureLabel());
        EXPECT_EQ(window()->sendFailureLabel()->text(), "Not sent, try again");
        EXPECT_TRUE(window()->sendFailureLabel()->superview());
        EXPECT_TRUE(logHas("Reply not sent: No Service"));
    }

    TEST_F(RendaloReplies, FacebookReplyKeepsTheTextAndSaysItCannotBeAnswered)
    {
        bootWithRendalo();
        openSMS("+39 333 1234567", "Da facebook");
        rdl().setStatus(common::WindowStatus::Closed);
        rdl().setLastMessageType("facebook");
        rdl().setStatus(common::WindowStatus::Open);
        ASSERT_TRUE(phone().tapView("sendButton"));
        EXPECT_EQ(rdl().status(), common::WindowStatus::Open) << "the compact panel of an unknown kind goes straight to sending";
        EXPECT_EQ(window()->sendFailureLabel()->text(), "Cannot be answered here");
        EXPECT_TRUE(logHas("Going to send facebook message"));
        EXPECT_TRUE(sentRows().empty());
        EXPECT_TRUE(mail::listOutbox().empty());
    }

    TEST_F(RendaloReplies, UserComposerFromPreferencesNeverSendsItself)
    {
        bootWithRendalo();
        writePreferences({ { "builtinEmail", "1" } });
        openMail("luca@example.com", "Scrivimi");
        ASSERT_TRUE(phone().tapView("sendButton"));
        phone().advance(1);
        EXPECT_TRUE(logHasInOrder({ "We are going to reply to an Email", "We are going to reply to an Email with builtin5", "bodyFinishedLoading" }));
        EXPECT_TRUE(mail::listOutbox().empty()) << "the composer shown to the user sent itself";
    }

    TEST_F(RendaloReplies, HiddenMailThatNeverReportsBackIsNotSent)
    {
        bootWithRendalo();
        springboard_test::HookSet hooks;
        void (*saved)(runtime::Object*, runtime::Sel, const Id&) = nullptr;
        hooks.install("MFMailComposeController", "send:", &ignoreSend, &saved);
        openMail("luca@example.com", "Ci sei?");
        replyWith("Sono qui");
        phone().advance(rendalo::QuickReplyViewController::HiddenMailTimeLimit - 1);
        EXPECT_EQ(rdl().status(), common::WindowStatus::Open);
        EXPECT_FALSE(window()->sendFailureLabel() && window()->sendFailureLabel()->superview());

        phone().advance(2);
        EXPECT_EQ(rdl().status(), common::WindowStatus::Open);
        EXPECT_EQ(window()->replyField()->text(), "Sono qui");
        EXPECT_EQ(window()->sendFailureLabel()->text(), "Mail not sent, try again");
        EXPECT_FALSE(window()->mfvcemail());
        EXPECT_TRUE(mail::listOutbox().empty());
        EXPECT_TRUE(logHas("Reply mail not sent: the mail composer did not report back"));

        // Sending again works once the composer does.
        phone().advance(1);
    }

    TEST_F(RendaloReplies, AMailReplyTheDiskRefusesKeepsTheTextAndSaysSo)
    {
        bootWithRendalo();
        openMail("luca@example.com", "Ci sei?");
        {
            foundation::ArmedFileFault full(FileFault::on(FileOperation::Write).always().withError(ENOSPC).onPath("/Mail/Outbox/"));
            replyWith("Sono qui");
            phone().advance(0.05);
        }
        EXPECT_EQ(rdl().status(), common::WindowStatus::Open);
        EXPECT_EQ(window()->replyField()->text(), "Sono qui");
        ASSERT_TRUE(window()->sendFailureLabel());
        EXPECT_EQ(window()->sendFailureLabel()->text(), "Mail not sent, try again");
        EXPECT_TRUE(mail::listOutbox().empty());
        EXPECT_TRUE(logHas("Reply mail not sent: the composer answered 3"));

        // Once there is room, the same text goes.
        ASSERT_TRUE(phone().tapView("sendButton"));
        phone().advance(0.05);
        ASSERT_EQ(mail::listOutbox().size(), 1u);
        EXPECT_EQ(mail::listOutbox()[0].message.body, "Sono qui");
    }

    TEST_F(RendaloReplies, BuiltinSMSComposerGetsTheSender)
    {
        bootWithRendalo();
        writePreferences({ { "builtinSMS", "1" } });
        openSMS("+39 333 1234567", "Componi");
        ASSERT_TRUE(phone().tapView("sendButton"));
        EXPECT_TRUE(logHasInOrder({ "We are going to reply to an SMS", "We are going to reply to an SMS using the builtin",
            "We are going to reply to an SMS using the builtin4" }));
        EXPECT_TRUE(window()->modalViewController());
    }

} // namespace
} // namespace rendalo_test

namespace rendalo_test {
namespace {

    TEST_F(RendaloReplies, TheReusedWindowAnswersAnSMSAfterAMail)
    {
        bootWithRendalo();
        openMail("luca@example.com", "Prima la posta");
        replyWith("Risposta");
        phone().advance(1);
        ASSERT_EQ(rdl().status(), common::WindowStatus::Closed);

        openSMS("+39 333 1234567", "Poi un SMS");
        EXPECT_EQ(window()->messageField()->text(), "Poi un SMS");
        replyWith("Arrivo");
        auto sent = sentRows();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].text, "Arrivo");
    }

} // namespace
} // namespace rendalo_test
