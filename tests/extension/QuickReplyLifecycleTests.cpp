// Showing, refreshing and taking the window down, as RDL drives it.
#include "QuickReplyTestSupport.h"

#include <thread>

namespace quickreply_test {
namespace {

    using Lifecycle = QuickReplyTest;

    TEST_F(Lifecycle, AMissingMessageIsShownAsThePlaceholderButAnEmptyTextAsItIs)
    {
        Id made = runtime::send<Id>(runtime::classNamed("QuickReplyViewController"), "alloc");
        window = runtime::cast<QuickReplyViewController>(runtime::send<Id>(made, "init"));
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->message(), "TO BE SETTED") << "init is initWithMessage: nil";

        // A picture-only message has an empty text, and shows it.
        controller->text = "";
        window = nullptr;
        show();
        EXPECT_EQ(window->message(), "");
        EXPECT_EQ(window->messageField()->text(), "");
    }

    TEST_F(Lifecycle, WithoutAMessageNothingIsDrawn)
    {
        window = runtime::make<QuickReplyViewController>();
        window->setDelegate(controller);
        window->prepareView(false);
        loop().advance(1);
        EXPECT_EQ(window->bgView(), nullptr);
        EXPECT_EQ(window->sendButton(), nullptr);
    }

    TEST_F(Lifecycle, DismissKeepsOnlyTheCounterAndTheCloseButton)
    {
        show();
        enlarge();
        window->replyField()->insertText("ok");
        auto counter = window->contatore();
        auto close = window->closeButton();
        auto panel = window->bgView();
        runtime::send(window, "dismiss");
        EXPECT_TRUE(logged("DEV:QuickReply dismissBanner"));
        EXPECT_EQ(window->bgView(), nullptr);
        EXPECT_EQ(window->messageField(), nullptr);
        EXPECT_EQ(window->sendButton(), nullptr);
        EXPECT_EQ(window->replyField(), nullptr);
        EXPECT_EQ(window->attachmentButton(), nullptr);
        EXPECT_EQ(window->attachment(), nullptr);
        EXPECT_EQ(window->contatore(), counter);
        EXPECT_EQ(window->closeButton(), close);
        EXPECT_EQ(window->view()->superview(), nullptr);
        EXPECT_EQ(UIResponder::currentFirstResponder(), nullptr);

        show();
        EXPECT_NE(window->bgView(), panel);
        EXPECT_EQ(window->closeButton(), close);
        EXPECT_EQ(window->closeButton()->superview(), window->bgView());
        // The old count does not linger on the new compact panel.
        EXPECT_EQ(counter->superview(), nullptr);
        enlarge();
        EXPECT_EQ(window->contatore(), counter);
        EXPECT_EQ(counter->text(), "");
        EXPECT_EQ(frameOf(window->replyField()), "(20, 92, 280, 88)");
    }

    TEST_F(Lifecycle, DismissDuringTheSlideLeavesNothingBehind)
    {
        Id made = runtime::send<Id>(runtime::classNamed("QuickReplyViewController"), "alloc");
        window = runtime::cast<QuickReplyViewController>(runtime::send<Id>(made, "initWithMessage:", std::string("Ciao")));
        window->setDelegate(controller);
        window->prepareView(false);
        window->enlargeView();
        window->dismiss();
        loop().advance(1);
        EXPECT_EQ(window->bgView(), nullptr);
        EXPECT_EQ(window->closeButton(), nullptr);
        EXPECT_EQ(window->replyField(), nullptr);
    }

    TEST_F(Lifecycle, CloseButtonClosesThroughTheController)
    {
        show();
        window->closeButton()->sendActionsForControlEvents(UIControlEventTouchUpInside);
        EXPECT_EQ(controller->closes, 1);
    }

    TEST_F(Lifecycle, ReloadFieldsShowsTheReplacedText)
    {
        show();
        runtime::send(window, "setMessage:", std::string("Testo nuovo"));
        runtime::send(window, "reloadFields");
        EXPECT_EQ(window->messageField()->text(), "Testo nuovo");
        EXPECT_TRUE(logged("DEV:QRVC reloadFields"));

        window->setMessage(std::nullopt);
        window->reloadFields();
        EXPECT_EQ(window->messageField()->text(), "Testo nuovo");
        EXPECT_TRUE(logged("DEV:NIL MESSAGE IN QRVC"));
    }

    TEST_F(Lifecycle, ReloadFieldsFromAnotherThreadWaitsForTheMainThread)
    {
        show();
        window->setMessage(std::string("Da lontano"));
        std::thread worker([this] { window->reloadFields(); });
        while (window->messageField()->text() != "Da lontano")
            loop().runPending();
        worker.join();
        EXPECT_EQ(window->messageField()->text(), "Da lontano");
    }

    TEST_F(Lifecycle, ReloadFieldsBeforeShowingDoesNothing)
    {
        window = runtime::make<QuickReplyViewController>();
        window->setMessage(std::string("x"));
        window->reloadFields();
        EXPECT_EQ(window->messageField(), nullptr);
    }

    TEST_F(Lifecycle, ReplyOnTheCompactPanelEnlargesIt)
    {
        show();
        window->sendButton()->sendActionsForControlEvents(UIControlEventTouchUpInside);
        loop().advance(1);
        EXPECT_TRUE(window->replyMode());
        EXPECT_NE(window->replyField(), nullptr);
    }

    TEST_F(Lifecycle, TheRuntimeReachesEveryMessageRDLSends)
    {
        for (const char* selector : { "initWithMessage:", "setMessage:", "setDelegate:", "setInLockScreen:", "prepareView:", "view", "dismiss",
                 "deviceRotated:", "reloadFields", "textView:shouldChangeTextInRange:replacementText:" })
            EXPECT_TRUE(runtime::classNamed("QuickReplyViewController")->lookup(selector)) << selector;
    }

} // namespace
} // namespace quickreply_test
