#include "ParlivoFixture.h"

#include <chatkit/ChatKit.h>
#include <springboard/BBBulletin.h>
#include <uikit/ImageCodec.h>

namespace parlivo_test {
namespace {

    using Banner = ParlivoTest;

    bool isRead(int64_t row)
    {
        for (const auto& message : chatkit::listMessages()) {
            if (message.rowID == row)
                return message.read;
        }
        return false;
    }

    TEST_F(Banner, AMessagesBannerCarriesTheIconAndATapBesideItOpensTheQuickReply)
    {
        bootWithParlivo();
        auto row = phone().receiveSMS(AnnasNumber, "Ciao");
        ASSERT_TRUE(row && row->recordID);
        EXPECT_EQ(tweak().messageID, *row->recordID);
        auto icon = bannerView()->viewNamed("parlivoBannerIcon");
        ASSERT_TRUE(icon);
        EXPECT_EQ(icon->frame(), uikit::CGRectMake(5, 11, 21, 21));

        ASSERT_TRUE(phone().tapView("bannerTitle"));
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Open);
        EXPECT_EQ(rdl().lastMessage(), "Ciao");
        EXPECT_EQ(rdl().lastMessageAddress(), AnnasNumber);
        EXPECT_EQ(rdl().lastMessageType(), "sms");
        EXPECT_TRUE(isRead(*row->recordID));
        EXPECT_EQ(tweak().messageID, -1);
        EXPECT_EQ(g_windowTrace, "initWithMessage:Ciao;prepareView:NO;");
        EXPECT_EQ(rdl().alertWindow()->frame(), uikit::CGRectMake(0, 0, 320, 480));
        EXPECT_TRUE(rdl().alertWindow()->isKeyWindow());
        EXPECT_TRUE(rdl().alertWindow()->viewNamed("standInWindow"));
        EXPECT_TRUE(state()["frontApp"].is_null()) << "SpringBoard's own tap did not run";
        EXPECT_FALSE(state()["banner"].is_null()) << "the banner stays while the window is open";

        std::string log = logText();
        EXPECT_NE(log.find("\nNORMAL:ADDBULLETIN\nNORMAL:TOPIC IS sms\nDEV:il bulletin non è il nostro, mi becco l'URL"), std::string::npos) << log;
        EXPECT_NE(log.find("\nNORMAL:HANDLE TAP!"), std::string::npos);
    }

