#include "UIKitTestSupport.h"

namespace uikit_test {

class Responders : public UIKitTest {
protected:
    void SetUp() override
    {
        UIKitTest::SetUp();
        window = screenWindow();
        recorder = runtime::make<Recorder>();
        field = makeView<UITextField>(CGRectMake(20, 6, 275, 24));
        field->setDelegate(recorder);
        reply = makeView<UITextView>(CGRectMake(20, 33, 280, 147));
        reply->setDelegate(recorder);
        window->addSubview(field);
        window->addSubview(reply);
    }

    Ref<UIWindow> window;
    Ref<Recorder> recorder;
    Ref<UITextField> field;
    Ref<UITextView> reply;
};

TEST_F(Responders, ChangesFireDidBeginAndDidEndInOrder)
{
    EXPECT_TRUE(runtime::send<bool>(field, "becomeFirstResponder"));
    EXPECT_TRUE(field->isFirstResponder());
    EXPECT_TRUE(isKeyboardVisible());
    EXPECT_TRUE(reply->becomeFirstResponder());
    EXPECT_FALSE(field->isFirstResponder());
    EXPECT_TRUE(runtime::send<bool>(reply, "isFirstResponder"));
    EXPECT_TRUE(reply->becomeFirstResponder()) << "already first: nothing happens";
    EXPECT_TRUE(reply->resignFirstResponder());
    EXPECT_TRUE(reply->resignFirstResponder());
    EXPECT_EQ(recorder->trace, "tf-begin|tf-end|tv-begin|tv-end");
    EXPECT_FALSE(isKeyboardVisible());
}

TEST_F(Responders, EitherSideMayRefuse)
{
    recorder->allowBegin = false;
    EXPECT_FALSE(field->becomeFirstResponder());
    EXPECT_EQ(UIResponder::currentFirstResponder(), nullptr);
    EXPECT_TRUE(reply->becomeFirstResponder());
    recorder->allowEnd = false;
    recorder->allowBegin = true;
    EXPECT_FALSE(field->becomeFirstResponder()) << "the text view's delegate keeps it editing";
    EXPECT_TRUE(reply->isFirstResponder());
    EXPECT_EQ(recorder->trace, "tv-begin");
}

TEST_F(Responders, OnlyEditableInputsBecomeFirstResponder)
{
    auto message = makeView<UITextView>(CGRectMake(15, 4, 288, 85));
    message->setEditable(false);
    window->addSubview(message);
    EXPECT_FALSE(message->becomeFirstResponder());
    EXPECT_FALSE(makeView<UILabel>(CGRectZero)->becomeFirstResponder());
    field->setEnabled(false);
    EXPECT_FALSE(field->becomeFirstResponder());
}

TEST_F(Responders, LeavingTheScreenEndsEditing)
{
    reply->becomeFirstResponder();
    auto container = makeView<UIView>(CGRectZero);
    window->addSubview(container);
    container->addSubview(reply);
    EXPECT_EQ(recorder->trace, "tv-begin|tv-end") << "moving the view elsewhere removes it first";
    reply->becomeFirstResponder();
    container->removeFromSuperview();
    EXPECT_FALSE(reply->isFirstResponder());
    EXPECT_EQ(recorder->trace, "tv-begin|tv-end|tv-begin|tv-end");
}

TEST_F(Responders, TapOnAnInputMakesItFirstResponder)
{
    tapScreen({ 100, 100 });
    EXPECT_TRUE(reply->isFirstResponder());
    tapScreen({ 100, 15 });
    EXPECT_TRUE(field->isFirstResponder());
    EXPECT_EQ(recorder->trace, "tv-begin|tv-end|tf-begin");
    EXPECT_EQ(tapScreen({ 100, 400 }), nullptr) << "the keyboard covers the bottom of the screen";
    EXPECT_TRUE(field->isFirstResponder());
}

TEST_F(Responders, EndEditingResignsInsideTheSubtreeOnly)
{
    reply->becomeFirstResponder();
    auto unrelated = makeView<UIView>(CGRectZero);
    EXPECT_TRUE(unrelated->endEditing(false));
    EXPECT_TRUE(reply->isFirstResponder());
    recorder->allowEnd = false;
    EXPECT_FALSE(window->endEditing(false));
    EXPECT_TRUE(window->endEditing(true));
    EXPECT_FALSE(reply->isFirstResponder());
}

} // namespace uikit_test
