#include "QuickComposeLayout.h"

#include <uikit/UIKitTypes.h>

#include <cmath>
#include <numbers>

namespace parlivo::quickcompose {

using namespace uikit;

namespace {

    Placement at(double x, double y, double width, double height) { return { CGRectMake(x, y, width, height), false }; }
    Placement sized(double width, double height) { return { CGRectMake(0, 0, width, height), true }; }

    // The next row starts 3 points under an element, on a whole point.
    double rowBelow(double y, double height) { return std::trunc(y + height + 3); }

    // The Send button and the two small buttons to its left, on one row.
    void placeSendRow(Layout& layout, double sendX, double row)
    {
        layout.sendButton = at(sendX, row, 57, 32);
        layout.attachmentButton = at(sendX - 70, row + 6, 20, 20);
        layout.typeOfmessageButton = at(sendX - 45, row + 6, 35, 22);
    }

    constexpr double ToFieldY = 6;
    constexpr double ToFieldHeight = 24;
    constexpr double PortraitMessageHeight = 147;
    // The message view's bottom edge in landscape.
    constexpr double LandscapeMessageBottom = 82;

} // namespace

Layout layout(int64_t orientation, LayoutMoment moment, double screenWidth)
{
    Layout layout;
    bool portrait = orientation == UIInterfaceOrientationPortrait;
    bool landscape = orientation == UIInterfaceOrientationLandscapeRight || orientation == UIInterfaceOrientationLandscapeLeft;
    if (!portrait && !landscape)
        return layout;

    double messageTop = rowBelow(ToFieldY, ToFieldHeight); // 33

    if (moment == LayoutMoment::FinalSizes) {
        if (portrait) {
            layout.root = sized(PanelWidth, PortraitHeight);
            layout.bgView = sized(PanelWidth, PortraitHeight);
            placeSendRow(layout, 243, 183);
            layout.replyField = at(20, messageTop, 280, PortraitMessageHeight);
            layout.contatore = at(20, 183, 60, 15);
        } else {
            layout.toField = sized(432, ToFieldHeight);
            layout.replyField = at(20, messageTop, 440, LandscapeMessageBottom - messageTop);
            layout.contatore = at(20, 85, 60, 15);
        }
        return layout;
    }

    if (portrait) {
        layout.bgView = at(0, 0, PanelWidth, PortraitHeight);
        layout.closeButton = at(297, 5, 20, 20);
        layout.toField = at(20, ToFieldY, 275, ToFieldHeight);
        layout.replyField = at(20, messageTop, 280, PortraitMessageHeight);
        layout.contatore = at(20, 183, 60, 15);
        placeSendRow(layout, 243, rowBelow(messageTop, PortraitMessageHeight)); // 183
        layout.rootTransform = CGAffineTransformIdentity;
        layout.root = at((screenWidth - PanelWidth) * 0.5, BannerHeight, PanelWidth, PortraitHeight);
        return layout;
    }

    double messageHeight = LandscapeMessageBottom - messageTop; // 49
    layout.bgView = at(0, 0, LandscapeWidth, LandscapeHeight);
    layout.closeButton = at(297, 5, 20, 20);
    layout.toField = at(20, ToFieldY, 435, ToFieldHeight);
    layout.replyField = at(20, messageTop, 440, messageHeight);
    layout.contatore = at(20, 85, 60, 15);
    placeSendRow(layout, 403, rowBelow(messageTop, messageHeight)); // 85
    if (orientation == UIInterfaceOrientationLandscapeLeft) {
        layout.rootTransform = CGAffineTransformMakeRotation(-std::numbers::pi / 2);
        layout.root = at(BannerHeight, 0, LandscapeHeight, LandscapeWidth);
    } else {
        layout.presize = CGSizeMake(PanelWidth, PortraitHeight);
        layout.rootTransform = CGAffineTransformMakeRotation(std::numbers::pi / 2);
        layout.root = at(screenWidth - LandscapeHeight - BannerHeight, 0, LandscapeHeight, LandscapeWidth);
    }
    return layout;
}

} // namespace parlivo::quickcompose
