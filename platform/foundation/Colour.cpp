#include "Colour.h"

#include "Strings.h"

#include <algorithm>
#include <cmath>
#include <fmt/format.h>

namespace foundation {

std::vector<std::string> splitAtBlanks(std::string_view text)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t blank = text.find(' ', start);
        if (blank == std::string_view::npos) {
            parts.emplace_back(text.substr(start));
            return parts;
        }
        parts.emplace_back(text.substr(start, blank - start));
        start = blank + 1;
    }
}

std::optional<RgbaColour> parsedColourString(std::string_view text)
{
    auto parts = splitAtBlanks(text);
    if (parts.size() < 3)
        return std::nullopt;
    auto component = [](const std::string& part) { return static_cast<double>(floatValue(part)); };
    return RgbaColour { component(parts[0]), component(parts[1]), component(parts[2]), 1.0 };
}

RgbaColour clampedForDisplay(const RgbaColour& colour)
{
    auto clamp = [](double component) { return std::isnan(component) ? 0.0 : std::clamp(component, 0.0, 1.0); };
    return RgbaColour { clamp(colour.red), clamp(colour.green), clamp(colour.blue), clamp(colour.alpha) };
}

std::optional<RgbaColour> colourFromString(std::string_view text)
{
    auto colour = parsedColourString(text);
    if (!colour)
        return std::nullopt;
    return clampedForDisplay(*colour);
}

std::string colourString(double red, double green, double blue)
{
    // fmt formats like printf's "%f" in the C locale: six decimals, '.' as the point.
    return fmt::format("{:f} {:f} {:f}", red, green, blue);
}

} // namespace foundation
