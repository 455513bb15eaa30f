#include "InterfaceOrientation.h"

#include <uikit/UIKitTypes.h>
#include <uikit/UIScreen.h>
#include <uikit/UIWindow.h>

#include <numbers>

namespace springboard {

using namespace uikit;

namespace {
    CGSize screenSize()
    {
        return UIScreen::mainScreen()->bounds().size;
    }
}

bool isValidOrientation(int64_t orientation)
{
    return orientation >= UIInterfaceOrientationPortrait && orientation <= UIInterfaceOrientationLandscapeLeft;
}

bool isLandscape(int64_t orientation)
{
    return orientation == UIInterfaceOrientationLandscapeRight || orientation == UIInterfaceOrientationLandscapeLeft;
}

double rotationAngle(int64_t orientation)
{
    switch (orientation) {
    case UIInterfaceOrientationPortraitUpsideDown:
        return std::numbers::pi;
    case UIInterfaceOrientationLandscapeRight:
        return std::numbers::pi / 2;
    case UIInterfaceOrientationLandscapeLeft:
        return -std::numbers::pi / 2;
    default:
        return 0;
    }
}

CGSize interfaceSize(int64_t orientation)
{
    CGSize screen = screenSize();
    return isLandscape(orientation) ? CGSizeMake(screen.height, screen.width) : screen;
}

CGPoint screenPointForInterfacePoint(const CGPoint& point, int64_t orientation)
{
    CGSize screen = screenSize();
    switch (orientation) {
    case UIInterfaceOrientationPortraitUpsideDown:
        return { screen.width - point.x, screen.height - point.y };
    case UIInterfaceOrientationLandscapeRight:
        // The interface's top edge runs along the screen's right edge.
        return { screen.width - point.y, point.x };
    case UIInterfaceOrientationLandscapeLeft:
        return { point.y, screen.height - point.x };
    default:
        return point;
    }
}

void placeWindow(UIWindow& window, int64_t orientation, const CGRect& interfaceFrame)
{
    window.setTransform(CGAffineTransformMakeRotation(rotationAngle(orientation)));
    window.setBounds(CGRectMake(0, 0, interfaceFrame.size.width, interfaceFrame.size.height));
    window.setCenter(screenPointForInterfacePoint({ interfaceFrame.midX(), interfaceFrame.midY() }, orientation));
}

} // namespace springboard
