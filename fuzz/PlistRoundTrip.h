// The property every property-list reader owes its callers: a value it
// answers can be written in either encoding and read back unchanged. A
// reader that answers a value its own writer cannot reproduce (a string
// that is not UTF-8, an integer that lost its sign, a date out of range)
// would corrupt the file the next time the phone saves it. (UIDs have no
// XML element; the XML form keeps them as {CF$UID: n} dictionaries.)
#pragma once

#include "FuzzSupport.h"

#include <foundation/BinaryPlistReader.h>
#include <foundation/PlistReader.h>
#include <foundation/PlistWriter.h>

namespace fuzzing {

inline void requireRoundTrip(const foundation::PlistValue& value)
{
    if (holdsNaN(value))
        return;
    auto xml = foundation::writeXmlPlist(value);
    auto fromXml = foundation::readXmlPlist(std::span(reinterpret_cast<const uint8_t*>(xml.data()), xml.size()));
    fuzzRequire(bool(fromXml), "the XML written for a value read cannot be read back: " + fromXml.reason());
    fuzzRequire(holdsUid(value) || *fromXml == value, "the XML written for a value read reads back as another value");

    auto binary = foundation::writeBinaryPlist(value);
    auto fromBinary = foundation::readBinaryPlist(binary);
    fuzzRequire(bool(fromBinary), "the binary list written for a value read cannot be read back: " + fromBinary.reason());
    fuzzRequire(*fromBinary == value, "the binary list written for a value read reads back as another value");
}

}
