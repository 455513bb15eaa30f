#include "SenderChains.h"

#include <functional>

using namespace chatkit_test;

namespace {

class AbsentClass : public OwnMessagesDatabase { };

struct Case {
    const char* absentClass;
    std::function<std::string()> run;
    std::string expected;
};

TEST_F(AbsentClass, EveryCallerGetsNil)
{
    auto picture = fakeJPEG();
    ASSERT_TRUE(chatkit::receiveIMessage("friend@example.com", "with picture", picture));
    auto recordExists = [&](const char* cls) { return dbMessage(1, cls) ? std::string("message") : std::string("nil"); };
    auto mediaParts = [&] {
        int media = 0;
        for (const auto& part : send<std::vector<Id>>(dbMessage(1), "messageParts"))
            media += send<bool>(part, "isKindOfClass:", classObject("CKMediaObjectMessagePart")) ? 1 : 0;
        return std::to_string(media) + " media";
    };
    std::vector<Case> cases = {
        { "CKSMSService", [] { return sendSMS("x", "555"); }, "No Service" },
        { "CKEntity", [] { return sendSMS("x", "555"); }, "No entity" },
        { "CKConversationList", [] { return sendSMS("x", "555"); }, "Cannot retrieve SMS list" },
        { "CKConversation", [] { return sendSMS("x", "555"); }, "No sms" },
        { "CKSMSMessage", [] { return sendSMS("x", "555"); }, "No sms" },
        { "CKMadridService", [] { return sendIMessage("x", "a@b.c", "G"); }, "service" },
        { "CKMadridService", [] { return std::to_string(send<bool>(classObject("CKMadridService"), "isMadridEnabled")); }, "0" },
        { "CKConversation", [] { return sendIMessage("x", "a@b.c", "G"); }, "check" },
        { "IMHandle", [] { return sendIMessage("x", "a@b.c", "G"); }, "chat" },
        { "IMChatRegistry", [] { return sendIMessage("x", "a@b.c", "G"); }, "registry" },
        { "IMChat", [] { return sendIMessage("x", "a@b.c", "G"); }, "chat" },
        { "IMMessage", [] { return sendIMessage("x", "a@b.c", "G"); }, "im message" },
        { "CKMadridMessage", [] { return sendIMessage("x", "a@b.c", "G"); }, "madrid message" },
        { "CKMediaObjectManager", [&] { return sendIMessage("x", "a@b.c", "G", picture); }, "MO IS NIL" },
        { "CKMediaObject", [&] { return sendIMessage("x", "a@b.c", "G", picture); }, "MO IS NIL" },
        { "CKMediaObjectMessagePart", [&] { return sendIMessage("x", "a@b.c", "G", picture); }, "MP IS NIL" },
        { "CKMediaObjectMessagePart", mediaParts, "0 media" },
        { "CKMessageComposition",
            [] { return send<Id>(classObject("CKMessageComposition"), "newCompositionForText:", std::string("x")) ? "composition" : "nil"; }, "nil" },
        { "CKTextMessagePart",
            [] { return std::to_string(send<std::vector<Id>>(send<Id>(classObject("CKMessageComposition"), "newCompositionForText:", std::string("x")), "messageParts").size()); },
            "0" },
        { "CKDBMessage", [&] { return recordExists("CKDBMessage"); }, "nil" },
        { "CKIMDBMessage", [&] { return recordExists("CKIMDBMessage"); }, "nil" },
    };
    for (const auto& c : cases) {
        chatkit::resetChatKitObjects();
        std::string result;
        {
            runtime::ScopedClassRemoval removal(c.absentClass);
            result = c.run();
        }
        EXPECT_EQ(result, c.expected) << "without " << c.absentClass;
        chatkit::resetChatKitObjects();
        EXPECT_NE(c.run(), c.expected) << "with " << c.absentClass << " back";
    }
    RawDatabase raw(m_databasePath);
    EXPECT_EQ(raw.integer("SELECT read FROM message WHERE ROWID = 1"), 0) << "nothing marked the message read";
}

TEST_F(AbsentClass, IncomingSMSIsStoredEvenWithoutItsObjectClasses)
{
    for (const char* cls : { "CTMessage", "CKSMSMessage" }) {
        runtime::ScopedClassRemoval removal(cls);
        EXPECT_TRUE(chatkit::receiveSMS("555", cls));
    }
    EXPECT_EQ(chatkit::listMessages().size(), 2u);
}

} // namespace
