// The skin keys, their fallbacks and what is logged for each.
#include "QuickReplyTestSupport.h"

#include <foundation/DevicePath.h>

#include <filesystem>

namespace quickreply_test {
namespace {

    using Skin = QuickReplyTest;

    bool sameColour(const Ref<UIColor>& colour, double red, double green, double blue)
    {
        return colour && colour->isEqualToColor(*UIColor::colorWithRed(red, green, blue, 1));
    }

    TEST_F(Skin, MissingKeysFallBackAndSayWhichOnesWereMissing)
    {
        show();
        enlarge();
        EXPECT_TRUE(sameColour(window->bgView()->backgroundColor(), 0.95, 0.95, 0.95));
        EXPECT_TRUE(sameColour(window->replyField()->textColor(), 0, 0, 0));
        EXPECT_TRUE(sameColour(window->replyField()->backgroundColor(), 1, 1, 1));
        EXPECT_TRUE(logged("SEVERE:NO QR COLORS"));
        EXPECT_TRUE(logged("SEVERE:NO QRCOLORS"));
    }

    TEST_F(Skin, ColourStringsAreUsedAndLogged)
    {
        controller->setPreference("qrcolors", std::string("1 0 0"));
        controller->setPreference("qrtext", std::string("0 0 1"));
        controller->setPreference("qrtextfield", std::string("0.500000 0.250000 1.000000"));
        show();
        enlarge();
        EXPECT_TRUE(sameColour(window->bgView()->backgroundColor(), 1, 0, 0));
        EXPECT_TRUE(sameColour(window->replyField()->textColor(), 0, 0, 1));
        EXPECT_TRUE(sameColour(window->replyField()->backgroundColor(), 0.5, 0.25, 1));
        EXPECT_TRUE(logged("DEV:BGVIEW COLOR IS 1.000000 0.000000 0.000000"));
        EXPECT_TRUE(logged("DEV:REPLYFIELD COLOR IS 0.500000 0.250000 1.000000"));
        EXPECT_FALSE(logged("SEVERE:NO QR COLORS"));
    }

    TEST_F(Skin, OutOfRangeColoursAreLoggedAsWrittenAndShownClamped)
    {
        controller->setPreference("qrcolors", std::string("2 0 0"));
        controller->setPreference("qrtext", std::string("0 -1 3"));
        controller->setPreference("qrtextfield", std::string("1.5 0.5 -0.25"));
        show();
        enlarge();
        EXPECT_TRUE(logged("DEV:BGVIEW COLOR IS 2.000000 0.000000 0.000000"));
        EXPECT_TRUE(logged("DEV:REPLYFIELD COLOR IS 1.500000 0.500000 -0.250000"));
        EXPECT_TRUE(sameColour(window->bgView()->backgroundColor(), 1, 0, 0));
        EXPECT_TRUE(sameColour(window->replyField()->textColor(), 0, 0, 1));
        EXPECT_TRUE(sameColour(window->replyField()->backgroundColor(), 1, 0.5, 0));
    }

    TEST_F(Skin, ShortOrForeignValuesTakeEachKeysFallback)
    {
        controller->setPreference("qrcolors", std::string("1 0"));
        controller->setPreference("qrtext", std::string("1"));
        controller->setPreference("qrtextfield", int64_t(7));
        show();
        enlarge();
        EXPECT_TRUE(sameColour(window->bgView()->backgroundColor(), 0.95, 0.95, 0.95));
        EXPECT_TRUE(sameColour(window->replyField()->textColor(), 0, 0, 0));
        EXPECT_TRUE(sameColour(window->replyField()->backgroundColor(), 1, 1, 1));
        EXPECT_FALSE(logged("SEVERE:NO QR COLORS"));
        EXPECT_TRUE(logged("SEVERE:NIL TEXTFIELD COMPONENTS"));
    }

    TEST_F(Skin, ComponentsThatAreNotNumbersReadAsZero)
    {
        controller->setPreference("qrcolors", std::string("abc 1 1"));
        show();
        EXPECT_TRUE(sameColour(window->bgView()->backgroundColor(), 0, 1, 1));
    }

    TEST_F(Skin, TheSkinIsReadAgainAtEachShowing)
    {
        show();
        controller->setPreference("qrcolors", std::string("0 1 0"));
        show();
        EXPECT_TRUE(sameColour(window->bgView()->backgroundColor(), 0, 1, 0));
    }

    TEST_F(Skin, SendButtonImageFollowsTheMessageKindIgnoringCase)
    {
        Bitmap bitmap { 2, 2, std::vector<uint8_t>(16, 255) };
        auto png = UIImagePNGRepresentation(UIImage::imageWithBitmap(bitmap));
        writeDevice("/Library/Application Support/PLV/SendIcon_sms.png", png);
        writeDevice("/Library/Application Support/PLV/SendIcon_im.png", png);
        controller->type = "SMS";
        show();
        auto image = window->sendButton()->backgroundImageForState(UIControlStateNormal);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->path(), "/Library/Application Support/PLV/SendIcon_sms.png");
        EXPECT_EQ(window->sendButton()->font()->fontName(), "Helvetica-Bold");
        EXPECT_EQ(window->sendButton()->font()->pointSize(), 16);

        controller->type = "iMessage";
        show();
        image = window->sendButton()->backgroundImageForState(UIControlStateNormal);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->path(), "/Library/Application Support/PLV/SendIcon_im.png");
    }

    // The images are kept between showings, but not past a change of their file.
    TEST_F(Skin, ASendImageReplacedOrRemovedBetweenShowingsIsShownAsItNowIs)
    {
        auto png = [](uint32_t side) { return UIImagePNGRepresentation(UIImage::imageWithBitmap(Bitmap { side, side, std::vector<uint8_t>(side * side * 4, 255) })); };
        const std::string path = "/Library/Application Support/PLV/SendIcon_sms.png";
        auto shownSide = [&]() -> double {
            show();
            auto image = window->sendButton()->backgroundImageForState(UIControlStateNormal);
            return image ? image->size().width : 0;
        };
        controller->type = "SMS";
        writeDevice(path, png(2));
        EXPECT_EQ(shownSide(), 2);
        EXPECT_EQ(shownSide(), 2);
        writeDevice(path, png(3));
        EXPECT_EQ(shownSide(), 3);
        std::filesystem::remove(foundation::hostPath(path));
        EXPECT_EQ(shownSide(), 0);
        writeDevice(path, png(2));
        EXPECT_EQ(shownSide(), 2);
    }

    TEST_F(Skin, MissingImageFilesLeaveTheButtonsBare)
    {
        show();
        EXPECT_EQ(window->sendButton()->backgroundImageForState(UIControlStateNormal), nullptr);
        EXPECT_EQ(window->closeButton()->imageForState(UIControlStateNormal), nullptr);
    }

} // namespace
} // namespace quickreply_test
