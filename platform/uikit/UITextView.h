// Multi-line text, editable or read-only. While it is first responder the
// keyboard shows and typed text reaches it through its delegate
// (`textView:shouldChangeTextInRange:replacementText:` may refuse an edit);
// becoming and leaving first responder tell the delegate
// (`textViewDidBeginEditing:`, `textViewDidEndEditing:`). Setting the text
// from code asks no one.
#pragma once

#include "TextEditing.h"
#include "UIFont.h"
#include "UIScrollView.h"

namespace uikit {

class UITextView : public UIScrollView, public TextInput {
    PLV_CLASS(UITextView, UIScrollView)
public:
    static void registerMethods(runtime::ClassBuilder<UITextView>&);

    UITextView();

    const std::string& text() const { return m_editor.text(); }
    // Moves the insertion point to the end.
    void setText(std::string);
    bool hasText() const { return !m_editor.text().empty(); }
    runtime::Ref<UIFont> font() const { return m_font; }
    void setFont(runtime::Ref<UIFont>);
    runtime::Ref<UIColor> textColor() const { return m_textColor; }
    void setTextColor(runtime::Ref<UIColor>);
    int64_t textAlignment() const { return m_textAlignment; }
    void setTextAlignment(int64_t alignment) { m_textAlignment = alignment; }
    bool isEditable() const { return m_editable; }
    void setEditable(bool);
    int64_t returnKeyType() const override { return m_returnKeyType; }
    void setReturnKeyType(int64_t type) { m_returnKeyType = type; }
    int64_t keyboardType() const { return m_keyboardType; }
    void setKeyboardType(int64_t type) { m_keyboardType = type; }
    NSRange selectedRange() const override { return m_editor.selectedRange(); }
    void setSelectedRange(const NSRange&);

    bool insertText(const std::string&) override;
    bool deleteBackward() override;
    void pressReturnKey() override;

    bool canBecomeFirstResponder() const override { return m_editable; }
    bool handleTap(const CGPoint&) override;

protected:
    bool shouldBeginEditing() override;
    void didBecomeFirstResponder() override;
    bool shouldEndEditing() override;
    void didResignFirstResponder() override;

private:
    bool replaceCharacters(const NSRange&, const std::string& replacement);

    EditableText m_editor;
    runtime::Ref<UIFont> m_font { UIFont::systemFontOfSize(12) };
    runtime::Ref<UIColor> m_textColor { UIColor::blackColor() };
    int64_t m_textAlignment { UITextAlignmentLeft };
    bool m_editable { true };
    int64_t m_returnKeyType { UIReturnKeyDefault };
    int64_t m_keyboardType { 0 };
};

} // namespace uikit
