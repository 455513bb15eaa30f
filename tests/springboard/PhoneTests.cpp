#include "PhoneFixture.h"
#include "support/SqliteProbe.h"

#include <activator/LAActivator.h>
#include <chatkit/ChatKit.h>
#include <chatkit/Database.h>
#include <chatkit/MessageStore.h>
#include <foundation/FileFaults.h>
#include <mail/MailInbox.h>
#include <springboard/SBBulletinBannerController.h>
#include <springboard/SpringBoardClasses.h>
#include <uikit/UIKit.h>

#include <cerrno>
#include <fstream>

namespace springboard_test {
namespace {

    using namespace uikit;

    using PhoneBoot = PhoneWithOneContact;
    using PhoneTraffic = PhoneWithOneContact;
    using PhoneActions = PhoneWithOneContact;

    TEST_F(PhoneBoot, OnePhoneAtATimeAndOnlyOverAFolder)
    {
        auto missing = phone::Phone::boot({ m_root / "no-such-folder" });
        EXPECT_FALSE(missing);
        EXPECT_EQ(missing.reason(), "the device root " + (m_root / "no-such-folder").string() + " is not a folder");
        EXPECT_EQ(phone::Phone::boot({}).reason(), "no device root was given");

        boot();
        auto second = phone::Phone::boot({ m_root });
        EXPECT_FALSE(second);
        EXPECT_EQ(second.reason(), "a phone is already running in this process");

        m_phone.reset();
        boot();
        EXPECT_TRUE(m_phone) << "a phone can boot again once the first has shut down";
    }

    TEST_F(PhoneBoot, SpringBoardLaunchesOnceWithTheHomeScreenAndTheSharedObjects)
    {
        springboard::registerSpringBoardClasses();
        EXPECT_FALSE(send<Id>(runtime::classNamed("SBBulletinListController"), "sharedInstance")) << "no notification centre before launch";
        EXPECT_FALSE(send<Id>(runtime::classNamed("SBAwayController"), "sharedAwayController"));
        m_hooks.trace<1, void, const Id&>("SpringBoard", "applicationDidFinishLaunching:", "launched;");
        boot();
        EXPECT_EQ(g_trace, "launched;");
        EXPECT_TRUE(send<Id>(runtime::classNamed("SBBulletinListController"), "sharedInstance"));
        EXPECT_TRUE(send<Id>(runtime::classNamed("SBAwayController"), "sharedAwayController"));
        EXPECT_EQ(send<Id>(runtime::classNamed("UIApplication"), "sharedApplication")->runtimeClassName(), "SpringBoard");
        EXPECT_TRUE(runtime::classNamed("LAActivator")) << "every platform library's classes are there";
        EXPECT_TRUE(runtime::classNamed("CKSMSService"));
        EXPECT_TRUE(runtime::classNamed("MSNotificationService"));
        EXPECT_TRUE(runtime::classNamed("MFMessageComposeViewController"));
        EXPECT_TRUE(runtime::classNamed("NSFileManager"));
        EXPECT_TRUE(runtime::classNamed("NSKeyedUnarchiver"));

        auto screen = phone().screenSnapshot();
        std::vector<std::string> names;
        for (auto& window : screen["windows"])
            names.push_back(window["name"].is_string() ? window["name"].get<std::string>() : "");
        EXPECT_NE(std::find(names.begin(), names.end(), "homeScreen"), names.end());
        EXPECT_NE(std::find(names.begin(), names.end(), "statusBar"), names.end());

        auto json = phone().state();
        for (auto key : { "banner", "notificationCenter", "locked", "frontApp", "orientation" })
            EXPECT_TRUE(json["springboard"].contains(key)) << key;
        EXPECT_TRUE(json["screen"].contains("windows"));
    }

    TEST_F(PhoneBoot, AbsentFrameworkClassesAnswerNil)
    {
        boot();
        runtime::ScopedClassRemoval noLockScreen("SBAwayController");
        runtime::ScopedClassRemoval noNotificationCentre("SBBulletinListController");
        Id away = send<Id>(runtime::classNamed("SBAwayController"), "sharedAwayController");
        EXPECT_FALSE(away);
        send(away, "restartDimTimer:", 5.0);
        send(send<Id>(runtime::classNamed("SBBulletinListController"), "sharedInstance"), "hideListViewAnimated:", true);
        EXPECT_FALSE(send<bool>(away, "isLocked"));
    }

