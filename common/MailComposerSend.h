// Sending a mail composer's mail without showing it: the composer's root
// controller is told `send:` with its own Send bar button item, as a tap on
// Send would. It needs the composer's private parts (`_rootViewController`,
// the "_sendButtonItem" variable); a composer without them sends nothing.
// Exceptions from the platform are caught and their description logged at
// severity 2.
#pragma once

#include <runtime/Runtime.h>

namespace common {

// Answers whether the Send action was pressed.
bool pressComposerSend(const runtime::Id& composer);

} // namespace common
