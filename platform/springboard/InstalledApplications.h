// Applications installed on the phone besides the stock ones, as the phone
// keeps them: a bundle folder under /Applications (<Name>.app) whose
// Info.plist names the bundle identifier (CFBundleIdentifier), the name under
// the icon (CFBundleDisplayName, else CFBundleName), the executable
// (CFBundleExecutable, a file in the bundle) and the application class
// (NSPrincipalClass, UIApplication when absent).
//
// SpringBoard runs such an application inside its own process: launching it
// opens the executable (once per process; its load-time constructor registers
// its classes) and launches the principal class as the platform's
// application main would, except that SpringBoard stays the shared
// application. What the application shows is its delegate's `window`, shown
// while it is in front and hidden otherwise. Quitting it sends the delegate
// `applicationWillTerminate:` and drops the application object.
#pragma once

#include "SBApplication.h"

#include <string>
#include <string_view>
#include <vector>

namespace springboard {

inline constexpr std::string_view ApplicationsFolder = "/Applications";

struct ApplicationBundle {
    std::string bundleIdentifier;
    std::string displayName;
    std::string principalClass { "UIApplication" };
    // Device path of the executable; empty when its code is already in the
    // process (linked in, as tests do).
    std::string executable {};
};

// The bundles in /Applications, in folder-name order. A folder without an
// Info.plist is passed over; a bundle whose Info.plist cannot be read or
// names no identifier or executable file is skipped with a line on the
// console.
std::vector<ApplicationBundle> findInstalledApplications();

runtime::Ref<SBApplication> makeHostedApplication(ApplicationBundle);

} // namespace springboard
