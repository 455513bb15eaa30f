// The switches that two hooks read straight from the preferences file each
// time they are needed, without the preference store, so that a change made
// in the settings application counts at the next tap even before the store
// reloads.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace parlivo {

struct PreferenceSwitch {
    // The file could be read as a dictionary.
    bool fileRead { false };
    // The key's value as text (a value of any other type reads as ""), or
    // nothing when the key is absent.
    std::optional<std::string> value;
};

PreferenceSwitch readPreferenceSwitch(std::string_view key);

} // namespace parlivo
