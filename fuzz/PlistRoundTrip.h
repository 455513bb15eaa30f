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

#include <algorithm>
#include <cmath>

namespace fuzzing {

// U+FFFE and U+FFFF are no XML characters; the XML writer writes U+FFFD.
inline std::string asXmlCarriesIt(std::string text)
{
    for (size_t at = text.find("\xEF\xBF"); at != std::string::npos; at = text.find("\xEF\xBF", at + 1)) {
        if (at + 2 < text.size() && (text[at + 2] == '\xBE' || text[at + 2] == '\xBF'))
            text[at + 2] = '\xBD';
    }
    return text;
}

// Dates are written to the second, as the platform writes them, and dates
// outside the years 0000 to 9999 as the nearest one the reader takes.
inline foundation::PlistValue asXmlCarriesIt(const foundation::PlistValue& value)
{
    if (auto date = value.asDate())
        return foundation::PlistValue(foundation::PlistDate { std::clamp(std::floor(date->secondsSince2001), -63145526400.0, 252423993599.0) });
    if (auto* text = value.asString())
        return foundation::PlistValue(asXmlCarriesIt(*text));
    if (auto* array = value.asArray()) {
        foundation::PlistArray elements;
        for (const auto& element : *array)
            elements.push_back(asXmlCarriesIt(element));
        return foundation::PlistValue(std::move(elements));
    }
    if (auto* dictionary = value.asDictionary()) {
        foundation::PlistDictionary entries;
        for (const auto& [key, element] : *dictionary)
            entries.set(asXmlCarriesIt(key), asXmlCarriesIt(element));
        return foundation::PlistValue(std::move(entries));
    }
    return value;
}

inline void requireRoundTrip(const foundation::PlistValue& value)
{
    if (holdsNaN(value))
        return;
    auto xml = foundation::writeXmlPlist(value);
    auto fromXml = foundation::readXmlPlist(std::span(reinterpret_cast<const uint8_t*>(xml.data()), xml.size()));
    fuzzRequire(bool(fromXml), "the XML written for a value read cannot be read back: " + fromXml.reason());
    fuzzRequire(holdsUid(value) || *fromXml == asXmlCarriesIt(value), "the XML written for a value read reads back as another value");

    auto binary = foundation::writeBinaryPlist(value);
    auto fromBinary = foundation::readBinaryPlist(binary);
    fuzzRequire(bool(fromBinary), "the binary list written for a value read cannot be read back: " + fromBinary.reason());
    fuzzRequire(*fromBinary == value, "the binary list written for a value read reads back as another value");
}

}
