// Changing one preference the way the settings application does: the whole
// preferences file is read, the key set (or removed), and the file written
// back atomically as an XML property list; a missing file starts from the
// current format's "version". The caller then posts the product's reload
// notification, as the settings application does after every change.
#pragma once

#include <foundation/PropertyList.h>

#include <optional>
#include <string>
#include <string_view>

namespace simulator {

// "PLV" or "RDL"; anything else has no preferences file.
bool isPreferenceProduct(std::string_view product);
// "/var/mobile/Library/<product>/preferences.plist".
std::string preferencesDevicePath(std::string_view product);
// "it.kelvane.<product>.reloadPrefs".
std::string reloadNotificationName(std::string_view product);

// Sets `key` to `value` (removes it when there is no value). Answers why
// it could not: an unknown product, an empty key, a file that is there but
// is no property-list dictionary (left untouched), or a failed write.
std::optional<std::string> writePreference(std::string_view product, std::string_view key, std::optional<foundation::PlistValue> value);

} // namespace simulator
