// The message sender against the phone's own messaging classes over a real
// sms.db: where each chain stops when a class is gone or a step answers
// nothing, what a sent message leaves in the database, the iMessage address
// rule, the identifiers and the picture part.
#include "chatkit/ChatKitTestSupport.h"
#include "support/TestClock.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <chatkit/ChatKit.h>
#include <extension/KelvaneMessageSender.h>
#include <foundation/Uuid.h>
#include <support/TemporaryDevice.h>
#include <uikit/UIImage.h>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

namespace {

using chatkit_test::RawDatabase;
using parlivo::KelvaneMessageSender;
using runtime::Id;
using runtime::Object;
using runtime::Sel;

constexpr double Now = testsupport::testNow;

// Puts a replacement in place of a platform method for one test.
class ScopedHook {
public:
    template <class R, class... A>
    ScopedHook(runtime::Class* cls, const char* selector, R (*replacement)(Object*, Sel, A...))
        : m_class(cls)
        , m_selector(selector)
        , m_replacement(reinterpret_cast<runtime::Imp>(replacement))
    {
        m_result = runtime::hookMessageRaw(cls, selector, runtime::signatureOf<R, A...>(), m_replacement, &m_saved);
    }
    // The same, handing back the replaced method for the replacement to call.
    template <class R, class... A>
    ScopedHook(runtime::Class* cls, const char* selector, R (*replacement)(Object*, Sel, A...), R (**saved)(Object*, Sel, A...))
        : ScopedHook(cls, selector, replacement)
    {
        *saved = reinterpret_cast<R (*)(Object*, Sel, A...)>(m_saved);
    }
    ~ScopedHook()
    {
        if (m_result == runtime::HookResult::Ok)
            runtime::revertHookRaw(m_class, m_selector, m_replacement, m_saved);
    }
    ScopedHook(const ScopedHook&) = delete;
    ScopedHook& operator=(const ScopedHook&) = delete;
    bool installed() const { return m_result == runtime::HookResult::Ok; }

private:
    runtime::Class* m_class;
    runtime::Sel m_selector;
    runtime::Imp m_replacement;
    runtime::Imp m_saved { nullptr };
    runtime::HookResult m_result;
};

runtime::Class* platformClass(const char* name) { return runtime::classNamed(name); }

Id answerNothing(Object*, Sel, const Id&, const Id&) { return runtime::nil; }
Id answerNothingForRecipients(Object*, Sel, const std::vector<Id>&, bool) { return runtime::nil; }
Id answerNoHandle(Object*, Sel) { return runtime::nil; }
void raiseOnPrepare(Object*, Sel, const Id&, const Id&) { throw runtime::ObjCException("NSInternalInconsistencyException", "chat went away"); }
Id raiseOnNewSMS(Object*, Sel, const std::string&, const Id&) { throw runtime::ObjCException("NSInvalidArgumentException", "no SIM card"); }

std::vector<std::string> g_serviceTrace;
Id (*s_savedMadridEntity)(Object*, Sel, const std::string&) = nullptr;
Id traceMadridEntity(Object* self, Sel selector, const std::string& address)
{
    g_serviceTrace.push_back("iMessage entity " + address);
    return s_savedMadridEntity ? s_savedMadridEntity(self, selector, address) : runtime::nil;
}
Id (*s_savedMedia)(Object*, Sel, const std::vector<uint8_t>&, const std::string&, const std::string&) = nullptr;
Id traceMedia(Object* self, Sel selector, const std::vector<uint8_t>& bytes, const std::string& type, const std::string& name)
{
    g_serviceTrace.push_back("media " + type + " " + name);
    return s_savedMedia ? s_savedMedia(self, selector, bytes, type, name) : runtime::nil;
}

std::vector<std::string>& diagnostics()
{
    static std::vector<std::string> messages;
    return messages;
}

class SenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        diagnostics().clear();
        g_serviceTrace.clear();
        runtime::setDiagnosticSink([](std::string_view message) { diagnostics().emplace_back(message); });
        device = std::make_unique<testsupport::TemporaryDevice>();
        auto created = chatkit::createDatabase(device->host(chatkit::smsDatabaseDevicePath));
        ASSERT_TRUE(created) << created.reason();
        chatkit::registerChatKitClasses();
        chatkit::resetConfiguration();
        chatkit::resetChatKitObjects();
        chatkit::setClock([] { return Now; });
        chatkit::useDeviceDatabase();
        uikit::UIImage::classObject();
        KelvaneMessageSender::classObject();
        kelvane::KelvaneLogger::resetForTesting();
        kelvane::KelvaneLogger::setProjectName("PLV", true);
    }

    void TearDown() override
    {
        // A selector or signature the platform does not know would pass for
        // a step that answered nothing; no test may lean on that.
        EXPECT_TRUE(diagnostics().empty()) << diagnostics().front();
        chatkit::closeDatabase();
        chatkit::resetChatKitObjects();
        chatkit::resetConfiguration();
        kelvane::KelvaneLogger::resetForTesting();
        runtime::setDiagnosticSink(nullptr);
        device.reset();
        foundation::setDeviceRoot({});
    }

    // Through the runtime, as the windows call it.
    std::string sms(const std::string& text, const std::string& address)
    {
        return runtime::send<std::string>(platformClass("KelvaneMessageSender"), "sendMessage:toNumber:", text, address);
    }
    std::string iMessage(const std::string& text, const std::string& address)
    {
        return runtime::send<std::string>(platformClass("KelvaneMessageSender"), "sendiMessage:toNumber:", text, address);
    }
    std::string iMessage(const std::string& text, const std::string& address, const Id& image)
    {
        return runtime::send<std::string>(platformClass("KelvaneMessageSender"), "sendiMessage:toNumber:withImage:", text, address, image);
    }

    std::vector<std::string> logEntries() const { return device->logEntries("/var/mobile/Library/PLV/PLV.log"); }

    RawDatabase database() { return RawDatabase(device->host(chatkit::smsDatabaseDevicePath)); }
    size_t rows() { return chatkit::listMessages().size(); }

    static runtime::Ref<uikit::UIImage> picture(uint32_t width, uint32_t height)
    {
        uikit::Bitmap bitmap { width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 4) };
        for (size_t i = 0; i < bitmap.rgba.size(); ++i)
            bitmap.rgba[i] = static_cast<uint8_t>(i * 7 % 251);
        return uikit::UIImage::imageWithBitmap(std::move(bitmap));
    }

    std::unique_ptr<testsupport::TemporaryDevice> device;
};

