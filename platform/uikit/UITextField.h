// A one-line text field with a placeholder and a border style. Like the text
// view it edits through its delegate (`textField:shouldChangeCharactersInRange:
// replacementString:` may refuse) and reports the start and end of editing
// (`textFieldDidBeginEditing:`, `textFieldDidEndEditing:`); the return key
// asks `textFieldShouldReturn:`. It also sends the editing control events.
#pragma once

#include "TextEditing.h"
#include "UIControl.h"
#include "UIFont.h"

namespace uikit {

class UITextField : public UIControl, public TextInput {
    PLV_CLASS(UITextField, UIControl)
public:
    static void registerMethods(runtime::ClassBuilder<UITextField>&);

    const std::string& text() const { return m_editor.text(); }
    void setText(std::string);
    const std::string& placeholder() const { return m_placeholder; }
    void setPlaceholder(std::string placeholder) { m_placeholder = std::move(placeholder); }
    runtime::Ref<UIFont> font() const { return m_font; }
    void setFont(runtime::Ref<UIFont>);
    runtime::Ref<UIColor> textColor() const { return m_textColor; }
    void setTextColor(runtime::Ref<UIColor>);
    int64_t textAlignment() const { return m_textAlignment; }
    void setTextAlignment(int64_t alignment) { m_textAlignment = alignment; }
    int64_t borderStyle() const { return m_borderStyle; }
    void setBorderStyle(int64_t style) { m_borderStyle = style; }
    int64_t returnKeyType() const override { return m_returnKeyType; }
    void setReturnKeyType(int64_t type) { m_returnKeyType = type; }
    int64_t keyboardType() const { return m_keyboardType; }
    void setKeyboardType(int64_t type) { m_keyboardType = type; }
    int64_t clearButtonMode() const { return m_clearButtonMode; }
    void setClearButtonMode(int64_t mode) { m_clearButtonMode = mode; }
    runtime::Id delegate() const { return m_delegate.lock(); }
    void setDelegate(const runtime::Id& delegate) { m_delegate = delegate; }
    bool isEditing() const { return isFirstResponder(); }
    NSRange selectedRange() const override { return m_editor.selectedRange(); }
    void setSelectedRange(const NSRange&);

    bool insertText(const std::string&) override;
    bool deleteBackward() override;
    void pressReturnKey() override;

    bool canBecomeFirstResponder() const override { return isEnabled(); }
    void setEnabled(bool) override;

protected:
    void touchedUpInside(const CGPoint&) override;
    bool shouldBeginEditing() override;
    void didBecomeFirstResponder() override;
    bool shouldEndEditing() override;
    void didResignFirstResponder() override;

private:
    bool replaceCharacters(const NSRange&, const std::string& replacement);

    EditableText m_editor;
    std::string m_placeholder;
    runtime::Ref<UIFont> m_font { UIFont::systemFontOfSize(12) };
    runtime::Ref<UIColor> m_textColor { UIColor::blackColor() };
    int64_t m_textAlignment { UITextAlignmentLeft };
    int64_t m_borderStyle { UITextBorderStyleNone };
    int64_t m_returnKeyType { UIReturnKeyDefault };
    int64_t m_keyboardType { 0 };
    int64_t m_clearButtonMode { 0 };
    runtime::WeakId m_delegate;
};

} // namespace uikit
