#include "MailTestSupport.h"

#include <mail/MSNotificationService.h>
#include <mail/NewMailNotification.h>

#include <runtime/Runtime.h>

using namespace mail;
using namespace mail_test;
using foundation::PlistArray;
using foundation::PlistDictionary;
using foundation::PlistValue;

namespace {

using NotificationImp = void (*)(runtime::Object*, runtime::Sel, const std::vector<uint8_t>&, const PlistValue&);
NotificationImp s_saved;
std::vector<PlistValue> s_seen;

void notificationHook(runtime::Object* self, runtime::Sel selector, const std::vector<uint8_t>& data, const PlistValue& userInfo)
{
    s_seen.push_back(userInfo);
    s_saved(self, selector, data, userInfo);
}

class NewMail : public MailTest {
protected:
    void SetUp() override
    {
        MailTest::SetUp();
        s_seen.clear();
    }
};

TEST_F(NewMail, NotificationReachesAHookWithTheKeys)
{
    auto reference = receiveMail("anna@example.it", "Cena", "Ci vediamo\n\n  alle 8?");
    ASSERT_TRUE(reference);
    runtime::Class* cls = runtime::classNamed("MSNotificationService");
    ASSERT_TRUE(cls);
    ASSERT_EQ(runtime::hookMessage(cls, "_didReceiveNotificationData:userInfo:", &notificationHook, &s_saved), runtime::HookResult::Ok);
    bool posted = postNewMailNotification({ *reference });
    runtime::revertHook(cls, "_didReceiveNotificationData:userInfo:", &notificationHook, s_saved);
    ASSERT_TRUE(posted);

    ASSERT_EQ(s_seen.size(), 1u);
    const PlistValue* messages = s_seen[0].find("MSNotificationKeyMessages");
    ASSERT_TRUE(messages && messages->isArray());
    ASSERT_EQ(messages->asArray()->size(), 1u);
    const PlistValue& first = messages->asArray()->front();
    EXPECT_EQ(first.find("MSResultsKeyMessageReference")->stringValue(), *reference);
    EXPECT_EQ(first.find("MSResultsKeyBodySummary")->stringValue(), "Ci vediamo alle 8?");
    EXPECT_EQ(first.find("MSResultsKeySender")->stringValue(), "anna@example.it");
    EXPECT_EQ(first.find("MSResultsKeySubject")->stringValue(), "Cena");
    EXPECT_EQ(MSNotificationService::sharedInstance()->notificationCount(), 1) << "the hook called through";
}

TEST_F(NewMail, NothingIsPostedForUnknownMailOrWithoutTheService)
{
    EXPECT_FALSE(postNewMailNotification({ "message://%3cnobody@example.com%3e" }));
    EXPECT_FALSE(postNewMailNotification({}));
    auto reference = receiveMail("anna@example.it", "s", "b");
    ASSERT_TRUE(reference);
    {
        runtime::ScopedClassRemoval absent("MSNotificationService");
        EXPECT_FALSE(postNewMailNotification({ *reference }));
    }
    EXPECT_EQ(MSNotificationService::sharedInstance()->notificationCount(), 0);
    EXPECT_TRUE(postNewMailNotification({ "message://%3cnobody@example.com%3e", *reference }));
    EXPECT_EQ(MSNotificationService::sharedInstance()->lastUserInfo().find("MSNotificationKeyMessages")->asArray()->size(), 1u);
}

TEST(BodySummary, IsOneTrimmedLineCutOnACharacterBoundary)
{
    EXPECT_EQ(bodySummary("  Hello\r\n\r\n\tworld  \n"), "Hello world");
    EXPECT_EQ(bodySummary(""), "");
    EXPECT_EQ(bodySummary(" \n "), "");
    std::string accents;
    for (size_t i = 0; i < BodySummaryLength + 10; ++i)
        accents += "è";
    EXPECT_EQ(bodySummary(accents), accents.substr(0, BodySummaryLength * 2));
    std::string words(BodySummaryLength - 1, 'a');
    EXPECT_EQ(bodySummary(words + " b"), words) << "no blank is left dangling at the cut";
}

TEST(ValueForKey, ArraysAnswerOneValuePerElement)
{
    PlistValue messages(PlistArray {
        PlistValue(PlistDictionary { { "MSResultsKeySender", "a@example.com" } }),
        PlistValue(PlistDictionary { { "MSResultsKeySubject", "no sender" } }),
    });
    auto senders = valueForKey(messages, "MSResultsKeySender");
    ASSERT_TRUE(senders && senders->isArray());
    ASSERT_EQ(senders->asArray()->size(), 2u);
    EXPECT_EQ(*senders->asArray()->at(0).asString(), "a@example.com");
    EXPECT_FALSE(senders->asArray()->at(1).isString()) << "a missing value reads as the platform's null";
    EXPECT_FALSE(valueForKey(PlistValue("text"), "MSResultsKeySender"));
    EXPECT_FALSE(valueForKey(PlistValue(PlistDictionary {}), "MSResultsKeySender"));
    EXPECT_EQ(*valueForKey(PlistValue(PlistDictionary { { "k", 3 } }), "k"), PlistValue(3));
}

} // namespace
