// The on-screen keyboard. It shows while a text view or text field is first
// responder, and typing goes to that responder exactly as keys would: one
// character per key, each offered to the delegate, which may refuse it.
#pragma once

#include "Geometry.h"

#include <string>

namespace uikit {

class TextInput;

static constexpr double KeyboardHeightPortrait = 216;
static constexpr double KeyboardHeightLandscape = 162;

// The text input that has the keyboard, or null.
TextInput* keyboardTarget();
bool isKeyboardVisible();
// In screen coordinates, along the bottom edge of the interface's
// orientation (the status bar's); zero while the keyboard is hidden.
CGRect keyboardFrame();

// Each answers false when no text input has the keyboard. `typeText` answers
// whether every key was taken, `pasteText` offers the whole text as one edit.
bool typeText(const std::string&);
bool pasteText(const std::string&);
bool pressBackspace();
bool pressReturn();

} // namespace uikit
