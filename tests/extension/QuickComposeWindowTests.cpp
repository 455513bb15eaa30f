// The compose window: its frames in both orientations, its skin, the
// placeholder, the swipe that closes, the teardown, and the To field's
// drop-down with the choice of a recipient.
#include "QuickComposeTestSupport.h"

#include <extension/QuickComposeLayout.h>

namespace quickcompose_test {
namespace {

    using namespace parlivo::quickcompose;

    std::string colourOf(const Ref<UIColor>& colour)
    {
        if (!colour)
            return "nil";
        std::ostringstream out;
        out << colour->red() << " " << colour->green() << " " << colour->blue();
        return out.str();
    }

    bool contains(const CGRect& outer, const CGRect& inner)
    {
        return inner.origin.x >= outer.origin.x && inner.origin.y >= outer.origin.y
            && inner.origin.x + inner.size.width <= outer.origin.x + outer.size.width
            && inner.origin.y + inner.size.height <= outer.origin.y + outer.size.height;
    }

    TEST(QuickComposeLayout, TheFieldsSitInsideThePanelAndTheSendRowBelowTheMessageWithoutOverlaps)
    {
        for (int64_t orientation : { 1, 3, 4 }) {
            auto layout = parlivo::quickcompose::layout(orientation, LayoutMoment::Rotation, 320);
            ASSERT_TRUE(layout.bgView && layout.root);
            CGRect panel = layout.bgView->frame;
            for (const auto& element : { layout.closeButton, layout.toField, layout.replyField, layout.contatore }) {
                ASSERT_TRUE(element) << orientation;
                EXPECT_TRUE(contains(panel, element->frame)) << orientation << " " << describe(element->frame);
            }
            ASSERT_TRUE(layout.sendButton && layout.attachmentButton && layout.typeOfmessageButton);
            EXPECT_LE(layout.attachmentButton->frame.origin.x + 20, layout.typeOfmessageButton->frame.origin.x) << orientation;
            EXPECT_LE(layout.typeOfmessageButton->frame.origin.x + 35, layout.sendButton->frame.origin.x) << orientation;
            EXPECT_LE(layout.replyField->frame.origin.y + layout.replyField->frame.size.height, layout.sendButton->frame.origin.y) << orientation;
        }
        auto upsideDown = parlivo::quickcompose::layout(2, LayoutMoment::Rotation, 320);
        EXPECT_FALSE(upsideDown.root || upsideDown.bgView || upsideDown.replyField || upsideDown.rootTransform);
    }

    TEST_F(QuickComposeTest, OpensInPortraitWithThePortraitTable)
    {
        open();
        EXPECT_EQ(frameOf(compose->view()), "(0, 44, 320, 216)");
        EXPECT_EQ(frameOf(compose->bgView()), "(0, 0, 320, 216)");
        EXPECT_EQ(frameOf(compose->closeButton()), "(297, 5, 20, 20)");
        EXPECT_EQ(frameOf(compose->toField()), "(20, 6, 275, 24)");
        EXPECT_EQ(frameOf(compose->replyField()), "(20, 33, 280, 147)");
        EXPECT_EQ(frameOf(compose->contatore()), "(20, 183, 60, 15)");
        EXPECT_EQ(frameOf(compose->sendButton()), "(243, 183, 57, 32)");
        EXPECT_EQ(frameOf(compose->typeOfmessageButton()), "(198, 189, 35, 22)");
        EXPECT_EQ(frameOf(compose->attachmentButton()), "(173, 189, 20, 20)");
        EXPECT_EQ(compose->view()->transform(), CGAffineTransformIdentity);
    }

    TEST_F(QuickComposeTest, OpensInLandscapeAndTheNextRotationWidensTheToField)
    {
        application->orientation = UIInterfaceOrientationLandscapeLeft;
        open();
        EXPECT_EQ(frameOf(compose->bgView()), "(0, 0, 480, 112)");
        EXPECT_EQ(frameOf(compose->replyField()), "(20, 33, 440, 49)");
        EXPECT_EQ(frameOf(compose->sendButton()), "(403, 85, 57, 32)");
        EXPECT_EQ(frameOf(compose->typeOfmessageButton()), "(358, 91, 35, 22)");
        EXPECT_EQ(frameOf(compose->contatore()), "(20, 85, 60, 15)");
        EXPECT_EQ(frameOf(compose->toField()), "(20, 6, 432, 24)");
        EXPECT_EQ(frameOf(compose->view()), "(44, 0, 112, 480)");

        rotateCompose(UIInterfaceOrientationLandscapeRight);
        EXPECT_EQ(frameOf(compose->toField()), "(20, 6, 435, 24)");
        EXPECT_EQ(frameOf(compose->view()), "(164, 0, 112, 480)");
        EXPECT_EQ(compose->view()->transform(), CGAffineTransformMakeRotation(std::numbers::pi / 2));

        rotateCompose(UIInterfaceOrientationPortraitUpsideDown);
        EXPECT_EQ(frameOf(compose->view()), "(164, 0, 112, 480)");
        EXPECT_EQ(frameOf(compose->replyField()), "(20, 33, 440, 49)");

        rotateCompose(UIInterfaceOrientationPortrait);
        EXPECT_EQ(frameOf(compose->view()), "(0, 44, 320, 216)");
        EXPECT_EQ(frameOf(compose->sendButton()), "(243, 183, 57, 32)");
    }

