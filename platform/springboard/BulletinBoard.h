// The bulletin board: where a new bulletin goes once an application posts
// it. It always joins the notification centre; while the device is locked it
// goes to the lock screen (lighting the screen), otherwise it is offered to
// the banner controller with `observer:addBulletin:forFeed:` (nil, the
// bulletin, 0) through the runtime.
#pragma once

#include "BBBulletin.h"

namespace springboard {

// Gives the bulletin its bulletin id (when it has none) and its place in
// the order of publication, then delivers it as above.
void publishBulletin(const runtime::Ref<BBBulletin>&);

} // namespace springboard
