// What the compose window does with a written message: the counter and the
// Send state, the type toggle, the picture, and each send route over a real
// sms.db, with the failures the user must hear about.
#include "QuickComposeTestSupport.h"

#include <uikit/UIMenuController.h>

namespace quickcompose_test {
namespace {

    Ref<UIImage> picture()
    {
        Bitmap bitmap { 4, 4, std::vector<uint8_t>(4 * 4 * 4, 200) };
        return UIImage::imageWithBitmap(bitmap);
    }

    std::vector<std::string> addresses(const std::vector<chatkit::MessageSummary>& rows)
    {
        std::vector<std::string> result;
        for (auto& row : rows)
            result.push_back(row.address);
        return result;
    }

    std::vector<Id> partsOfRow(int64_t rowID)
    {
        Id stored = runtime::send<Id>(runtime::send<Id>(runtime::classNamed("CKDBMessage"), "alloc"), "initWithRecordID:", rowID);
        return runtime::send<std::vector<Id>>(stored, "messageParts");
    }

    std::string noticeOf(const Ref<QuickComposeViewController>& window)
    {
        auto label = window->noticeLabel();
        return label && label->superview() ? label->text() : std::string {};
    }

    using ComposeSending = QuickComposeTest;

    TEST_F(ComposeSending, TheCounterCountsUTF16UnitsAndDecidesWhetherSendIsPossible)
    {
        open();
        write("a");
        EXPECT_EQ(compose->contatore()->text(), "1/160");
        EXPECT_TRUE(compose->canSend());
        EXPECT_TRUE(compose->sendButton()->isEnabled());
        compose->replyField()->deleteBackward();
        EXPECT_EQ(compose->contatore()->text(), "0/160");
        EXPECT_FALSE(compose->sendButton()->isEnabled());
        compose->replyField()->insertText(std::string(198, 'x') + "😀");
        EXPECT_EQ(compose->contatore()->text(), "200/160");
        EXPECT_TRUE(compose->canSend());
    }

    TEST_F(ComposeSending, TheTypeButtonFlipsBetweenSMSAndIMessage)
    {
        // The first icon follows the kind of the last incoming message, the type does not.
        controller->type = "iMessage";
        open();
        EXPECT_EQ(sendIconPath(compose), "/Library/Application Support/PLV/SendIcon_im.png");
        EXPECT_EQ(compose->lastMessageType(), parlivo::MessageType::SMS);
        EXPECT_EQ(compose->typeOfmessageButton()->titleForState(UIControlStateNormal), "SMS");
        compose->typeOfmessageButton()->sendActionsForControlEvents(UIControlEventTouchUpInside);
        EXPECT_EQ(compose->lastMessageType(), parlivo::MessageType::IMessage);
        EXPECT_EQ(compose->typeOfmessageButton()->titleForState(UIControlStateNormal), "iM");
        EXPECT_EQ(sendIconPath(compose), "/Library/Application Support/PLV/SendIcon_im.png");
        EXPECT_EQ(sendIconPath(compose, UIControlStateDisabled), "/Library/Application Support/PLV/SendIcon_im.png");
        compose->typeOfmessageButton()->sendActionsForControlEvents(UIControlEventTouchUpInside);
        EXPECT_EQ(compose->lastMessageType(), parlivo::MessageType::SMS);
        EXPECT_EQ(compose->typeOfmessageButton()->titleForState(UIControlStateNormal), "SMS");
        EXPECT_EQ(sendIconPath(compose), "/Library/Application Support/PLV/SendIcon_sms.png");
        EXPECT_TRUE(logged("DEV:premuto il bottone del tipo messaggio"));
    }

    TEST_F(ComposeSending, ATypedNumberGoesBySMSOrIMessageToExactlyTheTypedText)
    {
        open();
        search("+39 328 555 1234");
        write("Ciao!");
        pressSend();
        auto sent = sentRows();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].kind, chatkit::MessageKind::SMS);
        EXPECT_EQ(sent[0].text, "Ciao!");
        EXPECT_TRUE(logged("DEV:Going to send SMS to -1"));
        EXPECT_TRUE(logged("DEV:Number typed in directly"));
        EXPECT_EQ(controller->closes, 1);

