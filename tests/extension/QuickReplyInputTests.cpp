// The reply field: the counter in UTF-16 code units, "Send" following it,
// and the keyboard.
#include "QuickReplyTestSupport.h"

namespace quickreply_test {
namespace {

    using Counter = QuickReplyTest;

    TEST_F(Counter, OneCharacterEnablesSendAndDeletingItDisablesIt)
    {
        show();
        enlarge();
        EXPECT_EQ(window->contatore()->text(), "");
        window->replyField()->insertText("k");
        EXPECT_EQ(window->contatore()->text(), "1/160");
        EXPECT_TRUE(window->canSend());
        EXPECT_TRUE(window->sendButton()->isEnabled());
        window->replyField()->deleteBackward();
        EXPECT_EQ(window->replyField()->text(), "");
        EXPECT_EQ(window->contatore()->text(), "0/160");
        EXPECT_FALSE(window->canSend());
        EXPECT_FALSE(window->sendButton()->isEnabled());
    }

    TEST_F(Counter, EmojiCountTwoAndAccentsOne)
    {
        show();
        enlarge();
        window->replyField()->insertText("😀");
        EXPECT_EQ(window->contatore()->text(), "2/160");
        window->replyField()->insertText("è");
        EXPECT_EQ(window->contatore()->text(), "3/160");
        window->replyField()->deleteBackward();
        window->replyField()->deleteBackward();
        EXPECT_EQ(window->contatore()->text(), "0/160");
    }

    TEST_F(Counter, PastingPastTheLimitIsAllowedAndCounted)
    {
        show();
        enlarge();
        std::string pasted(200, 'a');
        window->replyField()->insertText(pasted);
        EXPECT_EQ(window->replyField()->text(), pasted);
        EXPECT_EQ(window->contatore()->text(), "200/160");
        EXPECT_TRUE(window->sendButton()->isEnabled());
    }

    TEST_F(Counter, ReplacingASelectionCountsTheResult)
    {
        show();
        enlarge();
        window->replyField()->insertText("שלום world");
        window->replyField()->setSelectedRange({ 0, 4 });
        window->replyField()->insertText("hi");
        EXPECT_EQ(window->replyField()->text(), "hi world");
        EXPECT_EQ(window->contatore()->text(), "8/160");
    }

    TEST_F(Counter, SendButtonGreysOutWhileDisabled)
    {
        show();
        enlarge();
        auto button = window->sendButton();
        ASSERT_NE(button->titleColorForState(UIControlStateDisabled), nullptr);
        EXPECT_DOUBLE_EQ(button->titleColorForState(UIControlStateDisabled)->red(), 0.8);
        EXPECT_TRUE(button->titleColorForState(UIControlStateNormal)->isEqualToColor(*UIColor::whiteColor()));
    }

    using Keyboard = QuickReplyTest;

    TEST_F(Keyboard, ReturnInsertsALineBreakAndDismissingResigns)
    {
        show();
        enlarge();
        window->replyField()->insertText("a");
        window->replyField()->pressReturnKey();
        EXPECT_EQ(window->replyField()->text(), "a\n");
        EXPECT_TRUE(runtime::send<bool>(window, "textFieldShouldReturn:", Id(window->replyField())));
        EXPECT_FALSE(window->replyField()->isFirstResponder());
        window->replyField()->becomeFirstResponder();
        runtime::send(window, "dismissKeyboard");
        EXPECT_FALSE(window->replyField()->isFirstResponder());
    }

    TEST_F(Keyboard, DismissingWithoutAReplyFieldIsHarmless)
    {
        show();
        runtime::send(window, "dismissKeyboard");
        EXPECT_TRUE(runtime::send<bool>(window, "textFieldShouldReturn:", runtime::nil));
    }

} // namespace
} // namespace quickreply_test
