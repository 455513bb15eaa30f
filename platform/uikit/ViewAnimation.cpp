#include "ViewAnimation.h"

#include "UIKitContext.h"
#include "UIView.h"

#include <foundation/RunLoop.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace uikit {

struct AnimatedChange {
    const UIView* view;
    runtime::WeakId weakView;
    AnimatedProperty property;

    bool sameAs(const AnimatedChange& other) const
    {
        return view == other.view && property == other.property && !weakView.expired();
    }
};

struct Animation {
    std::vector<AnimatedChange> changes;
    AnimationCompletion completion;
    bool finished { true };
    bool done { false };
};

struct AnimationBook {
    std::vector<std::shared_ptr<Animation>> open; // blocks being run, innermost last
    std::vector<std::shared_ptr<Animation>> inFlight;
};

namespace {

    AnimationBook& book()
    {
        auto& context = uikitContext();
        if (!context.animations)
            context.animations = std::make_shared<AnimationBook>();
        return *context.animations;
    }

    double sanitisedSeconds(double seconds) { return std::isfinite(seconds) && seconds > 0 ? seconds : 0; }

    void complete(const std::weak_ptr<AnimationBook>& weakBook, const std::shared_ptr<Animation>& animation)
    {
        auto owner = weakBook.lock();
        // A phone that was reset meanwhile has forgotten its animations.
        if (animation->done || !owner || owner != uikitContext().animations)
            return;
        animation->done = true;
        std::erase(owner->inFlight, animation);
        if (animation->completion) {
            auto completion = std::move(animation->completion);
            completion(animation->finished);
        }
    }

    // A later animation of the same property of the same view takes it over.
    void takeOverProperties(AnimationBook& owner, const std::shared_ptr<Animation>& fresh)
    {
        std::weak_ptr<AnimationBook> weakBook = uikitContext().animations;
        auto inFlight = owner.inFlight;
        for (auto& earlier : inFlight) {
            size_t before = earlier->changes.size();
            std::erase_if(earlier->changes, [&](const AnimatedChange& change) {
                return std::any_of(fresh->changes.begin(), fresh->changes.end(), [&](const AnimatedChange& c) { return c.sameAs(change); });
            });
            if (earlier->changes.size() == before)
                continue;
            earlier->finished = false;
            if (earlier->changes.empty()) {
                std::erase(owner.inFlight, earlier);
                foundation::RunLoop::main().performAfter(0, [weakBook, earlier] { complete(weakBook, earlier); });
            }
        }
    }

} // namespace

void animateWithDuration(double duration, const AnimationBlock& animations, AnimationCompletion completion, double delay)
{
    auto animation = std::make_shared<Animation>();
    animation->completion = std::move(completion);
    auto& owner = book();
    owner.open.push_back(animation);
    struct Close {
        AnimationBook& owner;
        ~Close() { owner.open.pop_back(); }
    } close { owner };
    if (animations)
        animations();
    takeOverProperties(owner, animation);
    owner.inFlight.push_back(animation);
    std::weak_ptr<AnimationBook> weakBook = uikitContext().animations;
    foundation::RunLoop::main().performAfter(sanitisedSeconds(delay) + sanitisedSeconds(duration), [weakBook, animation] { complete(weakBook, animation); });
}

void noteAnimatedChange(const UIView& view, AnimatedProperty property)
{
    auto& context = uikitContext();
    if (!context.animations || context.animations->open.empty())
        return;
    runtime::WeakId weak = const_cast<UIView&>(view).weak_from_this();
    if (weak.expired())
        return; // still being constructed
    auto& current = *context.animations->open.back();
    AnimatedChange change { &view, std::move(weak), property };
    for (auto& existing : current.changes) {
        if (existing.sameAs(change))
            return;
    }
    current.changes.push_back(std::move(change));
}

bool isInsideAnimationBlock()
{
    auto& context = uikitContext();
    return context.animations && !context.animations->open.empty();
}

size_t animationsInFlight()
{
    auto& context = uikitContext();
    return context.animations ? context.animations->inFlight.size() : 0;
}

} // namespace uikit
