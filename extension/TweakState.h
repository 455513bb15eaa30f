// The state that every hook of Parlivo shares: what both libraries keep
// alike (common/HookState.h) and Parlivo's own flags. One copy per library,
// read and written on SpringBoard's main thread only.
#pragma once

#include <common/HookState.h>
#include <common/ReplyController.h>
#include <runtime/Runtime.h>

#include <cstdint>
#include <optional>
#include <string>

namespace parlivo {

class RDL;
class HeavyUtilities;

using common::MessagesSectionID;
using common::SentinelURL;

// Parlivo adds the lock-screen list, the record id of the last captured
// notification-centre row, the notification-centre switch and the dim timer.
struct TweakState : common::HookState<RDL, HeavyUtilities> {
    runtime::WeakId sbawayBulletinListController;
    int64_t lastRecordID { 0 };
    bool ncqr { false };
    bool shouldResetDimTimer { false };
    runtime::Class* sbAwayControllerClass { nullptr };
};

// The process's one copy.
TweakState& tweakState();
// Back to the values at load (tests install and uninstall in one process).
void resetTweakState();

} // namespace parlivo
