// One application's preferences: a dictionary loaded from
// "/var/mobile/Library/<appName>/preferences.plist" and written back whole and
// atomically. Two variants share the interface: the settings application's
// store owns the file (it starts fresh when there is none and discards files
// of an older format), the extension libraries' store only reads (without a
// file it holds no dictionary at all).
//
// The dictionary is handed out as a shared pointer to the live dictionary:
// the settings application edits it in place and then writes. A reload on a
// background thread swaps in a new dictionary; a reader that took the old one
// keeps a whole dictionary, never a half-loaded one.
#pragma once

#include <foundation/PropertyList.h>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace kelvane {

class KelvanePreferenceManager {
public:
    enum class Variant {
        Settings,
        Extension,
    };
    using Dictionary = foundation::PlistDictionary;

    // init: a store with no application name; it tries the file of the unset
    // name (which never exists) and so starts with its variant's fallback.
    explicit KelvanePreferenceManager(Variant);
    // initWithApp: skips the file attempt of init, then sets the name as
    // setAppName does.
    static std::unique_ptr<KelvanePreferenceManager> initWithApp(Variant, std::string_view appName);

    Variant variant() const { return m_variant; }

    std::optional<std::string> appName() const;
    // The settings variant reloads after taking the name; the extension
    // variant only stores it.
    void setAppName(std::string_view);

    // The live dictionary, or null (extension variant without a file).
    std::shared_ptr<Dictionary> preferences() const;
    void setPreferences(std::shared_ptr<Dictionary>);

    // "/var/mobile/Library/%@/preferences.plist" with the application name.
    std::string path() const;

    void reloadPreferences();
    // Writes the dictionary atomically; the result is ignored and no folder
    // is created. Without a dictionary it does nothing.
    void writePreferences();

    std::optional<foundation::PlistValue> loadValueForKey(std::string_view key) const;
    // An absent value removes the key; then the file is written.
    void writeValue(std::optional<foundation::PlistValue>, std::string_view key);

private:
    struct NoLoad { };
    KelvanePreferenceManager(Variant, NoLoad);

    std::shared_ptr<Dictionary> loadFromPath() const;
    static std::shared_ptr<Dictionary> freshDictionary();
    static bool isCurrentVersion(const Dictionary&);

    Variant m_variant;
    mutable std::mutex m_mutex; // guards the two members below, never held during I/O
    std::optional<std::string> m_appName;
    std::shared_ptr<Dictionary> m_preferences;
};

} // namespace kelvane
