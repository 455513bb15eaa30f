#include "UISwitch.h"

namespace uikit {

void UISwitch::registerMethods(runtime::ClassBuilder<UISwitch>& b)
{
    b.method<&UISwitch::isOn>("isOn");
    b.method<&UISwitch::setOn>("setOn:");
    b.method("setOn:animated:", [](UISwitch& self, bool on, bool) { self.setOn(on); });
}

void UISwitch::setFrame(const CGRect& frame) { UIControl::setFrame(CGRectMake(frame.origin.x, frame.origin.y, Size.width, Size.height)); }

void UISwitch::touchedUpInside(const CGPoint&)
{
    m_on = !m_on;
    sendActionsForControlEvents(UIControlEventValueChanged);
}

} // namespace uikit
