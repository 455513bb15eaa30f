// Placing a window that is laid out for an interface orientation on the
// portrait screen: the window's bounds are in the interface's own
// coordinates (480 × 320 in landscape) and its transform turns them onto the
// screen, as the phone does for rotated interfaces.
#pragma once

#include <uikit/Geometry.h>

#include <cstdint>

namespace uikit {
class UIWindow;
}

namespace springboard {

bool isValidOrientation(int64_t orientation);
bool isLandscape(int64_t orientation);
// The rotation of a view laid out for the orientation: 0, π, +π/2 or −π/2.
double rotationAngle(int64_t orientation);
// The screen's size as the interface sees it (width and height swap in landscape).
uikit::CGSize interfaceSize(int64_t orientation);
// Where a point of the interface lies on the portrait screen.
uikit::CGPoint screenPointForInterfacePoint(const uikit::CGPoint&, int64_t orientation);
// Gives the window the frame `interfaceFrame` in the interface's coordinates.
void placeWindow(uikit::UIWindow&, int64_t orientation, const uikit::CGRect& interfaceFrame);

} // namespace springboard
