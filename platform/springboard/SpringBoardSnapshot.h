// SpringBoard's state as JSON, beside uikit's snapshot of the screen: what
// the simulator's dump and the web page show of the host. Main thread only.
//
// {"banner": null or {"title", "message", "sectionID", "recordID"},
//  "notificationCenter": {"open": bool, "bulletins": [{"title", "message",
//      "sectionID", "recordID"}, ...] newest first},
//  "locked": bool, "dimmed": bool,
//  "lockScreen": [bulletins as above, newest first],
//  "frontApp": the front application's identifier, or null on the home screen,
//  "orientation": the interface's, 1..4 (portrait on the home and lock screens),
//  "deviceOrientation": how the device is held, 1..4}
#pragma once

#include <nlohmann/json.hpp>

namespace springboard {

nlohmann::json snapshotSpringBoard();

} // namespace springboard
