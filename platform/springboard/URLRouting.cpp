#include "URLRouting.h"

#include "SpringBoardContext.h"

#include <algorithm>
#include <cctype>

namespace springboard {

std::optional<URLRoute> routeURL(std::string_view url)
{
    auto colon = url.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return std::nullopt;
    std::string scheme(url.substr(0, colon));
    if (!std::all_of(scheme.begin(), scheme.end(), [](unsigned char c) { return std::isalnum(c) || c == '+' || c == '-' || c == '.'; }))
        return std::nullopt;
    std::transform(scheme.begin(), scheme.end(), scheme.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });

    std::string_view rest = url.substr(colon + 1);
    auto withoutSlashes = [](std::string_view text) { return std::string(text.starts_with("//") ? text.substr(2) : text); };
    if (scheme == "sms")
        return URLRoute { std::string(MessagesIdentifier), scheme, withoutSlashes(rest) };
    if (scheme == "mailto")
        return URLRoute { std::string(MailIdentifier), scheme, withoutSlashes(rest) };
    if (scheme == "message")
        return URLRoute { std::string(MailIdentifier), scheme, std::string(url) };
    return std::nullopt;
}

} // namespace springboard
