#include "PreferenceWriter.h"

#include <foundation/AtomicFile.h>
#include <foundation/DevicePath.h>
#include <foundation/PlistReader.h>

namespace simulator {

namespace {

    // The format the settings application writes and requires ("%f" of 1.1).
    constexpr std::string_view CurrentVersion = "1.100000";

} // namespace

bool isPreferenceProduct(std::string_view product)
{
    return product == "PLV" || product == "RDL";
}

std::string preferencesDevicePath(std::string_view product)
{
    return "/var/mobile/Library/" + std::string(product) + "/preferences.plist";
}

std::string reloadNotificationName(std::string_view product)
{
    return "it.kelvane." + std::string(product) + ".reloadPrefs";
}

std::optional<std::string> writePreference(std::string_view product, std::string_view key, std::optional<foundation::PlistValue> value)
{
    if (!isPreferenceProduct(product))
        return "no preferences file for product \"" + std::string(product) + "\" (PLV or RDL)";
    if (key.empty())
        return std::string("an empty preference key");
    std::string path = preferencesDevicePath(product);

    foundation::PlistDictionary preferences;
    if (foundation::deviceFileExists(path)) {
        auto read = foundation::readPlistDictionaryFile(foundation::hostPath(path));
        if (!read)
            return path + " is not a property-list dictionary (" + read.reason() + ")";
        preferences = *read->asDictionary();
    } else {
        preferences.set("version", std::string(CurrentVersion));
        std::string folder = path.substr(0, path.rfind('/'));
        if (!foundation::createDeviceDirectory(folder, foundation::Intermediates::Yes))
            return "cannot create " + folder;
    }

    if (value)
        preferences.set(std::string(key), std::move(*value));
    else
        preferences.remove(key);
    if (!foundation::writePlistAtomically(foundation::hostPath(path), foundation::PlistValue(std::move(preferences))))
        return "cannot write " + path;
    return std::nullopt;
}

} // namespace simulator
