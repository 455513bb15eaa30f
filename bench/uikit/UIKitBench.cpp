// How long the simulator waits for a screen description and for a touch to
// find its view on a busy screen: 50, 200 or 800 views in panels of twenty,
// with a rotated panel on top, as the quick windows are in landscape.
#include <uikit/UIKit.h>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

using namespace uikit;

struct BusyScreen {
    runtime::Ref<UIWindow> window;
    runtime::Ref<UIWindow> overlay;

    explicit BusyScreen(int views = 200)
    {
        resetUIKit();
        registerUIKitClasses();
        window = makeView<UIWindow>(CGRectMake(0, 0, 320, 480));
        window->makeKeyAndVisible();
        int made = 1;
        // Panels of nineteen controls each; with the window, `views` views.
        for (int panelIndex = 0; made < views; ++panelIndex) {
            auto panel = makeView<UIView>(CGRectMake(0, (panelIndex % 10) * 48, 320, 48));
            panel->setBackgroundColor(UIColor::colorWithWhite(0.95, 1));
            panel->layer()->setCornerRadius(8);
            window->addSubview(panel);
            ++made;
            for (int i = 0; i < 19 && made < views; ++i) {
                runtime::Ref<UIView> child;
                switch (i % 3) {
                case 0: {
                    auto label = makeView<UILabel>(CGRectMake(i * 16, 2, 16, 20));
                    label->setText("Label");
                    child = label;
                    break;
                }
                case 1: {
                    auto button = UIButton::buttonWithType(UIButtonTypeCustom);
                    button->setFrame(CGRectMake(i * 16, 24, 16, 20));
                    button->setTitle("Send", UIControlStateNormal);
                    child = button;
                    break;
                }
                default: {
                    auto field = makeView<UITextView>(CGRectMake(i * 16, 10, 16, 30));
                    field->setText("Messaggio");
                    child = field;
                    break;
                }
                }
                child->setName("view" + std::to_string(made));
                panel->addSubview(child);
                ++made;
            }
        }
        overlay = makeView<UIWindow>(CGRectMake(0, 0, 320, 480));
        overlay->setWindowLevel(UIWindowLevelStatusBar - 1);
        overlay->setHidden(false);
        auto rotated = makeView<UIView>(CGRectMake(0, 0, 320, 120));
        overlay->addSubview(rotated);
        rotated->setTransform(CGAffineTransformMakeRotation(M_PI / 2));
        rotated->setFrame(CGRectMake(164, 0, 112, 480));
        rotated->addSubview(makeView<UIButton>(CGRectMake(403, 79, 57, 32)));
        // The overlay lets touches through where it has nothing: shrink it to the panel.
        overlay->setFrame(CGRectMake(164, 0, 112, 480));
    }

    ~BusyScreen() { resetUIKit(); }
};

// The screen's description as the text the simulator sends and prints.
void BM_SnapshotScreen(benchmark::State& state)
{
    BusyScreen screen(static_cast<int>(state.range(0)));
    size_t bytes = 0;
    for (auto _ : state) {
        bytes = snapshotScreenJSON().size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["jsonBytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_SnapshotScreen)->Arg(50)->Arg(200)->Arg(800);

// The same screen through the tree, as tests read it: for comparison.
void BM_SnapshotScreenTree(benchmark::State& state)
{
    BusyScreen screen(static_cast<int>(state.range(0)));
    size_t bytes = 0;
    for (auto _ : state) {
        bytes = snapshotScreen().dump().size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["jsonBytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_SnapshotScreenTree)->Arg(200);

void BM_HitTest(benchmark::State& state)
{
    BusyScreen screen;
    static const CGPoint points[] = { { 10, 10 }, { 150, 250 }, { 300, 470 }, { 200, 100 }, { 60, 400 } };
    size_t index = 0;
    for (auto _ : state) {
        auto view = hitTestScreen(points[index++ % std::size(points)]);
        benchmark::DoNotOptimize(view);
    }
}
BENCHMARK(BM_HitTest);

} // namespace