using SmsChain = SenderTest;

TEST_F(SmsChain, ASentSmsIsAnOutgoingRowAddressedAsGiven)
{
    EXPECT_EQ(sms("Arrivo tra dieci minuti", "+39 333 123 4567"), "OK");
    auto listed = chatkit::listMessages();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].address, "+39 333 123 4567") << "no normalisation on the SMS path";
    EXPECT_EQ(listed[0].text, "Arrivo tra dieci minuti");
    EXPECT_TRUE(listed[0].outgoing);
    EXPECT_EQ(listed[0].kind, chatkit::MessageKind::SMS);
    EXPECT_EQ(logEntries(), std::vector<std::string> { "DEV:KelvaneMessageSender sendMessage" });

    // A second reply to the same number joins its conversation.
    EXPECT_EQ(sms("Anzi venti", "+39 333 123 4567"), "OK");
    EXPECT_EQ(database().integer("SELECT COUNT(*) FROM msg_group"), 1);
}

TEST_F(SmsChain, EachMissingStepNamesItself)
{
    {
        runtime::ScopedClassRemoval gone("CKSMSService");
        EXPECT_EQ(sms("ciao", "+393331234567"), "No Service");
    }
    {
        runtime::ScopedClassRemoval gone("CKConversationList");
        EXPECT_EQ(sms("ciao", "+393331234567"), "Cannot retrieve SMS list");
    }
    EXPECT_EQ(rows(), 0u);
}

