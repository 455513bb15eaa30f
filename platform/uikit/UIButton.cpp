#include "UIButton.h"

#include <algorithm>
#include <cmath>

namespace uikit {

using runtime::Id;
using runtime::Ref;

void UIButton::registerMethods(runtime::ClassBuilder<UIButton>& b)
{
    b.classMethod("buttonWithType:", [](runtime::Class& cls, int64_t type) -> Id {
        auto button = runtime::cast<UIButton>(cls.createInstance());
        if (!button)
            return runtime::nil;
        runtime::send<Id>(button, "initWithFrame:", CGRectZero);
        button->setButtonType(type);
        return button;
    });
    b.method<&UIButton::buttonType>("buttonType");
    b.method("setTitle:forState:", [](UIButton& self, const std::string& title, int64_t state) { self.setTitle(title, state); });
    b.method("titleForState:", [](UIButton& self, int64_t state) -> std::string { return self.titleForState(state).value_or(""); });
    b.method("setTitleColor:forState:", [](UIButton& self, const Id& color, int64_t state) { self.setTitleColor(runtime::cast<UIColor>(color), state); });
    b.method("titleColorForState:", [](UIButton& self, int64_t state) -> Id { return self.titleColorForState(state); });
    b.method("setImage:forState:", [](UIButton& self, const Id& image, int64_t state) { self.setImage(runtime::cast<UIImage>(image), state); });
    b.method("imageForState:", [](UIButton& self, int64_t state) -> Id { return self.imageForState(state); });
    b.method("setBackgroundImage:forState:", [](UIButton& self, const Id& image, int64_t state) { self.setBackgroundImage(runtime::cast<UIImage>(image), state); });
    b.method("backgroundImageForState:", [](UIButton& self, int64_t state) -> Id { return self.backgroundImageForState(state); });
    b.method("currentTitle", [](UIButton& self) -> std::string { return self.currentTitle().value_or(""); });
    b.method("currentTitleColor", [](UIButton& self) -> Id { return self.currentTitleColor(); });
    b.method("currentImage", [](UIButton& self) -> Id { return self.currentImage(); });
    b.method("currentBackgroundImage", [](UIButton& self) -> Id { return self.currentBackgroundImage(); });
    b.method("titleLabel", [](UIButton& self) -> Id { return self.titleLabel(); });
    b.method("font", [](UIButton& self) -> Id { return self.font(); });
    b.method("setFont:", [](UIButton& self, const Id& font) { self.setFont(runtime::cast<UIFont>(font)); });
    b.method<&UIButton::showsTouchWhenHighlighted>("showsTouchWhenHighlighted");
    b.method<&UIButton::setShowsTouchWhenHighlighted>("setShowsTouchWhenHighlighted:");
    b.method<&UIButton::adjustsImageWhenHighlighted>("adjustsImageWhenHighlighted");
    b.method<&UIButton::setAdjustsImageWhenHighlighted>("setAdjustsImageWhenHighlighted:");
}

Ref<UIButton> UIButton::buttonWithType(int64_t type)
{
    auto button = runtime::make<UIButton>();
    button->setButtonType(type);
    return button;
}

void UIButton::setButtonType(int64_t type)
{
    m_buttonType = type;
    if (type == UIButtonTypeRoundedRect) {
        setBackgroundColor(UIColor::whiteColor());
        layer()->setCornerRadius(9);
        layer()->setBorderWidth(1);
        layer()->setBorderColor(UIColor::grayColor());
        if (!m_titleColors.count(UIControlStateNormal))
            m_titleColors[UIControlStateNormal] = UIColor::colorWithRed(0.196, 0.31, 0.522, 1);
    }
}

template <class V>
V UIButton::lookup(const std::map<int64_t, V>& table, int64_t state)
{
    if (auto it = table.find(state); it != table.end())
        return it->second;
    if (auto it = table.find(UIControlStateNormal); it != table.end())
        return it->second;
    return V {};
}

void UIButton::setTitle(const std::optional<std::string>& title, int64_t state) { m_titles[state] = title; }

std::optional<std::string> UIButton::titleForState(int64_t state) const { return lookup(m_titles, state); }

void UIButton::setTitleColor(Ref<UIColor> color, int64_t state)
{
    if (color)
        m_titleColors[state] = std::move(color);
    else
        m_titleColors.erase(state);
}

Ref<UIColor> UIButton::titleColorForState(int64_t state) const
{
    auto color = lookup(m_titleColors, state);
    return color ? color : UIColor::whiteColor();
}

void UIButton::setImage(Ref<UIImage> image, int64_t state)
{
    if (image)
        m_images[state] = std::move(image);
    else
        m_images.erase(state);
}

Ref<UIImage> UIButton::imageForState(int64_t state) const { return lookup(m_images, state); }

void UIButton::setBackgroundImage(Ref<UIImage> image, int64_t state)
{
    if (image)
        m_backgroundImages[state] = std::move(image);
    else
        m_backgroundImages.erase(state);
}

Ref<UIImage> UIButton::backgroundImageForState(int64_t state) const { return lookup(m_backgroundImages, state); }

Ref<UILabel> UIButton::titleLabel()
{
    if (!m_titleLabel) {
        m_titleLabel = runtime::make<UILabel>();
        m_titleLabel->setBackgroundColor(UIColor::clearColor());
        m_titleLabel->setFont(UIFont::boldSystemFontOfSize(15));
        m_titleLabel->setTextAlignment(UITextAlignmentCenter);
    }
    return m_titleLabel;
}

Ref<UIFont> UIButton::font() const
{
    return m_titleLabel ? m_titleLabel->font() : UIFont::boldSystemFontOfSize(15);
}

void UIButton::setFont(Ref<UIFont> font) { titleLabel()->setFont(std::move(font)); }

CGSize UIButton::sizeThatFits(const CGSize&) const
{
    double width = 0, height = 0;
    if (auto title = currentTitle()) {
        auto f = font();
        width = estimatedTextWidth(*title, *f);
        height = f->pointSize() * 1.25;
    }
    if (auto image = currentImage()) {
        width += image->size().width;
        height = std::max(height, image->size().height);
    }
    if (auto background = currentBackgroundImage()) {
        width = std::max(width, background->size().width);
        height = std::max(height, background->size().height);
    }
    return { std::ceil(width), std::ceil(height) };
}

} // namespace uikit
