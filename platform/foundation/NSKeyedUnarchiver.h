// The platform's keyed-archive reader, as the system reaches it by name:
// `+unarchiveObjectWithFile:` (a device path) answers the archive's root
// object, or nil. The root crosses the runtime as an
// `std::optional<PlistValue>` (nullopt is nil), the way other platform
// classes hand over dictionaries and arrays. Archives come from other
// programs, so a file that is missing, unreadable, too large, hostile
// (cycles, references outside the object table, absurd depth) or no archive
// at all answers nil instead of raising, and the console gets one line
// saying which file and why.
#pragma once

#include "PropertyList.h"

#include <runtime/ClassBuilder.h>

#include <optional>
#include <string_view>

namespace foundation {

class NSKeyedUnarchiver : public runtime::Object {
    PLV_CLASS(NSKeyedUnarchiver, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<NSKeyedUnarchiver>&);

    static std::optional<PlistValue> unarchiveObjectWithFile(std::string_view devicePath);
};

} // namespace foundation