TEST_F(SmsChain, MissingArgumentsAreLoggedAndTheChainStillRuns)
{
    EXPECT_EQ(sms("ciao", ""), "No entity");
    EXPECT_EQ(sms("", "+393331234567"), "No sms");
    EXPECT_EQ(logEntries(),
        (std::vector<std::string> { "CRITICAL:Nil arguments", "DEV:KelvaneMessageSender sendMessage", "CRITICAL:Nil arguments",
            "DEV:KelvaneMessageSender sendMessage" }));
    EXPECT_EQ(rows(), 0u);
}

TEST_F(SmsChain, APlatformExceptionReachesTheCaller)
{
    ScopedHook raising(platformClass("CKSMSService"), "_newSMSMessageWithText:forConversation:", &raiseOnNewSMS);
    ASSERT_TRUE(raising.installed());
    EXPECT_THROW(sms("ciao", "+393331234567"), runtime::ObjCException);
    EXPECT_EQ(rows(), 0u);
}

TEST_F(SmsChain, LongEmojiAndRightToLeftTextIsStoredIntact)
{
    std::string text;
    while (text.size() < 10000)
        text += "Ciao 😀 שלום عربى ";
    EXPECT_EQ(sms(text, "+393331234567"), "OK");
    ASSERT_EQ(rows(), 1u);
    EXPECT_EQ(chatkit::listMessages()[0].text, text);
}

using IMessageChain = SenderTest;

TEST_F(IMessageChain, ASentIMessageIsAnOutgoingRowToTheHandle)
{
    EXPECT_EQ(iMessage("Visto!", "anna@example.com"), "OK");
    RawDatabase raw = database();
    EXPECT_EQ(raw.integer("SELECT is_madrid FROM message"), 1);
    EXPECT_EQ(raw.text("SELECT madrid_handle FROM message"), "anna@example.com");
    EXPECT_EQ(raw.text("SELECT text FROM message"), "Visto!");
    EXPECT_EQ(raw.integer("SELECT date FROM message"), static_cast<int64_t>(Now) - chatkit::MacEpochOffset) << "dated by the phone's clock";
    EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM madrid_attachment"), 0);
    EXPECT_TRUE(logEntries().empty());
}

TEST_F(IMessageChain, ASkippedSendIsNeverReportedAsSent)
{
    {
        chatkit::setMadridEnabled(false);
        EXPECT_EQ(iMessage("a", "anna@example.com"), "No Service");
        chatkit::setMadridEnabled(true);
    }
    {
        runtime::ScopedClassRemoval gone("CKMadridService");
        EXPECT_EQ(iMessage("a", "anna@example.com"), "No Service");
    }
    EXPECT_EQ(iMessage("a", ""), "No entity") << "no entity for an empty handle";
    {
        ScopedHook noCheck(platformClass("CKMadridService"), "_conversationWithRecipients:createIfNecessary:", &answerNothingForRecipients);
        ASSERT_TRUE(noCheck.installed());
        EXPECT_EQ(iMessage("a", "anna@example.com"), "No entity");
    }
    {
        runtime::ScopedClassRemoval gone("IMChatRegistry");
        EXPECT_EQ(iMessage("a", "anna@example.com"), "No entity");
    }
    {
        // The handle itself is not checked: without one there is no chat.
        ScopedHook noHandle(platformClass("CKEntity"), "defaultIMHandle", &answerNoHandle);
        ASSERT_TRUE(noHandle.installed());
        EXPECT_EQ(iMessage("a", "anna@example.com"), "No entity");
    }
    {
        runtime::ScopedClassRemoval gone("CKConversationList");
        EXPECT_EQ(iMessage("a", "anna@example.com"), "Cannot retrieve SMS list");
    }
    EXPECT_EQ(iMessage("", "anna@example.com"), "No sms") << "nothing to send makes no message";
    {
        ScopedHook noMadridMessage(platformClass("CKMadridService"), "_madridMessageForIMMessage:inIMChat:", &answerNothing);
        ASSERT_TRUE(noMadridMessage.installed());
        EXPECT_EQ(iMessage("a", "anna@example.com"), "No sms");
    }
    EXPECT_EQ(rows(), 0u);
    EXPECT_TRUE(logEntries().empty());
}

