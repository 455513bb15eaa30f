// A line (or lines) of read-only text with a font, colour and alignment.
// As on iOS 5, a new label is opaque white and takes no touches.
#pragma once

#include "UIFont.h"
#include "UIView.h"

namespace uikit {

class UILabel : public UIView {
    PLV_CLASS(UILabel, UIView)
public:
    static void registerMethods(runtime::ClassBuilder<UILabel>&);

    UILabel();

    const std::string& text() const { return m_text; }
    void setText(std::string text) { m_text = std::move(text); }
    runtime::Ref<UIFont> font() const { return m_font; }
    // nil keeps the current font, as the phone falls back to its default.
    void setFont(runtime::Ref<UIFont>);
    runtime::Ref<UIColor> textColor() const { return m_textColor; }
    void setTextColor(runtime::Ref<UIColor>);
    int64_t textAlignment() const { return m_textAlignment; }
    void setTextAlignment(int64_t alignment) { m_textAlignment = alignment; }
    int64_t numberOfLines() const { return m_numberOfLines; }
    void setNumberOfLines(int64_t lines) { m_numberOfLines = lines; }
    int64_t lineBreakMode() const { return m_lineBreakMode; }
    void setLineBreakMode(int64_t mode) { m_lineBreakMode = mode; }

    CGSize sizeThatFits(const CGSize&) const override;

private:
    std::string m_text;
    runtime::Ref<UIFont> m_font { UIFont::systemFontOfSize(17) };
    runtime::Ref<UIColor> m_textColor { UIColor::blackColor() };
    int64_t m_textAlignment { UITextAlignmentLeft };
    int64_t m_numberOfLines { 1 };
    int64_t m_lineBreakMode { 4 };
};

// A rough width of text in a font, for sizeToFit (no glyphs are measured).
double estimatedTextWidth(const std::string& text, const UIFont&);

} // namespace uikit
