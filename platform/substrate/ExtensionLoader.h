// Loads the extension libraries into the host at boot, as the injection
// framework does on the phone: every library in the device's
// /Library/MobileSubstrate/DynamicLibraries whose filter property list (the
// file of the same name ending in .plist) names the host is opened with
// dlopen, in file-name order, so that its load-time constructor installs its
// hooks before the host finishes launching. A library without a filter, with
// a filter that names other processes, or that fails to open is skipped and
// the reason written to the system log; the others still load.
//
// A library stays loaded for the life of the process: opening it again (a
// second phone booted in the same process) does not run its constructor again.
#pragma once

#include <foundation/PropertyList.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace substrate {

inline constexpr std::string_view DynamicLibrariesFolder = "/Library/MobileSubstrate/DynamicLibraries";
inline constexpr std::string_view SpringBoardBundleIdentifier = "com.apple.springboard";
inline constexpr std::string_view SpringBoardExecutable = "SpringBoard";

// Who is loading: the filter is matched against these.
struct HostProcess {
    std::string bundleIdentifier { SpringBoardBundleIdentifier };
    std::string executableName { SpringBoardExecutable };
};

struct LoadReport {
    struct Skipped {
        std::string library; // file name, e.g. "Other.so"
        std::string reason;
    };
    std::vector<std::string> loaded; // file names, in load order
    std::vector<Skipped> skipped;
};

// Whether a library's filter dictionary (the plist's "Filter" value) names
// the host: any of its "Bundles" is the host's bundle identifier, any of its
// "Executables" the host's executable, or any of its "Classes" is a class
// the runtime knows.
bool filterNamesHost(const foundation::PlistValue& filter, const HostProcess&);

// Loads from the device's folder under the current device root.
LoadReport loadExtensions(const HostProcess& = {});

// Every library this process has opened so far, by device path.
std::vector<std::string> loadedExtensionPaths();

} // namespace substrate
