// A colour in device RGB with alpha, immutable once made. Components are
// kept inside 0…1: a component outside that range is clamped and one that is
// not a number reads as 0, so that a bad skin value can never poison a view.
// `CGColor` answers the colour itself, which is what a layer's border takes.
#pragma once

#include <runtime/Runtime.h>

#include <string>

namespace uikit {

class UIColor : public runtime::Object {
    PLV_CLASS(UIColor, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<UIColor>&);

    static runtime::Ref<UIColor> colorWithRed(double red, double green, double blue, double alpha);
    static runtime::Ref<UIColor> colorWithWhite(double white, double alpha);
    static runtime::Ref<UIColor> blackColor();
    static runtime::Ref<UIColor> whiteColor();
    static runtime::Ref<UIColor> grayColor();
    static runtime::Ref<UIColor> lightGrayColor();
    static runtime::Ref<UIColor> darkGrayColor();
    static runtime::Ref<UIColor> clearColor();
    static runtime::Ref<UIColor> redColor();
    static runtime::Ref<UIColor> greenColor();
    static runtime::Ref<UIColor> blueColor();
    static runtime::Ref<UIColor> yellowColor();
    static runtime::Ref<UIColor> orangeColor();
    // Patterned on the phone; drawn here as plain colours.
    static runtime::Ref<UIColor> groupTableViewBackgroundColor();
    static runtime::Ref<UIColor> underPageBackgroundColor();

    double red() const { return m_red; }
    double green() const { return m_green; }
    double blue() const { return m_blue; }
    double alpha() const { return m_alpha; }
    bool isEqualToColor(const UIColor& other) const;
    runtime::Ref<UIColor> colorWithAlphaComponent(double alpha) const;

    // "UIDeviceRGBColorSpace 1 0 0 1", as the phone describes a colour.
    std::string description() const override;

    void setComponents(double red, double green, double blue, double alpha);

private:
    double m_red { 0 };
    double m_green { 0 };
    double m_blue { 0 };
    double m_alpha { 1 };
};

} // namespace uikit
