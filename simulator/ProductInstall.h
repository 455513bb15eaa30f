// Puts the products on the demo phone the way a package would: the images
// under /Library/Application Support/PLV and RDL, and the extension
// libraries with their filter property lists in MobileSubstrate's
// DynamicLibraries folder, where the phone's loader finds them at boot.
#pragma once

#include <foundation/Result.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace simulator {

inline constexpr std::string_view applicationSupportDevicePath = "/Library/Application Support";
inline constexpr std::string_view dynamicLibrariesDevicePath = "/Library/MobileSubstrate/DynamicLibraries";

// The libraries the loader may find; each is installed when the build has it.
inline constexpr std::string_view extensionNames[] = { "Parlivo", "Rendalo" };

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

// For each extension name, the first "<name>.so" found in `searchDirs` is
// copied in, with "<name>.plist" from beside it or, without one, a filter
// naming SpringBoard. A library found nowhere is skipped (and an earlier
// copy left in place).
foundation::Result<std::vector<InstallStep>> installExtensions(const std::vector<std::filesystem::path>& searchDirs);

} // namespace simulator
