#include "ParlivoFixture.h"

#include <chatkit/ChatKit.h>
#include <foundation/DevicePath.h>
#include <uikit/ImageCodec.h>

namespace parlivo_test {
namespace {

    using Controller = ParlivoTest;

    TEST_F(Controller, StartsWithTheUnknownRecordAnIdleOverlayAndTheComposerListener)
    {
        bootWithParlivo();
        ASSERT_TRUE(tweak().rdl);
        EXPECT_EQ(rdl().lastMessage(), "Unknown");
        EXPECT_EQ(rdl().lastMessageAddress(), "UNKNOWN");
        EXPECT_EQ(rdl().lastMessageType(), "sms");
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Closed);
        EXPECT_FALSE(rdl().multimediaObjects());
        EXPECT_EQ(rdl().delegate(), tweak().hv);
        auto window = rdl().alertWindow();
        EXPECT_EQ(window->frame(), uikit::CGRectMake(0, 0, 320, 0));
        EXPECT_FALSE(window->isHidden()) << "visible but zero height until the first close";
        EXPECT_EQ(window->windowLevel(), uikit::UIWindowLevelStatusBar - 1);
        EXPECT_EQ(window->layer()->cornerRadius(), 8.0);
        Id activator = send<Id>(runtime::classNamed("LAActivator"), "sharedInstance");
        EXPECT_EQ(send<Id>(activator, "listenerForName:", std::string("it.kelvane.RDLComposer")), Id(tweak().rdl));
        EXPECT_EQ(kelvane::KelvaneLogger::projectName(), "PLV");
    }

    TEST_F(Controller, TheRecordIsFrozenWhileAWindowIsOpenAndFreeAgainAfterTheClose)
    {
        bootWithParlivo();
        rdl().setLastMessage("first");
        rdl().showQuickReply();
        ASSERT_EQ(rdl().status(), parlivo::WindowStatus::Open);
        send(tweak().rdl, "setLastMessage:", std::string("intruder"));
        rdl().setLastMessageAddress("+1555");
        rdl().setLastMessageType("iMessage");
        rdl().setTheLastMessage(tweak().hv);
        EXPECT_EQ(rdl().lastMessage(), "first");
        EXPECT_EQ(rdl().lastMessageAddress(), "UNKNOWN");
        EXPECT_EQ(rdl().lastMessageType(), "sms");
        EXPECT_FALSE(rdl().theLastMessage());

        rdl().dismissBanner();
        EXPECT_EQ(rdl().lastMessage(), "To be setted");
        EXPECT_EQ(rdl().lastMessageAddress(), "-1");
        rdl().dismissBanner();
        EXPECT_EQ(rdl().lastMessage(), "To be setted") << "a second close leaves the reset record";
        rdl().setLastMessage("after");
        EXPECT_EQ(rdl().lastMessage(), "after");
    }

    TEST_F(Controller, TheTextOverwriteReachesAnOpenWindowOnlyForEmail)
    {
        bootWithParlivo();
        rdl().setLastMessageType("email");
        rdl().showQuickReply();
        g_windowTrace.clear();
        send(tweak().rdl, "overWriteLastMessageText:", std::string("new subject"));
        EXPECT_EQ(rdl().lastMessage(), "new subject");
        EXPECT_EQ(g_windowTrace, "setMessage:new subject;reloadFields;");
        EXPECT_TRUE(logHas("\nDEV:RDL overWriteLastMessageText"));
        rdl().overWriteLastMessageAddress("anna@example.com");
        EXPECT_EQ(rdl().lastMessageAddress(), "anna@example.com");

        rdl().dismissBanner();
        rdl().showQuickReply();
        g_windowTrace.clear();
        rdl().overWriteLastMessageText("sms text");
        EXPECT_NE(rdl().lastMessage(), "sms text");
        EXPECT_EQ(g_windowTrace, "");
        EXPECT_TRUE(logHas("\nDEV:Qualche pirla setta testo nil"));
        rdl().overWriteLastMessageAddress(std::nullopt);
        EXPECT_TRUE(logHas("\nDEV:Qualche pirla setta indirizzo nil"));
    }

