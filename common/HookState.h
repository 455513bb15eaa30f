// The part of a library's hook state that both libraries keep alike: the
// controller and its banner delegate, the flags that carry a bulletin from
// one host call to the next, and the host classes kept at load. Each library
// derives its own state from it (with its own extra flags) and keeps one
// copy, so Parlivo's hooks never see Rendalo's flags when both are loaded.
// Read and written on SpringBoard's main thread only, so nothing is locked.
// Non-owning references are weak: the host may let its objects go at any
// time, and a hook must then see nil rather than a dangling object.
#pragma once

#include <runtime/Runtime.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace common {

// The launch URL a captured notification-centre row answers once, so that
// SpringBoard's launch of it reaches the library instead of Messages.
inline constexpr std::string_view SentinelURL = "banana";

template <class Controller, class Utilities>
struct HookState {
    runtime::Ref<Controller> rdl;
    runtime::Ref<Utilities> hv;
    bool userTapNotification { false };
    bool isSMSNotification { false };
    bool shouldOpenMessaggi { false };
    std::optional<std::string> sectionID;
    runtime::WeakId iconView;
    // nil until a messages bulletin with a default action has been seen.
    std::optional<std::string> smsURL;
    int64_t messageID { 0 };
    bool isSMS { false };

    runtime::Class* ckDBMessageClass { nullptr };
    runtime::Class* sbBulletinListControllerClass { nullptr };
};

} // namespace common
