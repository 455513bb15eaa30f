#include "QuickReplyLayout.h"

#include <cmath>
#include <numbers>

namespace rendalo {

using uikit::CGRectMake;

using namespace common;

std::optional<QuickReplyFrames> quickReplyLayout(int64_t orientation, PanelMode mode, double applicationWidth, bool hasReplyField)
{
    bool enlarged = mode == PanelMode::Enlarged;
    QuickReplyFrames frames;
    if (orientation == 1) {
        double height = enlarged ? EnlargedHeight : CompactHeight;
        frames.window = CGRectMake((applicationWidth - PanelWidth) / 2, PanelOffset, PanelWidth, height);
        frames.bgView = CGRectMake(0, 0, PanelWidth, height);
        frames.closeButton = CGRectMake(290, 0, 30, 30);
        frames.messageField = CGRectMake(15, 4, 288, 85);
        if (!enlarged) {
            frames.sendButton = CGRectMake(243, 90, 57, 29);
            return frames;
        }
        frames.replyField = CGRectMake(20, 92, 280, 91);
        frames.contatore = CGRectMake(20, 186, 60, 15);
        double replyHeight = hasReplyField ? frames.replyField->size.height : 0;
        frames.sendButton = CGRectMake(243, rowBelow(92, replyHeight), 57, 25);
        return frames;
    }
    if (orientation != 3 && orientation != 4)
        return std::nullopt;

    frames.window = orientation == 3 ? CGRectMake(applicationWidth - LandscapeHeight - PanelOffset, 0, LandscapeHeight, LandscapeWidth)
                                     : CGRectMake(PanelOffset, 0, LandscapeHeight, LandscapeWidth);
    frames.rotation = orientation == 3 ? std::numbers::pi / 2 : -std::numbers::pi / 2;
    frames.bgView = CGRectMake(0, 0, LandscapeWidth, LandscapeHeight);
    frames.closeButton = CGRectMake(450, 0, 30, 30);
    if (!enlarged) {
        frames.messageField = CGRectMake(15, 4, 432, 74);
        frames.sendButton = CGRectMake(403, 82, 57, 29);
        return frames;
    }
    frames.messageField = CGRectMake(15, 4, 432, 46);
    double y1 = rowBelow(4, 46);
    frames.replyField = CGRectMake(20, y1, 440, 82 - y1);
    frames.contatore = CGRectMake(20, 85, 60, 15);
    double replyHeight = hasReplyField ? frames.replyField->size.height : 0;
    frames.sendButton = CGRectMake(403, rowBelow(y1, replyHeight), 57, 25);
    return frames;
}

} // namespace rendalo
