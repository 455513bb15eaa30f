#include "UILabel.h"

#include <cmath>

namespace uikit {

using runtime::Id;

void UILabel::registerMethods(runtime::ClassBuilder<UILabel>& b)
{
    b.method<&UILabel::text>("text");
    b.method<&UILabel::setText>("setText:");
    b.method("font", [](UILabel& self) -> Id { return self.font(); });
    b.method("setFont:", [](UILabel& self, const Id& font) { self.setFont(runtime::cast<UIFont>(font)); });
    b.method("textColor", [](UILabel& self) -> Id { return self.textColor(); });
    b.method("setTextColor:", [](UILabel& self, const Id& color) { self.setTextColor(runtime::cast<UIColor>(color)); });
    b.method<&UILabel::textAlignment>("textAlignment");
    b.method<&UILabel::setTextAlignment>("setTextAlignment:");
    b.method<&UILabel::numberOfLines>("numberOfLines");
    b.method<&UILabel::setNumberOfLines>("setNumberOfLines:");
    b.method<&UILabel::lineBreakMode>("lineBreakMode");
    b.method<&UILabel::setLineBreakMode>("setLineBreakMode:");
}

UILabel::UILabel()
{
    setBackgroundColor(UIColor::whiteColor());
    setUserInteractionEnabled(false);
}

void UILabel::setFont(runtime::Ref<UIFont> font)
{
    if (font)
        m_font = std::move(font);
}

void UILabel::setTextColor(runtime::Ref<UIColor> color)
{
    m_textColor = color ? std::move(color) : UIColor::blackColor();
}

CGSize UILabel::sizeThatFits(const CGSize&) const
{
    return { std::ceil(estimatedTextWidth(m_text, *m_font)), std::ceil(m_font->pointSize() * 1.25) };
}

double estimatedTextWidth(const std::string& text, const UIFont& font)
{
    size_t characters = 0;
    for (unsigned char c : text) {
        if ((c & 0xc0) != 0x80)
            ++characters;
    }
    return static_cast<double>(characters) * font.pointSize() * (font.isBold() ? 0.6 : 0.55);
}

} // namespace uikit
