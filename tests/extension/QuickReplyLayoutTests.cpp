// Where the panel and its widgets sit, in every column of the layout table.
#include "QuickReplyTestSupport.h"

#include <numbers>

namespace quickreply_test {
namespace {

    using Layout = QuickReplyTest;

    TEST_F(Layout, CompactPortraitSlidesDownBelowTheBanner)
    {
        show();
        EXPECT_EQ(window->bannerHeight(), 44);
        EXPECT_EQ(frameOf(window->view()), "(0, 44, 320, 120)");
        EXPECT_EQ(window->view()->transform(), CGAffineTransformIdentity);
        EXPECT_EQ(frameOf(window->bgView()), "(0, 0, 320, 120)");
        EXPECT_EQ(frameOf(window->closeButton()), "(297, 5, 20, 20)");
        EXPECT_EQ(frameOf(window->messageField()), "(15, 4, 288, 85)");
        EXPECT_EQ(frameOf(window->sendButton()), "(243, 87, 57, 32)");
        EXPECT_EQ(frameOf(window->attachmentButton()), "(213, 87, 20, 20)");
        EXPECT_EQ(window->replyField(), nullptr);
        EXPECT_EQ(window->sendButton()->titleForState(UIControlStateNormal), "Reply");
        EXPECT_EQ(window->messageField()->text(), "Ci vediamo alle otto?");
        EXPECT_FALSE(window->messageField()->isEditable());
    }

    TEST_F(Layout, PanelStartsOutOfSightUntilTheSlideEnds)
    {
        Id made = runtime::send<Id>(runtime::classNamed("QuickReplyViewController"), "alloc");
        window = runtime::cast<QuickReplyViewController>(runtime::send<Id>(made, "initWithMessage:", std::string("Ciao")));
        window->setDelegate(controller);
        window->prepareView(false);
        EXPECT_EQ(frameOf(window->bgView()), "(0, -120, 320, 120)");
        EXPECT_EQ(window->closeButton(), nullptr);
        loop().advance(QuickReplyViewController::SlideDuration);
        EXPECT_EQ(frameOf(window->bgView()), "(0, 0, 320, 120)");
        ASSERT_NE(window->closeButton(), nullptr);
        EXPECT_EQ(window->closeButton()->superview(), window->bgView());
    }

    TEST_F(Layout, OverTheLockScreenThePanelSitsHigher)
    {
        show(true);
        EXPECT_EQ(window->bannerHeight(), 22);
        EXPECT_EQ(frameOf(window->view()), "(0, 22, 320, 120)");
    }

    TEST_F(Layout, EnlargedPortraitAddsTheReplyFieldAndCounter)
    {
        show();
        enlarge();
        EXPECT_TRUE(window->replyMode());
        EXPECT_EQ(frameOf(window->view()), "(0, 44, 320, 216)");
        EXPECT_EQ(frameOf(window->bgView()), "(0, 0, 320, 216)");
        EXPECT_EQ(frameOf(window->replyField()), "(20, 92, 280, 88)");
        EXPECT_EQ(frameOf(window->contatore()), "(20, 183, 60, 15)");
        EXPECT_EQ(frameOf(window->sendButton()), "(243, 183, 57, 32)");
        EXPECT_EQ(window->replyField()->superview(), window->view());
        EXPECT_EQ(window->contatore()->superview(), window->view());
        EXPECT_EQ(window->attachmentButton()->superview(), nullptr);
        EXPECT_TRUE(window->replyField()->isFirstResponder());
        EXPECT_EQ(window->sendButton()->titleForState(UIControlStateNormal), "Send");
        EXPECT_FALSE(window->sendButton()->isEnabled());

        rotate(UIInterfaceOrientationPortrait);
        EXPECT_EQ(frameOf(window->replyField()), "(20, 92, 280, 88)");
        EXPECT_EQ(frameOf(window->sendButton()), "(243, 183, 57, 32)");
        EXPECT_EQ(frameOf(window->attachmentButton()), "(213, 183, 20, 20)");
        EXPECT_TRUE(window->replyField()->isFirstResponder());
    }

