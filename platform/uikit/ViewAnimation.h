// View animations as the phone runs them, reduced to what can be observed:
// the block's final values apply at once, and the completion runs on the
// main run loop when the delay and duration have passed. Animations started
// at the same moment complete in the order they were started. An animation
// whose every animated property is animated again by a later animation before
// it ends is cut short, as on the phone: its completion runs at the next turn
// of the run loop with `finished` NO. An animation that loses only some of its
// properties still ends on time, with `finished` NO.
//
// Through the runtime (`+[UIView animateWithDuration:animations:completion:]`)
// the blocks travel as `AnimationBlock` and `AnimationCompletion`: wrap a
// lambda in them before sending, or the signatures will not match.
#pragma once

#include <cstddef>
#include <functional>

namespace uikit {

class UIView;

using AnimationBlock = std::function<void()>;
using AnimationCompletion = std::function<void(bool finished)>;

enum class AnimatedProperty {
    Position,
    Bounds,
    Transform,
    Alpha,
    BackgroundColor,
};

void animateWithDuration(double duration, const AnimationBlock& animations, AnimationCompletion completion = {}, double delay = 0);

// Called by the view setters: inside an animation block, the change belongs to that animation.
void noteAnimatedChange(const UIView&, AnimatedProperty);
bool isInsideAnimationBlock();
// Animations started and not yet completed.
size_t animationsInFlight();

} // namespace uikit
