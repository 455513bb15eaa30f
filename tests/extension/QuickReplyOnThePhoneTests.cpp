// The controller and the real quick reply window together, on a booted phone:
// each test boots its own phone with Parlivo and the build's own windows, and
// takes both down again, so no test sees another's controller, window or log.
#include "ParlivoFixture.h"

#include <chatkit/ChatKit.h>
#include <chatkit/Schema.h>
#include <extension/QuickReplyViewController.h>
#include <support/SqliteProbe.h>
#include <uikit/ImageCodec.h>
#include <uikit/UITextView.h>

namespace parlivo_test {
namespace {

    constexpr const char* LogPath = "/var/mobile/Library/PLV/PLV.log";

    std::vector<chatkit::MessageSummary> sentMessages()
    {
        std::vector<chatkit::MessageSummary> sent;
        for (auto& message : chatkit::listMessages()) {
            if (message.outgoing)
                sent.push_back(message);
        }
        return sent;
    }

    bool isRead(int64_t row)
    {
        for (const auto& message : chatkit::listMessages()) {
            if (message.rowID == row)
                return message.read;
        }
        return false;
    }

    std::string pngBytes()
    {
        auto png = uikit::encodePng(uikit::Bitmap { 4, 4, std::vector<uint8_t>(64, 200) });
        return png ? std::string(png->begin(), png->end()) : std::string();
    }

    class ReplyOnThePhoneTest : public ParlivoPhoneTest {
    protected:
        runtime::Ref<parlivo::QuickReplyViewController> window()
        {
            return runtime::cast<parlivo::QuickReplyViewController>(rdl().qRVC());
        }

        // The panel slides in after the tap.
        void settle() { phone().advance(1); }

        std::string shownText()
        {
            auto field = runtime::cast<uikit::UITextView>(rdl().alertWindow()->viewNamed("messageField"));
            return field ? field->text() : "<no message field>";
        }

        // "Reply" enlarges the panel, then the text is typed and sent.
        void replyWith(const std::string& text)
        {
            ASSERT_TRUE(phone().tapView("sendButton"));
            settle();
            ASSERT_TRUE(rdl().alertWindow()->viewNamed("replyField")) << "Reply enlarged the panel";
            ASSERT_TRUE(phone().type(text));
            ASSERT_TRUE(phone().tapView("sendButton"));
            settle();
        }

        void expectClosedAndReset()
        {
            EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Closed);
            EXPECT_FALSE(rdl().qRVC());
            EXPECT_FALSE(rdl().alertWindow()->viewNamed("bgView")) << "no panel left in the overlay";
            EXPECT_EQ(rdl().lastMessage(), "To be setted");
            EXPECT_EQ(rdl().lastMessageAddress(), "-1");
            EXPECT_EQ(rdl().lastMessageType(), "sms");
        }
    };

