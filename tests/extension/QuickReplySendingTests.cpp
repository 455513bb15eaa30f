// The main button's routes, sending through the message sender, the system
// composers with their closing timers, the picture attachment and the
// preview of a received picture.
#include "QuickReplyTestSupport.h"
#include "springboard/PhoneFixture.h"

#include <chatkit/ChatKit.h>
#include <common/MailComposerSend.h>
#include <extension/KelvaneMessageSender.h>

#include <messageui/MFMailComposeViewController.h>
#include <messageui/MFMessageComposeViewController.h>
#include <messageui/MessageUIClasses.h>
#include <messageui/QLPreviewController.h>
#include <runtime/Exception.h>
#include <uikit/UIImagePickerController.h>
#include <uikit/UIMenuController.h>

namespace quickreply_test {
namespace {

    // What SpringBoard's messaging frameworks left in sms.db: the replies sent.
    std::vector<chatkit::MessageSummary> sentRows()
    {
        std::vector<chatkit::MessageSummary> sent;
        for (auto& row : chatkit::listMessages())
            if (row.outgoing)
                sent.push_back(row);
        return sent;
    }

    // The parts of a stored message, as the phone reads them back.
    std::vector<Id> partsOfRow(int64_t rowID)
    {
        Id stored = runtime::send<Id>(runtime::send<Id>(runtime::classNamed("CKDBMessage"), "alloc"), "initWithRecordID:", rowID);
        return runtime::send<std::vector<Id>>(stored, "messageParts");
    }

    Id (*s_savedNewSMS)(runtime::Object*, runtime::Sel, const std::string&, const Id&) = nullptr;
    Id raiseOnNewSMS(runtime::Object*, runtime::Sel, const std::string&, const Id&)
    {
        throw runtime::ObjCException("NSInvalidArgumentException", "no SIM card");
    }

    class QuickReplyTestMediaPart : public runtime::Object {
        PLV_CLASS(QuickReplyTestMediaPart, runtime::Object)
    public:
        static void registerMethods(runtime::ClassBuilder<QuickReplyTestMediaPart>& b)
        {
            b.method("mediaObject", [](QuickReplyTestMediaPart& self) -> Id { return self.media; });
        }
        Id media;
    };

    class Replying : public QuickReplyTest {
    protected:
        void SetUp() override
        {
            QuickReplyTest::SetUp();
            messageui::registerMessageUIClasses();
            auto created = chatkit::createDatabase(device->host(chatkit::smsDatabaseDevicePath));
            ASSERT_TRUE(created) << created.reason();
            chatkit::registerChatKitClasses();
            chatkit::resetConfiguration();
            chatkit::resetChatKitObjects();
            chatkit::useDeviceDatabase();
            parlivo::KelvaneMessageSender::classObject();
        }

        void TearDown() override
        {
            chatkit::closeDatabase();
            chatkit::resetChatKitObjects();
            chatkit::resetConfiguration();
            QuickReplyTest::TearDown();
        }

        void typeAndSend(const std::string& text)
        {
            show();
            runtime::send(window, "sendMessage");
            loop().advance(1);
            ASSERT_TRUE(window->replyMode());
            window->replyField()->insertText(text);
            window->sendButton()->sendActionsForControlEvents(UIControlEventTouchUpInside);
        }

        std::vector<std::string> logSince(const std::string& first) const
        {
            auto entries = logEntries();
            auto start = std::find(entries.begin(), entries.end(), first);
            return { start, entries.end() };
        }

        std::vector<uint8_t> pngBytes()
        {
            Bitmap bitmap { 4, 4, std::vector<uint8_t>(4 * 4 * 4, 200) };
            return UIImagePNGRepresentation(UIImage::imageWithBitmap(bitmap));
        }
    };

    using Routes = Replying;

    TEST_F(Routes, SmsWithoutTheSwitchEnlargesThePanel)
    {
        controller->setPreference("builtinSMS", std::string("0"));
        show();
        runtime::send(window, "sendMessage");
        EXPECT_TRUE(window->replyMode());
        EXPECT_EQ(window->modalViewController(), nullptr);
        EXPECT_EQ(logSince("DEV:Prefs: 1"),
            (std::vector<std::string> { "DEV:Prefs: 1", "DEV:We are going to reply to an SMS", "DEV:We are going to reply to an SMS with our" }));
        EXPECT_TRUE(sentRows().empty());
    }

