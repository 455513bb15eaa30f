#include "UISlider.h"

#include <algorithm>
#include <cmath>

namespace uikit {

void UISlider::registerMethods(runtime::ClassBuilder<UISlider>& b)
{
    b.method<&UISlider::value>("value");
    b.method<&UISlider::setValue>("setValue:");
    b.method("setValue:animated:", [](UISlider& self, double value, bool) { self.setValue(value); });
    b.method<&UISlider::minimumValue>("minimumValue");
    b.method<&UISlider::setMinimumValue>("setMinimumValue:");
    b.method<&UISlider::maximumValue>("maximumValue");
    b.method<&UISlider::setMaximumValue>("setMaximumValue:");
    b.method<&UISlider::isContinuous>("isContinuous");
    b.method<&UISlider::setContinuous>("setContinuous:");
}

void UISlider::setValue(double value)
{
    if (std::isnan(value))
        return;
    m_value = std::clamp(value, m_minimumValue, std::max(m_minimumValue, m_maximumValue));
}

void UISlider::setMinimumValue(double minimum)
{
    if (!std::isfinite(minimum))
        return;
    m_minimumValue = minimum;
    if (m_maximumValue < minimum)
        m_maximumValue = minimum;
    setValue(m_value);
}

void UISlider::setMaximumValue(double maximum)
{
    if (!std::isfinite(maximum))
        return;
    m_maximumValue = maximum;
    if (m_minimumValue > maximum)
        m_minimumValue = maximum;
    setValue(m_value);
}

void UISlider::trackTo(const CGPoint& point)
{
    if (!isEnabled())
        return;
    double width = bounds().size.width;
    double fraction = width > 0 ? std::clamp((point.x - bounds().origin.x) / width, 0.0, 1.0) : 0;
    double before = m_value;
    setValue(m_minimumValue + fraction * (m_maximumValue - m_minimumValue));
    if (m_value != before)
        sendActionsForControlEvents(UIControlEventValueChanged);
}

void UISlider::touchedUpInside(const CGPoint& point) { trackTo(point); }

} // namespace uikit
