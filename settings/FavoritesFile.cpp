#include "FavoritesFile.h"

#include <KelvaneLibrary/SharedFiles.h>
#include <foundation/DevicePath.h>
#include <foundation/FileIo.h>
#include <foundation/PlistReader.h>
#include <foundation/PlistWriter.h>

namespace plvsettings {

LoadedFavorites readFavoritesFile()
{
    LoadedFavorites loaded;
    if (!foundation::deviceFileExists(kelvane::FavoritesPath))
        return loaded;
    auto file = foundation::readPlistDictionaryFile(foundation::hostPath(kelvane::FavoritesPath));
    if (!file) {
        loaded.unreadable = true;
        return loaded;
    }
    for (const auto& [number, name] : *file->asDictionary()) {
        const std::string* text = name.asString();
        if (!text) {
            loaded.unreadable = true;
            continue;
        }
        loaded.entries.push_back({ *text, number });
    }
    return loaded;
}

bool writeFavoritesFile(const std::vector<FavoriteEntry>& entries, bool& unreadable)
{
    if (unreadable) {
        bool keptAside = foundation::fileio::renameFile(foundation::hostPath(kelvane::FavoritesPath), foundation::hostPath(UnreadableFavoritesPath));
        if (!keptAside && foundation::deviceFileExists(kelvane::FavoritesPath))
            return false;
        unreadable = false;
    }
    foundation::PlistDictionary dictionary;
    for (const auto& entry : entries)
        dictionary.set(entry.number, foundation::PlistValue(entry.name));
    return foundation::writeDeviceFileAtomically(kelvane::FavoritesPath, foundation::writeXmlPlist(foundation::PlistValue(std::move(dictionary))));
}

std::string favoriteDisplayName(const std::optional<std::string>& first, const std::optional<std::string>& last)
{
    bool hasFirst = first && !first->empty();
    bool hasLast = last && !last->empty();
    if (hasFirst && hasLast)
        return *last + " " + *first;
    if (hasLast)
        return *last;
    if (hasFirst)
        return *first;
    return "NO NAME";
}

} // namespace plvsettings
