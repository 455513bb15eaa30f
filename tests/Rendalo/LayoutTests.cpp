// The panel's frames as a function of orientation, mode and screen width.
#include <Rendalo/QuickReplyLayout.h>

#include <gtest/gtest.h>

#include <numbers>

namespace {

using rendalo::PanelMode;
using rendalo::quickReplyLayout;
using uikit::CGRect;
using uikit::CGRectMake;

void expectFrame(const CGRect& actual, const CGRect& expected)
{
    EXPECT_EQ(actual.origin.x, expected.origin.x);
    EXPECT_EQ(actual.origin.y, expected.origin.y);
    EXPECT_EQ(actual.size.width, expected.size.width);
    EXPECT_EQ(actual.size.height, expected.size.height);
}

TEST(RendaloLayout, PortraitPanelIsCentredFortyFourPointsDown)
{
    auto compact = quickReplyLayout(1, PanelMode::Compact, 320);
    ASSERT_TRUE(compact);
    expectFrame(compact->window, CGRectMake(0, 44, 320, 120));
    EXPECT_EQ(compact->rotation, 0);
    expectFrame(compact->sendButton, CGRectMake(243, 90, 57, 29));
    EXPECT_FALSE(compact->replyField);

    // A wider application frame centres the same panel.
    expectFrame(quickReplyLayout(1, PanelMode::Compact, 480)->window, CGRectMake(80, 44, 320, 120));
}

TEST(RendaloLayout, EnlargedPortraitStacksReplyCounterAndSend)
{
    auto enlarged = quickReplyLayout(1, PanelMode::Enlarged, 320);
    ASSERT_TRUE(enlarged);
    expectFrame(enlarged->window, CGRectMake(0, 44, 320, 216));
    expectFrame(enlarged->bgView, CGRectMake(0, 0, 320, 216));
    expectFrame(*enlarged->replyField, CGRectMake(20, 92, 280, 91));
    expectFrame(*enlarged->contatore, CGRectMake(20, 186, 60, 15));
    expectFrame(enlarged->sendButton, CGRectMake(243, 186, 57, 25));
    // Before the reply field exists, Send sits where it would start.
    EXPECT_EQ(quickReplyLayout(1, PanelMode::Enlarged, 320, false)->sendButton.origin.y, 95);
}

TEST(RendaloLayout, LandscapeTurnsTheViewBesideTheEdge)
{
    auto right = quickReplyLayout(3, PanelMode::Compact, 320);
    ASSERT_TRUE(right);
    expectFrame(right->window, CGRectMake(164, 0, 112, 480));
    EXPECT_DOUBLE_EQ(right->rotation, std::numbers::pi / 2);
    auto left = quickReplyLayout(4, PanelMode::Compact, 320);
    expectFrame(left->window, CGRectMake(44, 0, 112, 480));
    EXPECT_DOUBLE_EQ(left->rotation, -std::numbers::pi / 2);
    expectFrame(left->messageField, CGRectMake(15, 4, 432, 74));
    expectFrame(left->sendButton, CGRectMake(403, 82, 57, 29));

    auto enlarged = quickReplyLayout(4, PanelMode::Enlarged, 320);
    expectFrame(enlarged->window, left->window);
    expectFrame(enlarged->messageField, CGRectMake(15, 4, 432, 46));
    expectFrame(*enlarged->replyField, CGRectMake(20, 53, 440, 29));
    expectFrame(enlarged->sendButton, CGRectMake(403, 85, 57, 25));
}

TEST(RendaloLayout, EveryElementFitsItsPanel)
{
    for (int64_t orientation : { 1, 3, 4 }) {
        for (auto mode : { PanelMode::Compact, PanelMode::Enlarged }) {
            auto frames = quickReplyLayout(orientation, mode, 320);
            ASSERT_TRUE(frames);
            auto inside = [&](const CGRect& frame) {
                EXPECT_GE(frame.origin.x, 0);
                EXPECT_GE(frame.origin.y, 0);
                EXPECT_LE(frame.origin.x + frame.size.width, frames->bgView.size.width) << orientation;
                EXPECT_LE(frame.origin.y + frame.size.height, frames->bgView.size.height) << orientation;
            };
            inside(frames->closeButton);
            inside(frames->messageField);
            inside(frames->sendButton);
            if (frames->replyField)
                inside(*frames->replyField);
        }
    }
}

TEST(RendaloLayout, OtherOrientationsHaveNoLayout)
{
    EXPECT_FALSE(quickReplyLayout(2, PanelMode::Compact, 320));
    EXPECT_FALSE(quickReplyLayout(0, PanelMode::Enlarged, 320));
}

} // namespace
