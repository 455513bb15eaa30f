// The whole screen as JSON, for tests to compare and for the browser to
// draw: the visible windows from the back to the front, each with its view
// tree, plus the keyboard and the edit menu. The format is documented in
// docs/snapshot.md. Numbers are rounded to six decimals so that snapshots
// compare stably.
//
// The text is written directly, without a tree in between, because the web
// page takes a snapshot after every turn of the run loop; it is byte for
// byte what dumping the tree gives, so callers may mix both.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace uikit {

class UIView;

// The screen as compact JSON text, as dump() writes snapshotScreen().
std::string snapshotScreenJSON();
// The same into `text`, replacing what it held but keeping its capacity: for
// callers that take a snapshot again and again.
void snapshotScreenJSON(std::string& text);
std::string snapshotViewJSON(UIView&);

// The same documents as trees, for callers that read into them.
nlohmann::json snapshotScreen();
nlohmann::json snapshotView(UIView&);

} // namespace uikit
