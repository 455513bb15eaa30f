#include "QuickReplyLayout.h"

#include <uikit/UIKitTypes.h>

#include <cmath>
#include <numbers>

namespace parlivo::quickreply {

using namespace uikit;
using namespace common;

namespace {

    PanelLayout landscapeLayout(bool right, PanelMode mode, double bannerHeight)
    {
        PanelLayout layout;
        layout.view = right ? CGRectMake(ApplicationWidth - LandscapeHeight - bannerHeight, 0, LandscapeHeight, LandscapeWidth)
                            : CGRectMake(bannerHeight, 0, LandscapeHeight, LandscapeWidth);
        layout.rotation = CGAffineTransformMakeRotation(right ? std::numbers::pi / 2 : -std::numbers::pi / 2);
        layout.bgView = CGRectMake(0, 0, LandscapeWidth, LandscapeHeight);
        layout.closeButton = CGRectMake(457, 5, 20, 20);
        if (mode == PanelMode::Compact) {
            layout.messageField = CGRectMake(15, 4, 432, 74);
            layout.sendButton = CGRectMake(403, 79, 57, 32);
            layout.attachmentButton = CGRectMake(373, 79, 20, 20);
            return layout;
        }
        // The message gives up height so that the reply fits under it.
        layout.messageField = CGRectMake(15, 4, 432, 46);
        double replyTop = rowBelow(layout.messageField);
        layout.replyField = CGRectMake(20, replyTop, 440, 82 - replyTop);
        layout.contatore = CGRectMake(20, 85, 60, 15);
        double buttonsTop = rowBelow(*layout.replyField);
        layout.sendButton = CGRectMake(403, buttonsTop, 57, 32);
        layout.attachmentButton = CGRectMake(373, buttonsTop, 20, 20);
        return layout;
    }

} // namespace

PanelLayout portraitLayout(PanelMode mode, double bannerHeight)
{
    double height = mode == PanelMode::Compact ? CompactHeight : EnlargedHeight;
    PanelLayout layout;
    layout.view = CGRectMake((ApplicationWidth - PanelWidth) / 2, bannerHeight, PanelWidth, height);
    layout.rotation = CGAffineTransformIdentity;
    layout.bgView = CGRectMake(0, 0, PanelWidth, height);
    layout.closeButton = CGRectMake(297, 5, 20, 20);
    layout.messageField = CGRectMake(15, 4, 288, 85);
    if (mode == PanelMode::Compact) {
        layout.sendButton = CGRectMake(243, 87, 57, 32);
        layout.attachmentButton = CGRectMake(213, 87, 20, 20);
        return layout;
    }
    layout.replyField = CGRectMake(20, 92, 280, 88);
    layout.contatore = CGRectMake(20, 183, 60, 15);
    double buttonsTop = rowBelow(*layout.replyField);
    layout.sendButton = CGRectMake(243, buttonsTop, 57, 32);
    layout.attachmentButton = CGRectMake(213, buttonsTop, 20, 20);
    return layout;
}

std::optional<PanelLayout> panelLayout(int64_t orientation, PanelMode mode, double bannerHeight)
{
    switch (orientation) {
    case UIInterfaceOrientationPortrait:
        return portraitLayout(mode, bannerHeight);
    case UIInterfaceOrientationLandscapeRight:
        return landscapeLayout(true, mode, bannerHeight);
    case UIInterfaceOrientationLandscapeLeft:
        return landscapeLayout(false, mode, bannerHeight);
    default:
        return std::nullopt;
    }
}

} // namespace parlivo::quickreply