        open();
        compose->typeOfmessageButton()->sendActionsForControlEvents(UIControlEventTouchUpInside);
        search("amico@example.it");
        write("Ci sei?");
        pressSend();
        sent = sentRows();
        ASSERT_EQ(sent.size(), 2u);
        EXPECT_EQ(sent[1].kind, chatkit::MessageKind::IMessage);
        EXPECT_EQ(sent[1].address, "amico@example.it");
        EXPECT_TRUE(logged("DEV:iMsg Number typed in directly"));
        EXPECT_EQ(controller->closes, 2);
    }

    TEST_F(ComposeSending, AChosenPersonGetsTheMessageAndTheWindowCloses)
    {
        open();
        search("carla");
        choose(0);
        write("A domani");
        pressSend();
        auto sent = sentRows();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].text, "A domani");
        EXPECT_TRUE(logged("DEV:Going to send SMS to 06 1234567"));
        EXPECT_FALSE(compose->destNumber());
        EXPECT_EQ(controller->closes, 1);
    }

    TEST_F(ComposeSending, AGroupGetsOneSMSPerNumberAndEveryContactIsLogged)
    {
        open();
        search("calcetto");
        choose(0);
        write("Giovedì alle 21");
        pressSend();
        auto sent = sentRows();
        EXPECT_EQ(sent.size(), 2u);
        for (auto& row : sent)
            EXPECT_EQ(row.kind, chatkit::MessageKind::SMS);
        for (auto contact : { "3281234000", "3281234001", "niccolo@example.it" })
            EXPECT_TRUE(logged(std::string("DEV:") + contact)) << contact;
        EXPECT_EQ(controller->closes, 1);
    }

    TEST_F(ComposeSending, AGroupByIMessageReachesEveryMemberInsteadOfAFakeSend)
    {
        open();
        compose->typeOfmessageButton()->sendActionsForControlEvents(UIControlEventTouchUpInside);
        search("calcetto");
        choose(0);
        write("Partita!");
        pressSend();
        auto sent = sentRows();
        ASSERT_EQ(sent.size(), 3u);
        for (auto& row : sent)
            EXPECT_EQ(row.kind, chatkit::MessageKind::IMessage);
        EXPECT_EQ(controller->closes, 1);
    }

    TEST_F(ComposeSending, AGroupNobodyCanGetKeepsTheWindowAndSaysSo)
    {
        open();
        search("vuoto");
        choose(0);
        write("Qualcuno?");
        pressSend();
        EXPECT_TRUE(sentRows().empty());
        EXPECT_EQ(controller->closes, 0);
        EXPECT_EQ(noticeOf(compose), QuickComposeViewController::NoMembersText);
    }

    TEST_F(ComposeSending, AFailedSendKeepsTheWindowAndTheTextAndTellsTheUser)
    {
        chatkit::setMadridEnabled(false);
        open();
        compose->typeOfmessageButton()->sendActionsForControlEvents(UIControlEventTouchUpInside);
        search("anna");
        choose(0);
        write("Non perderti");
        pressSend();
        EXPECT_TRUE(sentRows().empty());
        EXPECT_EQ(controller->closes, 0);
        EXPECT_EQ(compose->replyField()->text(), "Non perderti");
        EXPECT_EQ(noticeOf(compose), "Not sent, try again");
        // Changing the text takes the note away; the window is still usable.
        compose->replyField()->insertText("!");
        EXPECT_EQ(noticeOf(compose), "");
    }

    TEST_F(ComposeSending, AGroupSendThatPartlyFailsKeepsOnlyTheFailedMembers)
    {
        open();
        search("calcetto");
        choose(0);
        write("Riprova");
        // The second member's number cannot be reached: no entity for it.
        Id (*saved)(runtime::Object*, runtime::Sel, const std::string&) = nullptr;
        static Id (*s_saved)(runtime::Object*, runtime::Sel, const std::string&) = nullptr;
        auto refuse = +[](runtime::Object* self, runtime::Sel selector, const std::string& address) -> Id {
            return address == "3281234001" ? runtime::nil : s_saved(self, selector, address);
        };
        ASSERT_EQ(runtime::hookMessage(runtime::classNamed("CKSMSService"), "copyEntityForAddressString:", refuse, &saved), runtime::HookResult::Ok);
        s_saved = saved;
        pressSend();
        runtime::revertHook(runtime::classNamed("CKSMSService"), "copyEntityForAddressString:", refuse, saved);

        EXPECT_EQ(addresses(sentRows()), (std::vector<std::string> { "3281234000" }));
        EXPECT_EQ(controller->closes, 0);
        ASSERT_TRUE(compose->membri());
        ASSERT_EQ(compose->membri()->size(), 1u);
        EXPECT_EQ(compose->membri()->at(0).find("contact")->stringValue(), "3281234001");

        pressSend();
        EXPECT_EQ(sentRows().size(), 2u);
        EXPECT_EQ(controller->closes, 1);
    }

    TEST_F(ComposeSending, APictureWaitsForIMessageAndIsNeverDroppedSilently)
    {
        open();
        search("anna");
        choose(0);
        write("Guarda");
        compose->imagePickerDidFinish(runtime::nil, picture());
        EXPECT_TRUE(compose->hasAttachment());
        EXPECT_EQ(compose->attachmentButton()->superview(), compose->bgView());
        EXPECT_EQ(noticeOf(compose), QuickComposeViewController::PictureNeedsIMessageText);
        EXPECT_EQ(UIMenuController::sharedMenuController()->menuItems().at(0)->title(), "Remove attachment");

        pressSend();
        EXPECT_TRUE(sentRows().empty());
        EXPECT_EQ(controller->closes, 0);

        compose->typeOfmessageButton()->sendActionsForControlEvents(UIControlEventTouchUpInside);
        EXPECT_EQ(noticeOf(compose), "");
        pressSend();
        auto sent = sentRows();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].kind, chatkit::MessageKind::IMessage);
        EXPECT_EQ(partsOfRow(sent[0].rowID).size(), 2u);
        EXPECT_EQ(controller->closes, 1);
    }

    TEST_F(ComposeSending, ARemovedPictureIsNotSent)
    {
        open();
        compose->typeOfmessageButton()->sendActionsForControlEvents(UIControlEventTouchUpInside);
        search("anna");
        choose(0);
        write("Solo testo");
        compose->imagePickerDidFinish(runtime::nil, picture());
        runtime::send(compose, "removeAnyAttachment");
        EXPECT_FALSE(compose->attachmentButton()->superview());
        EXPECT_EQ(UIMenuController::sharedMenuController()->menuItems().at(0)->title(), "Attach picture");
        pressSend();
        auto sent = sentRows();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(partsOfRow(sent[0].rowID).size(), 1u);
    }

    TEST_F(ComposeSending, NothingIsSentBeforeTheFirstEdit)
    {
        open();
        search("anna");
        choose(0);
        pressSend();
        runtime::send(compose, "sendMessage");
        EXPECT_TRUE(sentRows().empty());
        EXPECT_EQ(controller->closes, 0);
    }

} // namespace
} // namespace quickcompose_test
