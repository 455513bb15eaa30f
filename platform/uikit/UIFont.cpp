#include "UIFont.h"

#include <cmath>
#include <fmt/format.h>

namespace uikit {

using runtime::Class;
using runtime::Id;
using runtime::Ref;

void UIFont::registerMethods(runtime::ClassBuilder<UIFont>& b)
{
    b.classMethod("systemFontOfSize:", [](Class&, double size) -> Id { return systemFontOfSize(size); });
    b.classMethod("boldSystemFontOfSize:", [](Class&, double size) -> Id { return boldSystemFontOfSize(size); });
    b.classMethod("fontWithName:size:", [](Class&, const std::string& name, double size) -> Id { return fontWithName(name, size); });
    b.method<&UIFont::fontName>("fontName");
    b.method<&UIFont::familyName>("familyName");
    b.method<&UIFont::pointSize>("pointSize");
    b.method("fontWithSize:", [](UIFont& self, double size) -> Id { return self.fontWithSize(size); });
}

Ref<UIFont> UIFont::systemFontOfSize(double size) { return fontWithName("Helvetica", size); }
Ref<UIFont> UIFont::boldSystemFontOfSize(double size) { return fontWithName("Helvetica-Bold", size); }

Ref<UIFont> UIFont::fontWithName(const std::string& name, double size)
{
    if (name.empty())
        return nullptr;
    auto font = runtime::make<UIFont>();
    font->m_name = name;
    // A size of zero or less (or not a number) asks for the default size.
    font->m_size = std::isfinite(size) && size > 0 ? size : 12;
    return font;
}

std::string UIFont::familyName() const
{
    auto dash = m_name.find('-');
    return dash == std::string::npos ? m_name : m_name.substr(0, dash);
}

bool UIFont::isBold() const { return m_name.find("Bold") != std::string::npos; }

Ref<UIFont> UIFont::fontWithSize(double size) const { return fontWithName(m_name, size); }

std::string UIFont::description() const
{
    return fmt::format("<UIFont: font-family: \"{}\"; font-weight: {}; font-size: {:g}px>", familyName(), isBold() ? "bold" : "normal", m_size);
}

} // namespace uikit
