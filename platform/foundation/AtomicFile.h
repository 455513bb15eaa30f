// Whole-file reads and atomic whole-file replacement on host paths. Files that
// another process reads while we write (the preferences, the log) are written
// to a temporary file in the same folder, flushed and renamed over the old one,
// so a reader sees the old content or the new, never a mix.
#pragma once

#include "Result.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace foundation {

class PlistValue;

// Reads a regular file. Refuses directories, devices and pipes, and files
// larger than maxBytes (without reading them); the reason names the file.
Result<std::vector<uint8_t>> readWholeFile(const std::filesystem::path& hostPath, uint64_t maxBytes);

// Temporary file in the same folder, write, fsync, rename, fsync the folder.
// On failure the temporary is removed and the old file is left as it was. An
// existing file's permission bits are kept; a new file gets 0644. Temporaries
// of the same file left by a writer that was killed are removed first.
bool writeFileAtomically(const std::filesystem::path& hostPath, std::span<const uint8_t> bytes);
bool writeFileAtomically(const std::filesystem::path& hostPath, std::string_view bytes);

// The XML form, as the platform's writeToFile:atomically: writes it.
bool writePlistAtomically(const std::filesystem::path& hostPath, const PlistValue&);

}
