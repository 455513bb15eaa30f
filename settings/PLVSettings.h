// PLVSettings, the settings application of Parlivo: its identity on the phone
// and the one call that makes its classes known to the runtime. The phone
// launches it by its principal class, "PLVSettingsApplication", named in the
// bundle's Info.plist.
#pragma once

#include <string_view>

namespace plvsettings {

inline constexpr std::string_view BundleIdentifier = "it.kelvane.plvsettings";
inline constexpr std::string_view PrincipalClass = "PLVSettingsApplication";
// The reuse identifier of the root table's and the favourites editor's cells.
inline constexpr std::string_view CellIdentifier = "it.kelvane.plvsettings";
// Where bug reports go.
inline constexpr std::string_view SupportAddress = "support@kelvane.it";

// Registers PLVSettingsApplication, RootViewController and the editors.
void registerPLVSettingsClasses();

} // namespace plvsettings
