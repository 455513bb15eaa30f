// The new-mail notification: each step that can fail leaves the record as it
// was, logs as it should, and the Mail service still gets the notification.
#include "RendaloFixture.h"

#include <mail/MSNotificationService.h>

namespace rendalo_test {
namespace {

    using foundation::PlistArray;
    using foundation::PlistDictionary;
    using foundation::PlistValue;

    class RendaloMailNotification : public RendaloTest {
    protected:
        void SetUp() override
        {
            RendaloTest::SetUp();
            bootWithRendalo();
            ASSERT_TRUE(phone().receiveMail("luca@example.com", "Cena", "Prima"));
            reference = rdl().lastActionURL();
            ASSERT_FALSE(reference.empty());
        }

        // One mail entry, as the service lists it.
        static PlistValue entry(PlistValue reference, PlistValue body, PlistValue sender)
        {
            return PlistDictionary {
                { "MSResultsKeyMessageReference", std::move(reference) },
                { "MSResultsKeyBodySummary", std::move(body) },
                { "MSResultsKeySender", std::move(sender) },
                { "MSResultsKeySubject", "Oggetto" },
            };
        }

        static PlistValue withMessages(PlistValue messages) { return PlistDictionary { { "MSNotificationKeyMessages", std::move(messages) } }; }

        // Sends the notification as the phone does; answers whether the
        // service's own implementation ran.
        bool notify(const PlistValue& userInfo)
        {
            std::filesystem::remove(foundation::hostPath(kelvane::RDLLogPath));
            auto service = mail::MSNotificationService::sharedInstance();
            int64_t before = service->notificationCount();
            phone().performOnMain([&] { send(service, "_didReceiveNotificationData:userInfo:", std::vector<uint8_t> {}, userInfo); });
            return service->notificationCount() == before + 1;
        }

        void expectRecordUnchanged()
        {
            EXPECT_EQ(rdl().lastMessage(), "Prima");
            EXPECT_EQ(rdl().lastMessageAddress(), "luca@example.com");
        }

        std::string reference;
    };

    TEST_F(RendaloMailNotification, MatchingMailReplacesTextAndSender)
    {
        EXPECT_TRUE(notify(withMessages(PlistArray { entry(reference, "Seconda", "anna@example.com") })));
        EXPECT_EQ(rdl().lastMessage(), "Seconda");
        EXPECT_EQ(rdl().lastMessageAddress(), "anna@example.com");
        EXPECT_EQ(rdl().lastMessageType(), "email");
        EXPECT_TRUE(logHasInOrder({ "sono nel notificationService..", reference, "Fine notification" }));
    }

    TEST_F(RendaloMailNotification, UserInfoThatIsNoDictionary)
    {
        EXPECT_TRUE(notify(PlistValue("not a dictionary")));
        expectRecordUnchanged();
        EXPECT_TRUE(logHasInOrder({ "sono nel notificationService..", "No Infos", "Fine notification" }));
    }

    TEST_F(RendaloMailNotification, MissingMessagesKey)
    {
        EXPECT_TRUE(notify(PlistDictionary { { "other", "x" } }));
        expectRecordUnchanged();
        EXPECT_TRUE(logHasInOrder({ "sono nel notificationService..", "No MSNotificationKeyMessages", "Fine notification" }));
    }

    TEST_F(RendaloMailNotification, ReferenceThatMatchesNoBanner)
    {
        EXPECT_TRUE(notify(withMessages(PlistArray { entry("message://other", "Seconda", "anna@example.com") })));
        expectRecordUnchanged();
        EXPECT_FALSE(logHas("Nil body 2"));
        EXPECT_TRUE(logHasInOrder({ "sono nel notificationService..", "Fine notification" }));
    }

    TEST_F(RendaloMailNotification, EmptyListOfMessages)
    {
        EXPECT_TRUE(notify(withMessages(PlistArray {})));
        expectRecordUnchanged();
        EXPECT_TRUE(logHas("Fine notification"));
    }

    TEST_F(RendaloMailNotification, BodiesMissingOrNotAList)
    {
        PlistDictionary noBody { { "MSResultsKeyMessageReference", reference }, { "MSResultsKeySender", "anna@example.com" } };
        // Each element without a body gives the platform's null: a list of
        // one null, so the first body is not text.
        EXPECT_TRUE(notify(withMessages(PlistArray { noBody })));
        expectRecordUnchanged();

        // A single dictionary instead of a list: its body is text, not a list.
        EXPECT_TRUE(notify(withMessages(entry(PlistArray { reference }, "Seconda", PlistArray { "anna@example.com" }))));
        expectRecordUnchanged();
        EXPECT_TRUE(logHasInOrder({ reference, "Nil body 2", "Fine notification" }));
    }

    TEST_F(RendaloMailNotification, BodyOrSenderOfTheWrongKind)
    {
        EXPECT_TRUE(notify(withMessages(PlistArray { entry(reference, int64_t { 42 }, "anna@example.com") })));
        expectRecordUnchanged();
        EXPECT_TRUE(notify(withMessages(PlistArray { entry(reference, "Seconda", PlistArray { "anna@example.com" }) })));
        expectRecordUnchanged();
        EXPECT_TRUE(logHas("Fine notification"));
    }

    TEST_F(RendaloMailNotification, NotificationBeforeAnyMailBannerMatchesNothing)
    {
        rdl().setLastActionURL("");
        EXPECT_TRUE(notify(withMessages(PlistArray { entry("", "Seconda", "anna@example.com") })));
        expectRecordUnchanged();
    }

    TEST_F(RendaloMailNotification, WhileItsWindowIsOpenOnlyTheOverwritesCount)
    {
        ASSERT_TRUE(phone().tapView("bannerTitle"));
        ASSERT_EQ(rdl().status(), common::WindowStatus::Open);
        EXPECT_TRUE(notify(withMessages(PlistArray { entry(reference, "Corretto", "anna@example.com") })));
        EXPECT_EQ(rdl().lastMessage(), "Corretto");
        EXPECT_EQ(rdl().lastMessageAddress(), "anna@example.com");
        EXPECT_EQ(window()->messageField()->text(), "Corretto");
    }

} // namespace
} // namespace rendalo_test
