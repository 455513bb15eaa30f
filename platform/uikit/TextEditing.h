// Editing UTF-8 text the way the platform's strings are edited: ranges and
// lengths count UTF-16 code units, so a character outside the Basic
// Multilingual Plane (most emoji) is two units long. TextInput is what the
// keyboard talks to: the first responder's text view or text field.
#pragma once

#include "Geometry.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace uikit {

int64_t utf16Length(std::string_view);
// The byte offset of a UTF-16 index, clamped to the text; an index inside a
// surrogate pair rounds down to the character's start.
size_t utf8OffsetOfUtf16Index(std::string_view, int64_t index);
// nil when the range does not lie inside the text.
std::optional<std::string> replacingUtf16Range(std::string_view text, const NSRange&, std::string_view replacement);
// The range of the character before a UTF-16 index (what backspace deletes).
std::optional<NSRange> rangeOfCharacterBefore(std::string_view text, int64_t index);
// The text as the keyboard types it: one Unicode character per key.
std::vector<std::string> keystrokes(std::string_view text);

// The text of an input and its selection (an insertion point when empty).
class EditableText {
public:
    const std::string& text() const { return m_text; }
    // Puts the insertion point at the end.
    void setText(std::string);
    NSRange selectedRange() const { return m_selectedRange; }
    // A range outside the text is brought inside it.
    void setSelectedRange(const NSRange&);
    // What backspace removes: the selection, or the character before the insertion point.
    std::optional<NSRange> backspaceRange() const;
    // Replaces the range and puts the insertion point after the replacement;
    // false, and nothing changes, when the range does not lie in the text.
    bool replace(const NSRange&, std::string_view replacement);

private:
    std::string m_text;
    NSRange m_selectedRange {};
};

class TextInput {
public:
    virtual ~TextInput() = default;
    // Each goes through the delegate, which may refuse the edit. Answers whether the text changed.
    virtual bool insertText(const std::string&) = 0;
    virtual bool deleteBackward() = 0;
    // The return key: a line break for a text view, `textFieldShouldReturn:` for a field.
    virtual void pressReturnKey() = 0;
    virtual int64_t returnKeyType() const = 0;
    virtual NSRange selectedRange() const = 0;
};

} // namespace uikit
