#include "PreferenceSwitch.h"

#include <KelvaneLibrary/SharedFiles.h>
#include <foundation/DevicePath.h>
#include <foundation/PlistReader.h>

namespace parlivo {

PreferenceSwitch readPreferenceSwitch(std::string_view key)
{
    auto read = foundation::readPlistDictionaryFile(foundation::hostPath(kelvane::PLVPreferencesPath));
    if (!read)
        return {};
    PreferenceSwitch result;
    result.fileRead = true;
    if (const auto* value = read->find(key))
        result.value = value->stringValue();
    return result;
}

} // namespace parlivo