    TEST_F(Layout, LandscapeCompactRotatesTheViewEachWay)
    {
        show();
        rotate(UIInterfaceOrientationLandscapeRight);
        EXPECT_EQ(frameOf(window->view()), "(164, 0, 112, 480)");
        EXPECT_EQ(window->view()->transform(), CGAffineTransformMakeRotation(std::numbers::pi / 2));
        EXPECT_EQ(frameOf(window->bgView()), "(0, 0, 480, 112)");
        EXPECT_EQ(frameOf(window->closeButton()), "(457, 5, 20, 20)");
        EXPECT_EQ(frameOf(window->messageField()), "(15, 4, 432, 74)");
        EXPECT_EQ(frameOf(window->sendButton()), "(403, 79, 57, 32)");
        EXPECT_EQ(frameOf(window->attachmentButton()), "(373, 79, 20, 20)");

        rotate(UIInterfaceOrientationLandscapeLeft);
        EXPECT_EQ(frameOf(window->view()), "(44, 0, 112, 480)");
        EXPECT_EQ(window->view()->transform(), CGAffineTransformMakeRotation(-std::numbers::pi / 2));
        EXPECT_EQ(frameOf(window->bgView()), "(0, 0, 480, 112)");

        rotate(UIInterfaceOrientationPortrait);
        EXPECT_EQ(frameOf(window->view()), "(0, 44, 320, 120)");
        EXPECT_EQ(window->view()->transform(), CGAffineTransformIdentity);
    }

    TEST_F(Layout, LandscapeOverTheLockScreenUsesTheShorterOffset)
    {
        show(true);
        rotate(UIInterfaceOrientationLandscapeRight);
        EXPECT_EQ(frameOf(window->view()), "(186, 0, 112, 480)");
        rotate(UIInterfaceOrientationLandscapeLeft);
        EXPECT_EQ(frameOf(window->view()), "(22, 0, 112, 480)");
    }

    TEST_F(Layout, EnlargedLandscapeFitsTheReplyUnderTheShortenedMessage)
    {
        show();
        application->orientation = UIInterfaceOrientationLandscapeRight;
        enlarge();
        EXPECT_EQ(frameOf(window->messageField()), "(15, 4, 432, 46)");
        EXPECT_EQ(frameOf(window->replyField()), "(20, 53, 440, 29)");
        EXPECT_EQ(frameOf(window->contatore()), "(20, 85, 60, 15)");

        rotate(UIInterfaceOrientationLandscapeRight);
        EXPECT_EQ(frameOf(window->view()), "(164, 0, 112, 480)");
        EXPECT_EQ(frameOf(window->bgView()), "(0, 0, 480, 112)");
        EXPECT_EQ(frameOf(window->messageField()), "(15, 4, 432, 46)");
        EXPECT_EQ(frameOf(window->replyField()), "(20, 53, 440, 29)");
        EXPECT_EQ(frameOf(window->contatore()), "(20, 85, 60, 15)");
        EXPECT_EQ(frameOf(window->sendButton()), "(403, 85, 57, 32)");
        EXPECT_EQ(frameOf(window->attachmentButton()), "(373, 85, 20, 20)");
    }

    TEST_F(Layout, UpsideDownChangesNothing)
    {
        show();
        enlarge();
        std::vector<std::string> before;
        for (auto view : std::vector<Ref<UIView>> { window->view(), window->bgView(), window->messageField(), window->replyField(), window->contatore(), window->sendButton() })
            before.push_back(frameOf(view));
        auto transform = window->view()->transform();
        rotate(UIInterfaceOrientationPortraitUpsideDown);
        std::vector<std::string> after;
        for (auto view : std::vector<Ref<UIView>> { window->view(), window->bgView(), window->messageField(), window->replyField(), window->contatore(), window->sendButton() })
            after.push_back(frameOf(view));
        EXPECT_EQ(after, before);
        EXPECT_EQ(window->view()->transform(), transform);
    }

    TEST_F(Layout, ShowingAgainReturnsToTheCompactPanel)
    {
        show();
        enlarge();
        show();
        EXPECT_FALSE(window->replyMode());
        EXPECT_EQ(frameOf(window->view()), "(0, 44, 320, 120)");
        EXPECT_EQ(frameOf(window->sendButton()), "(243, 87, 57, 32)");
        EXPECT_EQ(window->sendButton()->titleForState(UIControlStateNormal), "Reply");
        EXPECT_TRUE(window->sendButton()->isEnabled());
    }

    TEST_F(Layout, OnlyPortraitIsOfferedToTheSystem)
    {
        show();
        EXPECT_TRUE(runtime::send<bool>(window, "shouldAutorotateToInterfaceOrientation:", int64_t(1)));
        EXPECT_FALSE(runtime::send<bool>(window, "shouldAutorotateToInterfaceOrientation:", int64_t(3)));
    }

} // namespace
} // namespace quickreply_test