    TEST_F(PhoneTraffic, AnIMessageWithAPictureIsStoredAndAnnounced)
    {
        boot();
        auto picture = foundation::hostPath("/var/mobile/Media/DCIM/100APPLE/IMG_0001.JPG");
        std::filesystem::create_directories(picture.parent_path());
        // The smallest JPEG the picture check accepts: start of image, a frame header and end of image.
        std::ofstream(picture, std::ios::binary) << std::string("\xFF\xD8\xFF\xC0\x00\x11\x08\x00\x01\x00\x01\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01\xFF\xD9", 23);

        auto missing = phone().receiveIMessage(AnnasNumber, "look", "/var/mobile/Media/DCIM/100APPLE/IMG_9999.JPG");
        EXPECT_EQ(missing.reason(), "no picture at /var/mobile/Media/DCIM/100APPLE/IMG_9999.JPG");

        auto received = phone().receiveIMessage(AnnasNumber, "", "/var/mobile/Media/DCIM/100APPLE/IMG_0001.JPG");
        ASSERT_TRUE(received) << received.reason();
        EXPECT_EQ(state()["banner"]["message"], "Attachment: 1 Image");
        auto rows = chatkit::listMessages();
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].kind, chatkit::MessageKind::IMessage);
        EXPECT_EQ(rows[0].rowID, *received->recordID);
    }

    TEST_F(PhoneTraffic, EntityNamesComeFromThePhonesAddressBook)
    {
        boot();
        Id service = send<Id>(runtime::classNamed("CKSMSService"), "sharedSMSService");
        ASSERT_TRUE(service);
        auto nameOf = [&](const std::string& address) { return send<std::string>(send<Id>(service, "copyEntityForAddressString:", address), "name"); };
        EXPECT_EQ(nameOf("+393331234567"), "Anna Rossi");
        EXPECT_EQ(nameOf("333 123 4567"), "Anna Rossi") << "the book's number in another spelling";
        EXPECT_EQ(nameOf("+39 333 7654321"), "");
        EXPECT_EQ(nameOf("luca@example.it"), "");

        // Someone added while the phone runs is named from then on.
        addressbook::PersonData luca;
        luca.first = "Luca";
        luca.last = "Ferrari";
        luca.emails.push_back({ "_$!<Work>!$_", "Luca@Example.it", -1 });
        ASSERT_TRUE(addressbook::AddressBookWriter::open(foundation::hostPath(addressbook::AddressBookDevicePath))->addPerson(luca));
        EXPECT_EQ(nameOf("luca@example.it"), "Luca Ferrari");
    }

    TEST_F(PhoneTraffic, BadSendersAreRefusedBeforeAnythingIsWritten)
    {
        boot();
        EXPECT_EQ(phone().receiveSMS("", "hello").reason(), "a message needs a sender");
        EXPECT_EQ(phone().receiveSMS("  ", "hello").reason(), "a message needs a sender");
        EXPECT_EQ(phone().receiveSMS("Mario", "hello").reason(), "\"Mario\" is neither a phone number nor an e-mail address");
        EXPECT_FALSE(phone().receiveMail("not an address", "s", "b"));
        EXPECT_TRUE(chatkit::listMessages().empty());
        EXPECT_TRUE(state()["notificationCenter"]["bulletins"].empty());
    }

    TEST_F(PhoneTraffic, WithoutAMessagesDatabaseAnSMSIsRefusedAndNoBulletinAppears)
    {
        std::filesystem::remove(foundation::hostPath("/var/mobile/Library/SMS/sms.db"));
        boot();
        auto received = phone().receiveSMS(AnnasNumber, "hello");
        EXPECT_FALSE(received);
        EXPECT_EQ(received.reason().rfind("the Messages database could not store the message", 0), 0u) << received.reason();
        EXPECT_TRUE(state()["banner"].is_null());
    }

    // The reason the database gives travels to whoever sent the message in
    // (the scenario runner and the web page show this text).
    TEST_F(PhoneTraffic, AMessageTheDatabaseRefusesIsRefusedWithTheDatabasesReason)
    {
        testsupport::SqliteProbe probe(foundation::hostPath(chatkit::smsDatabaseDevicePath));
        ASSERT_EQ(probe.exec("CREATE TRIGGER full BEFORE INSERT ON message BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END"), "");
        boot();
        auto received = phone().receiveSMS(AnnasNumber, "hello");
        ASSERT_FALSE(received);
        EXPECT_EQ(received.reason(), "the Messages database could not store the message: cannot write the message: database or disk is full");
        EXPECT_TRUE(state()["banner"].is_null());
        EXPECT_EQ(probe.integer("SELECT COUNT(*) FROM message"), 0);
    }

    // What the Messages database holds, row by row, for comparing before and after.
    std::vector<std::string> storedRows()
    {
        std::vector<std::string> rows;
        for (const auto& m : chatkit::listMessages())
            rows.push_back(std::to_string(m.rowID) + " " + m.address + " " + m.text + (m.read ? " read" : " unread") + (m.outgoing ? " sent" : ""));
        return rows;
    }

    // The SMS chain as the extensions run it, to a number with no conversation yet.
    void sendSMS(const std::string& to, const std::string& text)
    {
        Id service = send<Id>(runtime::classNamed("CKSMSService"), "sharedSMSService");
        Id entity = send<Id>(service, "copyEntityForAddressString:", to);
        Id list = send<Id>(runtime::classNamed("CKConversationList"), "sharedConversationList");
        Id conversation = send<Id>(list, "conversationForRecipients:create:service:", std::vector<Id> { entity }, true, service);
        Id message = send<Id>(service, "_newSMSMessageWithText:forConversation:", text, conversation);
        send(service, "sendMessage:", message);
    }

    TEST_F(PhoneTraffic, WhenSmsDbCannotBeWrittenMessagesAreRefusedAndEveryStoredRowStays)
    {
        using foundation::FileFault;
        using foundation::FileOperation;
        const std::pair<const char*, FileFault> faults[] = {
            { "the disk is full", FileFault::on(FileOperation::Write).withError(ENOSPC).onPath("sms.db").always() },
            { "the disk fills up in the middle of a page", FileFault::on(FileOperation::Write).withError(ENOSPC).onPath("sms.db").halfWritten().always() },
            { "the device fails", FileFault::on(FileOperation::Write).withError(EIO).onPath("sms.db").fromCall(2).always() },
        };
        boot();
        ASSERT_TRUE(phone().receiveSMS(AnnasNumber, "prima"));
        phone().advance(10);
        const auto before = storedRows();
        for (const auto& [name, fault] : faults) {
            SCOPED_TRACE(name);
            {
                foundation::ArmedFileFault armed(fault);
                auto received = phone().receiveSMS(AnnasNumber, "durante");
                EXPECT_FALSE(received);
                EXPECT_TRUE(state()["banner"].is_null()) << "no bulletin for a message that was not stored";

                sendSMS("+393479999999", "risposta");
                EXPECT_TRUE(logContains("SMS to +393479999999 not stored"));

                // Marking the stored message read fails; it stays unread.
                Id stored = send<Id>(send<Id>(runtime::classNamed("CKSMSMessage"), "alloc"), "initWithRowID:", int64_t(1));
                send(stored, "markAsRead");
            }
            EXPECT_EQ(storedRows(), before);
            // A send that stored nothing leaves no empty conversation behind.
            EXPECT_EQ(chatkit::sharedStore()->groupFor({ "+393479999999" }, false), std::nullopt);
        }
        // With room again, the next message goes in after the old ones.
        ASSERT_TRUE(phone().receiveSMS(AnnasNumber, "dopo"));
        auto after = storedRows();
        ASSERT_EQ(after.size(), before.size() + 1);
        EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin()));
    }

    TEST_F(PhoneTraffic, AnEMailIsAnnouncedByItsBulletinThenByTheMailService)
    {
        boot();
        m_hooks.trace<1, void, const Id&, const Id&, int64_t>("SBBulletinBannerController", "observer:addBulletin:forFeed:", "bulletin;");
        m_hooks.trace<2, void, const std::vector<uint8_t>&, const foundation::PlistValue&>("MSNotificationService",
            "_didReceiveNotificationData:userInfo:", "newMail;");
        auto received = phone().receiveMail("luca@example.com", "Minutes", "See you at ten.");
        ASSERT_TRUE(received) << received.reason();
        EXPECT_EQ(g_trace, "bulletin;newMail;");

        auto banner = springboard::SBBulletinBannerController::sharedInstance()->currentBulletin();
        ASSERT_TRUE(banner);
        EXPECT_EQ(banner->sectionID(), "com.apple.mobilemail");
        EXPECT_EQ(banner->title(), "luca@example.com");
        EXPECT_EQ(banner->message(), "Minutes");
        auto inbox = mail::listInbox();
        ASSERT_EQ(inbox.size(), 1u);
        EXPECT_EQ(banner->defaultAction()->launchURL(), inbox[0].reference) << "the launch URL is the mail's reference";

        ASSERT_TRUE(phone().tapView("bannerMessage"));
        EXPECT_EQ(state()["frontApp"], "com.apple.mobilemail");
    }

    std::string g_activations;

    class ComposeListener : public Object {
        PLV_CLASS(ComposeListener, Object)
    public:
        static void registerMethods(runtime::ClassBuilder<ComposeListener>& b)
        {
            b.method("activator:receiveEvent:forListenerName:", [](ComposeListener&, const Id&, const Id& event, const std::string& name) {
                g_activations += name + "@" + send<std::string>(event, "mode") + ";";
            });
        }
    };

    TEST_F(PhoneActions, TheActivatorActionReachesTheListenerByNameWithTheDevicesMode)
    {
        boot();
        g_activations.clear();
        auto listener = runtime::make<ComposeListener>();
        send(send<Id>(runtime::classNamed("LAActivator"), "sharedInstance"), "registerListener:forName:", listener, "it.kelvane.RDLComposer");
        ASSERT_TRUE(phone().activator("it.kelvane.RDLComposer"));
        phone().openApp("com.apple.MobileSMS");
        phone().activator("it.kelvane.RDLComposer");
        phone().lock();
        phone().activator("it.kelvane.RDLComposer");
        EXPECT_EQ(g_activations, "it.kelvane.RDLComposer@springboard;it.kelvane.RDLComposer@application;it.kelvane.RDLComposer@lockscreen;");
        EXPECT_EQ(phone().activator("other").reason(), "no Activator listener is registered as \"other\"");
    }

    TEST_F(PhoneActions, TouchesAndKeysThatReachNothingAreRefused)
    {
        boot();
        EXPECT_EQ(phone().tap(CGPointMake(-5, 900)).reason(), "nothing on screen at (-5, 900) takes a touch");
        EXPECT_EQ(phone().tapView("sendButton").reason(), "no view named \"sendButton\" on screen");
        EXPECT_EQ(phone().type("hello").reason(), "nothing is being edited: no text field or text view has the keyboard");
        EXPECT_EQ(phone().backspace(2).reason(), "nothing is being edited: no text field or text view has the keyboard");
        EXPECT_EQ(phone().backspace(-1).reason(), "backspace needs a count of zero or more");
        EXPECT_EQ(phone().swipe("homeScreen", CGPointMake(50, 0)).reason(), "a swipe needs a velocity of at least 100 points per second");
        EXPECT_EQ(phone().swipe(CGPointMake(10, 10), CGPointMake(NAN, 0)).reason(), "a swipe needs a finite velocity");
        EXPECT_EQ(phone().advance(-1).reason(), "time moves forward only: advance needs zero or more seconds");

        phone().openApp("com.apple.MobileSMS");
        auto covered = phone().tapView("statusBarTime");
        EXPECT_FALSE(covered) << "the status bar takes no touches";
    }

    TEST_F(PhoneActions, TypingGoesToTheFirstResponderThroughTheKeyboard)
    {
        boot();
        auto field = runtime::make<UITextField>();
        field->setFrame(CGRectMake(10, 100, 200, 30));
        auto window = runtime::make<UIWindow>();
        window->setFrame(CGRectMake(0, 0, 320, 480));
        window->setWindowLevel(UIWindowLevelStatusBar - 1);
        window->addSubview(field);
        window->makeKeyAndVisible();
        field->becomeFirstResponder();
        ASSERT_TRUE(phone().type("Ciao!"));
        ASSERT_TRUE(phone().backspace(1));
        EXPECT_EQ(field->text(), "Ciao");
    }

    TEST_F(PhoneActions, ActionsFromAnotherThreadRunOnTheMainRunLoop)
    {
        boot({ .clock = foundation::ClockKind::System });
        std::atomic<bool> done { false };
        phone::ActionResult result = foundation::Error("the worker did not run");
        std::thread worker([&] {
            result = phone().receiveSMS(AnnasNumber, "from a worker");
            done = true;
        });
        while (!done)
            phone().runLoop().runPending();
        worker.join();
        EXPECT_TRUE(result) << result.reason();
        EXPECT_EQ(state()["banner"]["message"], "from a worker");
    }

} // namespace
} // namespace springboard_test
