#include "UITextView.h"

namespace uikit {

using runtime::Id;

void UITextView::registerMethods(runtime::ClassBuilder<UITextView>& b)
{
    b.method<&UITextView::text>("text");
    b.method<&UITextView::setText>("setText:");
    b.method<&UITextView::hasText>("hasText");
    b.method("font", [](UITextView& self) -> Id { return self.font(); });
    b.method("setFont:", [](UITextView& self, const Id& font) { self.setFont(runtime::cast<UIFont>(font)); });
    b.method("textColor", [](UITextView& self) -> Id { return self.textColor(); });
    b.method("setTextColor:", [](UITextView& self, const Id& color) { self.setTextColor(runtime::cast<UIColor>(color)); });
    b.method<&UITextView::textAlignment>("textAlignment");
    b.method<&UITextView::setTextAlignment>("setTextAlignment:");
    b.method<&UITextView::isEditable>("isEditable");
    b.method<&UITextView::setEditable>("setEditable:");
    b.method<&UITextView::returnKeyType>("returnKeyType");
    b.method<&UITextView::setReturnKeyType>("setReturnKeyType:");
    b.method<&UITextView::keyboardType>("keyboardType");
    b.method<&UITextView::setKeyboardType>("setKeyboardType:");
    b.method<&UITextView::selectedRange>("selectedRange");
    b.method<&UITextView::setSelectedRange>("setSelectedRange:");
    b.method("insertText:", [](UITextView& self, const std::string& text) { self.insertText(text); });
    b.method("deleteBackward", [](UITextView& self) { self.deleteBackward(); });
}

UITextView::UITextView() { setBackgroundColor(UIColor::whiteColor()); }

void UITextView::setText(std::string text) { m_editor.setText(std::move(text)); }

void UITextView::setFont(runtime::Ref<UIFont> font)
{
    if (font)
        m_font = std::move(font);
}

void UITextView::setTextColor(runtime::Ref<UIColor> color) { m_textColor = color ? std::move(color) : UIColor::blackColor(); }

void UITextView::setEditable(bool editable)
{
    m_editable = editable;
    if (!editable && isFirstResponder())
        resignFirstResponder();
}

void UITextView::setSelectedRange(const NSRange& range) { m_editor.setSelectedRange(range); }

bool UITextView::replaceCharacters(const NSRange& range, const std::string& replacement)
{
    if (!m_editable)
        return false;
    auto keepAlive = self();
    Id delegate = m_delegate.lock();
    if (runtime::respondsTo(delegate, "textView:shouldChangeTextInRange:replacementText:")
        && !runtime::send<bool>(delegate, "textView:shouldChangeTextInRange:replacementText:", keepAlive, range, replacement))
        return false;
    // The delegate may have rewritten the text; an edit that no longer fits is dropped.
    if (!m_editor.replace(range, replacement))
        return false;
    if (runtime::respondsTo(delegate, "textViewDidChange:"))
        runtime::send(delegate, "textViewDidChange:", keepAlive);
    return true;
}

bool UITextView::insertText(const std::string& text) { return replaceCharacters(m_editor.selectedRange(), text); }

bool UITextView::deleteBackward()
{
    auto range = m_editor.backspaceRange();
    return range && replaceCharacters(*range, "");
}

void UITextView::pressReturnKey() { insertText("\n"); }

bool UITextView::handleTap(const CGPoint&)
{
    if (!m_editable)
        return false;
    runtime::send<bool>(this, "becomeFirstResponder");
    return true;
}

bool UITextView::shouldBeginEditing()
{
    Id delegate = m_delegate.lock();
    return !runtime::respondsTo(delegate, "textViewShouldBeginEditing:") || runtime::send<bool>(delegate, "textViewShouldBeginEditing:", self());
}

void UITextView::didBecomeFirstResponder()
{
    Id delegate = m_delegate.lock();
    if (runtime::respondsTo(delegate, "textViewDidBeginEditing:"))
        runtime::send(delegate, "textViewDidBeginEditing:", self());
}

bool UITextView::shouldEndEditing()
{
    Id delegate = m_delegate.lock();
    return !runtime::respondsTo(delegate, "textViewShouldEndEditing:") || runtime::send<bool>(delegate, "textViewShouldEndEditing:", self());
}

void UITextView::didResignFirstResponder()
{
    Id delegate = m_delegate.lock();
    if (runtime::respondsTo(delegate, "textViewDidEndEditing:"))
        runtime::send(delegate, "textViewDidEndEditing:", self());
}

} // namespace uikit
