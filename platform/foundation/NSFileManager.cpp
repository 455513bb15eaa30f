#include "NSFileManager.h"

#include "DevicePath.h"

namespace foundation {

void NSFileManager::registerMethods(runtime::ClassBuilder<NSFileManager>& b)
{
    b.classMethod("defaultManager", [](runtime::Class&) -> runtime::Id { return defaultManager(); });
    b.method<&NSFileManager::fileExistsAtPath>("fileExistsAtPath:");
}

runtime::Ref<NSFileManager> NSFileManager::defaultManager()
{
    // Never destroyed: callers on other threads may still hold it at exit.
    static auto* manager = new runtime::Ref<NSFileManager>(runtime::make<NSFileManager>());
    return *manager;
}

bool NSFileManager::fileExistsAtPath(const std::string& devicePath) const { return deviceFileExists(devicePath); }

} // namespace foundation
