// Keyed archives: the platform's object-graph files (NSKeyedArchiver's
// format), stored as property lists with a flat `$objects` table that objects
// reference by UID. The reader turns the collection classes, strings, numbers,
// data and dates of an archive into plain property-list values; the writer
// does the reverse, so the demo phone can carry a groups file like the one
// the maker's other product writes. Archives come from other programs, so the
// reader decodes each object once, refuses reference cycles and references
// outside the table, and bounds depth and the number of values the graph
// expands to. Both UID spellings are accepted: binary UIDs and the
// `{CF$UID: n}` dictionaries of the XML form.
#pragma once

#include "PlistReader.h"
#include "PlistWriter.h"
#include "PropertyList.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace foundation {

// Each answers the value of the `$top` entry (usually "root"). A nil root
// comes back as a failure whose reason says so.
// `topKey` empty: "root" if present, else the only entry of `$top`.
Result<PlistValue> unarchive(const PlistValue& archive, std::string_view topKey = {}, const PlistReadLimits& = {});
Result<PlistValue> unarchive(std::span<const uint8_t> bytes, std::string_view topKey = {}, const PlistReadLimits& = {});
Result<PlistValue> unarchiveFile(
    const std::filesystem::path& hostPath, std::string_view topKey = {}, const PlistReadLimits& = {});

// Arrays become NSMutableArray, dictionaries NSMutableDictionary, dates NSDate;
// strings, numbers and data are stored as themselves. UIDs cannot be archived:
// nullopt.
std::optional<PlistValue> keyedArchive(const PlistValue& root);
bool writeKeyedArchiveAtomically(const std::filesystem::path& hostPath, const PlistValue& root, PlistFormat);

}
