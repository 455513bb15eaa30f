#include "FileIo.h"

#include "FileFaults.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace foundation::fileio {

namespace {

    // Answers true when the seam says this call fails, with errno set.
    bool injected(FileOperation operation, const std::filesystem::path& subject)
    {
        int error = FileFaults::check(operation, subject);
        if (!error)
            return false;
        errno = error;
        return true;
    }

    bool writeBytes(int fd, const uint8_t* data, size_t size)
    {
        while (size) {
            ssize_t written = ::write(fd, data, size);
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            data += written;
            size -= static_cast<size_t>(written);
        }
        return true;
    }

} // namespace

int openForWriting(const std::filesystem::path& path, int flags, mode_t mode)
{
    if (injected(FileOperation::Open, path))
        return -1;
    return ::open(path.c_str(), flags, mode);
}

int makeTemporary(std::string& pattern, const std::filesystem::path& subject)
{
    if (injected(FileOperation::Open, subject))
        return -1;
    return ::mkostemp(pattern.data(), O_CLOEXEC);
}

int openForReading(const std::filesystem::path& path, int flags)
{
    if (injected(FileOperation::Read, path))
        return -1;
    return ::open(path.c_str(), flags);
}

bool writeAll(int fd, std::span<const uint8_t> bytes, const std::filesystem::path& subject)
{
    if (int error = FileFaults::check(FileOperation::Write, subject)) {
        if (FileFaults::partialWrite())
            writeBytes(fd, bytes.data(), bytes.size() / 2);
        errno = error;
        return false;
    }
    return writeBytes(fd, bytes.data(), bytes.size());
}

bool syncFile(int fd, const std::filesystem::path& subject)
{
    if (injected(FileOperation::Sync, subject))
        return false;
    return ::fsync(fd) == 0;
}

bool renameFile(const std::filesystem::path& from, const std::filesystem::path& to)
{
    if (injected(FileOperation::Rename, to))
        return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool linkFile(const std::filesystem::path& from, const std::filesystem::path& to)
{
    if (injected(FileOperation::Rename, to))
        return false;
    return ::link(from.c_str(), to.c_str()) == 0;
}

} // namespace foundation::fileio
