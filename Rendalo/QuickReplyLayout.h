// The frames of Rendalo's quick reply panel, as one function of the front
// application's orientation, the panel's mode and the width of the screen's
// application frame. The panel always sits 44 points below the top edge (or
// beside it, in landscape), also over the lock screen; landscape turns the
// whole view a quarter turn. Orientations other than 1, 3 and 4 have no
// layout: the panel stays as it is.
#pragma once

#include <common/QuickReplyPanel.h>
#include <uikit/Geometry.h>

#include <cstdint>
#include <optional>

namespace rendalo {

using common::PanelMode;

struct QuickReplyFrames : common::PanelFrames {
    uikit::CGRect window;
    double rotation { 0 }; // radians; 0 is the identity
};

inline constexpr double PanelOffset = 44;

// `hasReplyField`: the enlarged panel's Send button sits below the reply
// field, or where it would start when there is none yet.
std::optional<QuickReplyFrames> quickReplyLayout(int64_t orientation, PanelMode, double applicationWidth, bool hasReplyField = true);

} // namespace rendalo
