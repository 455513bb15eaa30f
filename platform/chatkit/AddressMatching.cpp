#include "AddressMatching.h"

#include <foundation/Strings.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace chatkit {

namespace {

    // Numbers with at least this many digits match on their last digits only,
    // so that a country or trunk prefix does not split a conversation.
    constexpr size_t minimumSuffixDigits = 7;
    constexpr size_t significantDigits = 10;

    bool equalIgnoringCase(std::string_view a, std::string_view b)
    {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
        });
    }

} // namespace

bool isEmailAddress(std::string_view text)
{
    auto at = text.find('@');
    return at != std::string_view::npos && at > 0 && at + 1 < text.size() && text.find('@', at + 1) == std::string_view::npos
        && text.find(' ') == std::string_view::npos;
}

bool isPhoneNumber(std::string_view text)
{
    size_t digits = 0;
    for (char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c)))
            ++digits;
        else if (!std::strchr(" +-().", c))
            return false;
    }
    return digits >= 3;
}

std::string digitsOf(std::string_view text)
{
    std::string digits;
    for (char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c)))
            digits += c;
    }
    return digits;
}

bool addressesMatch(std::string_view a, std::string_view b)
{
    std::string left(foundation::trimmed(a));
    std::string right(foundation::trimmed(b));
    if (left.empty() || right.empty())
        return false;
    if (equalIgnoringCase(left, right))
        return true;
    if (!isPhoneNumber(left) || !isPhoneNumber(right))
        return false;
    std::string x = digitsOf(left);
    std::string y = digitsOf(right);
    size_t shorter = std::min(x.size(), y.size());
    if (shorter < minimumSuffixDigits)
        return x == y;
    size_t n = std::min(shorter, significantDigits);
    return x.compare(x.size() - n, n, y, y.size() - n, n) == 0;
}

} // namespace chatkit
