// What kind of drawing a view asks for, as the snapshot's "kind" tells it:
// "label", "button", "textField", "switch", "table", … A drawing program
// keeps one drawing per kind instead of guessing from a view's fields, and
// a class without a kind of its own takes its nearest superclass's, so a new
// view class is drawn like the UIKit class it extends. A class that needs a
// drawing of its own gets a kind here (UIKit's) or by registerSnapshotKind
// from the part of the platform that defines it. docs/snapshot.md lists them.
#pragma once

#include <string>
#include <string_view>

namespace runtime {
class Class;
}

namespace uikit {

// The kind of the nearest class in the chain from `cls` upwards that has
// one; "view" when none has.
std::string snapshotKind(const runtime::Class* cls);

// Gives the runtime class of that name its own kind (a later call for the
// same class replaces the earlier one).
void registerSnapshotKind(std::string_view className, std::string_view kind);

} // namespace uikit
