// An on/off switch. As on iOS 5 it keeps its own size (79 × 27) whatever frame
// it is given; only the origin is taken. A tap flips it and sends
// ValueChanged.
#pragma once

#include "UIControl.h"

namespace uikit {

class UISwitch : public UIControl {
    PLV_CLASS(UISwitch, UIControl)
public:
    static void registerMethods(runtime::ClassBuilder<UISwitch>&);

    static constexpr CGSize Size { 79, 27 };

    bool isOn() const { return m_on; }
    void setOn(bool on) { m_on = on; }
    void setFrame(const CGRect&) override;

protected:
    void touchedUpInside(const CGPoint&) override;

private:
    bool m_on { false };
};

} // namespace uikit
