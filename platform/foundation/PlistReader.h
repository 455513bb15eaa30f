// Reading property lists, XML or binary, from memory or from a file. Files on
// the phone can be written by anything, so every input is treated as hostile:
// its size, nesting depth and the number of values it expands to are bounded,
// and both encodings are decoded by our own bounded readers. A malformed value
// makes the whole input unreadable rather than a wrong value. A refused input
// is a value with an error text, never a crash.
#pragma once

#include "PropertyList.h"
#include "Result.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace foundation {

struct PlistReadLimits {
    size_t maxBytes { 16 * 1024 * 1024 };
    // Containers inside containers; the root counts as level 1.
    size_t maxDepth { 512 };
    // Values after expanding shared references (a binary list may reference
    // one object many times; consumers walk every path).
    size_t maxNodes { 1'000'000 };
};

// Detects the encoding by its header ("bplist00" is binary, anything else XML).
Result<PlistValue> readPlist(std::span<const uint8_t> bytes, const PlistReadLimits& = {});
Result<PlistValue> readPlist(std::string_view bytes, const PlistReadLimits& = {});

// Decodes the XML form only.
Result<PlistValue> readXmlPlist(std::span<const uint8_t> bytes, const PlistReadLimits& = {});

// A host file. A missing file, a directory, a file above maxBytes and any
// unreadable content all come back as failures.
Result<PlistValue> readPlistFile(const std::filesystem::path& hostPath, const PlistReadLimits& = {});

// As the platform's dictionaryWithContentsOfFile: a root other than a
// dictionary counts as unreadable.
Result<PlistValue> readPlistDictionary(std::span<const uint8_t> bytes, const PlistReadLimits& = {});
Result<PlistValue> readPlistDictionaryFile(const std::filesystem::path& hostPath, const PlistReadLimits& = {});

}