TEST_F(IMessageChain, APlatformExceptionIsLoggedAndReportedAsAnError)
{
    ScopedHook raising(platformClass("CKMadridService"), "_prepareIMChat:andSendMessage:", &raiseOnPrepare);
    ASSERT_TRUE(raising.installed());
    EXPECT_EQ(iMessage("a", "anna@example.com"), "ERROR");
    EXPECT_EQ(iMessage("a", "anna@example.com", picture(2, 2)), "ERROR");
    EXPECT_EQ(logEntries(), (std::vector<std::string> { "SEVERE:chat went away", "SEVERE:chat went away" }));
    EXPECT_EQ(rows(), 0u);
}

TEST_F(IMessageChain, PhonePrefixedAddressesLoseOnlyThePrefixWithAPlus)
{
    EXPECT_EQ(KelvaneMessageSender::normalisedIMessageAddress("p:+393331234567"), "393331234567");
    EXPECT_EQ(KelvaneMessageSender::normalisedIMessageAddress("p:393331234567"), "p:393331234567");
    EXPECT_EQ(KelvaneMessageSender::normalisedIMessageAddress("+393331234567"), "+393331234567");
    EXPECT_EQ(KelvaneMessageSender::normalisedIMessageAddress("anna@p:+example.com"), "anna@p:+example.com") << "only a leading p: starts it";
    EXPECT_EQ(KelvaneMessageSender::normalisedIMessageAddress("p:+39p:+333"), "39333") << "every occurrence goes";
    EXPECT_EQ(KelvaneMessageSender::normalisedIMessageAddress("p:p:++1"), "p:+1") << "in one pass";
    EXPECT_EQ(KelvaneMessageSender::normalisedIMessageAddress("p:"), "p:");

    // What reaches the service and the database.
    EXPECT_EQ(iMessage("uno", "p:+393331234567"), "OK");
    EXPECT_EQ(iMessage("due", "p:393331234567"), "OK");
    EXPECT_EQ(iMessage("tre", "+39 333 123 4567"), "OK");
    RawDatabase raw = database();
    EXPECT_EQ(raw.text("SELECT madrid_handle FROM message WHERE text = 'uno'"), "393331234567");
    EXPECT_EQ(raw.text("SELECT madrid_handle FROM message WHERE text = 'due'"), "p:393331234567");
    EXPECT_EQ(raw.text("SELECT madrid_handle FROM message WHERE text = 'tre'"), "+39 333 123 4567");
}

TEST_F(IMessageChain, EveryMessageCarriesItsOwnIdentifier)
{
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(iMessage("msg " + std::to_string(i), "anna@example.com"), "OK");
    RawDatabase raw = database();
    EXPECT_EQ(raw.integer("SELECT COUNT(DISTINCT madrid_guid) FROM message"), 5);
    std::string guid = raw.text("SELECT madrid_guid FROM message").value_or("");
    EXPECT_EQ(guid.size(), 36u);
    EXPECT_TRUE(foundation::isUuidString(guid)) << guid;

    auto first = runtime::send<std::string>(platformClass("KelvaneMessageSender"), "stringWithUUID");
    auto second = runtime::send<std::string>(platformClass("KelvaneMessageSender"), "stringWithUUID");
    EXPECT_NE(first, second);
    EXPECT_EQ(first.size(), 36u);
    for (char c : first)
        EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || c == '-') << first;
}

TEST_F(IMessageChain, LongEmojiAndRightToLeftTextIsStoredIntact)
{
    std::string text;
    while (text.size() < 10000)
        text += "שלום 😀 ciao ";
    EXPECT_EQ(iMessage(text, "anna@example.com"), "OK");
    ASSERT_EQ(rows(), 1u);
    EXPECT_EQ(chatkit::listMessages()[0].text, text);
}

using PictureChain = SenderTest;

