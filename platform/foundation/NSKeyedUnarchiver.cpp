#include "NSKeyedUnarchiver.h"

#include "DevicePath.h"
#include "KeyedArchive.h"
#include "SystemLog.h"

#include <string>

namespace foundation {

namespace {

    // The readers start their complaint with the host file; the phone's
    // console names the device's own path, which the caller already puts first.
    std::string withoutHostPath(std::string error, const std::filesystem::path& host)
    {
        std::string prefix = host.string() + ": ";
        if (error.starts_with(prefix))
            error.erase(0, prefix.size());
        return error;
    }

} // namespace

void NSKeyedUnarchiver::registerMethods(runtime::ClassBuilder<NSKeyedUnarchiver>& b)
{
    b.classMethod("unarchiveObjectWithFile:",
        [](runtime::Class&, const std::string& path) -> std::optional<PlistValue> { return unarchiveObjectWithFile(path); });
}

std::optional<PlistValue> NSKeyedUnarchiver::unarchiveObjectWithFile(std::string_view devicePath)
{
    auto host = hostPath(devicePath);
    if (host.empty()) {
        NSLog("NSKeyedUnarchiver: cannot read {}: not a path on the device", devicePath);
        return std::nullopt;
    }
    auto result = unarchiveFile(host);
    if (!result) {
        NSLog("NSKeyedUnarchiver: cannot read {}: {}", devicePath, withoutHostPath(result.error().reason(), host));
        return std::nullopt;
    }
    return result.releaseValue();
}

} // namespace foundation
