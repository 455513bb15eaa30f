#include "Keyboard.h"

#include "TextEditing.h"
#include "UIApplication.h"
#include "UIScreen.h"
#include "UITextView.h"

namespace uikit {

TextInput* keyboardTarget()
{
    auto responder = UIResponder::currentFirstResponder();
    return dynamic_cast<TextInput*>(responder.get());
}

bool isKeyboardVisible() { return keyboardTarget() != nullptr; }

CGRect keyboardFrame()
{
    if (!isKeyboardVisible())
        return CGRectZero;
    CGRect screen = UIScreen::mainScreen()->bounds();
    switch (UIApplication::sharedApplication()->statusBarOrientation()) {
    case UIInterfaceOrientationLandscapeRight:
        return CGRectMake(0, 0, KeyboardHeightLandscape, screen.size.height);
    case UIInterfaceOrientationLandscapeLeft:
        return CGRectMake(screen.size.width - KeyboardHeightLandscape, 0, KeyboardHeightLandscape, screen.size.height);
    case UIInterfaceOrientationPortraitUpsideDown:
        return CGRectMake(0, 0, screen.size.width, KeyboardHeightPortrait);
    default:
        return CGRectMake(0, screen.size.height - KeyboardHeightPortrait, screen.size.width, KeyboardHeightPortrait);
    }
}

namespace {

    // Keeps the responder alive while its delegate runs.
    template <class F>
    bool withTarget(F&& action)
    {
        auto responder = UIResponder::currentFirstResponder();
        auto* input = dynamic_cast<TextInput*>(responder.get());
        if (!input)
            return false;
        return action(*input);
    }

} // namespace

bool typeText(const std::string& text)
{
    return withTarget([&](TextInput&) {
        bool all = true;
        for (auto& key : keystrokes(text)) {
            // The delegate may move the keyboard elsewhere between two keys.
            auto responder = UIResponder::currentFirstResponder();
            auto* input = dynamic_cast<TextInput*>(responder.get());
            if (!input)
                return false;
            all = input->insertText(key) && all;
        }
        return all;
    });
}

bool pasteText(const std::string& text)
{
    return withTarget([&](TextInput& input) { return input.insertText(text); });
}

bool pressBackspace()
{
    return withTarget([](TextInput& input) { return input.deleteBackward(); });
}

bool pressReturn()
{
    return withTarget([](TextInput& input) {
        input.pressReturnKey();
        return true;
    });
}

} // namespace uikit
