#include "TextEditing.h"

#include <algorithm>

namespace uikit {

namespace {

    size_t sequenceLength(unsigned char lead)
    {
        if (lead < 0x80)
            return 1;
        if ((lead & 0xe0) == 0xc0)
            return 2;
        if ((lead & 0xf0) == 0xe0)
            return 3;
        if ((lead & 0xf8) == 0xf0)
            return 4;
        return 1; // a stray byte counts as one character, as the platform reads it (U+FFFD)
    }

    // The UTF-16 units of the character starting at `offset`, and its byte length.
    std::pair<int64_t, size_t> characterAt(std::string_view text, size_t offset)
    {
        size_t length = std::min(sequenceLength(static_cast<unsigned char>(text[offset])), text.size() - offset);
        for (size_t i = 1; i < length; ++i) {
            if ((static_cast<unsigned char>(text[offset + i]) & 0xc0) != 0x80) {
                length = 1;
                break;
            }
        }
        return { length == 4 ? 2 : 1, length };
    }

} // namespace

int64_t utf16Length(std::string_view text)
{
    int64_t units = 0;
    for (size_t offset = 0; offset < text.size();) {
        auto [width, bytes] = characterAt(text, offset);
        units += width;
        offset += bytes;
    }
    return units;
}

size_t utf8OffsetOfUtf16Index(std::string_view text, int64_t index)
{
    size_t offset = 0;
    int64_t units = 0;
    while (offset < text.size()) {
        auto [width, bytes] = characterAt(text, offset);
        if (units + width > index)
            break;
        units += width;
        offset += bytes;
    }
    return offset;
}

std::optional<std::string> replacingUtf16Range(std::string_view text, const NSRange& range, std::string_view replacement)
{
    int64_t length = utf16Length(text);
    if (range.location < 0 || range.length < 0 || range.location > length || range.length > length - range.location)
        return std::nullopt;
    size_t start = utf8OffsetOfUtf16Index(text, range.location);
    size_t end = utf8OffsetOfUtf16Index(text, range.location + range.length);
    std::string result;
    result.reserve(text.size() - (end - start) + replacement.size());
    result.append(text.substr(0, start));
    result.append(replacement);
    result.append(text.substr(end));
    return result;
}

std::optional<NSRange> rangeOfCharacterBefore(std::string_view text, int64_t index)
{
    if (index <= 0)
        return std::nullopt;
    size_t offset = 0;
    int64_t units = 0;
    int64_t previousStart = -1;
    int64_t previousWidth = 0;
    while (offset < text.size() && units < index) {
        auto [width, bytes] = characterAt(text, offset);
        previousStart = units;
        previousWidth = width;
        units += width;
        offset += bytes;
    }
    if (previousStart < 0)
        return std::nullopt;
    return NSMakeRange(previousStart, previousWidth);
}

std::vector<std::string> keystrokes(std::string_view text)
{
    std::vector<std::string> keys;
    size_t offset = 0;
    while (offset < text.size()) {
        auto [width, bytes] = characterAt(text, offset);
        keys.emplace_back(text.substr(offset, bytes));
        offset += bytes;
    }
    return keys;
}

void EditableText::setText(std::string text)
{
    m_text = std::move(text);
    m_selectedRange = { utf16Length(m_text), 0 };
}

void EditableText::setSelectedRange(const NSRange& range)
{
    int64_t length = utf16Length(m_text);
    int64_t location = std::clamp<int64_t>(range.location, 0, length);
    m_selectedRange = { location, std::clamp<int64_t>(range.length, 0, length - location) };
}

std::optional<NSRange> EditableText::backspaceRange() const
{
    if (m_selectedRange.length > 0)
        return m_selectedRange;
    return rangeOfCharacterBefore(m_text, m_selectedRange.location);
}

bool EditableText::replace(const NSRange& range, std::string_view replacement)
{
    auto updated = replacingUtf16Range(m_text, range, replacement);
    if (!updated)
        return false;
    m_text = std::move(*updated);
    m_selectedRange = { range.location + utf16Length(replacement), 0 };
    return true;
}

} // namespace uikit
