// The device the system runs on: iOS 5.1.1 on an iPhone unless a test or
// the simulator says otherwise, with a 40-hex-digit unique identifier.
#pragma once

#include "UIKitTypes.h"

#include <runtime/Runtime.h>

#include <string>

namespace uikit {

class UIDevice : public runtime::Object {
    PLV_CLASS(UIDevice, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<UIDevice>&);

    static runtime::Ref<UIDevice> currentDevice();

    const std::string& systemVersion() const { return m_systemVersion; }
    void setSystemVersion(std::string version) { m_systemVersion = std::move(version); }
    std::string systemName() const { return "iPhone OS"; }
    std::string model() const { return "iPhone"; }
    std::string localizedModel() const { return "iPhone"; }
    const std::string& name() const { return m_name; }
    void setName(std::string name) { m_name = std::move(name); }
    const std::string& uniqueIdentifier() const { return m_uniqueIdentifier; }
    // Refused (false) unless it is 40 hexadecimal digits.
    bool setUniqueIdentifier(const std::string&);
    int64_t orientation() const { return m_orientation; }
    void setOrientation(int64_t orientation) { m_orientation = orientation; }

    // "<UIDevice: iPhone; iPhone OS 5.1.1>"
    std::string description() const override;

private:
    std::string m_systemVersion { "5.1.1" };
    std::string m_name { "iPhone" };
    std::string m_uniqueIdentifier { "a3f7c2e91b4d5068f2c7e1a9b3d4f5062e8c9a17" };
    int64_t m_orientation { UIDeviceOrientationPortrait };
};

} // namespace uikit
