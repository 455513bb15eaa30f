// The measures both libraries' quick reply panels are built from: the two
// modes, the panel's size in portrait (compact and enlarged) and landscape,
// and how a row is placed below another. Each library's layout table
// (QuickReplyLayout) places its own controls with them.
#pragma once

#include <uikit/Geometry.h>

#include <cmath>
#include <optional>

namespace common {

enum class PanelMode {
    Compact,
    Enlarged,
};

inline constexpr double PanelWidth = 320;
inline constexpr double CompactHeight = 120;
inline constexpr double EnlargedHeight = 216;
inline constexpr double LandscapeWidth = 480;
inline constexpr double LandscapeHeight = 112;

// The frames of the controls both panels have, in the coordinates of the
// window's view.
struct PanelFrames {
    uikit::CGRect bgView;
    uikit::CGRect closeButton;
    uikit::CGRect messageField;
    // Only in the enlarged panel.
    std::optional<uikit::CGRect> replyField;
    std::optional<uikit::CGRect> contatore;
    uikit::CGRect sendButton;
};

// The row below a control: its bottom edge plus a 3-point gap, in whole
// points.
inline double rowBelow(double y, double height) { return std::trunc(y + height + 3); }

inline double rowBelow(const uikit::CGRect& frame) { return rowBelow(frame.origin.y, frame.size.height); }

} // namespace common
