// The colour string the preferences keep for each window element: red,
// green and blue from 0 to 1 separated by single blanks ("1 0 0",
// "0.500000 0.250000 1.000000"), alpha always 1. Presets are short literals;
// the sliders write six decimals each.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace foundation {

struct RgbaColour {
    double red { 0 };
    double green { 0 };
    double blue { 0 };
    double alpha { 1 };

    bool operator==(const RgbaColour&) const = default;
};

// `componentsSeparatedByString:@" "`: every single blank splits, so two
// blanks in a row leave an empty part and "" is one empty part.
std::vector<std::string> splitAtBlanks(std::string_view);

// Parts 0, 1 and 2 read as the platform's floatValue (a part that is not a
// number reads 0), alpha 1, as they are written ("2 0 0" reads red 2).
// Fewer than three parts: not usable.
std::optional<RgbaColour> parsedColourString(std::string_view);

// The colour as the screen shows it: components brought into 0..1.
RgbaColour clampedForDisplay(const RgbaColour&);

// parsedColourString, clamped for display.
std::optional<RgbaColour> colourFromString(std::string_view);

// "%f %f %f", how the colour editor saves its sliders.
std::string colourString(double red, double green, double blue);

} // namespace foundation
