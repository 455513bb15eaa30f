// The colour strings the editors offer and store ("1 0 0", or slider values
// written "%f %f %f"), the preset table of the colour editor and the
// combinations of the skin chooser, and reading a stored string back.
//
// A stored string is read as the extensions read it: split at single blanks,
// the float value of parts 0, 1 and 2. No writer stores fewer than three
// parts, but the file may hold anything: such a string reads as no colour,
// and each editor falls back (the colour editor to "Custom" with its sliders
// at zero, the skin chooser to a white swatch).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace plvsettings {

struct RGB {
    double red { 0 };
    double green { 0 };
    double blue { 0 };
};

// The text of the "Custom" preset: take the sliders.
inline constexpr std::string_view CustomColorString = "-1 -1 -1";

struct ColorPreset {
    std::string_view name;
    std::string_view colorString;
};

inline constexpr std::array<ColorPreset, 7> ColorPresets { {
    { "System gray", "0.95 0.95 0.95" },
    { "Red", "1 0 0" },
    { "Green", "0 1 0" },
    { "Blue", "0 0 1" },
    { "Black", "0 0 0" },
    { "White", "1 1 1" },
    { "Custom", CustomColorString },
} };

struct SkinCombination {
    std::string_view name;
    std::string_view bg;
    std::string_view fieldbg;
    std::string_view text;
};

inline constexpr std::array<SkinCombination, 4> SkinCombinations { {
    { "Custom1", "1 0 0", "1 1 0.3", "1 0 0" },
    { "Custom2", "0 1 0", "0.8 0.2 1", "0 1 0" },
    { "Custom3", "0.9 0.7 0.3", "0.1 0.6 1", "0.9 0.7 0.3" },
    { "Default", "0.95 0.95 0.95", "1 1 1", "0 0 0" },
} };

// Parts 0, 1 and 2 of the string; nothing when it has fewer than three.
// A part that is no finite number reads as 0.
std::optional<RGB> colorFromString(std::string_view);

// "%f %f %f": six decimals each.
std::string colorString(const RGB&);

// The snapshot name of a preset or combination row: "preset-" or "skin-"
// and the name in lower case with blanks as dashes ("preset-system-gray").
std::string rowName(std::string_view prefix, std::string_view name);

} // namespace plvsettings