    TEST_F(ReplyOnThePhoneTest, ABannerReplyIsTypedInTheRealWindowAndSent)
    {
        bootWithParlivo();
        auto row = phone().receiveSMS(AnnasNumber, "Ci vediamo alle otto?");
        ASSERT_TRUE(row && row->recordID);
        ASSERT_TRUE(phone().tapView("bannerTitle"));
        settle();

        ASSERT_TRUE(window()) << "the build's own window, not a stand-in";
        EXPECT_EQ(shownText(), "Ci vediamo alle otto?");
        EXPECT_TRUE(isRead(*row->recordID));
        replyWith("Va bene");

        auto sent = sentMessages();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].text, "Va bene");
        EXPECT_EQ(sent[0].address, AnnasNumber);
        EXPECT_EQ(sent[0].kind, chatkit::MessageKind::SMS);
        expectClosedAndReset();
        EXPECT_TRUE(rdl().alertWindow()->isHidden());
        EXPECT_TRUE(state()["banner"].is_null()) << "the system banner went with the window";
    }

    TEST_F(ReplyOnThePhoneTest, APictureThenTextMessageOffersNoPreviewButTextThenPictureDoes)
    {
        bootWithParlivo();
        // An MMS whose picture comes before its words.
        auto mms = phone().receiveSMS(AnnasNumber, "Guarda");
        ASSERT_TRUE(mms && mms->recordID);
        {
            testsupport::SqliteProbe database(foundation::hostPath(chatkit::smsDatabaseDevicePath));
            std::string id = std::to_string(*mms->recordID);
            ASSERT_EQ(database.exec("INSERT INTO msg_pieces (message_id, part_id, content_type, data) VALUES (" + id + ", 0, 'image/png', X'89504E47')"), "");
            ASSERT_EQ(database.exec("INSERT INTO msg_pieces (message_id, part_id, content_type, data) VALUES (" + id + ", 1, 'text/plain', 'Guarda')"), "");
        }
        ASSERT_TRUE(phone().tapView("bannerTitle"));
        settle();
        ASSERT_TRUE(window());
        EXPECT_EQ(shownText(), "Guarda");
        ASSERT_TRUE(rdl().multimediaObjects());
        EXPECT_EQ(rdl().multimediaObjects()->size(), 1u) << "the picture is kept";
        EXPECT_FALSE(rdl().hasAttachments()) << "the last part is words";
        EXPECT_FALSE(rdl().alertWindow()->viewNamed("attachmentButton")) << "no paper clip to preview it";
        ASSERT_TRUE(phone().tapView("closeButton"));
        settle();
        expectClosedAndReset();

        // An iMessage keeps its words first and the picture last.
        m_device.write("/var/mobile/Media/DCIM/100APPLE/IMG_0001.PNG", pngBytes());
        ASSERT_TRUE(phone().receiveIMessage(AnnasNumber, "E questa?", "/var/mobile/Media/DCIM/100APPLE/IMG_0001.PNG"));
        ASSERT_TRUE(phone().tapView("bannerTitle"));
        settle();
        EXPECT_EQ(shownText(), "E questa?");
        EXPECT_TRUE(rdl().hasAttachments());
        EXPECT_TRUE(rdl().alertWindow()->viewNamed("attachmentButton"));
    }

    TEST_F(ReplyOnThePhoneTest, AnIMessageFromTheNotificationCentreIsAnsweredAsAnIMessage)
    {
        bootWithParlivo();
        writePreferences({ { "builtinSMS", foundation::PlistValue("0") } });
        auto row = phone().receiveIMessage(AnnasNumber, "Ci sei?");
        ASSERT_TRUE(row && row->recordID);
        phone().advance(10);
        ASSERT_TRUE(state()["banner"].is_null());
        ASSERT_TRUE(phone().openNotificationCenter());
        ASSERT_TRUE(phone().tapNotification(0));

        EXPECT_EQ(rdl().lastMessageType(), "iMessage");
        EXPECT_TRUE(isRead(*row->recordID));
        // The controller's own banner announces it outside the messages
        // section, so a tap on it opens nothing of its own...
        EXPECT_EQ(state()["banner"]["sectionID"], "RDLbanner");
        EXPECT_EQ(state()["banner"]["message"], "iMessage");
        ASSERT_TRUE(phone().tapView("bannerTitle"));
        EXPECT_TRUE(logHas("\nNORMAL:NOT SMS RETURNING"));
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Closed);
        // ...and the one reply it announced opens a second after the post.
        settle();
        ASSERT_EQ(rdl().status(), parlivo::WindowStatus::Open);
        ASSERT_TRUE(window());
        EXPECT_EQ(shownText(), "Ci sei?");
        settle(); // the panel slides in

        replyWith("Sì");
        auto sent = sentMessages();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].text, "Sì");
        EXPECT_EQ(sent[0].kind, chatkit::MessageKind::IMessage);
        expectClosedAndReset();
    }

    TEST_F(ReplyOnThePhoneTest, AnIMessageFromTheLockScreenIsAnsweredAsAnIMessageAndTheDeviceStaysLocked)
    {
        bootWithParlivo();
        ASSERT_TRUE(phone().lock());
        auto row = phone().receiveIMessage(AnnasNumber, "Dormi?");
        ASSERT_TRUE(row && row->recordID);
        ASSERT_TRUE(phone().unlockBulletin(0));
        settle();

        EXPECT_TRUE(state()["locked"]);
        ASSERT_TRUE(window());
        EXPECT_TRUE(rdl().inLockScreen());
        EXPECT_EQ(rdl().alertWindow()->windowLevel(), uikit::UIWindowLevelStatusBar + 100);
        EXPECT_EQ(rdl().lastMessageType(), "iMessage");
        EXPECT_TRUE(isRead(*row->recordID));
        EXPECT_EQ(shownText(), "Dormi?");

        replyWith("No");
        auto sent = sentMessages();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].kind, chatkit::MessageKind::IMessage);
        expectClosedAndReset();
        EXPECT_FALSE(rdl().inLockScreen());
        EXPECT_TRUE(state()["locked"]);
    }

    TEST_F(ReplyOnThePhoneTest, LockingAgainClosesTheWindowAtOnceAndTheNextReplyGetsAFreshOne)
    {
        bootWithParlivo();
        ASSERT_TRUE(phone().lock());
        ASSERT_TRUE(phone().receiveSMS(AnnasNumber, "Sveglia"));
        ASSERT_TRUE(phone().unlockBulletin(0));
        settle();
        auto first = window();
        ASSERT_TRUE(first);
        // A log at the size the check removes.
        m_device.write(LogPath, std::string(100000, 'x'));

        // The lock button while the reply is open over the lock screen.
        Id away = send<Id>(runtime::classNamed("SBAwayController"), "sharedAwayController");
        ASSERT_TRUE(away);
        send(away, "lock");
        expectClosedAndReset();
        EXPECT_EQ(rdl().alertWindow()->frame(), uikit::CGRectMake(0, 0, 320, 0));
        EXPECT_FALSE(rdl().alertWindow()->isHidden()) << "zero height, but not hidden";
        EXPECT_TRUE(rdl().inLockScreen()) << "left as it was";
        EXPECT_FALSE(rdl().hasAttachments());
        EXPECT_FALSE(rdl().multimediaObjects());
        EXPECT_FALSE(first->view()->superview()) << "the panel left the overlay";
        foundation::Executor::shared().drain();
        phone().advance(1);
        EXPECT_TRUE(m_device.exists(LogPath)) << "no log-size check after an emergency close";
        EXPECT_FALSE(logHas("RDL dismissBanner"));

        // Unlocked, the next banner opens a new window with the new message.
        ASSERT_TRUE(phone().home());
        ASSERT_TRUE(phone().swipe("unlockSlider", uikit::CGPointMake(1500, 0)));
        ASSERT_FALSE(state()["locked"]);
        ASSERT_TRUE(phone().receiveSMS(AnnasNumber, "Ci sei ancora?"));
        ASSERT_TRUE(phone().tapView("bannerTitle"));
        settle();
        ASSERT_TRUE(window());
        EXPECT_NE(window(), first);
        EXPECT_EQ(shownText(), "Ci sei ancora?");
        EXPECT_TRUE(rdl().alertWindow()->viewNamed("sendButton"));
    }

} // namespace
} // namespace parlivo_test
