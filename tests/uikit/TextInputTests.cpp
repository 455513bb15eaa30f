#include "UIKitTestSupport.h"

namespace uikit_test {

TEST(TextEditing, RangesCountUTF16Units)
{
    std::string text = "a\xF0\x9F\x98\x80"
                       "b"; // a😀b
    EXPECT_EQ(utf16Length(text), 4);
    EXPECT_EQ(*replacingUtf16Range(text, NSMakeRange(1, 2), "-"), "a-b");
    EXPECT_EQ(*rangeOfCharacterBefore(text, 3), NSMakeRange(1, 2));
    EXPECT_FALSE(replacingUtf16Range(text, NSMakeRange(3, 2), ""));
    EXPECT_FALSE(replacingUtf16Range(text, NSMakeRange(-1, 1), ""));
    EXPECT_FALSE(rangeOfCharacterBefore(text, 0));
    EXPECT_EQ(keystrokes("h\xC3\xA9!"), (std::vector<std::string> { "h", "\xC3\xA9", "!" }));
}

// A delegate that sends the keyboard to another input on the first key, as a search box does on a choice.
class Mover : public runtime::Object {
    PLV_CLASS(Mover, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<Mover>& b)
    {
        b.method("textField:shouldChangeCharactersInRange:replacementString:", [](Mover& self, const Id&, const NSRange&, const std::string&) -> bool {
            self.target->becomeFirstResponder();
            return true;
        });
    }
    Ref<UITextView> target;
};

class Typing : public UIKitTest {
protected:
    void SetUp() override
    {
        UIKitTest::SetUp();
        window = screenWindow();
        recorder = runtime::make<Recorder>();
        reply = makeView<UITextView>(CGRectMake(20, 33, 280, 147));
        reply->setDelegate(recorder);
        window->addSubview(reply);
        field = makeView<UITextField>(CGRectMake(20, 6, 275, 24));
        field->setDelegate(recorder);
        window->addSubview(field);
    }

    Ref<UIWindow> window;
    Ref<Recorder> recorder;
    Ref<UITextView> reply;
    Ref<UITextField> field;
};

TEST_F(Typing, KeysGoToTheFirstResponderOneByOne)
{
    EXPECT_FALSE(typeText("x")) << "no keyboard without a first responder";
    reply->becomeFirstResponder();
    recorder->trace.clear();
    EXPECT_TRUE(typeText("ok"));
    EXPECT_TRUE(pressReturn());
    EXPECT_TRUE(pressBackspace());
    EXPECT_EQ(reply->text(), "ok");
    EXPECT_EQ(recorder->trace, "tv-change 0,0 'o'|tv-changed|tv-change 1,0 'k'|tv-changed|tv-change 2,0 '\n'|tv-changed|tv-change 2,1 ''|tv-changed");
}

TEST_F(Typing, ARefusedEditChangesNothing)
{
    reply->setText("Ciao");
    reply->becomeFirstResponder();
    recorder->trace.clear();
    recorder->allowChange = false;
    EXPECT_FALSE(typeText("!"));
    EXPECT_FALSE(pasteText("lungo testo"));
    EXPECT_FALSE(pressBackspace());
    EXPECT_EQ(reply->text(), "Ciao");
    EXPECT_EQ(reply->selectedRange(), NSMakeRange(4, 0));
    EXPECT_EQ(recorder->trace, "tv-change 4,0 '!'|tv-change 4,0 'lungo testo'|tv-change 3,1 ''");
}

TEST_F(Typing, BackspaceRemovesAWholeEmoji)
{
    field->becomeFirstResponder();
    typeText("a\xF0\x9F\x98\x80");
    recorder->trace.clear();
    EXPECT_TRUE(pressBackspace());
    EXPECT_EQ(field->text(), "a");
    EXPECT_EQ(recorder->trace, "tf-change 1,2 ''");
    pressBackspace();
    EXPECT_FALSE(pressBackspace()) << "an empty field asks no one";
    EXPECT_EQ(recorder->trace, "tf-change 1,2 ''|tf-change 0,1 ''");
}

TEST_F(Typing, ReturnInAFieldAsksTheDelegateInAViewBreaksTheLine)
{
    field->becomeFirstResponder();
    field->setText("+39");
    pressReturn();
    EXPECT_EQ(field->text(), "+39");
    EXPECT_TRUE(field->isFirstResponder()) << "no one listens for did-end-on-exit";
    EXPECT_EQ(recorder->trace, "tf-begin|tf-return");
}

TEST_F(Typing, SettingTextFromCodeAsksNoOne)
{
    reply->becomeFirstResponder();
    recorder->trace.clear();
    runtime::send(reply, "setText:", std::string("Message"));
    field->setText("To");
    EXPECT_EQ(recorder->trace, "");
    typeText("!");
    EXPECT_EQ(reply->text(), "Message!") << "typing continues at the end";
}

TEST_F(Typing, ADelegateMovingTheKeyboardStopsTheTyping)
{
    auto mover = runtime::make<Mover>();
    mover->target = reply;
    field->setDelegate(mover);
    field->becomeFirstResponder();
    typeText("abc");
    EXPECT_EQ(field->text(), "a");
    EXPECT_EQ(reply->text(), "bc");
}

} // namespace uikit_test

namespace uikit_test {

TEST_F(Typing, FieldEventsReachTheirTargetsAndReturnCanEndEditing)
{
    auto listener = runtime::make<Recorder>();
    field->addTarget(listener, "changed:", UIControlEventEditingChanged);
    field->addTarget(listener, "pressed", UIControlEventEditingDidBegin | UIControlEventEditingDidEnd);
    field->becomeFirstResponder();
    typeText("ab");
    EXPECT_EQ(listener->trace, "pressed|changed|changed");
    field->addTarget(listener, "tapped:", UIControlEventEditingDidEndOnExit);
    pressReturn();
    EXPECT_FALSE(field->isFirstResponder()) << "someone listens for did-end-on-exit";
    EXPECT_EQ(listener->trace, "pressed|changed|changed|pressed|tapped");
    EXPECT_EQ(recorder->trace, "tf-begin|tf-change 0,0 'a'|tf-change 1,0 'b'|tf-return|tf-end");
}

TEST_F(Typing, ASelectionIsReplacedByWhatIsTyped)
{
    reply->setText("Hello world");
    reply->becomeFirstResponder();
    runtime::send(reply, "setSelectedRange:", NSMakeRange(6, 5));
    recorder->trace.clear();
    typeText("PLV");
    EXPECT_EQ(reply->text(), "Hello PLV");
    EXPECT_EQ(recorder->trace, "tv-change 6,5 'P'|tv-changed|tv-change 7,0 'L'|tv-changed|tv-change 8,0 'V'|tv-changed");
    reply->setSelectedRange(NSMakeRange(40, 3));
    EXPECT_EQ(reply->selectedRange(), NSMakeRange(9, 0)) << "a range past the end is brought inside";
}

} // namespace uikit_test