    TEST_F(Banner, TappingTheIconClosesTheBannerAndOpensMessages)
    {
        bootWithParlivo();
        phone().receiveSMS(AnnasNumber, "Ciao");
        ASSERT_TRUE(phone().tap(uikit::CGPointMake(15, 20)));
        EXPECT_EQ(state()["frontApp"], "com.apple.MobileSMS");
        EXPECT_TRUE(state()["banner"].is_null());
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Closed);
        EXPECT_TRUE(logHas("\nNORMAL:ho tappato l'icona del banner"));
        EXPECT_TRUE(logHas("\nDEV:apro l'app: com.apple.MobileSMS"));
    }

    TEST_F(Banner, AnIMessageIsRecordedAsSuchAndMarkedReadThroughTheIMessagePath)
    {
        bootWithParlivo();
        uikit::Bitmap bitmap { 2, 2, std::vector<uint8_t>(16, 90) };
        auto row = chatkit::receiveIMessage(AnnasNumber, "guarda", uikit::encodePng(bitmap));
        ASSERT_TRUE(row);
        // The phone's receive action posts the bulletin; here the database row
        // comes first, so post it the way SpringBoard does for it.
        Id bulletin = send<Id>(send<Id>(runtime::classNamed("BBBulletin"), "alloc"), "init");
        send(bulletin, "setSectionID:", std::string("com.apple.MobileSMS"));
        send(bulletin, "setRecordID:", std::to_string(*row));
        send(bulletin, "setTitle:", std::string("Anna Rossi"));
        send(bannerController(), "observer:addBulletin:forFeed:", runtime::nil, bulletin, int64_t { 0 });
        ASSERT_TRUE(phone().tapView("bannerTitle"));
        EXPECT_EQ(rdl().lastMessageType(), "iMessage");
        EXPECT_EQ(rdl().lastMessage(), "guarda");
        EXPECT_TRUE(isRead(*row));
        ASSERT_TRUE(rdl().multimediaObjects());
        EXPECT_EQ(rdl().multimediaObjects()->size(), 1u);
        EXPECT_EQ(send<std::vector<Id>>(tweak().rdl, "multimediaObjects").size(), 1u) << "what the window asks";
    }

    TEST_F(Banner, ABulletinWhileAWindowIsOpenIsDroppedAndRecordsNothing)
    {
        bootWithParlivo();
        auto first = phone().receiveSMS(AnnasNumber, "primo");
        phone().tapView("bannerTitle");
        ASSERT_EQ(rdl().status(), parlivo::WindowStatus::Open);
        auto sectionBefore = tweak().sectionID;
        phone().receiveMail("luca@example.com", "Minutes", "See attached.");
        phone().receiveSMS("+15550001111", "secondo");
        EXPECT_EQ(state()["banner"]["message"], "primo");
        EXPECT_EQ(tweak().messageID, -1);
        EXPECT_EQ(tweak().sectionID, sectionBefore);
        EXPECT_TRUE(tweak().isSMS);
        EXPECT_EQ(rdl().lastMessage(), "primo");
        std::string log = logText();
        EXPECT_TRUE(log.ends_with("\nNORMAL:ADDBULLETIN")) << log.substr(log.size() > 200 ? log.size() - 200 : 0);
    }

    TEST_F(Banner, SpringBoardsOwnRemovalsWaitWhileAWindowIsOpen)
    {
        bootWithParlivo();
        phone().receiveSMS(AnnasNumber, "Ciao");
        phone().tapView("bannerTitle");
        phone().advance(30);
        EXPECT_FALSE(state()["banner"].is_null()) << "the banner's own time-out was suppressed";
        send(tweak().rdl, "dismissBanner");
        EXPECT_TRUE(state()["banner"].is_null());
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Closed);
        EXPECT_TRUE(rdl().alertWindow()->isHidden());
        EXPECT_EQ(rdl().alertWindow()->frame(), uikit::CGRectMake(0, 0, 320, 0));
        EXPECT_FALSE(rdl().qRVC());
        EXPECT_EQ(g_windowTrace, "initWithMessage:Ciao;prepareView:NO;dismiss;");
        EXPECT_TRUE(logHas("\nDEV:RDL dismissBanner\nDEV:HeavyUtilities dismissBanner"));
    }

    TEST_F(Banner, OtherSectionsAndTapsOnThemAreLeftToSpringBoard)
    {
        bootWithParlivo();
        phone().receiveMail("luca@example.com", "Minutes", "See attached.");
        EXPECT_FALSE(tweak().isSMS);
        EXPECT_TRUE(logHas("\nNORMAL:Bulletin from com.apple.mobilemail, skipping."));
        EXPECT_FALSE(bannerView()->viewNamed("parlivoBannerIcon"));
        phone().tapView("bannerTitle");
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Closed);
        EXPECT_EQ(state()["frontApp"], "com.apple.mobilemail");
        EXPECT_TRUE(logHas("\nNORMAL:NOT SMS RETURNING"));
    }

    TEST_F(Banner, ABulletinWithoutAUsableRecordIdIsRecordedAsMinusOne)
    {
        bootWithParlivo();
        for (const char* recordID : { "0", "abc", "-4" }) {
            Id bulletin = send<Id>(send<Id>(runtime::classNamed("BBBulletin"), "alloc"), "init");
            send(bulletin, "setSectionID:", std::string("com.apple.MobileSMS"));
            send(bulletin, "setRecordID:", std::string(recordID));
            send(bannerController(), "observer:addBulletin:forFeed:", runtime::nil, bulletin, int64_t { 0 });
            EXPECT_EQ(tweak().messageID, -1) << recordID;
        }
        EXPECT_TRUE(logHas("\nSEVERE:ADDBULLETIN no message ID"));
        // Beside the icon, a tap on a message the database lacks keeps the record.
        phone().tapView("bannerTitle");
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Open);
        EXPECT_EQ(rdl().lastMessage(), "Unknown");
        EXPECT_EQ(g_windowTrace, "initWithMessage:Unknown;prepareView:NO;");
    }

    TEST_F(Banner, WithoutTheIconATapMarksTheMessageReadAndOpensTheReply)
    {
        bootWithParlivo();
        auto row = phone().receiveSMS(AnnasNumber, "Ciao");
        ASSERT_TRUE(row && row->recordID);
        // The banner view lost its icon (another library rebuilt its subviews).
        tweak().iconView.reset();

        ASSERT_TRUE(phone().tapView("bannerTitle"));
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Open);
        EXPECT_EQ(rdl().lastMessage(), "Ciao");
        EXPECT_EQ(rdl().lastMessageAddress(), AnnasNumber);
        EXPECT_EQ(rdl().lastMessageType(), "sms");
        EXPECT_TRUE(isRead(*row->recordID));
        EXPECT_TRUE(logHas("\nDEV:THIS BULLETIN -> A VALID MESSAGE!"));
        EXPECT_EQ(tweak().messageID, -1);
        EXPECT_EQ(g_windowTrace, "initWithMessage:Ciao;prepareView:NO;");
        EXPECT_TRUE(state()["frontApp"].is_null()) << "SpringBoard's own tap did not run";
    }

    TEST_F(Banner, WithoutTheIconATapOnAConsumedRecordMarksNothingReadAndClearsTheRecord)
    {
        bootWithParlivo();
        // An unread message in the database, and a messages banner whose
        // record id is no use: the hook keeps -1 for it.
        auto unread = chatkit::receiveSMS(AnnasNumber, "Non letto");
        ASSERT_TRUE(unread);
        Id bulletin = send<Id>(send<Id>(runtime::classNamed("BBBulletin"), "alloc"), "init");
        send(bulletin, "setSectionID:", std::string("com.apple.MobileSMS"));
        send(bulletin, "setTitle:", std::string("Anna"));
        send(bulletin, "setRecordID:", std::string("0"));
        send(bannerController(), "observer:addBulletin:forFeed:", runtime::nil, bulletin, int64_t { 0 });
        ASSERT_EQ(tweak().messageID, -1);
        tweak().iconView.reset();

        ASSERT_TRUE(phone().tapView("bannerTitle"));
        EXPECT_EQ(rdl().status(), parlivo::WindowStatus::Open);
        EXPECT_FALSE(isRead(*unread)) << "no row -1 to mark, and no other row marked in its place";
        EXPECT_FALSE(rdl().lastMessage()) << "the record follows the missing message";
        EXPECT_FALSE(rdl().lastMessageAddress());
        EXPECT_EQ(rdl().lastMessageType(), "sms");
        EXPECT_FALSE(logHas("THIS BULLETIN -> A VALID MESSAGE!"));
        EXPECT_EQ(g_windowTrace, "init;prepareView:NO;");
    }

    TEST_F(Banner, ATopicThatRaisesIsLoggedAndTheBannerStillShows)
    {
        bootWithParlivo();
        Id bulletin = send<Id>(send<Id>(runtime::classNamed("BBBulletin"), "alloc"), "init");
        send(bulletin, "setSectionID:", std::string("com.apple.MobileSMS"));
        send(bulletin, "setRecordID:", std::string("3"));
        runtime::cast<springboard::BBBulletin>(bulletin)->raiseOnTopic("topic unavailable");
        send(bannerController(), "observer:addBulletin:forFeed:", runtime::nil, bulletin, int64_t { 0 });
        EXPECT_FALSE(state()["banner"].is_null());
        EXPECT_TRUE(logHas("\nDEV:topic unavailable\nDEV:il bulletin non è il nostro"));
        EXPECT_TRUE(logHas("\nDEV:ADD BULLETIN END"));
    }

} // namespace
} // namespace parlivo_test
