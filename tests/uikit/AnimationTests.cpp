#include "UIKitTestSupport.h"

namespace uikit_test {

class Animations : public UIKitTest { };

TEST_F(Animations, FinalValuesAtOnceCompletionsInOrderOnTheClock)
{
    auto view = makeView<UIView>(CGRectMake(0, 44, 0, 0));
    auto other = makeView<UIView>(CGRectZero);
    std::string order;
    UIView::classObject();
    runtime::send(runtime::classNamed("UIView"), "animateWithDuration:animations:completion:", 0.3,
        AnimationBlock([&] { view->setFrame(CGRectMake(0, 44, 320, 120)); }),
        AnimationCompletion([&](bool finished) { order += finished ? "a" : "A"; }));
    animateWithDuration(
        0.3, [&] { other->setAlpha(0.5); }, [&](bool finished) { order += finished ? "b" : "B"; });
    animateWithDuration(
        0.25, [&] { other->setCenter({ 1, 1 }); }, [&](bool finished) { order += finished ? "c" : "C"; });
    animateWithDuration(0, {}, [&](bool) { order += "z"; });
    EXPECT_EQ(view->frame(), CGRectMake(0, 44, 320, 120)) << "the model shows the end at once";
    EXPECT_EQ(order, "") << "completions wait for the run loop";
    loop().runPending();
    EXPECT_EQ(order, "z");
    loop().advance(0.2);
    EXPECT_EQ(order, "z");
    loop().advance(0.05);
    EXPECT_EQ(order, "zc");
    loop().advance(0.05);
    EXPECT_EQ(order, "zcab") << "equal ends complete in the order started";
    EXPECT_EQ(animationsInFlight(), 0u);
}

TEST_F(Animations, CompletionMayStartTheNextAnimation)
{
    // The opening of a quick window: a 0.3 s slide whose completion lays the panel out in another 0.3 s.
    auto root = makeView<UIView>(CGRectMake(0, 44, 0, 0));
    auto panel = makeView<UIView>(CGRectMake(0, -120, 320, 120));
    root->addSubview(panel);
    std::vector<double> times;
    animateWithDuration(
        0.3, [&] { root->setFrame(CGRectMake(0, 44, 0, 0)); }, [&](bool) {
        times.push_back(loop().now());
        animateWithDuration(0.3, [&] {
            root->setFrame(CGRectMake(0, 44, 320, 120));
            panel->setFrame(CGRectMake(0, 0, 320, 120));
        }, [&](bool) { times.push_back(loop().now()); }); });
    loop().advance(1);
    ASSERT_EQ(times.size(), 2u);
    EXPECT_NEAR(times[0], 0.3, 1e-9);
    EXPECT_NEAR(times[1], 0.6, 1e-9);
    EXPECT_EQ(panel->frame(), CGRectMake(0, 0, 320, 120));
}

TEST_F(Animations, NestedBlocksKeepTheirOwnDurations)
{
    auto view = makeView<UIView>(CGRectZero);
    std::string order;
    animateWithDuration(
        0.5, [&] {
        view->setAlpha(0.5);
        animateWithDuration(0.1, [&] { view->setCenter({ 3, 3 }); }, [&](bool finished) { order += finished ? "inner" : "INNER"; }); }, [&](bool finished) { order += finished ? "-outer" : "-OUTER"; });
    loop().advance(0.1);
    EXPECT_EQ(order, "inner");
    loop().advance(0.4);
    EXPECT_EQ(order, "inner-outer");
}

TEST_F(Animations, ALaterAnimationOfTheSamePropertiesCutsTheEarlierShort)
{
    auto view = makeView<UIView>(CGRectZero);
    auto other = makeView<UIView>(CGRectZero);
    std::string order;
    animateWithDuration(
        0.3, [&] { view->setFrame(CGRectMake(0, 0, 10, 10)); }, [&](bool finished) { order += finished ? "first" : "FIRST"; });
    animateWithDuration(
        0.5, [&] {
        view->setAlpha(1);
        other->setFrame(CGRectMake(0, 0, 1, 1)); }, [&](bool finished) { order += finished ? "-second" : "-SECOND"; });
    animateWithDuration(
        0.5, [&] { other->setFrame(CGRectMake(0, 0, 2, 2)); }, [&](bool finished) { order += finished ? "-third" : "-THIRD"; });
    loop().advance(0.01);
    EXPECT_EQ(order, "") << "the first kept its frame animation; only part of the second was taken";
    animateWithDuration(0.2, [&] { view->setFrame(CGRectMake(5, 5, 10, 10)); }, {});
    loop().runPending();
    EXPECT_EQ(order, "FIRST") << "wholly taken over: it ends at the next turn, unfinished";
    loop().advance(1);
    EXPECT_EQ(order, "FIRST-SECOND-third");
}

TEST_F(Animations, AResetPhoneForgetsItsAnimations)
{
    bool ran = false;
    animateWithDuration(0.1, {}, [&](bool) { ran = true; });
    resetUIKit();
    loop().advance(1);
    EXPECT_FALSE(ran);
}

} // namespace uikit_test

namespace uikit_test {

TEST_F(Animations, ADelayAddsToTheWait)
{
    bool done = false;
    auto view = makeView<UIView>(CGRectZero);
    runtime::send(runtime::classNamed("UIView"), "animateWithDuration:delay:options:animations:completion:", 0.2, 0.5, int64_t(0),
        AnimationBlock([&] { view->setAlpha(0); }), AnimationCompletion([&](bool) { done = true; }));
    EXPECT_EQ(view->alpha(), 0);
    loop().advance(0.6);
    EXPECT_FALSE(done);
    loop().advance(0.1);
    EXPECT_TRUE(done);
}

TEST_F(Animations, ABlockSentWithTheWrongTypeIsReportedNotRun)
{
    bool ran = false;
    auto lambda = [&] { ran = true; };
    runtime::send(runtime::classNamed("UIView"), "animateWithDuration:animations:", 0.3, lambda);
    EXPECT_FALSE(ran);
    EXPECT_EQ(g_diagnostics.size(), 1u);
}

} // namespace uikit_test
