// Writing property lists in the platform's two encodings. XML as the platform
// writes it: the XML declaration, the plist DOCTYPE, tab indentation,
// `<dict/>` and `<array/>` for empty containers, data as wrapped base64 and
// dates in UTC; UIDs, which XML has no element for, become `{CF$UID: n}`
// dictionaries. Binary ("bplist00") as keyed archives are usually stored,
// with equal strings stored once.
#pragma once

#include "PropertyList.h"

#include <cstdint>
#include <string>
#include <vector>

namespace foundation {

enum class PlistFormat {
    Xml,
    Binary,
};

std::string writeXmlPlist(const PlistValue&);
std::vector<uint8_t> writeBinaryPlist(const PlistValue&);

}
