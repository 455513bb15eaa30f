#include "UIDevice.h"

#include "UIKitContext.h"

#include <algorithm>
#include <cctype>

namespace uikit {

void UIDevice::registerMethods(runtime::ClassBuilder<UIDevice>& b)
{
    b.classMethod("currentDevice", [](runtime::Class&) -> runtime::Id { return currentDevice(); });
    b.method<&UIDevice::systemVersion>("systemVersion");
    b.method<&UIDevice::systemName>("systemName");
    b.method<&UIDevice::model>("model");
    b.method<&UIDevice::localizedModel>("localizedModel");
    b.method<&UIDevice::name>("name");
    b.method<&UIDevice::uniqueIdentifier>("uniqueIdentifier");
    b.method<&UIDevice::orientation>("orientation");
}

runtime::Ref<UIDevice> UIDevice::currentDevice()
{
    auto& context = uikitContext();
    if (!context.device)
        context.device = runtime::make<UIDevice>();
    return context.device;
}

bool UIDevice::setUniqueIdentifier(const std::string& identifier)
{
    if (identifier.size() != 40 || !std::all_of(identifier.begin(), identifier.end(), [](unsigned char c) { return std::isxdigit(c); }))
        return false;
    m_uniqueIdentifier = identifier;
    return true;
}

std::string UIDevice::description() const { return "<UIDevice: " + model() + "; " + systemName() + " " + m_systemVersion + ">"; }

} // namespace uikit
