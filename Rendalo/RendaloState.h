// The state that every hook of Rendalo shares: the controller and its banner
// delegate, the flags that carry a bulletin from one host call to the next,
// and the host classes kept at load. One copy per library, so Parlivo's hooks
// never see Rendalo's flags when both are loaded; read and written on
// SpringBoard's main thread only, so nothing here is locked. Non-owning
// references are weak: the host may let its objects go at any time.
#pragma once

#include <runtime/Runtime.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rendalo {

class RDL;
class HeavyUtilities;

inline constexpr std::string_view MessagesSectionID = "com.apple.MobileSMS";
inline constexpr std::string_view MailSectionID = "com.apple.mobilemail";
inline constexpr std::string_view MailApplicationID = "com.apple.mobilemail";
inline constexpr std::string_view SentinelURL = "banana";
inline constexpr std::string_view ProjectName = "RDL";

struct RendaloState {
    runtime::Ref<RDL> rdl;
    runtime::Ref<HeavyUtilities> hv;
    bool isSMS { false };
    bool isMail { false };
    std::optional<std::string> sectionID;
    runtime::WeakId iconView;
    std::string smsURL;
    bool shouldOpenMessaggi { false };
    bool userTapNotification { false };
    bool isSMSNotification { false };
    int64_t messageID { 0 };
    bool returnTheURL { false };

    runtime::Class* ckDBMessageClass { nullptr };
    runtime::Class* ckSMSMessageClass { nullptr };
    runtime::Class* sbBulletinListControllerClass { nullptr };
};

// The library's one copy.
RendaloState& rendaloState();
// Back to the values at load (tests install and uninstall in one process).
void resetRendaloState();

} // namespace rendalo
