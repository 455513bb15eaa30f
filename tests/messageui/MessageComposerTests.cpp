#include "MessageUITestSupport.h"

#include <messageui/ComposeResults.h>
#include <messageui/MFMessageComposeViewController.h>

using namespace messageui;
using namespace messageui_test;

namespace {

class MessageComposer : public ComposerHost {
protected:
    // As an application opens it: through the runtime, by class name.
    Id open(std::vector<std::string> recipients, std::string body)
    {
        runtime::Class* cls = runtime::classNamed("MFMessageComposeViewController");
        Id composer = runtime::send<Id>(runtime::send<Id>(cls, "alloc"), "init");
        runtime::send(composer, "setMessageComposeDelegate:", Id(probe));
        runtime::send(composer, "setRecipients:", recipients);
        runtime::send(composer, "setBody:", body);
        runtime::send(host, "presentModalViewController:animated:", composer, true);
        settle();
        return composer;
    }
};

TEST_F(MessageComposer, SendStoresTheSMSAndTellsTheDelegate)
{
    EXPECT_TRUE(runtime::send<bool>(runtime::classNamed("MFMessageComposeViewController"), "canSendText"));
    Id composer = open({ "+39 333 1234567" }, "On my way");
    ASSERT_TRUE(onScreen("composeRecipientsField"));
    EXPECT_EQ(runtime::cast<uikit::UITextField>(onScreen("composeRecipientsField"))->text(), "+39 333 1234567");
    EXPECT_EQ(runtime::cast<uikit::UITextView>(onScreen("composeBodyView"))->text(), "On my way");

    ASSERT_TRUE(tap("composeSendButton"));
    EXPECT_EQ(probe->trace, "") << "the delegate hears on the next turn of the run loop";
    foundation::RunLoop::main().runPending();
    EXPECT_EQ(probe->trace, "message:1|");
    EXPECT_EQ(probe->lastComposer, composer);

    auto rows = chatkit::listMessages();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].address, "+39 333 1234567");
    EXPECT_EQ(rows[0].text, "On my way");
    EXPECT_TRUE(rows[0].outgoing);
    EXPECT_EQ(sqlInteger("SELECT is_madrid FROM message"), 0);

    EXPECT_TRUE(tap("composeSendButton"));
    foundation::RunLoop::main().runPending();
    EXPECT_EQ(chatkit::listMessages().size(), 1u) << "one composer sends once";
    EXPECT_EQ(probe->trace, "message:1|");
}

TEST_F(MessageComposer, CancelSendsNothingAndReportsCancelled)
{
    open({ "5550100" }, "draft");
    ASSERT_TRUE(tap("composeCancelButton"));
    foundation::RunLoop::main().runPending();
    EXPECT_EQ(probe->trace, "message:0|");
    EXPECT_TRUE(chatkit::listMessages().empty());
}

TEST_F(MessageComposer, TypedRecipientsAndTextAreWhatIsSent)
{
    Id composer = open({}, "");
    auto send = runtime::cast<uikit::UIButton>(onScreen("composeSendButton"));
    ASSERT_TRUE(send);
    EXPECT_FALSE(send->isEnabled()) << "nothing to send yet";
    tap("composeSendButton");
    foundation::RunLoop::main().runPending();
    EXPECT_EQ(probe->trace, "");

    ASSERT_TRUE(tap("composeRecipientsField"));
    ASSERT_TRUE(uikit::typeText("5550100, ;5550101"));
    EXPECT_FALSE(send->isEnabled()) << "still no text";
    ASSERT_TRUE(tap("composeBodyView"));
    ASSERT_TRUE(uikit::typeText("Ciao a tutti"));
    EXPECT_TRUE(send->isEnabled());
    EXPECT_EQ(runtime::send<std::vector<std::string>>(composer, "recipients"), (std::vector<std::string> { "5550100", "5550101" }));
    EXPECT_EQ(runtime::send<std::string>(composer, "body"), "Ciao a tutti");

    ASSERT_TRUE(tap("composeSendButton"));
    foundation::RunLoop::main().runPending();
    EXPECT_EQ(probe->trace, "message:1|");
    auto rows = chatkit::listMessages();
    ASSERT_EQ(rows.size(), 2u) << "one sent row per recipient";
    EXPECT_EQ(rows[0].address, "5550100");
    EXPECT_EQ(rows[1].address, "5550101");
    EXPECT_EQ(sqlInteger("SELECT COUNT(DISTINCT group_id) FROM message"), 1) << "in one shared conversation";
}

