// The UI globals of one phone: its windows in the order they came to the
// front, the key window, the first responder, the shared screen, application,
// device and edit menu, and the animations in flight. They live together so
// that `resetUIKit()` gives a test a fresh phone. Everything here belongs to
// the main thread.
#pragma once

#include <runtime/Runtime.h>

#include <cstdint>
#include <vector>

namespace uikit {

class UIApplication;
class UIDevice;
class UIMenuController;
class UIResponder;
class UIScreen;
class UIWindow;
struct AnimationBook;

struct UIKitContext {
    // Windows are held weakly, as the phone holds them: a window nobody keeps disappears.
    std::vector<runtime::Weak<UIWindow>> windows;
    uint64_t nextWindowOrder { 1 };
    runtime::Weak<UIWindow> keyWindow;
    runtime::Weak<UIResponder> firstResponder;
    // Windows the platform shows for itself (action sheets, alerts), kept until they close.
    std::vector<runtime::Ref<UIWindow>> overlayWindows;

    runtime::Ref<UIScreen> mainScreen;
    runtime::Ref<UIApplication> application;
    runtime::Ref<UIDevice> device;
    runtime::Ref<UIMenuController> menuController;
    std::shared_ptr<AnimationBook> animations;
};

UIKitContext& uikitContext();

// Forgets every window, responder, shared object and animation of the phone.
void resetUIKit();

// Visible windows from the back to the front: by level, and within a level
// in the order they were last brought to the front.
std::vector<runtime::Ref<UIWindow>> visibleWindows();

} // namespace uikit
