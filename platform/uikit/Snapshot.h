// The whole screen as JSON, for tests to compare and for the browser to
// draw: the visible windows from the back to the front, each with its view
// tree, plus the keyboard and the edit menu. The format is documented in
// docs/snapshot.md. Numbers are rounded to six decimals so that snapshots
// compare stably.
#pragma once

#include <nlohmann/json.hpp>

namespace uikit {

class UIView;

nlohmann::json snapshotScreen();
nlohmann::json snapshotView(UIView&);

} // namespace uikit
