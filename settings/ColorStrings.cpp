#include "ColorStrings.h"

#include <foundation/Strings.h>

#include <cctype>
#include <cmath>
#include <fmt/format.h>
#include <vector>

namespace plvsettings {

std::optional<RGB> colorFromString(std::string_view text)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (parts.size() < 3) {
        size_t blank = text.find(' ', start);
        parts.push_back(text.substr(start, blank == std::string_view::npos ? std::string_view::npos : blank - start));
        if (blank == std::string_view::npos)
            break;
        start = blank + 1;
    }
    if (parts.size() < 3)
        return std::nullopt;
    auto component = [](std::string_view part) {
        double value = foundation::floatValue(part);
        return std::isfinite(value) ? value : 0.0;
    };
    return RGB { component(parts[0]), component(parts[1]), component(parts[2]) };
}

std::string colorString(const RGB& color)
{
    return fmt::format("{:f} {:f} {:f}", color.red, color.green, color.blue);
}

std::string rowName(std::string_view prefix, std::string_view name)
{
    std::string result(prefix);
    for (char c : name)
        result += c == ' ' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

} // namespace plvsettings
