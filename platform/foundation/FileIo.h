// The system calls that put bytes in files and files at their names, each
// passing through `FileFaults` first, so that a test can make any of them fail
// the way a full disk or a failing device would. Every writer of the phone's
// files (the atomic replacement, the log's appends, the outbox) uses these
// instead of the bare calls. `subject` names the file a call is for, which is
// the final name even while a temporary file is being written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <sys/types.h>

namespace foundation::fileio {

// open(2) for a file to write; -1 with errno on failure.
int openForWriting(const std::filesystem::path&, int flags, mode_t mode);
// mkostemp(3) for the temporary beside `subject`; -1 with errno on failure.
int makeTemporary(std::string& pattern, const std::filesystem::path& subject);
// open(2) read-only for a file about to be read whole; -1 with errno.
int openForReading(const std::filesystem::path&, int flags);

// Writes every byte, retrying interrupted and short writes. False with errno
// when the file could not take them all; some may have been written.
bool writeAll(int fd, std::span<const uint8_t>, const std::filesystem::path& subject);
bool syncFile(int fd, const std::filesystem::path& subject);
// rename(2) and link(2); the seam counts both as renames of `to`.
bool renameFile(const std::filesystem::path& from, const std::filesystem::path& to);
bool linkFile(const std::filesystem::path& from, const std::filesystem::path& to);

} // namespace foundation::fileio
