// Where the quick reply panel and its controls sit, for an orientation of the
// application in front and a mode of the panel. This is the one description
// of the panel's geometry: showing, rotating and enlarging the window only
// apply what it answers, each at its own moment.
//
// Frames are in the coordinates of the window's view, whose rotation turns
// them on screen; the panel (`bgView`) sits at its origin, so they are also
// the panel's own coordinates. The reply field and the counter exist only
// in the enlarged panel.
#pragma once

#include <common/QuickReplyPanel.h>
#include <uikit/Geometry.h>

#include <cstdint>
#include <optional>

namespace parlivo::quickreply {

using common::PanelMode;

struct PanelLayout : common::PanelFrames {
    uikit::CGRect view;
    uikit::CGAffineTransform rotation;
    uikit::CGRect attachmentButton;
};

// The width of the application rectangle the panel is centred in.
inline constexpr double ApplicationWidth = 320;

// The layout for an orientation (1 portrait, 3 and 4 the two landscapes) and
// a mode, `bannerHeight` points from the top of the screen. Nothing for any
// other orientation: the panel then stays as it is.
std::optional<PanelLayout> panelLayout(int64_t orientation, PanelMode, double bannerHeight);

// The portrait panel the window builds its controls in before the first
// layout, and slides in from above.
PanelLayout portraitLayout(PanelMode, double bannerHeight);

} // namespace parlivo::quickreply
