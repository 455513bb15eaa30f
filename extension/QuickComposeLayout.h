// Where every element of the Quick Compose window goes, as one function of
// the orientation and the moment: a rotation (`deviceRotated:`, animated)
// or the final sizes at the end of the opening (`enlargeView`). The window
// only applies what this answers, so the portrait and landscape tables live
// here and nowhere else, and they are tested without building a view.
//
// The window is drawn by SpringBoard, which never rotates it, so landscape
// is a rotated root view: its frame is given after its transform.
#pragma once

#include <uikit/Geometry.h>

#include <cstdint>
#include <optional>

namespace parlivo::quickcompose {

enum class LayoutMoment {
    Rotation,
    FinalSizes,
};

// A frame, or only a size for an element whose origin stays where it is.
struct Placement {
    uikit::CGRect frame;
    bool keepOrigin { false };
};

struct Layout {
    // Set to 320 x 216 (origins kept) on the root view and the panel before
    // anything else, so a turn to the right starts from the portrait size.
    std::optional<uikit::CGSize> presize;
    std::optional<uikit::CGAffineTransform> rootTransform;
    std::optional<Placement> root;
    std::optional<Placement> bgView;
    std::optional<Placement> closeButton;
    std::optional<Placement> toField;
    std::optional<Placement> replyField;
    std::optional<Placement> contatore;
    std::optional<Placement> sendButton;
    std::optional<Placement> attachmentButton;
    std::optional<Placement> typeOfmessageButton;
};

inline constexpr double PanelWidth = 320;
inline constexpr double PortraitHeight = 216;
inline constexpr double LandscapeWidth = 480;
inline constexpr double LandscapeHeight = 112;
inline constexpr double BannerHeight = 44;

// `screenWidth` is the width of the main screen's application frame. An
// orientation other than 1, 3 and 4 answers an empty layout: nothing moves.
Layout layout(int64_t orientation, LayoutMoment, double screenWidth);

} // namespace parlivo::quickcompose
