// A slider over a range (0…1 unless set otherwise). A tap or drag moves the
// thumb to the finger's place along the track and sends ValueChanged; values
// set from code are kept inside the range.
#pragma once

#include "UIControl.h"

namespace uikit {

class UISlider : public UIControl {
    PLV_CLASS(UISlider, UIControl)
public:
    static void registerMethods(runtime::ClassBuilder<UISlider>&);

    double value() const { return m_value; }
    void setValue(double);
    double minimumValue() const { return m_minimumValue; }
    void setMinimumValue(double);
    double maximumValue() const { return m_maximumValue; }
    void setMaximumValue(double);
    bool isContinuous() const { return m_continuous; }
    void setContinuous(bool continuous) { m_continuous = continuous; }

    // The finger at a point of the slider (its coordinates).
    void trackTo(const CGPoint&);

protected:
    void touchedUpInside(const CGPoint&) override;

private:
    double m_value { 0 };
    double m_minimumValue { 0 };
    double m_maximumValue { 1 };
    bool m_continuous { true };
};

} // namespace uikit
