// Puts the products on the demo phone the way a package would: the images
// under /Library/Application Support/PLV and RDL, the extension libraries
// with their filter property lists in MobileSubstrate's DynamicLibraries
// folder, where the phone's loader finds them at boot, and the settings
// application as a bundle under /Applications, where SpringBoard finds it.
#pragma once

#include <foundation/Result.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace simulator {

inline constexpr std::string_view ApplicationSupportDevicePath = "/Library/Application Support";
inline constexpr std::string_view DynamicLibrariesDevicePath = "/Library/MobileSubstrate/DynamicLibraries";

inline constexpr std::string_view ApplicationsDevicePath = "/Applications";

// The libraries the loader may find; each is installed when the build has it.
inline constexpr std::string_view ExtensionNames[] = { "Parlivo", "Rendalo" };
// The applications: "<name>.so" and its Info.plist from one build folder.
inline constexpr std::string_view ApplicationNames[] = { "PLVSettings" };
// The maker's shared library that Rendalo links, where the phone keeps it.
inline constexpr std::string_view KelvaneLibraryDevicePath = "/usr/lib/libKelvaneLibrary.dylib";
// Which extensions this phone loads, kept beside its files so that every
// later run and serve boots with the same choice.
inline constexpr std::string_view ExtensionChoiceDevicePath = "/plv-sim.plist";

// A non-empty subset of ExtensionNames, in their order.
using ExtensionChoice = std::vector<std::string>;

ExtensionChoice defaultExtensionChoice(); // Parlivo alone
// "parlivo,rendalo": names in any case, separated by commas. Fails on an
// empty list or an unknown name.
foundation::Result<ExtensionChoice> parseExtensionChoice(std::string_view list);
// "parlivo,rendalo"
std::string describeExtensionChoice(const ExtensionChoice&);
// The choice recorded in the device under the current root, if any.
std::optional<ExtensionChoice> readExtensionChoice();
bool writeExtensionChoice(const ExtensionChoice&);

struct InstallStep {
    enum class Outcome {
        Installed,
        Skipped,
    };
    Outcome outcome { Outcome::Installed };
    std::string what; // a device path, or the name of what was skipped
    std::string note; // why something was skipped
};

// Each answers what it did, step by step, or why it stopped.
//
// Copies every PNG of `resourcesDir`/PLV and `resourcesDir`/RDL (the build's
// rasterised images). Fails when either folder holds none. The home screen's
// icons, `resourcesDir`/Applications/<bundle folder>.png, go to
// /Applications/<bundle folder>.app/Icon.png.
foundation::Result<std::vector<InstallStep>> installImages(const std::filesystem::path& resourcesDir);

// For each chosen extension, the first "<name>.so" found in `searchDirs` is
// copied in, with "<name>.plist" from beside it or, without one, a filter
// naming SpringBoard. A library found nowhere is skipped (and an earlier
// copy left in place); one not chosen is taken out with its filter, so the
// loader does not find it. The first libKelvaneLibrary.dylib found goes to
// /usr/lib.
foundation::Result<std::vector<InstallStep>> installExtensions(const std::vector<std::filesystem::path>& searchDirs, const ExtensionChoice& = defaultExtensionChoice());

// For each application name, the first folder of `searchDirs` holding
// "<name>.so" and "Info.plist" gives /Applications/<name>.app/<name> (the
// executable) and its Info.plist. An application found nowhere is skipped.
foundation::Result<std::vector<InstallStep>> installApplications(const std::vector<std::filesystem::path>& searchDirs);

} // namespace simulator
