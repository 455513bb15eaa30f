// The files and names that the deliverables share: the preference and
// favourites files, every key of the preferences file, the log files, the
// packages' images, the reload notifications and the Activator listener. Everything else refers to
// these definitions.
#pragma once

#include <string_view>

namespace kelvane {

// "/var/mobile/Library/%@/preferences.plist" with the application name.
inline constexpr std::string_view LibraryDirectory = "/var/mobile/Library/";
inline constexpr std::string_view PreferencesFileName = "preferences.plist";

inline constexpr std::string_view PLVApplicationName = "PLV";
inline constexpr std::string_view RDLApplicationName = "RDL";

inline constexpr std::string_view PLVPreferencesPath = "/var/mobile/Library/PLV/preferences.plist";
inline constexpr std::string_view RDLPreferencesPath = "/var/mobile/Library/RDL/preferences.plist";
inline constexpr std::string_view FavoritesPath = "/var/mobile/Library/PLV/favorites.plist";
inline constexpr std::string_view GroupsPath = "/var/mobile/Library/Cellarine/groups.plist";
inline constexpr std::string_view PLVLogPath = "/var/mobile/Library/PLV/PLV.log";
inline constexpr std::string_view RDLLogPath = "/var/mobile/Library/RDL/RDL.log";

inline constexpr std::string_view PLVReloadNotification = "it.kelvane.PLV.reloadPrefs";
inline constexpr std::string_view RDLReloadNotification = "it.kelvane.RDL.reloadPrefs";

// The images each package installs beside its library, by device path.
namespace PLVImage {
    inline constexpr std::string_view BannerIcon = "/Library/Application Support/PLV/sms.png";
    inline constexpr std::string_view Close = "/Library/Application Support/PLV/close.png";
    inline constexpr std::string_view Attachment = "/Library/Application Support/PLV/attachment.png";
    inline constexpr std::string_view Star = "/Library/Application Support/PLV/star.png";
    inline constexpr std::string_view SendSMS = "/Library/Application Support/PLV/SendIcon_sms.png";
    inline constexpr std::string_view SendIMessage = "/Library/Application Support/PLV/SendIcon_im.png";
} // namespace PLVImage
namespace RDLImage {
    inline constexpr std::string_view BannerIcon = "/Library/Application Support/RDL/sms.png";
    inline constexpr std::string_view Close = "/Library/Application Support/RDL/close-button.png";
    inline constexpr std::string_view Send = "/Library/Application Support/RDL/SendIcon.png";
} // namespace RDLImage

// The Activator listener that opens the quick compose window.
inline constexpr std::string_view ComposerListenerName = "it.kelvane.RDLComposer";

// The version the settings variant of the store writes and requires.
inline constexpr double PreferencesVersion = 1.1;
inline constexpr std::string_view PreferencesVersionText = "1.100000";

namespace Key {
    inline constexpr std::string_view Version = "version";
    inline constexpr std::string_view NotificationCenterReply = "ncqr";
    inline constexpr std::string_view LockscreenQuickReply = "lockQR";
    inline constexpr std::string_view EmailsInComposeContacts = "EIC";
    inline constexpr std::string_view QuickReplyColors = "qrcolors";
    inline constexpr std::string_view QuickReplyTextField = "qrtextfield";
    inline constexpr std::string_view QuickReplyText = "qrtext";
    inline constexpr std::string_view QuickComposeColors = "qccolors";
    inline constexpr std::string_view QuickComposeTextField = "qctextfield";
    inline constexpr std::string_view QuickComposeText = "qctext";
    inline constexpr std::string_view BuiltinSMS = "builtinSMS";
    inline constexpr std::string_view BuiltinEmail = "builtinEmail";
    inline constexpr std::string_view Bug = "bug";
} // namespace Key

} // namespace kelvane
