// Where the panel and its widgets sit, in every column of the layout table.
#include "QuickReplyTestSupport.h"

#include <extension/QuickReplyLayout.h>

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

    using parlivo::quickreply::PanelLayout;
    using parlivo::quickreply::panelLayout;
    using parlivo::quickreply::PanelMode;

    struct Column {
        int64_t orientation;
        PanelMode mode;
        double bannerHeight;
    };

    std::vector<Column> everyColumn()
    {
        std::vector<Column> columns;
        for (int64_t orientation : { UIInterfaceOrientationPortrait, UIInterfaceOrientationLandscapeRight, UIInterfaceOrientationLandscapeLeft })
            for (PanelMode mode : { PanelMode::Compact, PanelMode::Enlarged })
                for (double bannerHeight : { 22.0, 44.0 })
                    columns.push_back({ orientation, mode, bannerHeight });
        return columns;
    }

    std::string nameOf(const Column& column)
    {
        return "orientation " + std::to_string(column.orientation) + (column.mode == PanelMode::Compact ? ", compact" : ", enlarged") + ", banner "
            + std::to_string(static_cast<int>(column.bannerHeight));
    }

    double bottom(const CGRect& r) { return r.origin.y + r.size.height; }
    double right(const CGRect& r) { return r.origin.x + r.size.width; }

    bool inside(const CGRect& inner, const CGRect& outer)
    {
        return inner.origin.x >= outer.origin.x && inner.origin.y >= outer.origin.y && right(inner) <= right(outer) && bottom(inner) <= bottom(outer);
    }

    // Sharing more than an edge.
    bool overlap(const CGRect& a, const CGRect& b)
    {
        return a.origin.x < right(b) && b.origin.x < right(a) && a.origin.y < bottom(b) && b.origin.y < bottom(a);
    }

    // The controls of a layout by name, the reply field and counter only
    // where the mode has them.
    std::vector<std::pair<std::string, CGRect>> controlsOf(const PanelLayout& layout)
    {
        std::vector<std::pair<std::string, CGRect>> controls { { "closeButton", layout.closeButton }, { "messageField", layout.messageField },
            { "sendButton", layout.sendButton }, { "attachmentButton", layout.attachmentButton } };
        if (layout.replyField)
            controls.emplace_back("replyField", *layout.replyField);
        if (layout.contatore)
            controls.emplace_back("contatore", *layout.contatore);
        return controls;
    }

    bool landscape(const Column& column) { return column.orientation != UIInterfaceOrientationPortrait; }

    TEST(PanelLayout, EveryControlSitsInsideThePanel)
    {
        for (const auto& column : everyColumn()) {
            auto layout = panelLayout(column.orientation, column.mode, column.bannerHeight);
            ASSERT_TRUE(layout) << nameOf(column);
            EXPECT_EQ(layout->bgView.origin, CGPointZero) << nameOf(column) << ": the panel's frames are the view's";
            for (const auto& [name, frame] : controlsOf(*layout)) {
                if (name == "sendButton" && landscape(column) && column.mode == PanelMode::Enlarged) {
                    // Under a reply field that ends at 82 the button's row
                    // starts at 85, and the 112-point panel has no room for
                    // its 32 points: it hangs 5 points past the bottom edge.
                    EXPECT_EQ(bottom(frame) - bottom(layout->bgView), 5) << nameOf(column);
                    continue;
                }
                EXPECT_TRUE(inside(frame, layout->bgView)) << nameOf(column) << ": " << name << " " << describe(frame);
            }
        }
    }

    TEST(PanelLayout, NoControlRunsUnderTheCloseButton)
    {
        for (const auto& column : everyColumn()) {
            auto layout = *panelLayout(column.orientation, column.mode, column.bannerHeight);
            for (const auto& [name, frame] : controlsOf(layout)) {
                // The message text's right margin passes under the cross,
                // which the window keeps in front of it.
                if (name == "closeButton" || name == "messageField")
                    continue;
                EXPECT_FALSE(overlap(frame, layout.closeButton)) << nameOf(column) << ": " << name;
            }
        }
    }

    TEST(PanelLayout, CounterAndButtonsKeepOffTheTextFields)
    {
        for (const auto& column : everyColumn()) {
            auto layout = *panelLayout(column.orientation, column.mode, column.bannerHeight);
            for (const CGRect& control : { layout.sendButton, layout.attachmentButton }) {
                if (layout.replyField) {
                    EXPECT_FALSE(overlap(control, *layout.replyField)) << nameOf(column) << ": " << describe(control);
                }
                if (column.orientation == UIInterfaceOrientationPortrait && column.mode == PanelMode::Compact) {
                    // The compact portrait buttons start 2 points above the
                    // message view's bottom edge, in its empty margin.
                    EXPECT_EQ(bottom(layout.messageField) - control.origin.y, 2) << nameOf(column);
                    continue;
                }
                EXPECT_FALSE(overlap(control, layout.messageField)) << nameOf(column) << ": " << describe(control);
            }
            EXPECT_FALSE(overlap(layout.sendButton, layout.attachmentButton)) << nameOf(column);
            if (column.mode == PanelMode::Compact) {
                EXPECT_FALSE(layout.replyField) << nameOf(column);
                EXPECT_FALSE(layout.contatore) << nameOf(column);
                continue;
            }
            ASSERT_TRUE(layout.replyField && layout.contatore) << nameOf(column);
            EXPECT_FALSE(overlap(*layout.contatore, *layout.replyField)) << nameOf(column);
            EXPECT_FALSE(overlap(*layout.contatore, layout.messageField)) << nameOf(column);
            EXPECT_FALSE(overlap(*layout.contatore, layout.sendButton)) << nameOf(column);
            EXPECT_FALSE(overlap(*layout.replyField, layout.messageField)) << nameOf(column);
        }
    }

    TEST(PanelLayout, TheBannerHeightMovesOnlyTheWindowView)
    {
        for (const auto& column : everyColumn()) {
            auto low = *panelLayout(column.orientation, column.mode, 44);
            auto high = *panelLayout(column.orientation, column.mode, 22);
            EXPECT_NE(low.view, high.view) << nameOf(column);
            EXPECT_EQ(controlsOf(low).size(), controlsOf(high).size());
            for (size_t i = 0; i < controlsOf(low).size(); ++i)
                EXPECT_EQ(controlsOf(low)[i].second, controlsOf(high)[i].second) << nameOf(column) << ": " << controlsOf(low)[i].first;
        }
        EXPECT_FALSE(panelLayout(UIInterfaceOrientationPortraitUpsideDown, PanelMode::Compact, 44));
        EXPECT_FALSE(panelLayout(0, PanelMode::Enlarged, 44));
    }

    // The window puts every control where the layout says, in every column
    // it can reach by showing, enlarging and turning.
    TEST_F(Layout, TheWindowShowsEveryColumnOfTheLayout)
    {
        for (const auto& column : everyColumn()) {
            SCOPED_TRACE(nameOf(column));
            show(column.bannerHeight == QuickReplyViewController::LockScreenBannerHeight);
            if (column.mode == PanelMode::Enlarged)
                enlarge();
            rotate(column.orientation);
            auto layout = *panelLayout(column.orientation, column.mode, column.bannerHeight);
            EXPECT_EQ(frameOf(window->view()), describe(layout.view));
            EXPECT_EQ(window->view()->transform(), layout.rotation);
            EXPECT_EQ(frameOf(window->bgView()), describe(layout.bgView));
            EXPECT_EQ(frameOf(window->closeButton()), describe(layout.closeButton));
            EXPECT_EQ(frameOf(window->messageField()), describe(layout.messageField));
            EXPECT_EQ(frameOf(window->sendButton()), describe(layout.sendButton));
            EXPECT_EQ(frameOf(window->attachmentButton()), describe(layout.attachmentButton));
            if (layout.replyField) {
                EXPECT_EQ(frameOf(window->replyField()), describe(*layout.replyField));
                EXPECT_EQ(frameOf(window->contatore()), describe(*layout.contatore));
            }
            // Nothing drawn after the cross in the panel can cover it.
            EXPECT_EQ(window->bgView()->subviews().back(), window->closeButton());
            runtime::send(window, "dismiss");
            rotate(UIInterfaceOrientationPortrait);
        }
    }

} // namespace
} // namespace quickreply_test
