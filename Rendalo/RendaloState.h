// The state that every hook of Rendalo shares: what both libraries keep
// alike (common/HookState.h) and Rendalo's mail flags. One copy per library,
// so Parlivo's hooks never see Rendalo's flags when both are loaded; read and
// written on SpringBoard's main thread only.
#pragma once

#include <common/HookState.h>
#include <common/ReplyController.h>
#include <runtime/Runtime.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rendalo {

class RDL;
class HeavyUtilities;

using common::MessagesSectionID;
using common::SentinelURL;
inline constexpr std::string_view MailSectionID = "com.apple.mobilemail";
inline constexpr std::string_view MailApplicationID = "com.apple.mobilemail";
inline constexpr std::string_view ProjectName = "RDL";

// Rendalo adds the mail bulletin's flags and the SMS message class.
struct RendaloState : common::HookState<RDL, HeavyUtilities> {
    bool isMail { false };
    bool returnTheURL { false };
    runtime::Class* ckSMSMessageClass { nullptr };
};

// The library's one copy.
RendaloState& rendaloState();
// Back to the values at load (tests install and uninstall in one process).
void resetRendaloState();

} // namespace rendalo