TEST_F(PictureChain, ThePictureTravelsAsOneJpegPartAfterTheText)
{
    auto image = picture(40, 30);
    EXPECT_EQ(iMessage("Guarda", "p:+393331234567", image), "OK");
    RawDatabase raw = database();
    EXPECT_EQ(raw.text("SELECT text FROM message"), "Guarda");
    EXPECT_EQ(raw.text("SELECT madrid_handle FROM message"), "393331234567");
    EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM madrid_attachment"), 1);
    EXPECT_EQ(raw.text("SELECT mime_type FROM madrid_attachment"), "image/jpeg");
    std::string filename = raw.text("SELECT filename FROM madrid_attachment").value_or("");
    EXPECT_TRUE(filename.ends_with("/image.jpg")) << filename;
    EXPECT_EQ(chatkit_test::readFile(device->host(filename)), uikit::UIImageJPEGRepresentation(image, 1.0)) << "best quality";

    auto rowID = raw.integer("SELECT ROWID FROM message").value_or(0);
    Id stored = runtime::send<Id>(runtime::send<Id>(platformClass("CKDBMessage"), "alloc"), "initWithRecordID:", rowID);
    auto parts = runtime::send<std::vector<Id>>(stored, "messageParts");
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_FALSE(parts[0]->isKindOfClass(platformClass("CKMediaObjectMessagePart")));
    EXPECT_TRUE(parts[1]->isKindOfClass(platformClass("CKMediaObjectMessagePart")));
}

TEST_F(PictureChain, APictureWithoutTextIsStillSent)
{
    EXPECT_EQ(iMessage("", "anna@example.com", picture(8, 8)), "OK");
    EXPECT_EQ(database().integer("SELECT COUNT(*) FROM madrid_attachment"), 1);
}

TEST_F(PictureChain, NoPictureTouchesNoService)
{
    ScopedHook entities(platformClass("CKMadridService"), "copyEntityForAddressString:", &traceMadridEntity, &s_savedMadridEntity);
    ASSERT_TRUE(entities.installed());
    EXPECT_EQ(iMessage("Guarda", "anna@example.com", runtime::nil), "NOT OK");
    EXPECT_TRUE(g_serviceTrace.empty());
    EXPECT_EQ(logEntries(), std::vector<std::string> { "CRITICAL:IMAGE IS NIL" });
    EXPECT_EQ(rows(), 0u);
}

TEST_F(PictureChain, APictureThatCannotBeDecodedIsAnError)
{
    auto bytes = uikit::UIImagePNGRepresentation(picture(16, 16));
    bytes.resize(bytes.size() / 2);
    auto broken = uikit::UIImage::imageWithData(bytes);
    ASSERT_NE(broken, nullptr) << "the header still reads as a picture";
    EXPECT_EQ(iMessage("Guarda", "anna@example.com", broken), "ERROR");
    EXPECT_EQ(logEntries(), std::vector<std::string> { "CRITICAL:MO IS NIL" });
    EXPECT_EQ(rows(), 0u);
}

TEST_F(PictureChain, MissingMediaClassesStopTheSend)
{
    {
        runtime::ScopedClassRemoval gone("CKMediaObjectManager");
        EXPECT_EQ(iMessage("a", "anna@example.com", picture(2, 2)), "ERROR");
    }
    {
        runtime::ScopedClassRemoval gone("CKMediaObjectMessagePart");
        EXPECT_EQ(iMessage("a", "anna@example.com", picture(2, 2)), "ERROR");
    }
    EXPECT_EQ(logEntries(), (std::vector<std::string> { "CRITICAL:MO IS NIL", "CRITICAL:MP IS NIL" }));
    EXPECT_EQ(rows(), 0u);
}

TEST_F(PictureChain, TheRouteIsCheckedBeforeThePictureIsEncoded)
{
    ScopedHook media(platformClass("CKMediaObjectManager"), "newMediaObjectForData:mimeType:exportedFilename:", &traceMedia, &s_savedMedia);
    ASSERT_TRUE(media.installed());
    chatkit::setMadridEnabled(false);
    EXPECT_EQ(iMessage("a", "anna@example.com", picture(2, 2)), "No Service");
    EXPECT_TRUE(g_serviceTrace.empty());
    chatkit::setMadridEnabled(true);
    EXPECT_EQ(iMessage("a", "anna@example.com", picture(2, 2)), "OK");
    EXPECT_EQ(g_serviceTrace, std::vector<std::string> { "media image/jpeg image.jpg" });
}

} // namespace