    TEST_F(QuickComposeTest, EveryViewCarriesItsPropertyNameAndTheTeardownRemovesThem)
    {
        open();
        search("a");
        std::vector<std::pair<std::string, Ref<UIView>>> views {
            { "toField", compose->toField() },
            { "replyField", compose->replyField() },
            { "sendButton", compose->sendButton() },
            { "closeButton", compose->closeButton() },
            { "contatore", compose->contatore() },
            { "bgView", compose->bgView() },
            { "typeOfmessageButton", compose->typeOfmessageButton() },
            { "contactsTableView", compose->contactsTableView() },
        };
        for (auto& [name, view] : views) {
            ASSERT_TRUE(view) << name;
            EXPECT_EQ(view->name(), name);
        }
        EXPECT_EQ(compose->attachmentButton()->name(), "attachmentButton");

        runtime::send(compose, "dismiss");
        EXPECT_FALSE(compose->bgView() || compose->toField() || compose->replyField() || compose->sendButton() || compose->contactsTableView());
        EXPECT_EQ(compose->view()->superview(), nullptr);
        EXPECT_TRUE(logged("DEV:QuickCompose dismissBanner"));
    }

    TEST_F(QuickComposeTest, SkinKeysColourThePanelAndFieldsWithFallbacks)
    {
        open();
        EXPECT_EQ(colourOf(compose->bgView()->backgroundColor()), "0.95 0.95 0.95");
        EXPECT_EQ(colourOf(compose->toField()->textColor()), "0 0 0");
        EXPECT_EQ(colourOf(compose->toField()->backgroundColor()), "1 1 1");
        runtime::send(compose, "dismiss");

        controller->setPreference("qccolors", std::string("1 0 0"));
        controller->setPreference("qctext", std::string("0 0 1"));
        controller->setPreference("qctextfield", std::string("0 1 0"));
        open();
        EXPECT_EQ(colourOf(compose->bgView()->backgroundColor()), "1 0 0");
        EXPECT_EQ(colourOf(compose->toField()->textColor()), "0 0 1");
        EXPECT_EQ(colourOf(compose->replyField()->backgroundColor()), "0 1 0");
        write("x");
        EXPECT_EQ(colourOf(compose->replyField()->textColor()), "0 0 1");
    }

    TEST_F(QuickComposeTest, TheOpeningKeyboardAndDropDownGoAwayAfterTheAnimation)
    {
        Id made = runtime::send<Id>(runtime::send<Id>(runtime::classNamed("QuickComposeViewController"), "alloc"), "init");
        compose = runtime::cast<QuickComposeViewController>(made);
        runtime::send(compose, "setDelegate:", Id(controller));
        runtime::send(compose, "prepareView:", false);
        overlay->addSubview(compose->view());
        EXPECT_TRUE(compose->toField()->isFirstResponder());
        EXPECT_TRUE(compose->contactsTableView());
        loop().advance(0.35);
        EXPECT_FALSE(compose->toField()->isFirstResponder());
        EXPECT_FALSE(compose->contactsTableView());
        EXPECT_EQ(compose->contatore()->text(), "");
        EXPECT_FALSE(compose->sendButton()->isEnabled());
    }

