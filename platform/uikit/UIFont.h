// A font by name and point size. The phone's system font on iOS 5 is
// Helvetica (Helvetica-Bold for the bold system font); any other name is
// kept as given, and its weight is read from the name.
#pragma once

#include <runtime/Runtime.h>

#include <string>

namespace uikit {

class UIFont : public runtime::Object {
    PLV_CLASS(UIFont, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<UIFont>&);

    static runtime::Ref<UIFont> systemFontOfSize(double size);
    static runtime::Ref<UIFont> boldSystemFontOfSize(double size);
    // nil for an empty name, as the phone answers for a font it lacks.
    static runtime::Ref<UIFont> fontWithName(const std::string& name, double size);

    const std::string& fontName() const { return m_name; }
    std::string familyName() const;
    double pointSize() const { return m_size; }
    bool isBold() const;
    runtime::Ref<UIFont> fontWithSize(double size) const;
    std::string description() const override;

private:
    std::string m_name { "Helvetica" };
    double m_size { 12 };
};

} // namespace uikit
