// The shortcuts Quick Compose offers before the Address Book: the favourites
// file the settings application keeps (phone number → display name) and the
// groups file of the maker's other product, a keyed archive whose root is an
// array of group records ("name", "members" of {"contact", "isNumber"}).
// The demo phone carries both, naming people of the demo Address Book with
// their numbers written exactly as the book holds them.
#pragma once

#include <foundation/PropertyList.h>

#include <string_view>

namespace simulator {

inline constexpr std::string_view FavoritesDevicePath = "/var/mobile/Library/PLV/favorites.plist";
inline constexpr std::string_view GroupsDevicePath = "/var/mobile/Library/Cellarine/groups.plist";

// A dictionary, in the order the settings application would have saved it.
foundation::PlistValue demoFavorites();
// An array of group dictionaries, as the other product archives them.
foundation::PlistValue demoGroups();

} // namespace simulator
