// The integer a decimal string starts with, as the platform's `integerValue`
// reads it: leading blanks and a sign are allowed, anything else stops the
// number, text without digits is 0, and a run of digits too long for 64 bits
// saturates instead of overflowing. Bulletins carry their record ids as text.
#pragma once

#include <cctype>
#include <cstdint>
#include <limits>
#include <string_view>

namespace common {

inline int64_t integerValue(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    constexpr int64_t limit = std::numeric_limits<int64_t>::max();
    int64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        int digit = text[i] - '0';
        if (value > (limit - digit) / 10)
            return negative ? std::numeric_limits<int64_t>::min() : limit;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

} // namespace common