TEST_F(MessageComposer, BlankRecipientsCannotSend)
{
    auto composer = MFMessageComposeViewController::create();
    composer->setRecipients({ "", "  " });
    composer->setBody("text");
    EXPECT_FALSE(composer->canSend());
    composer->send();
    foundation::RunLoop::main().runPending();
    EXPECT_FALSE(composer->isFinished());
    EXPECT_TRUE(chatkit::listMessages().empty());
}

TEST_F(MessageComposer, HugeTextIsSentWhole)
{
    std::string text(1 << 20, 'y');
    open({ "5550100" }, text);
    ASSERT_TRUE(tap("composeSendButton"));
    foundation::RunLoop::main().runPending();
    EXPECT_EQ(probe->trace, "message:1|");
    auto rows = chatkit::listMessages();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0].text == text);
}

TEST_F(MessageComposer, WithoutTheSMSServiceSendingFails)
{
    open({ "5550100" }, "text");
    {
        runtime::ScopedClassRemoval absent("CKSMSService");
        EXPECT_FALSE(MFMessageComposeViewController::canSendText());
        ASSERT_TRUE(tap("composeSendButton"));
    }
    foundation::RunLoop::main().runPending();
    EXPECT_EQ(probe->trace, "message:2|");
    EXPECT_TRUE(chatkit::listMessages().empty());
}

TEST_F(MessageComposer, WithoutADatabaseSendingFails)
{
    open({ "5550100" }, "text");
    chatkit::useDatabase(device.host("/var/mobile/Library/SMS/missing.db"));
    ASSERT_TRUE(tap("composeSendButton"));
    foundation::RunLoop::main().runPending();
    EXPECT_EQ(probe->trace, "message:2|") << "a message the service could not store is no sent message";
}

TEST_F(MessageComposer, ADelegateThatRemovesTheViewClosesIt)
{
    // What the quick reply window does: take the composer's view off the screen.
    probe->onFinish = [](const Id& composer) { runtime::send(runtime::send<Id>(composer, "view"), "removeFromSuperview"); };
    open({ "5550100" }, "text");
    tap("composeCancelButton");
    foundation::RunLoop::main().runPending();
    EXPECT_FALSE(onScreen("composeSendButton"));
}

TEST_F(MessageComposer, WithoutADelegateItDismissesItself)
{
    auto composer = MFMessageComposeViewController::create();
    composer->setRecipients({ "5550100" });
    composer->setBody("text");
    host->presentModalViewController(composer, false);
    ASSERT_TRUE(onScreen("composeSendButton"));
    tap("composeSendButton");
    settle();
    EXPECT_FALSE(onScreen("composeSendButton"));
    EXPECT_FALSE(host->modalViewController());
    EXPECT_EQ(chatkit::listMessages().size(), 1u);
}

TEST_F(MessageComposer, ADelegateThatRaisesDoesNotStopTheRunLoop)
{
    probe->onFinish = [](const Id&) { throw runtime::ObjCException("NSInternalInconsistencyException", "boom"); };
    open({ "5550100" }, "text");
    tap("composeCancelButton");
    EXPECT_NO_THROW(foundation::RunLoop::main().runPending());
    EXPECT_EQ(probe->trace, "message:0|");
}

TEST(RecipientLine, SplitsOnCommasAndSemicolons)
{
    EXPECT_EQ(splitRecipientLine(" 5550100 ,5550101;; 5550102 "), (std::vector<std::string> { "5550100", "5550101", "5550102" }));
    EXPECT_TRUE(splitRecipientLine("").empty());
    EXPECT_TRUE(splitRecipientLine(" , ; ").empty());
}

} // namespace
