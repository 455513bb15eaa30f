// Writing property lists in the XML form the platform writes: the XML
// declaration, the plist DOCTYPE, tab indentation, `<dict/>` and `<array/>`
// for empty containers, data as wrapped base64 and dates in UTC. UIDs, which
// XML has no element for, are written as `{CF$UID: n}` dictionaries.
#pragma once

#include "PropertyList.h"

#include <string>

namespace foundation {

std::string writeXmlPlist(const PlistValue&);

}
