// Finding the file a request names inside one folder, and only there. The web
// UI's own files and the device's pictures are served from fixed folders; a
// request that climbs out of its folder (a `..` segment, an absolute path, a
// symbolic link that leads elsewhere) finds nothing, so a page can never read
// the device's databases or the host's files through the server.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace simulator {

// The regular file at `relative` inside `root`, canonical, or nothing when
// the path is empty, absolute, has an empty, `.` or `..` segment, a
// backslash or a NUL, does not exist, is not a regular file, or resolves
// (through symbolic links) to a place outside the canonical `root`.
std::optional<std::filesystem::path> resolveServedFile(const std::filesystem::path& root, std::string_view relative);

// The MIME type the server sends for a file, by its extension (case
// insensitive); nothing for a type the server does not serve.
std::optional<std::string> servedContentType(const std::filesystem::path&);

// Pictures only: the device's other files are not the page's business.
bool isServedPicture(const std::filesystem::path&);

} // namespace simulator
