// The phone's file system on the host. The system only ever names the
// device's own absolute paths ("/var/mobile/Library/PLV/preferences.plist");
// a device root folder on the host holds them (<root>/var/mobile/...). These
// functions map a device path into the root and offer the few file operations
// the system needs, all on device paths. A path that is not absolute, holds a
// NUL byte or climbs out of the root with ".." maps to nothing, and every
// operation on it fails.
#pragma once

#include "AtomicFile.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace foundation {

// Setting the root is for start-up and tests; reading it is safe from any
// thread, and a reference once handed out stays valid.
void setDeviceRoot(std::filesystem::path);
const std::filesystem::path& deviceRoot();

// "/var/mobile/Library/PLV//PLV.log" → <root>/var/mobile/Library/PLV/PLV.log.
// The mapping is by name: "." and repeated slashes are dropped, ".." goes up
// but never above the root. Empty when the path cannot be mapped or no root is
// set.
std::filesystem::path hostPath(std::string_view devicePath);

enum class Intermediates {
    No,
    Yes,
};

bool deviceFileExists(std::string_view devicePath); // file or directory
bool deviceDirectoryExists(std::string_view devicePath);
std::optional<uint64_t> deviceFileSize(std::string_view devicePath); // regular files only
bool removeDeviceFile(std::string_view devicePath); // a file, or an empty directory
// Succeeds when the directory exists afterwards (created now or before).
bool createDeviceDirectory(std::string_view devicePath, Intermediates);

Result<std::vector<uint8_t>> readDeviceFile(std::string_view devicePath, uint64_t maxBytes = 16 * 1024 * 1024);
bool writeDeviceFileAtomically(std::string_view devicePath, std::span<const uint8_t> bytes);
bool writeDeviceFileAtomically(std::string_view devicePath, std::string_view bytes);

}
