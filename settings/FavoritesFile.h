// The favourites file, /var/mobile/Library/PLV/favorites.plist: a dictionary
// from phone number (as the Address Book holds it) to the display name the
// editor made. The editor keeps an ordered list of entries, which may repeat
// a number; saving collapses repeats, the later entry's name winning.
//
// The file may have been written by anything. A file that is there but is no
// dictionary, or holds names that are not texts, loads as what could be read
// and is marked unreadable: before the first save replaces it, it is moved
// aside to favorites-unreadable.plist, so no one's file is lost.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plvsettings {

inline constexpr std::string_view UnreadableFavoritesPath = "/var/mobile/Library/PLV/favorites-unreadable.plist";

struct FavoriteEntry {
    std::string name;
    std::string number;
    bool operator==(const FavoriteEntry&) const = default;
};

struct LoadedFavorites {
    std::vector<FavoriteEntry> entries;
    // The file is there but could not be read whole.
    bool unreadable { false };
};

// In the file dictionary's own order; a missing file is an empty list.
LoadedFavorites readFavoritesFile();

// Writes the whole file atomically. When `unreadable`, the file found at load
// is first moved aside (and `unreadable` cleared). Answers whether the new
// file is in place.
bool writeFavoritesFile(const std::vector<FavoriteEntry>&, bool& unreadable);

// Last name and first name joined by a blank, last name first; the one that
// exists alone; "NO NAME" when neither does (an empty part counts as absent).
std::string favoriteDisplayName(const std::optional<std::string>& first, const std::optional<std::string>& last);

} // namespace plvsettings
