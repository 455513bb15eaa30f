// The state that every hook of Parlivo shares: the controller and its banner
// delegate, the flags that carry a bulletin from one host call to the next,
// and the three host classes kept at load. One copy per process, read and
// written on SpringBoard's main thread only, so nothing here is locked.
// Non-owning references are weak: the host may let its objects go at any
// time, and a hook must then see nil rather than a dangling object.
#pragma once

#include <runtime/Runtime.h>

#include <cstdint>
#include <optional>
#include <string>

namespace parlivo {

class RDL;
class HeavyUtilities;

inline constexpr std::string_view MessagesSectionID = "com.apple.MobileSMS";
inline constexpr std::string_view SentinelURL = "banana";

struct TweakState {
    runtime::Ref<RDL> rdl;
    runtime::Ref<HeavyUtilities> hv;
    bool userTapNotification { false };
    runtime::WeakId sbawayBulletinListController;
    int64_t lastRecordID { 0 };
    bool isSMSNotification { false };
    bool shouldOpenMessaggi { false };
    std::optional<std::string> sectionID;
    runtime::WeakId iconView;
    bool ncqr { false };
    bool shouldResetDimTimer { false };
    // nil until a messages bulletin with a default action has been seen.
    std::optional<std::string> smsURL;
    int64_t messageID { 0 };
    bool isSMS { false };

    runtime::Class* ckDBMessageClass { nullptr };
    runtime::Class* sbAwayControllerClass { nullptr };
    runtime::Class* sbBulletinListControllerClass { nullptr };
};

// The process's one copy.
TweakState& tweakState();
// Back to the values at load (tests install and uninstall in one process).
void resetTweakState();

} // namespace parlivo
