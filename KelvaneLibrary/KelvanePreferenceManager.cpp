#include "KelvanePreferenceManager.h"

#include "SharedFiles.h"

#include <foundation/DevicePath.h>
#include <foundation/PlistReader.h>
#include <foundation/PlistWriter.h>
#include <foundation/Strings.h>

namespace kelvane {

using foundation::PlistValue;

KelvanePreferenceManager::KelvanePreferenceManager(Variant variant, NoLoad)
    : m_variant(variant)
{
}

KelvanePreferenceManager::KelvanePreferenceManager(Variant variant)
    : m_variant(variant)
{
    // As reloadPreferences, without the settings variant's version check.
    auto loaded = loadFromPath();
    if (!loaded && m_variant == Variant::Settings)
        loaded = freshDictionary();
    m_preferences = std::move(loaded);
}

std::unique_ptr<KelvanePreferenceManager> KelvanePreferenceManager::initWithApp(Variant variant, std::string_view appName)
{
    std::unique_ptr<KelvanePreferenceManager> store(new KelvanePreferenceManager(variant, NoLoad {}));
    store->setAppName(appName);
    return store;
}

std::optional<std::string> KelvanePreferenceManager::appName() const
{
    std::lock_guard guard(m_mutex);
    return m_appName;
}

void KelvanePreferenceManager::setAppName(std::string_view name)
{
    {
        std::lock_guard guard(m_mutex);
        m_appName = std::string(name);
    }
    if (m_variant == Variant::Settings)
        reloadPreferences();
}

std::shared_ptr<KelvanePreferenceManager::Dictionary> KelvanePreferenceManager::preferences() const
{
    std::lock_guard guard(m_mutex);
    return m_preferences;
}

void KelvanePreferenceManager::setPreferences(std::shared_ptr<Dictionary> preferences)
{
    std::lock_guard guard(m_mutex);
    m_preferences = std::move(preferences);
}

std::string KelvanePreferenceManager::path() const
{
    return std::string(LibraryDirectory) + appName().value_or("(null)") + "/" + std::string(PreferencesFileName);
}

std::shared_ptr<KelvanePreferenceManager::Dictionary> KelvanePreferenceManager::loadFromPath() const
{
    auto host = foundation::hostPath(path());
    if (host.empty())
        return nullptr;
    auto result = foundation::readPlistDictionaryFile(host);
    if (!result)
        return nullptr;
    return std::make_shared<Dictionary>(*result->asDictionary());
}

std::shared_ptr<KelvanePreferenceManager::Dictionary> KelvanePreferenceManager::freshDictionary()
{
    auto dictionary = std::make_shared<Dictionary>();
    dictionary->set(std::string(Key::Version), PlistValue(PreferencesVersionText));
    return dictionary;
}

bool KelvanePreferenceManager::isCurrentVersion(const Dictionary& dictionary)
{
    const PlistValue* version = dictionary.find(Key::Version);
    if (!version)
        return false;
    // The version is read as the platform's floatValue (single precision) and
    // compared in double precision, so "1.1" and "1.100000" both pass.
    float value = 0;
    if (auto text = version->asString())
        value = foundation::floatValue(*text);
    else if (auto real = version->asReal())
        value = static_cast<float>(*real);
    else if (auto integer = version->asInteger())
        value = static_cast<float>(*integer);
    return static_cast<double>(value) >= PreferencesVersion;
}

void KelvanePreferenceManager::reloadPreferences()
{
    auto loaded = loadFromPath();
    if (m_variant == Variant::Settings) {
        if (!loaded) {
            loaded = freshDictionary();
        } else if (!isCurrentVersion(*loaded)) {
            // An outdated file is deleted at the product's fixed path, whatever
            // this store's name; the next write creates it again.
            foundation::removeDeviceFile(PLVPreferencesPath);
            loaded = freshDictionary();
        }
    }
    setPreferences(std::move(loaded));
}

void KelvanePreferenceManager::writePreferences()
{
    auto dictionary = preferences();
    if (!dictionary)
        return;
    auto host = foundation::hostPath(path());
    if (host.empty())
        return;
    foundation::writePlistAtomically(host, PlistValue(*dictionary));
}

std::optional<PlistValue> KelvanePreferenceManager::loadValueForKey(std::string_view key) const
{
    auto dictionary = preferences();
    if (!dictionary)
        return std::nullopt;
    const PlistValue* value = dictionary->find(key);
    return value ? std::optional<PlistValue>(*value) : std::nullopt;
}

void KelvanePreferenceManager::writeValue(std::optional<PlistValue> value, std::string_view key)
{
    auto dictionary = preferences();
    if (!dictionary)
        return;
    if (value)
        dictionary->set(std::string(key), std::move(*value));
    else
        dictionary->remove(key);
    writePreferences();
}

} // namespace kelvane
