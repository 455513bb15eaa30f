#include "PhoneNumber.h"

#include <foundation/Strings.h>

namespace addressbook {

namespace {

    bool isSeparator(char c)
    {
        switch (c) {
        case ' ':
        case '\t':
        case '-':
        case '.':
        case '/':
        case '(':
        case ')':
        case '[':
        case ']':
            return true;
        default:
            return false;
        }
    }

    // The length of a Unicode space or dash in UTF-8 at the start of `text`
    // (no-break space, U+2000 to U+2015, narrow no-break space), else 0.
    size_t unicodeSeparatorLength(std::string_view text)
    {
        auto byte = [&](size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
        if (byte(0) == 0xC2 && byte(1) == 0xA0)
            return 2;
        if (byte(0) == 0xE2 && byte(1) == 0x80 && (byte(2) <= 0x95 || byte(2) == 0xAF) && byte(2) >= 0x80)
            return 3;
        return 0;
    }

} // namespace

std::optional<std::string> canonicalPhoneNumber(std::string_view text, std::string_view defaultCountryCode)
{
    if (auto cut = text.find_first_of(",;"); cut != std::string_view::npos)
        text = text.substr(0, cut);
    std::string digits;
    bool international = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9')
            digits += c;
        else if (c == '+' && digits.empty() && !international)
            international = true;
        else if (size_t length = unicodeSeparatorLength(text.substr(i)))
            i += length - 1;
        else if (!isSeparator(c))
            return std::nullopt;
    }
    if (!international && digits.starts_with("00")) {
        international = true;
        digits.erase(0, 2);
    }
    if (digits.size() < 3)
        return std::nullopt;
    if (!international)
        digits.insert(0, defaultCountryCode);
    return digits;
}

bool isSamePhoneNumber(std::string_view a, std::string_view b, std::string_view defaultCountryCode)
{
    auto first = canonicalPhoneNumber(a, defaultCountryCode);
    return first && first == canonicalPhoneNumber(b, defaultCountryCode);
}

bool looksLikeEmailAddress(std::string_view text) { return text.find('@') != std::string_view::npos; }

std::optional<std::string> canonicalEmailAddress(std::string_view text)
{
    text = foundation::trimmed(text);
    if (text.empty())
        return std::nullopt;
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return result;
}

} // namespace addressbook
