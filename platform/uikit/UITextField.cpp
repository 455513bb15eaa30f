#include "UITextField.h"

#include <algorithm>

namespace uikit {

using runtime::Id;

void UITextField::registerMethods(runtime::ClassBuilder<UITextField>& b)
{
    b.method<&UITextField::text>("text");
    b.method<&UITextField::setText>("setText:");
    b.method<&UITextField::placeholder>("placeholder");
    b.method<&UITextField::setPlaceholder>("setPlaceholder:");
    b.method("font", [](UITextField& self) -> Id { return self.font(); });
    b.method("setFont:", [](UITextField& self, const Id& font) { self.setFont(runtime::cast<UIFont>(font)); });
    b.method("textColor", [](UITextField& self) -> Id { return self.textColor(); });
    b.method("setTextColor:", [](UITextField& self, const Id& color) { self.setTextColor(runtime::cast<UIColor>(color)); });
    b.method<&UITextField::textAlignment>("textAlignment");
    b.method<&UITextField::setTextAlignment>("setTextAlignment:");
    b.method<&UITextField::borderStyle>("borderStyle");
    b.method<&UITextField::setBorderStyle>("setBorderStyle:");
    b.method<&UITextField::returnKeyType>("returnKeyType");
    b.method<&UITextField::setReturnKeyType>("setReturnKeyType:");
    b.method<&UITextField::keyboardType>("keyboardType");
    b.method<&UITextField::setKeyboardType>("setKeyboardType:");
    b.method<&UITextField::clearButtonMode>("clearButtonMode");
    b.method<&UITextField::setClearButtonMode>("setClearButtonMode:");
    b.method<&UITextField::delegate>("delegate");
    b.method<&UITextField::setDelegate>("setDelegate:");
    b.method<&UITextField::isEditing>("isEditing");
    b.method("insertText:", [](UITextField& self, const std::string& text) { self.insertText(text); });
    b.method("deleteBackward", [](UITextField& self) { self.deleteBackward(); });
}

void UITextField::setText(std::string text) { m_editor.setText(std::move(text)); }

void UITextField::setFont(runtime::Ref<UIFont> font)
{
    if (font)
        m_font = std::move(font);
}

void UITextField::setTextColor(runtime::Ref<UIColor> color) { m_textColor = color ? std::move(color) : UIColor::blackColor(); }

void UITextField::setSelectedRange(const NSRange& range) { m_editor.setSelectedRange(range); }

void UITextField::setEnabled(bool enabled)
{
    UIControl::setEnabled(enabled);
    if (!enabled && isFirstResponder())
        resignFirstResponder();
}

bool UITextField::replaceCharacters(const NSRange& range, const std::string& replacement)
{
    if (!isEnabled())
        return false;
    auto keepAlive = self();
    Id delegate = m_delegate.lock();
    if (runtime::respondsTo(delegate, "textField:shouldChangeCharactersInRange:replacementString:")
        && !runtime::send<bool>(delegate, "textField:shouldChangeCharactersInRange:replacementString:", keepAlive, range, replacement))
        return false;
    // The delegate may have rewritten the text; an edit that no longer fits is dropped.
    if (!m_editor.replace(range, replacement))
        return false;
    sendActionsForControlEvents(UIControlEventEditingChanged);
    return true;
}

bool UITextField::insertText(const std::string& text) { return replaceCharacters(m_editor.selectedRange(), text); }

bool UITextField::deleteBackward()
{
    auto range = m_editor.backspaceRange();
    return range && replaceCharacters(*range, "");
}

void UITextField::pressReturnKey()
{
    auto keepAlive = self();
    Id delegate = m_delegate.lock();
    bool shouldReturn = !runtime::respondsTo(delegate, "textFieldShouldReturn:") || runtime::send<bool>(delegate, "textFieldShouldReturn:", keepAlive);
    // A field that someone listens to for "did end on exit" ends editing on return.
    if (shouldReturn && isFirstResponder() && hasActionsForControlEvents(UIControlEventEditingDidEndOnExit)) {
        if (resignFirstResponder())
            sendActionsForControlEvents(UIControlEventEditingDidEndOnExit);
    }
}

void UITextField::touchedUpInside(const CGPoint&) { runtime::send<bool>(this, "becomeFirstResponder"); }

bool UITextField::shouldBeginEditing()
{
    Id delegate = m_delegate.lock();
    return !runtime::respondsTo(delegate, "textFieldShouldBeginEditing:") || runtime::send<bool>(delegate, "textFieldShouldBeginEditing:", self());
}

void UITextField::didBecomeFirstResponder()
{
    auto keepAlive = self();
    Id delegate = m_delegate.lock();
    if (runtime::respondsTo(delegate, "textFieldDidBeginEditing:"))
        runtime::send(delegate, "textFieldDidBeginEditing:", keepAlive);
    sendActionsForControlEvents(UIControlEventEditingDidBegin);
}

bool UITextField::shouldEndEditing()
{
    Id delegate = m_delegate.lock();
    return !runtime::respondsTo(delegate, "textFieldShouldEndEditing:") || runtime::send<bool>(delegate, "textFieldShouldEndEditing:", self());
}

void UITextField::didResignFirstResponder()
{
    auto keepAlive = self();
    Id delegate = m_delegate.lock();
    if (runtime::respondsTo(delegate, "textFieldDidEndEditing:"))
        runtime::send(delegate, "textFieldDidEndEditing:", keepAlive);
    sendActionsForControlEvents(UIControlEventEditingDidEnd);
}

} // namespace uikit
