#include "AtomicFile.h"

#include "FileIo.h"
#include "PlistWriter.h"
#include "PropertyList.h"

#include <fmt/format.h>

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace foundation {

namespace {

    class FileDescriptor {
    public:
        explicit FileDescriptor(int fd)
            : m_fd(fd)
        {
        }
        FileDescriptor(const FileDescriptor&) = delete;
        FileDescriptor& operator=(const FileDescriptor&) = delete;
        ~FileDescriptor() { close(); }

        int get() const { return m_fd; }
        bool valid() const { return m_fd >= 0; }
        bool close()
        {
            if (m_fd < 0)
                return true;
            int fd = std::exchange(m_fd, -1);
            return ::close(fd) == 0;
        }

    private:
        int m_fd { -1 };
    };

    std::string errnoText()
    {
        return std::strerror(errno);
    }

    // ".preferences.plist.": temporaries are named by the prefix, the writer's
    // process id and six random characters.
    std::string temporaryPrefix(const std::string& fileName) { return "." + fileName + "."; }

    // A writer killed between creating its temporary and renaming it leaves the
    // temporary behind, and one killed again and again would fill the folder.
    // A temporary whose writer no longer runs is removed; a live writer's,
    // including our own other threads', is left alone.
    void removeAbandonedTemporaries(const std::filesystem::path& folder, const std::string& fileName)
    {
        std::string prefix = temporaryPrefix(fileName);
        std::error_code error;
        for (std::filesystem::directory_iterator entry(folder, error), last; !error && entry != last; entry.increment(error)) {
            std::string name = entry->path().filename().string();
            if (!name.starts_with(prefix) || name.size() < prefix.size() + 8 || name[name.size() - 7] != '.')
                continue;
            std::string_view digits = std::string_view(name).substr(prefix.size(), name.size() - 7 - prefix.size());
            pid_t writer = 0;
            auto [parsed, parseError] = std::from_chars(digits.data(), digits.data() + digits.size(), writer);
            if (parseError != std::errc() || parsed != digits.data() + digits.size() || writer <= 0)
                continue;
            if (::kill(writer, 0) != 0 && errno == ESRCH)
                ::unlink(entry->path().c_str());
        }
    }

}

Result<std::vector<uint8_t>> readWholeFile(const std::filesystem::path& hostPath, uint64_t maxBytes)
{
    auto failure = [&](std::string reason) { return Error(fmt::format("{}: {}", hostPath.string(), reason)); };
    if (hostPath.empty())
        return Error("no path");
    // Non-blocking so that opening a pipe someone left at the path cannot hang us.
    FileDescriptor fd(fileio::openForReading(hostPath, O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.valid())
        return failure(errnoText());
    struct stat info { };
    if (::fstat(fd.get(), &info) != 0)
        return failure(errnoText());
    if (!S_ISREG(info.st_mode))
        return failure("not a regular file");
    if (static_cast<uint64_t>(info.st_size) > maxBytes)
        return failure(fmt::format("larger than {} bytes", maxBytes));
    std::vector<uint8_t> bytes(static_cast<size_t>(info.st_size));
    size_t filled = 0;
    while (true) {
        if (filled == bytes.size()) {
            // The file may have grown since fstat; read on, within the limit.
            if (bytes.size() >= maxBytes + 1)
                return failure(fmt::format("larger than {} bytes", maxBytes));
            bytes.resize(std::min<uint64_t>(maxBytes + 1, std::max<size_t>(bytes.size() * 2, 4096)));
        }
        ssize_t got = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return failure(errnoText());
        }
        if (got == 0)
            break;
        filled += static_cast<size_t>(got);
    }
    if (filled > maxBytes)
        return failure(fmt::format("larger than {} bytes", maxBytes));
    bytes.resize(filled);
    return bytes;
}

bool writeFileAtomically(const std::filesystem::path& hostPath, std::span<const uint8_t> bytes)
{
    if (hostPath.empty() || !hostPath.has_filename())
        return false;
    auto folder = hostPath.parent_path();
    if (folder.empty())
        folder = ".";
    mode_t mode = 0644;
    struct stat existing { };
    if (::stat(hostPath.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode))
            return false;
        mode = existing.st_mode & 07777;
    }

    removeAbandonedTemporaries(folder, hostPath.filename().string());
    std::string temporary = (folder / fmt::format("{}{}.XXXXXX", temporaryPrefix(hostPath.filename().string()), ::getpid())).string();
    FileDescriptor fd(fileio::makeTemporary(temporary, hostPath));
    if (!fd.valid())
        return false;
    bool ok = ::fchmod(fd.get(), mode) == 0 && fileio::writeAll(fd.get(), bytes, hostPath) && fileio::syncFile(fd.get(), hostPath);
    ok = fd.close() && ok;
    if (!ok || !fileio::renameFile(temporary, hostPath)) {
        ::unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable; failing here does not undo the write.
    FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.valid())
        ::fsync(directory.get());
    return true;
}

bool writeFileAtomically(const std::filesystem::path& hostPath, std::string_view bytes)
{
    return writeFileAtomically(hostPath, std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

bool writePlistAtomically(const std::filesystem::path& hostPath, const PlistValue& value)
{
    return writeFileAtomically(hostPath, std::string_view(writeXmlPlist(value)));
}

}
