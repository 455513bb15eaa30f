// Where the record comes from: an incoming SMS as ChatKit builds it, a mail
// banner's launch URL and its new-mail notification, and the banner tap.
#include "RendaloFixture.h"

#include <Rendalo/Hooks.h>

namespace rendalo_test {
namespace {

    // A message object as ChatKit's initialiser may hand it back.
    class RecordTestMessage : public runtime::Object {
        PLV_CLASS(RecordTestMessage, runtime::Object)
    public:
        static void registerMethods(runtime::ClassBuilder<RecordTestMessage>& b)
        {
            b.method("text", [](RecordTestMessage& self) -> std::string { return self.text; });
            b.method("address", [](RecordTestMessage& self) -> std::string { return self.address; });
            b.method("isOutgoing", [](RecordTestMessage& self) -> bool { return self.outgoing; });
            b.method("isRead", [](RecordTestMessage& self) -> bool { return self.read; });
        }
        std::string text { "Testo" };
        std::string address { "+39 333 7654321" };
        bool outgoing { false };
        bool read { false };
    };

    Id s_built;
    Id answerBuilt(runtime::Object*, runtime::Sel, const Id&, const std::vector<Id>&) { return s_built; }

    class RendaloRecords : public RendaloTest {
    protected:
        // Runs the SMS hook over a message the system initialiser answers.
        Id build(Id message)
        {
            s_built = std::move(message);
            auto saved = std::exchange(rendalo::hooks::orig_initWithCTMessage, &answerBuilt);
            Id result = rendalo::hooks::initWithCTMessage(nullptr, runtime::sel("initWithCTMessage:messageParts:"), runtime::nil, {});
            rendalo::hooks::orig_initWithCTMessage = saved;
            s_built = nullptr;
            return result;
        }
    };

    TEST_F(RendaloRecords, IncomingSMSFillsTheRecordWhenBuilt)
    {
        bootWithRendalo();
        ASSERT_TRUE(phone().receiveSMS("+39 333 1234567", "Arrivo alle 8"));
        EXPECT_EQ(rdl().lastMessage(), "Arrivo alle 8");
        EXPECT_EQ(rdl().lastMessageAddress(), "+39 333 1234567");
        ASSERT_TRUE(rdl().theLastMessage());

        // The held message is marked read when the next quick reply opens.
        ASSERT_TRUE(phone().tapView("bannerTitle"));
        EXPECT_FALSE(rdl().theLastMessage());
        for (auto& row : chatkit::listMessages())
            EXPECT_TRUE(row.read) << row.text;
    }

    TEST_F(RendaloRecords, OnlyUnreadIncomingMessagesWithTextAndAddressCount)
    {
        bootWithRendalo();
        auto cases = [] {
            std::vector<std::shared_ptr<RecordTestMessage>> messages(4);
            for (auto& message : messages)
                message = runtime::make<RecordTestMessage>();
            messages[0]->outgoing = true;
            messages[1]->read = true;
            messages[2]->text.clear();
            messages[3]->address.clear();
            return messages;
        }();
        for (auto& message : cases) {
            EXPECT_EQ(build(message), Id(message));
            EXPECT_EQ(rdl().lastMessage(), "Unknown");
            EXPECT_FALSE(rdl().theLastMessage());
        }
        // A nil message passes through.
        EXPECT_FALSE(build(nullptr));

        auto good = runtime::make<RecordTestMessage>();
        build(good);
        EXPECT_EQ(rdl().lastMessage(), "Testo");
        EXPECT_EQ(rdl().theLastMessage(), Id(good));
    }

    TEST_F(RendaloRecords, SecondSMSWhileOpenDoesNotReplaceTheOneAnswered)
    {
        bootWithRendalo();
        openSMS("+39 333 1234567", "Primo");
        ASSERT_TRUE(phone().receiveSMS("+39 333 7654321", "Secondo"));
        EXPECT_EQ(rdl().lastMessage(), "Primo");
        EXPECT_EQ(rdl().lastMessageAddress(), "+39 333 1234567");
        EXPECT_EQ(window()->messageField()->text(), "Primo");
    }

    TEST_F(RendaloRecords, MailBannerAndNotificationFillTheRecord)
    {
        bootWithRendalo();
        ASSERT_TRUE(phone().receiveMail("luca@example.com", "Cena", "Ci vediamo alle otto"));
        EXPECT_TRUE(state().isMail);
        EXPECT_FALSE(state().isSMS);
        EXPECT_FALSE(state().returnTheURL);
        EXPECT_FALSE(rdl().lastActionURL().empty());
        EXPECT_EQ(rdl().lastMessage(), "Ci vediamo alle otto");
        EXPECT_EQ(rdl().lastMessageAddress(), "luca@example.com");
        EXPECT_EQ(rdl().lastMessageType(), "email");

        ASSERT_TRUE(phone().tapView("bannerTitle"));
        EXPECT_EQ(rdl().status(), common::WindowStatus::Open);
        EXPECT_EQ(window()->messageField()->text(), "Ci vediamo alle otto");
        EXPECT_TRUE(logHasInOrder({ "sono nel notificationService..", "Fine notification" }));
    }

    TEST_F(RendaloRecords, TappingTheBannerIconOpensMessages)
    {
        bootWithRendalo();
        ASSERT_TRUE(phone().receiveSMS("+39 333 1234567", "Icona"));
        ASSERT_TRUE(phone().tap(uikit::CGPointMake(15, 20)));
        phone().advance(1);
        EXPECT_TRUE(logHas("\nDEV:ho tappato l'icona del banner"));
        EXPECT_EQ(phone().springboardState()["frontApp"], "com.apple.MobileSMS");
        EXPECT_EQ(rdl().status(), common::WindowStatus::Closed);
    }

    TEST_F(RendaloRecords, OtherBulletinsClearBothFlags)
    {
        bootWithRendalo();
        ASSERT_TRUE(phone().receiveSMS("+39 333 1234567", "Uno"));
        EXPECT_TRUE(state().isSMS);
        Id bulletin = send<Id>(send<Id>(runtime::classNamed("BBBulletin"), "alloc"), "init");
        send(bulletin, "setSectionID:", std::string("com.example.other"));
        send(bulletin, "setTitle:", std::string("Altro"));
        Id banners = send<Id>(runtime::classNamed("SBBulletinBannerController"), "sharedInstance");
        phone().performOnMain([&] { send(banners, "observer:addBulletin:forFeed:", runtime::nil, bulletin, int64_t { 0 }); });
        EXPECT_FALSE(state().isSMS);
        EXPECT_FALSE(state().isMail);
    }

} // namespace
} // namespace rendalo_test
