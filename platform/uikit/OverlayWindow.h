// The windows the platform puts up for itself over everything else, as it
// does for action sheets and alerts: a screen-sized window at alert level
// with a dimmed background, kept alive by the phone until it is closed.
#pragma once

#include "UIWindow.h"

namespace uikit {

runtime::Ref<UIWindow> showInOverlayWindow(const runtime::Ref<UIView>& content);
// Closes the overlay window that holds the view, if any.
void closeOverlayWindow(const UIView& content);

} // namespace uikit
