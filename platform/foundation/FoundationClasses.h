// Every class the foundation library offers the system by name (NSTimer, the
// notification classes, NSFileManager, NSKeyedUnarchiver). Classes are
// defined on first use; touching them here at boot lets look-ups by name
// find them before anything else has used them.
#pragma once

namespace foundation {

void registerFoundationClasses();

} // namespace foundation
