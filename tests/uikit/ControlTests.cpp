#include "UIKitTestSupport.h"

namespace uikit_test {

class Controls : public UIKitTest {
protected:
    void SetUp() override
    {
        UIKitTest::SetUp();
        window = screenWindow();
        recorder = runtime::make<Recorder>();
    }

    Ref<UIWindow> window;
    Ref<Recorder> recorder;
};

TEST_F(Controls, ButtonShowsTheNormalStateWhereAStateHasNothingOfItsOwn)
{
    auto button = runtime::cast<UIButton>(runtime::send<Id>(runtime::classNamed("UIButton"), "buttonWithType:", int64_t(UIButtonTypeCustom)));
    ASSERT_TRUE(button);
    runtime::send(button, "setTitle:forState:", std::string("Reply"), int64_t(UIControlStateNormal));
    button->setTitleColor(UIColor::colorWithRed(0.8, 0.8, 0.8, 1), UIControlStateDisabled);
    EXPECT_EQ(button->currentTitle(), "Reply");
    EXPECT_EQ(button->currentTitleColor()->red(), 1) << "a custom button's title is white";
    button->setTitle("Send", UIControlStateNormal);
    runtime::send(button, "setEnabled:", false);
    EXPECT_EQ(button->state(), UIControlStateDisabled);
    EXPECT_EQ(button->currentTitle(), "Send");
    EXPECT_DOUBLE_EQ(button->currentTitleColor()->red(), 0.8);
    button->setEnabled(true);
    EXPECT_EQ(button->currentTitleColor()->red(), 1);
}

TEST_F(Controls, TouchUpInsideReachesTheTargetUnlessDisabled)
{
    auto button = makeView<UIButton>(CGRectMake(243, 87, 57, 32));
    window->addSubview(button);
    runtime::send(button, "addTarget:action:forControlEvents:", Id(recorder), runtime::sel("tapped:"), int64_t(UIControlEventTouchUpInside));
    button->addTarget(recorder, "pressed", UIControlEventTouchDown);
    tapScreen({ 250, 100 });
    EXPECT_EQ(recorder->trace, "pressed|tapped");
    EXPECT_EQ(recorder->lastSender, button);
    button->setEnabled(false);
    EXPECT_EQ(tapScreen({ 250, 100 }), button);
    EXPECT_EQ(recorder->trace, "pressed|tapped") << "a disabled button takes the touch and does nothing";
}

TEST_F(Controls, TargetsAreHeldWeakly)
{
    auto button = makeView<UIButton>(CGRectMake(0, 0, 50, 50));
    window->addSubview(button);
    {
        auto transient = runtime::make<Recorder>();
        button->addTarget(transient, "tapped:", UIControlEventTouchUpInside);
    }
    EXPECT_EQ(tapScreen({ 10, 10 }), button);
    EXPECT_TRUE(g_diagnostics.empty()) << "a target that is gone is skipped";
}

TEST_F(Controls, NilTargetFollowsTheResponderChain)
{
    auto controller = runtime::make<RecordingController>();
    // The chain from the first responder: field → root view → its controller.
    auto root = controller->view();
    window->addSubview(root);
    auto field = makeView<UITextField>(CGRectMake(0, 0, 100, 30));
    root->addSubview(field);
    field->becomeFirstResponder();
    auto button = makeView<UIButton>(CGRectMake(0, 100, 50, 50));
    window->addSubview(button);
    button->addTarget(nullptr, "tapped:", UIControlEventTouchUpInside);
    controller->trace.clear();
    tapScreen({ 10, 110 });
    EXPECT_EQ(controller->trace, "tapped");
    EXPECT_FALSE(UIApplication::sharedApplication()->sendAction("noSuchAction", nullptr, button));
}

TEST_F(Controls, SwitchFlipsAndKeepsItsSize)
{
    auto toggle = makeView<UISwitch>(CGRectMake(0, 10, 50, 30));
    EXPECT_EQ(toggle->frame(), CGRectMake(0, 10, 79, 27));
    window->addSubview(toggle);
    toggle->addTarget(recorder, "changed:", UIControlEventValueChanged);
    tapScreen({ 20, 20 });
    EXPECT_TRUE(runtime::send<bool>(toggle, "isOn"));
    EXPECT_EQ(recorder->trace, "changed");
    runtime::send(toggle, "setOn:animated:", false, true);
    EXPECT_FALSE(toggle->isOn());
    EXPECT_EQ(recorder->trace, "changed") << "setting from code sends nothing";
}

TEST_F(Controls, SliderStaysInItsRangeAndFollowsTheFinger)
{
    auto slider = makeView<UISlider>(CGRectMake(20, 280, 280, 10));
    window->addSubview(slider);
    slider->addTarget(recorder, "changed:", UIControlEventValueChanged);
    runtime::send(slider, "setValue:", 4.0);
    EXPECT_EQ(slider->value(), 1);
    slider->setValue(NAN);
    EXPECT_EQ(slider->value(), 1);
    dragScreen({ 290, 285 }, { 90, 285 });
    EXPECT_NEAR(slider->value(), 0.25, 1e-9);
    EXPECT_EQ(recorder->trace, "changed");
}

TEST_F(Controls, LabelsAndImagesTakeNoTouches)
{
    auto button = makeView<UIButton>(CGRectMake(0, 0, 100, 100));
    window->addSubview(button);
    button->addSubview(makeView<UILabel>(CGRectMake(0, 0, 100, 100)));
    button->addSubview(makeView<UIImageView>(CGRectMake(0, 0, 100, 100)));
    EXPECT_EQ(hitTestScreen({ 50, 50 }), button);
}

} // namespace uikit_test
