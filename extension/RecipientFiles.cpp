#include "RecipientFiles.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <KelvaneLibrary/SharedFiles.h>
#include <foundation/DevicePath.h>
#include <foundation/GroupsArchive.h>
#include <foundation/PlistReader.h>
#include <foundation/SystemLog.h>
#include <runtime/Runtime.h>

#include <filesystem>

namespace parlivo {

using foundation::PlistArray;
using foundation::PlistDictionary;
using foundation::PlistValue;
using kelvane::KelvaneLogger;

bool emailsInCompose()
{
    std::string value;
    auto read = foundation::readPlistDictionaryFile(foundation::hostPath(kelvane::PLVPreferencesPath));
    if (read) {
        if (const PlistValue* found = read->find(kelvane::Key::EmailsInComposeContacts))
            value = found->stringValue();
    }
    KelvaneLogger::log(value, KelvaneLogger::Development);
    return value == "1";
}

PlistArray loadFavorites()
{
    PlistArray favorites;
    auto path = foundation::hostPath(kelvane::FavoritesPath);
    std::error_code error;
    if (std::filesystem::exists(path, error)) {
        auto read = foundation::readPlistFile(path);
        const PlistDictionary* entries = read ? read->asDictionary() : nullptr;
        if (!read)
            foundation::NSLog("favourites file: cannot read it ({}), so there are no favourites", read.reason());
        else if (!entries)
            foundation::NSLog("favourites file: the root is not a dictionary, so there are no favourites");
        size_t skipped = 0;
        if (entries) {
            favorites.reserve(entries->size());
            for (const auto& [number, name] : *entries) {
                if (!name.isString() || number.empty()) {
                    ++skipped;
                    continue;
                }
                favorites.push_back(PlistDictionary { { number, name } });
            }
        }
        if (skipped)
            foundation::NSLog("favourites file: skipped {} of {} entries without a number or a name", skipped, entries->size());
    }
    foundation::NSLog("caricati {} preferiti", favorites.size());
    return favorites;
}

PlistArray loadGroupsFromFile()
{
    std::string path(kelvane::GroupsPath);
    runtime::Id manager = runtime::send<runtime::Id>(runtime::classNamed("NSFileManager"), "defaultManager");
    if (!runtime::send<bool>(manager, "fileExistsAtPath:", path))
        return {};
    auto root = runtime::send<std::optional<PlistValue>>(runtime::classNamed("NSKeyedUnarchiver"), "unarchiveObjectWithFile:", path);
    if (!root)
        return {};
    return foundation::groupRecords(*root);
}

RecipientSources readRecipientSources()
{
    RecipientSources sources;
    sources.addressBook = addressbook::ABAddressBookCreate();
    sources.includeEmails = emailsInCompose();
    sources.favorites = loadFavorites();
    sources.groups = loadGroupsFromFile();
    return sources;
}

} // namespace parlivo