    TEST_F(Controller, TheMultimediaScanKeepsEveryMediaPartAndFlagsOnlyATrailingOne)
    {
        bootWithParlivo();
        uikit::Bitmap bitmap { 4, 4, std::vector<uint8_t>(64, 200) };
        auto row = chatkit::receiveIMessage(springboard_test::PhoneWithOneContact::AnnasNumber, "look", uikit::encodePng(bitmap));
        ASSERT_TRUE(row);
        Id message = send<Id>(send<Id>(runtime::classNamed("CKDBMessage"), "alloc"), "initWithRecordID:", *row);
        ASSERT_TRUE(message);
        auto parts = send<std::vector<Id>>(message, "messageParts");
        // Text first, the picture after it: the picture is the trailing part.
        ASSERT_EQ(parts.size(), 2u);
        ASSERT_FALSE(parts.front()->isKindOfClass(runtime::classNamed("CKMediaObjectMessagePart")));
        ASSERT_TRUE(parts.back()->isKindOfClass(runtime::classNamed("CKMediaObjectMessagePart")));

        rdl().parseMadridMessageToFindMultimedia(message);
        ASSERT_TRUE(rdl().multimediaObjects());
        ASSERT_EQ(rdl().multimediaObjects()->size(), 1u);
        EXPECT_EQ(rdl().multimediaObjects()->front(), parts.back());
        EXPECT_TRUE(rdl().hasAttachments()) << "a trailing picture sets the flag";

        rdl().parseMadridMessageToFindMultimedia(nullptr);
        EXPECT_EQ(rdl().multimediaObjects()->size(), 1u) << "a nil message leaves the previous list";
        auto sms = chatkit::receiveSMS(springboard_test::PhoneWithOneContact::AnnasNumber, "plain");
        Id plain = send<Id>(send<Id>(runtime::classNamed("CKDBMessage"), "alloc"), "initWithRecordID:", *sms);
        rdl().parseMadridMessageToFindMultimedia(plain);
        ASSERT_TRUE(rdl().multimediaObjects());
        EXPECT_TRUE(rdl().multimediaObjects()->empty());
        EXPECT_FALSE(rdl().hasAttachments());
    }

    TEST_F(Controller, TheRowIdListKeepsTheTenNewest)
    {
        bootWithParlivo();
        EXPECT_FALSE(rdl().isBlacklisted(0)) << "an empty list answers NO";
        for (int64_t id = 1; id <= 11; ++id)
            send(tweak().rdl, "addBlacklistedRowID:", id);
        EXPECT_EQ(rdl().iMessagesBlackList().size(), 10u);
        EXPECT_EQ(rdl().iMessagesBlackList().front(), 11);
        EXPECT_FALSE(send<bool>(tweak().rdl, "isBlacklisted:", int64_t { 1 }));
        EXPECT_TRUE(send<bool>(tweak().rdl, "isBlacklisted:", int64_t { 2 }));
    }

    TEST_F(Controller, DisplayNamesComeFromTheAddressBookOnlyOnAFiveSystem)
    {
        bootWithParlivo();
        EXPECT_EQ(rdl().getNameFromAddress(AnnasNumber), "Anna Rossi");
        EXPECT_EQ(rdl().getNameFromAddress("+15550009999"), "+15550009999");
        auto device = uikit::UIDevice::currentDevice();
        std::string version = device->systemVersion();
        device->setSystemVersion("6.0");
        EXPECT_EQ(rdl().getNameFromAddress(AnnasNumber), AnnasNumber);
        device->setSystemVersion(version);
        runtime::ScopedClassRemoval noService("CKSMSService");
        EXPECT_EQ(rdl().getNameFromAddress(AnnasNumber), AnnasNumber);
    }

    TEST_F(Controller, TheLogIsRemovedFromOneHundredThousandBytesOn)
    {
        bootWithParlivo();
        auto path = foundation::hostPath(kelvane::PLVLogPath);
        std::filesystem::create_directories(path.parent_path());
        std::filesystem::remove(path);
        std::ofstream(path, std::ios::binary) << std::string(99999, 'x');
        parlivo::RDL::deleteLog();
        EXPECT_TRUE(std::filesystem::exists(path));
        EXPECT_TRUE(logHas("\nNORMAL:The file size is: 99999"));

        std::filesystem::remove(path);
        std::ofstream(path, std::ios::binary) << std::string(100000, 'x');
        parlivo::RDL::deleteLog();
        EXPECT_FALSE(std::filesystem::exists(path));
        parlivo::RDL::deleteLog();
        EXPECT_FALSE(std::filesystem::exists(path)) << "a missing log is left alone";
    }

    TEST_F(Controller, EveryCloseStartsTheLogCheckInTheBackground)
    {
        bootWithParlivo();
        rdl().showQuickReply();
        auto path = foundation::hostPath(kelvane::PLVLogPath);
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary | std::ios::app) << std::string(200000, 'x');
        rdl().dismissBanner();
        ASSERT_TRUE(foundation::Executor::shared().drain());
        EXPECT_FALSE(std::filesystem::exists(path));
    }

} // namespace
} // namespace parlivo_test
