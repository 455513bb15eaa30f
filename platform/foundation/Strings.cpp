#include "Strings.h"

#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace foundation {

namespace {

    icu::UnicodeString fromUtf8(std::string_view text)
    {
        // ICU takes 32-bit lengths; texts beyond 2 GiB are cut rather than wrapped.
        auto length = static_cast<int32_t>(std::min<size_t>(text.size(), std::numeric_limits<int32_t>::max()));
        return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), length));
    }

    std::string toUtf8(const icu::UnicodeString& text)
    {
        std::string result;
        text.toUTF8String(result);
        return result;
    }

    bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
    bool isDigit(char c) { return c >= '0' && c <= '9'; }

    locale_t posixLocale()
    {
        // The platform reads a '.' as the decimal point whatever the user's locale.
        static locale_t locale = newlocale(LC_ALL_MASK, "C", nullptr);
        return locale;
    }

} // namespace

size_t utf16Length(std::string_view utf8)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(utf8.data());
    size_t length = utf8.size();
    size_t units = 0;
    for (size_t i = 0; i < length;) {
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        // An ill-formed sequence (c < 0) stands for one U+FFFD.
        units += c < 0 ? 1 : U16_LENGTH(c);
    }
    return units;
}

std::string lowercase(std::string_view text)
{
    icu::UnicodeString string = fromUtf8(text);
    string.toLower(icu::Locale::getRoot());
    return toUtf8(string);
}

std::string foldCase(std::string_view text)
{
    icu::UnicodeString string = fromUtf8(text);
    string.foldCase(U_FOLD_CASE_DEFAULT);
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_SUCCESS(status)) {
        icu::UnicodeString composed = nfc->normalize(string, status);
        if (U_SUCCESS(status))
            return toUtf8(composed);
    }
    return toUtf8(string);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a == b)
        return true;
    return foldCase(a) == foldCase(b);
}

bool containsIgnoringCase(std::string_view haystack, std::string_view needle)
{
    if (needle.empty())
        return false;
    // Folded UTF-8 is self-synchronising, so a byte match is a character match.
    return foldCase(haystack).find(foldCase(needle)) != std::string::npos;
}

std::string_view trimmed(std::string_view text)
{
    constexpr std::string_view blanks = " \t\r\n";
    auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

float floatValue(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    bool startsNumber = i < text.size() && (isDigit(text[i]) || (text[i] == '.' && i + 1 < text.size() && isDigit(text[i + 1])));
    if (!startsNumber)
        return 0;
    // Only decimal notation counts: "0x10" reads as 0 and "inf" not at all.
    if (text[i] == '0' && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X'))
        return 0;
    size_t end = i;
    while (end < text.size() && (isDigit(text[end]) || text[end] == '.' || text[end] == 'e' || text[end] == 'E' || text[end] == '+' || text[end] == '-'))
        ++end;
    std::string number(text.substr(start, end - start));
    double value = posixLocale() ? strtod_l(number.c_str(), nullptr, posixLocale()) : std::strtod(number.c_str(), nullptr);
    if (std::isnan(value))
        return 0;
    if (value > FLT_MAX)
        return std::numeric_limits<float>::infinity();
    if (value < -FLT_MAX)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

} // namespace foundation