    TEST_F(QuickComposeTest, ThePlaceholderIsClearedOnEveryEntryThatFindsItAndNeverSent)
    {
        open();
        EXPECT_EQ(compose->replyField()->text(), "Message");
        compose->replyField()->becomeFirstResponder();
        EXPECT_EQ(compose->replyField()->text(), "");
        compose->replyField()->resignFirstResponder();
        EXPECT_EQ(compose->replyField()->text(), "Message");
        EXPECT_EQ(colourOf(compose->replyField()->textColor()), colourOf(UIColor::grayColor()));

        // A second entry used to keep "Message" and send it with the text.
        write("ciao");
        EXPECT_EQ(compose->replyField()->text(), "ciao");
        compose->replyField()->resignFirstResponder();
        EXPECT_EQ(compose->replyField()->text(), "ciao");
        search("3331112222");
        pressSend();
        auto sent = sentRows();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].text, "ciao");
    }

    TEST_F(QuickComposeTest, AFastUpwardSwipeOnTheMessageViewCloses)
    {
        open();
        auto pans = compose->replyField()->gestureRecognizers();
        ASSERT_EQ(pans.size(), 1u);
        auto pan = runtime::cast<UIPanGestureRecognizer>(pans[0]);
        for (double velocity : { -200.0, -250.0, 400.0 }) {
            pan->setScreenVelocity(CGPointMake(0, velocity));
            runtime::send(compose, "swiped:", Id(pan));
            EXPECT_EQ(controller->closes, 0) << velocity;
        }
        pan->setScreenVelocity(CGPointMake(0, -251));
        runtime::send(compose, "swiped:", Id(pan));
        EXPECT_EQ(controller->closes, 1);
        EXPECT_TRUE(compose->replyField()->gestureRecognizers().empty());
    }

    TEST_F(QuickComposeTest, TypingFiltersByTheTextAfterTheEditWithFavouritesFirstAndTheirStar)
    {
        open();
        search("ros");
        ASSERT_TRUE(compose->contactsTableView());
        EXPECT_EQ(frameOf(compose->contactsTableView()), "(20, 30, 275, 147)");
        EXPECT_EQ(compose->contactsTableView()->superview(), compose->bgView());
        EXPECT_EQ(rowTitles(), (std::vector<std::string> { "Rosa Bianca", "Anna Rossi", "Bruno Prosperi" }));
        auto first = compose->contactsTableView()->cellForRow(NSIndexPathMake(0, 0));
        auto second = compose->contactsTableView()->cellForRow(NSIndexPathMake(0, 1));
        ASSERT_TRUE(first && second);
        EXPECT_EQ(first->reuseIdentifier(), "it.kelvane.quillara");
        EXPECT_EQ(first->detailTextLabel()->text(), "+39 333 999 0000");
        EXPECT_TRUE(first->accessoryView());
        // The second row is no favourite, though the list has two.
        EXPECT_FALSE(second->accessoryView());

        search("s");
        EXPECT_EQ(rowTitles(), (std::vector<std::string> { "Anna Rossi" }));
        compose->toField()->deleteBackward();
        EXPECT_EQ(rowTitles(), (std::vector<std::string> { "Rosa Bianca", "Anna Rossi", "Bruno Prosperi" }));
        compose->toField()->deleteBackward();
        compose->toField()->deleteBackward();
        compose->toField()->deleteBackward();
        EXPECT_EQ(rowTitles().size(), 7u);
        search("555");
        EXPECT_TRUE(rowTitles().empty());
    }

    TEST_F(QuickComposeTest, ChoosingARowFillsTheFieldFixesTheDestinationAndMovesToTheMessage)
    {
        chatkit::setMadridAvailability([](const std::string&) -> int64_t { return 1; });
        open();
        search("anna");
        choose(0);
        EXPECT_EQ(compose->toField()->text(), "Anna Rossi");
        EXPECT_EQ(compose->destNumber(), "+39 347 123 4567");
        EXPECT_FALSE(compose->membri());
        EXPECT_FALSE(compose->contactsTableView());
        EXPECT_TRUE(compose->replyField()->isFirstResponder());
        EXPECT_TRUE(logged("DEV:Availability of +39 347 123 4567 (iMessageEnabled: 1):1"));

        search("calc");
        choose(0);
        EXPECT_EQ(compose->toField()->text(), "Calcetto");
        EXPECT_EQ(compose->destNumber(), "Group");
        ASSERT_TRUE(compose->membri());
        EXPECT_EQ(compose->membri()->size(), 3u);
    }

    TEST_F(QuickComposeTest, AnyEditOfTheToFieldForgetsTheChoice)
    {
        open();
        search("calc");
        choose(0);
        // Entering the field again empties it: nothing is chosen any more.
        compose->toField()->becomeFirstResponder();
        EXPECT_EQ(compose->destNumber(), "-1");
        EXPECT_FALSE(compose->membri());
        // Re-entering shows the previous matches until the next keystroke.
        EXPECT_EQ(rowTitles(), (std::vector<std::string> { "Calcetto" }));

        search("anna");
        choose(0);
        search("x");
        EXPECT_EQ(compose->destNumber(), "-1");
    }

    TEST_F(QuickComposeTest, ARotationClosesTheDropDownAndTheKeyboard)
    {
        open();
        search("a");
        ASSERT_TRUE(compose->contactsTableView());
        rotateCompose(UIInterfaceOrientationLandscapeLeft);
        EXPECT_FALSE(compose->contactsTableView());
        EXPECT_FALSE(compose->toField()->isFirstResponder());
    }

} // namespace
} // namespace quickcompose_test