    TEST_F(Routes, IMessageInAnyCaseWithTheSwitchOpensTheMessageComposer)
    {
        controller->type = "IMESSAGE";
        controller->setPreference("builtinSMS", std::string("1"));
        show();
        runtime::send(window, "sendMessage");
        auto composer = runtime::cast<messageui::MFMessageComposeViewController>(window->modalViewController());
        ASSERT_NE(composer, nullptr);
        EXPECT_EQ(composer->recipients(), std::vector<std::string> { controller->address });
        EXPECT_EQ(composer->messageComposeDelegate(), Id(window));
        EXPECT_EQ(controller->bannerOnlyCloses, 1);
        EXPECT_EQ(controller->closes, 0);
        EXPECT_FALSE(window->replyMode());
        EXPECT_EQ(logSince("DEV:We are going to reply to an SMS"),
            (std::vector<std::string> { "DEV:We are going to reply to an SMS", "DEV:We are going to reply to an SMS using the builtin",
                "DEV:We are going to reply to an SMS using the builtin2", "DEV:We are going to reply to an SMS using the builtin3",
                "DEV:We are going to reply to an SMS using the builtin4" }));
    }

    TEST_F(Routes, IMessageInAnyCaseWithTheSwitchOffIsTypedInThePanelAndSentAsOne)
    {
        controller->type = "iMeSSage";
        controller->setPreference("builtinSMS", std::string("0"));
        show();
        runtime::send(window, "sendMessage");
        EXPECT_TRUE(window->replyMode()) << "Reply enlarges the panel";
        EXPECT_EQ(window->modalViewController(), nullptr);
        EXPECT_EQ(controller->bannerOnlyCloses, 0);
        typeAndSend("Arrivo");
        auto sent = sentRows();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].kind, chatkit::MessageKind::IMessage);
        EXPECT_EQ(sent[0].text, "Arrivo");
        EXPECT_EQ(controller->closes, 1);
    }

    TEST_F(Routes, OnlyTheOneCharacterStringOneTurnsASwitchOn)
    {
        for (auto value : { foundation::PlistValue(std::string("yes")), foundation::PlistValue(std::string("true")), foundation::PlistValue(std::string("11")),
                 foundation::PlistValue(std::string(" 1")), foundation::PlistValue(int64_t(1)), foundation::PlistValue(true) }) {
            controller->setPreference("builtinSMS", value);
            show();
            runtime::send(window, "sendMessage");
            EXPECT_TRUE(window->replyMode());
            EXPECT_EQ(window->modalViewController(), nullptr);
            EXPECT_EQ(controller->bannerOnlyCloses, 0);
            runtime::send(window, "dismiss");
        }
    }

    TEST_F(Routes, EmailWithTheSwitchOpensTheMailComposerToSupport)
    {
        controller->type = "Email";
        controller->setPreference("builtinEmail", std::string("1"));
        show();
        runtime::send(window, "sendMessage");
        auto composer = runtime::cast<messageui::MFMailComposeViewController>(window->modalViewController());
        ASSERT_NE(composer, nullptr);
        EXPECT_EQ(composer->draft().to, std::vector<std::string> { QuickReplyViewController::SupportAddress });
        EXPECT_EQ(controller->bannerOnlyCloses, 1);
        auto entries = logSince("DEV:We are going to reply to an Email");
        ASSERT_GE(entries.size(), 6u);
        EXPECT_EQ(std::vector<std::string>(entries.begin(), entries.begin() + 6),
            (std::vector<std::string> { "DEV:We are going to reply to an Email", "DEV:We are going to reply to an Email with builtin",
                "DEV:We are going to reply to an Email with builtin2", "DEV:We are going to reply to an Email with builtin3",
                "DEV:We are going to reply to an Email with builtin4", "DEV:We are going to reply to an Email with builtin5" }));
    }

    TEST_F(Routes, EmailTypedInThePanelIsNotSentAndStaysOpen)
    {
        controller->type = "email";
        show();
        runtime::send(window, "sendMessage");
        loop().advance(1);
        EXPECT_TRUE(logged("DEV:We are going to reply to an Email with our"));
        window->replyField()->insertText("grazie");
        runtime::send(window, "sendMessage");
        EXPECT_TRUE(sentRows().empty());
        EXPECT_EQ(controller->closes, 0);
        EXPECT_TRUE(window->replyMode());
    }

    TEST_F(Routes, AnUnknownKindSendsNothingAndCloses)
    {
        controller->type = "fax";
        show();
        runtime::send(window, "sendMessage");
        EXPECT_TRUE(sentRows().empty());
        EXPECT_EQ(controller->closes, 1);
        EXPECT_FALSE(window->replyMode());
    }

    TEST_F(Routes, WithoutAComposerTheReplyIsTypedInThePanel)
    {
        controller->setPreference("builtinSMS", std::string("1"));
        runtime::ScopedClassRemoval gone("MFMessageComposeViewController");
        show();
        runtime::send(window, "sendMessage");
        EXPECT_TRUE(window->replyMode());
        EXPECT_EQ(controller->bannerOnlyCloses, 0);
    }

    TEST_F(Routes, WithoutAMailComposerTheEmailReplyIsTypedInThePanel)
    {
        controller->type = "email";
        controller->setPreference("builtinEmail", std::string("1"));
        runtime::ScopedClassRemoval gone("MFMailComposeViewController");
        show();
        runtime::send(window, "sendMessage");
        EXPECT_TRUE(window->replyMode());
        EXPECT_EQ(window->modalViewController(), nullptr);
        EXPECT_EQ(controller->bannerOnlyCloses, 0) << "the banner stays until the reply is done";
        EXPECT_TRUE(logged("SEVERE:No mail composer, replying in the panel"));
        EXPECT_FALSE(logged("DEV:We are going to reply to an Email with builtin2"));
    }

    using Sending = Replying;

    TEST_F(Sending, AnSmsGoesToTheSenderAndClosesEverything)
    {
        typeAndSend("Arrivo!");
        auto sent = sentRows();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].kind, chatkit::MessageKind::SMS);
        EXPECT_EQ(sent[0].text, "Arrivo!");
        EXPECT_EQ(sent[0].address, controller->address);
        auto entries = logSince("DEV:Going to send SMS");
        ASSERT_GE(entries.size(), 2u);
        EXPECT_EQ(entries[1], "DEV:KelvaneMessageSender sendMessage");
        EXPECT_EQ(controller->closes, 1);
        EXPECT_FALSE(window->replyMode());
    }

    TEST_F(Sending, AnEmptyReplyIsRefusedSilently)
    {
        show();
        runtime::send(window, "sendMessage");
        runtime::send(window, "sendMessage");
        EXPECT_TRUE(sentRows().empty());
        EXPECT_EQ(controller->closes, 0);
    }

    TEST_F(Sending, ALongMixedReplyGoesInOnePieceUnchanged)
    {
        std::string text;
        while (text.size() < 10000)
            text += "Ciao 😀 שלום ";
        typeAndSend(text);
        auto sent = sentRows();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].text, text);
    }

    TEST_F(Sending, ARefusedSmsKeepsThePanelTheTextAndSaysSo)
    {
        std::optional<runtime::ScopedClassRemoval> noService(std::in_place, "CKSMSService");
        typeAndSend("Non perdermi");
        EXPECT_EQ(controller->closes, 0);
        EXPECT_TRUE(window->replyMode());
        EXPECT_EQ(window->replyField()->text(), "Non perdermi");
        ASSERT_NE(window->sendFailureLabel(), nullptr);
        EXPECT_EQ(window->sendFailureLabel()->superview(), window->view());
        EXPECT_EQ(window->sendFailureLabel()->text(), "Not sent, try again");
        EXPECT_TRUE(logged("CRITICAL:Reply not sent: No Service"));

        // Editing clears the notice; a later send that works closes as usual.
        window->replyField()->insertText("!");
        EXPECT_EQ(window->sendFailureLabel()->superview(), nullptr);
        noService.reset();
        runtime::send(window, "sendMessage");
        EXPECT_EQ(controller->closes, 1);
        ASSERT_EQ(sentRows().size(), 1u);
        EXPECT_EQ(sentRows()[0].text, "Non perdermi!");
    }

    TEST_F(Sending, APlatformExceptionIsAFailedSendNotACrash)
    {
        springboard_test::HookSet hooks;
        hooks.install("CKSMSService", "_newSMSMessageWithText:forConversation:", &raiseOnNewSMS, &s_savedNewSMS);
        typeAndSend("Eccezione");
        EXPECT_EQ(controller->closes, 0);
        EXPECT_EQ(window->replyField()->text(), "Eccezione");
        EXPECT_TRUE(logged("CRITICAL:Reply failed with an exception: NSInvalidArgumentException: no SIM card"));
        EXPECT_TRUE(logged("CRITICAL:Reply not sent: EXCEPTION"));
    }

    TEST_F(Sending, WithoutASenderNothingLooksSent)
    {
        runtime::ScopedClassRemoval gone("KelvaneMessageSender");
        typeAndSend("Nessuno");
        EXPECT_EQ(controller->closes, 0);
        EXPECT_TRUE(logged("CRITICAL:Reply not sent: NO SENDER"));
    }

    TEST_F(Sending, AnIMessageGoesAsTextOnly)
    {
        controller->type = "iMessage";
        typeAndSend("Visto");
        auto sent = sentRows();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].kind, chatkit::MessageKind::IMessage);
        EXPECT_EQ(sent[0].text, "Visto");
        EXPECT_EQ(partsOfRow(sent[0].rowID).size(), 1u);
        EXPECT_EQ(controller->closes, 1);
    }

    TEST_F(Sending, ASkippedIMessageKeepsThePanelAndTheText)
    {
        controller->type = "iMessage";
        chatkit::setMadridEnabled(false);
        typeAndSend("Forse");
        EXPECT_EQ(controller->closes, 0);
        EXPECT_EQ(window->replyField()->text(), "Forse");
        EXPECT_TRUE(logged("CRITICAL:Reply not sent: No Service"));
        EXPECT_TRUE(sentRows().empty());
    }

    using Composers = Replying;

    TEST_F(Composers, CancellingTheMessageComposerClosesAfterAThirdOfASecond)
    {
        controller->setPreference("builtinSMS", std::string("1"));
        show();
        runtime::send(window, "sendMessage");
        auto composer = runtime::cast<messageui::MFMessageComposeViewController>(window->modalViewController());
        ASSERT_NE(composer, nullptr);
        loop().advance(0.5);
        composer->cancel();
        loop().runPending();
        EXPECT_TRUE(logged("DEV:messageComposeViewController delegate"));
        loop().advance(0.29);
        EXPECT_EQ(controller->closes, 0);
        loop().advance(0.02);
        EXPECT_EQ(controller->closes, 1);
    }

    TEST_F(Composers, TheSupportMailComposerWaitsForTheUserAndClosesAfterATenthOfASecond)
    {
        controller->type = "email";
        controller->setPreference("builtinEmail", std::string("1"));
        show();
        runtime::send(window, "sendMessage");
        auto composer = runtime::cast<messageui::MFMailComposeViewController>(window->modalViewController());
        ASSERT_NE(composer, nullptr);
        loop().advance(0.5);
        ASSERT_TRUE(composer->isBodyLoaded());
        EXPECT_FALSE(composer->isFinished()) << "the mail the user is shown is the user's to send";
        EXPECT_EQ(logSince("DEV:bodyFinishedLoading"), std::vector<std::string> { "DEV:bodyFinishedLoading" });
        EXPECT_EQ(controller->closes, 0);

        composer->sendMail();
        loop().runPending();
        EXPECT_TRUE(logged("DEV:mailComposeController delegate"));
        int before = controller->closes;
        loop().advance(0.09);
        EXPECT_EQ(controller->closes, before);
        loop().advance(0.02);
        EXPECT_EQ(controller->closes, before + 1);
    }

    TEST_F(Composers, ABodyCallbackWithoutAComposerStopsQuietly)
    {
        show();
        runtime::send(window, "mailComposeController:bodyFinishedLoadingWithResult:error:", runtime::nil, true, runtime::nil);
        EXPECT_EQ(logSince("DEV:bodyFinishedLoading"), std::vector<std::string> { "DEV:bodyFinishedLoading" }) << "a nil composer ends it at once";
        // An object that is no composer of the window's: left alone.
        runtime::send(window, "mailComposeController:bodyFinishedLoadingWithResult:error:", Id(controller), true, runtime::nil);
        auto entries = logSince("DEV:bodyFinishedLoading");
        ASSERT_EQ(entries.size(), 2u);
        EXPECT_EQ(entries[1], "DEV:bodyFinishedLoading");
        EXPECT_EQ(window->modalViewController(), nullptr);
        loop().advance(1);
        EXPECT_EQ(controller->closes, 0) << "nothing was sent, so nothing closes";
        EXPECT_EQ(controller->bannerOnlyCloses, 0);
    }

    class RaisingMailComposer : public runtime::Object {
        PLV_CLASS(RaisingMailComposer, runtime::Object)
    public:
        static void registerMethods(runtime::ClassBuilder<RaisingMailComposer>& b)
        {
            b.method("_rootViewController", [](RaisingMailComposer&) -> Id {
                throw runtime::ObjCException("NSInternalInconsistencyException", "the composer has no root yet");
            });
        }
    };

    TEST_F(Composers, AnExceptionWhilePressingSendIsLoggedByItsDescription)
    {
        auto composer = runtime::make<RaisingMailComposer>();
        EXPECT_FALSE(common::pressComposerSend(composer));
        auto entries = logSince("DEV:RaisingMailComposer");
        ASSERT_FALSE(entries.empty());
        EXPECT_EQ(entries.back(), "CRITICAL:the composer has no root yet") << "the description, which is the reason, without the name";
    }

    using Attachment = Replying;

    TEST_F(Attachment, PickingAPictureSendsItUntilItIsRemoved)
    {
        controller->type = "iMessage";
        writeDevice("/var/mobile/Media/DCIM/100APPLE/IMG_0001.PNG", pngBytes());
        show();
        auto& menu = *UIMenuController::sharedMenuController();
        ASSERT_EQ(menu.menuItems().size(), 1u);
        EXPECT_EQ(menu.menuItems()[0]->title(), "Attach picture");
        runtime::send(window, "sendMessage");
        loop().advance(1);
        window->replyField()->insertText("Guarda");
        EXPECT_TRUE(menu.performItemTitled("Attach picture"));
        auto picker = runtime::cast<UIImagePickerController>(window->modalViewController());
        ASSERT_NE(picker, nullptr);
        EXPECT_EQ(picker->sourceType(), 0);
        ASSERT_TRUE(picker->pickPhotoAtIndex(0));
        loop().advance(1);
        EXPECT_TRUE(window->hasAttachment());
        ASSERT_NE(window->attachment(), nullptr);
        EXPECT_EQ(window->attachmentButton()->superview(), window->bgView());
        EXPECT_EQ(frameOf(window->attachmentButton()), "(213, 183, 20, 20)");
        ASSERT_EQ(menu.menuItems().size(), 1u);
        EXPECT_EQ(menu.menuItems()[0]->title(), "Remove attachment");

        window->replyField()->becomeFirstResponder();
        EXPECT_TRUE(menu.performItemTitled("Remove attachment"));
        EXPECT_FALSE(window->hasAttachment());
        EXPECT_NE(window->attachment(), nullptr);
        EXPECT_EQ(window->attachmentButton()->superview(), nullptr);
        EXPECT_EQ(menu.menuItems()[0]->title(), "Attach picture");
        runtime::send(window, "sendMessage");
        auto sent = sentRows();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].text, "Guarda");
        EXPECT_EQ(partsOfRow(sent[0].rowID).size(), 1u) << "the stored picture stays behind";
    }

    TEST_F(Attachment, APickedPictureGoesWithTheIMessage)
    {
        controller->type = "iMessage";
        writeDevice("/var/mobile/Media/DCIM/100APPLE/IMG_0001.PNG", pngBytes());
        show();
        runtime::send(window, "sendMessage");
        loop().advance(1);
        window->replyField()->insertText("Foto");
        runtime::send(window, "presentImageChoice");
        auto picker = runtime::cast<UIImagePickerController>(window->modalViewController());
        ASSERT_NE(picker, nullptr);
        ASSERT_TRUE(picker->pickPhotoAtIndex(0));
        loop().advance(1);
        runtime::send(window, "sendMessage");
        auto sent = sentRows();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].kind, chatkit::MessageKind::IMessage);
        auto parts = partsOfRow(sent[0].rowID);
        ASSERT_EQ(parts.size(), 2u);
        Id media = runtime::send<Id>(parts[1], "mediaObject");
        EXPECT_EQ(runtime::send<std::string>(media, "mimeType"), "image/jpeg");
        EXPECT_EQ(runtime::send<std::vector<uint8_t>>(media, "data"), UIImageJPEGRepresentation(window->attachment(), 1.0));
        EXPECT_EQ(controller->closes, 1);
    }

    TEST_F(Attachment, CancellingThePickerChangesNothing)
    {
        show();
        runtime::send(window, "sendMessage");
        loop().advance(1);
        runtime::send(window, "presentImageChoice");
        auto picker = runtime::cast<UIImagePickerController>(window->modalViewController());
        ASSERT_NE(picker, nullptr);
        picker->cancel();
        loop().advance(1);
        EXPECT_FALSE(window->hasAttachment());
        EXPECT_EQ(window->modalViewController(), nullptr);
        EXPECT_EQ(UIMenuController::sharedMenuController()->menuItems()[0]->title(), "Attach picture");
    }

    TEST_F(Attachment, APictureThatCannotBeDecodedIsRefusedAndTheTextKept)
    {
        show();
        runtime::send(window, "sendMessage");
        loop().advance(1);
        window->replyField()->insertText("Testo");
        auto bytes = pngBytes();
        bytes.resize(bytes.size() / 2);
        auto broken = UIImage::imageWithData(bytes);
        runtime::send(window, "imagePickerController:didFinishPickingImage:editingInfo:", runtime::nil, Id(broken),
            foundation::PlistValue(foundation::PlistDictionary {}));
        EXPECT_FALSE(window->hasAttachment());
        EXPECT_EQ(window->replyField()->text(), "Testo");
        ASSERT_NE(window->sendFailureLabel(), nullptr);
        EXPECT_EQ(window->sendFailureLabel()->text(), "Picture not readable");
    }

    using Preview = Replying;

    TEST_F(Preview, TheReceivedPictureIsPreviewedWhenThereIsExactlyOne)
    {
        auto part = runtime::make<QuickReplyTestMediaPart>();
        part->media = runtime::make<QuickReplyTestMediaPart>();
        controller->hasAttachments = true;
        controller->media = { part };
        show();
        EXPECT_EQ(window->attachmentButton()->superview(), window->bgView());
        EXPECT_TRUE(window->attachmentButton()->isEnabled());
        window->attachmentButton()->sendActionsForControlEvents(UIControlEventTouchUpInside);
        auto preview = runtime::cast<messageui::QLPreviewController>(window->modalViewController());
        ASSERT_NE(preview, nullptr);
        EXPECT_EQ(runtime::send<int64_t>(window, "numberOfPreviewItemsInPreviewController:", Id(preview)), 1);
        EXPECT_EQ(runtime::send<Id>(window, "previewController:previewItemAtIndex:", Id(preview), int64_t(0)), part->media);
        EXPECT_EQ(runtime::send<Id>(window, "previewController:previewItemAtIndex:", Id(preview), int64_t(5)), nullptr);
        EXPECT_TRUE(logged("DEV:CKMediaObject previewController"));
    }

    TEST_F(Preview, WithoutQuickLookTheButtonDoesNothing)
    {
        auto part = runtime::make<QuickReplyTestMediaPart>();
        part->media = runtime::make<QuickReplyTestMediaPart>();
        controller->hasAttachments = true;
        controller->media = { part };
        runtime::ScopedClassRemoval gone("QLPreviewController");
        show();
        window->attachmentButton()->sendActionsForControlEvents(UIControlEventTouchUpInside);
        EXPECT_EQ(window->modalViewController(), nullptr);
        EXPECT_EQ(controller->closes, 0);
        EXPECT_FALSE(logged("DEV:CKMediaObject previewController"));
    }

    TEST_F(Preview, NoneOrSeveralPicturesShowNothing)
    {
        show();
        runtime::send(window, "attachmentPressed");
        EXPECT_EQ(window->modalViewController(), nullptr);
        controller->media = { runtime::make<QuickReplyTestMediaPart>(), runtime::make<QuickReplyTestMediaPart>() };
        runtime::send(window, "attachmentPressed");
        EXPECT_EQ(window->modalViewController(), nullptr);
    }

} // namespace
} // namespace quickreply_test
