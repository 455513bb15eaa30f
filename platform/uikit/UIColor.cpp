#include "UIColor.h"

#include <algorithm>
#include <cmath>
#include <fmt/format.h>

namespace uikit {

using runtime::Class;
using runtime::Id;
using runtime::Ref;

namespace {

    double clampComponent(double value)
    {
        if (std::isnan(value))
            return 0;
        return std::clamp(value, 0.0, 1.0);
    }

    std::string formatComponent(double value) { return fmt::format("{:g}", value); }

} // namespace

void UIColor::registerMethods(runtime::ClassBuilder<UIColor>& b)
{
    b.classMethod("colorWithRed:green:blue:alpha:", [](Class&, double r, double g, double bl, double a) -> Id { return colorWithRed(r, g, bl, a); });
    b.classMethod("colorWithWhite:alpha:", [](Class&, double w, double a) -> Id { return colorWithWhite(w, a); });
    b.classMethod("blackColor", [](Class&) -> Id { return blackColor(); });
    b.classMethod("whiteColor", [](Class&) -> Id { return whiteColor(); });
    b.classMethod("grayColor", [](Class&) -> Id { return grayColor(); });
    b.classMethod("lightGrayColor", [](Class&) -> Id { return lightGrayColor(); });
    b.classMethod("darkGrayColor", [](Class&) -> Id { return darkGrayColor(); });
    b.classMethod("clearColor", [](Class&) -> Id { return clearColor(); });
    b.classMethod("redColor", [](Class&) -> Id { return redColor(); });
    b.classMethod("greenColor", [](Class&) -> Id { return greenColor(); });
    b.classMethod("blueColor", [](Class&) -> Id { return blueColor(); });
    b.classMethod("yellowColor", [](Class&) -> Id { return yellowColor(); });
    b.classMethod("orangeColor", [](Class&) -> Id { return orangeColor(); });
    b.classMethod("groupTableViewBackgroundColor", [](Class&) -> Id { return groupTableViewBackgroundColor(); });
    b.classMethod("underPageBackgroundColor", [](Class&) -> Id { return underPageBackgroundColor(); });
    b.method("initWithRed:green:blue:alpha:", [](UIColor& self, double r, double g, double bl, double a) -> Id {
        self.setComponents(r, g, bl, a);
        return self.self();
    });
    b.method("initWithWhite:alpha:", [](UIColor& self, double w, double a) -> Id {
        self.setComponents(w, w, w, a);
        return self.self();
    });
    b.method("CGColor", [](UIColor& self) -> Id { return self.self(); });
    b.method("colorWithAlphaComponent:", [](UIColor& self, double a) -> Id { return self.colorWithAlphaComponent(a); });
    b.method("isEqual:", [](UIColor& self, const Id& other) -> bool {
        auto color = runtime::cast<UIColor>(other);
        return color && self.isEqualToColor(*color);
    });
}

void UIColor::setComponents(double red, double green, double blue, double alpha)
{
    m_red = clampComponent(red);
    m_green = clampComponent(green);
    m_blue = clampComponent(blue);
    m_alpha = clampComponent(alpha);
}

Ref<UIColor> UIColor::colorWithRed(double red, double green, double blue, double alpha)
{
    auto color = runtime::make<UIColor>();
    color->setComponents(red, green, blue, alpha);
    return color;
}

Ref<UIColor> UIColor::colorWithWhite(double white, double alpha) { return colorWithRed(white, white, white, alpha); }
Ref<UIColor> UIColor::blackColor() { return colorWithWhite(0, 1); }
Ref<UIColor> UIColor::whiteColor() { return colorWithWhite(1, 1); }
Ref<UIColor> UIColor::grayColor() { return colorWithWhite(0.5, 1); }
Ref<UIColor> UIColor::lightGrayColor() { return colorWithWhite(2.0 / 3.0, 1); }
Ref<UIColor> UIColor::darkGrayColor() { return colorWithWhite(1.0 / 3.0, 1); }
Ref<UIColor> UIColor::clearColor() { return colorWithWhite(0, 0); }
Ref<UIColor> UIColor::redColor() { return colorWithRed(1, 0, 0, 1); }
Ref<UIColor> UIColor::greenColor() { return colorWithRed(0, 1, 0, 1); }
Ref<UIColor> UIColor::blueColor() { return colorWithRed(0, 0, 1, 1); }
Ref<UIColor> UIColor::yellowColor() { return colorWithRed(1, 1, 0, 1); }
Ref<UIColor> UIColor::orangeColor() { return colorWithRed(1, 0.5, 0, 1); }
Ref<UIColor> UIColor::groupTableViewBackgroundColor() { return colorWithRed(0.773, 0.8, 0.831, 1); }
Ref<UIColor> UIColor::underPageBackgroundColor() { return colorWithRed(0.341, 0.349, 0.376, 1); }

bool UIColor::isEqualToColor(const UIColor& other) const
{
    return m_red == other.m_red && m_green == other.m_green && m_blue == other.m_blue && m_alpha == other.m_alpha;
}

Ref<UIColor> UIColor::colorWithAlphaComponent(double alpha) const { return colorWithRed(m_red, m_green, m_blue, alpha); }

std::string UIColor::description() const
{
    return "UIDeviceRGBColorSpace " + formatComponent(m_red) + " " + formatComponent(m_green) + " " + formatComponent(m_blue) + " " + formatComponent(m_alpha);
}

} // namespace uikit
