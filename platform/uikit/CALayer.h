// The part of a view's backing layer that the system sets: corner radius,
// border width and colour, and clipping to bounds. Every view owns one; the
// snapshot reads it to draw the view's rounded corners and border.
#pragma once

#include "UIColor.h"

namespace uikit {

class CALayer : public runtime::Object {
    PLV_CLASS(CALayer, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<CALayer>&);

    double cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(double);
    double borderWidth() const { return m_borderWidth; }
    void setBorderWidth(double);
    // A `CGColor`; the runtime hands a UIColor's `CGColor`, which is the colour itself.
    runtime::Ref<UIColor> borderColor() const { return m_borderColor; }
    void setBorderColor(runtime::Ref<UIColor>);
    bool masksToBounds() const { return m_masksToBounds; }
    void setMasksToBounds(bool masks) { m_masksToBounds = masks; }

private:
    double m_cornerRadius { 0 };
    double m_borderWidth { 0 };
    runtime::Ref<UIColor> m_borderColor { UIColor::blackColor() };
    bool m_masksToBounds { false };
};

} // namespace uikit
