// The platform's file manager, as the system reaches it by name: one shared
// instance (`+defaultManager`) that answers `fileExistsAtPath:` for a device
// path. A path that does not map into the device root exists nowhere.
#pragma once

#include <runtime/ClassBuilder.h>

#include <string>

namespace foundation {

class NSFileManager : public runtime::Object {
    PLV_CLASS(NSFileManager, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<NSFileManager>&);
    static runtime::Ref<NSFileManager> defaultManager();

    // A file or a folder, as the platform answers.
    bool fileExistsAtPath(const std::string& devicePath) const;
};

} // namespace foundation
