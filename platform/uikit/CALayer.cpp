#include "CALayer.h"

#include <cmath>

namespace uikit {

void CALayer::registerMethods(runtime::ClassBuilder<CALayer>& b)
{
    b.method<&CALayer::cornerRadius>("cornerRadius");
    b.method<&CALayer::setCornerRadius>("setCornerRadius:");
    b.method<&CALayer::borderWidth>("borderWidth");
    b.method<&CALayer::setBorderWidth>("setBorderWidth:");
    b.method("borderColor", [](CALayer& self) -> runtime::Id { return self.borderColor(); });
    b.method("setBorderColor:", [](CALayer& self, const runtime::Id& color) { self.setBorderColor(runtime::cast<UIColor>(color)); });
    b.method<&CALayer::masksToBounds>("masksToBounds");
    b.method<&CALayer::setMasksToBounds>("setMasksToBounds:");
}

// Negative or non-finite values draw nothing on the phone; keep them at 0.
void CALayer::setCornerRadius(double radius) { m_cornerRadius = std::isfinite(radius) && radius > 0 ? radius : 0; }
void CALayer::setBorderWidth(double width) { m_borderWidth = std::isfinite(width) && width > 0 ? width : 0; }
void CALayer::setBorderColor(runtime::Ref<UIColor> color) { m_borderColor = std::move(color); }

} // namespace uikit
