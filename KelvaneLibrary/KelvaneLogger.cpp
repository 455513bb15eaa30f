#include "KelvaneLogger.h"

#include "SharedFiles.h"

#include <foundation/DevicePath.h>
#include <foundation/FileIo.h>
#include <foundation/SystemLog.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace kelvane {

namespace {

    struct LoggerState {
        std::mutex lock; // serialises this process's writers; flock serialises processes
        std::optional<std::string> projectName;
        bool developMode { false };
        bool runStarted { false };
        bool headerWritten { false };
        // The log as this process's last whole entry left it, and with that
        // entry's note still on it. While the file is that same file at that
        // same size, no writer has touched it since (every writer appends, or
        // cuts back to where its entry began), so there is no note of another
        // writer to look at.
        struct LastEntry {
            bool known { false };
            dev_t device {};
            ino_t inode {};
            off_t size {};
        } lastEntry;
        // The log this process keeps open between entries (opening it costs
        // more than the entry), the host path it was opened at, and the
        // process that opened it: a forked child shares its parent's open
        // file, and with it the parent's lock, so it opens one of its own.
        struct OpenLog {
            int fd { -1 };
            pid_t owner {};
            std::filesystem::path hostPath;
        } openLog;
        // Where the log is on the host, for the device root and project name
        // it was worked out for (a root once set is never freed, so its
        // address names it).
        struct Location {
            const std::filesystem::path* root { nullptr };
            std::optional<std::string> projectName;
            std::filesystem::path hostPath;
        } location;
    };

    LoggerState& state()
    {
        static auto* s = new LoggerState;
        return *s;
    }

    std::string_view lineLabel(KelvaneLogger::Severity severity)
    {
        switch (severity) {
        case KelvaneLogger::Normal:
            return "NORMAL:";
        case KelvaneLogger::Development:
            return "DEV:";
        case KelvaneLogger::Severe:
            return "SEVERE:";
        case KelvaneLogger::Critical:
            return "CRITICAL:";
        default:
            return "";
        }
    }

    // Takes a partly written entry back off the file. The caller holds the
    // lock, so everything past `size` is that entry's. If even this fails,
    // nothing more can be done for the entry.
    void cutBackTo(int fd, off_t size)
    {
        while (::ftruncate(fd, size) < 0 && errno == EINTR) { }
    }

    // A writer killed between the pages of one write (a fatal signal stops a
    // write at a page boundary) leaves half an entry, which the next entry
    // would then follow. So before appending an entry that reaches past the
    // page it starts in, a writer notes on the file itself, as an extended
    // attribute, the size the file has and the size it will have. The next
    // writer holding the lock that finds a note left behind cuts a size
    // between the two back to the first. A note whose entry was written whole
    // names a size the file has since reached, so it cuts nothing and is
    // simply left for the next writer to overwrite; removing it would cost a
    // system call per entry. An entry that ends in the page it starts in is
    // written whole or not at all, so it needs no note (most entries are a
    // line of a few dozen bytes). The note lives and dies with the file, so a
    // log removed and created again never meets an old one. Where the file
    // system keeps no extended attributes, entries are written without the
    // note.
    constexpr const char* AppendNote = "user.plv.append";

    struct AppendSizes {
        int64_t before;
        int64_t after;
    };

    bool endsInItsFirstPage(off_t before, size_t length)
    {
        static const auto pageSize = static_cast<uint64_t>(::sysconf(_SC_PAGESIZE) > 0 ? ::sysconf(_SC_PAGESIZE) : 4096);
        return static_cast<uint64_t>(before) % pageSize + length <= pageSize;
    }

    void noteAppend(int fd, off_t before, size_t length)
    {
        AppendSizes sizes { before, before + static_cast<int64_t>(length) };
        ::fsetxattr(fd, AppendNote, &sizes, sizeof sizes, 0); // without the note on failure
    }

    void clearAppendNote(int fd) { ::fremovexattr(fd, AppendNote); }

    bool isAsLeft(const LoggerState::LastEntry& last, const struct stat& info)
    {
        return last.known && last.device == info.st_dev && last.inode == info.st_ino && last.size == info.st_size;
    }

    // Called with the lock held; `info` follows the file's size.
    void undoInterruptedAppend(int fd, struct stat& info)
    {
        AppendSizes sizes {};
        ssize_t got = ::fgetxattr(fd, AppendNote, &sizes, sizeof sizes);
        if (got < 0)
            return;
        if (got == sizeof sizes && sizes.before < info.st_size && info.st_size < sizes.after) {
            cutBackTo(fd, static_cast<off_t>(sizes.before));
            info.st_size = static_cast<off_t>(sizes.before);
        }
        clearAppendNote(fd);
    }

    void closeLog(LoggerState::OpenLog& log)
    {
        if (log.fd >= 0)
            ::close(log.fd);
        log = {};
    }

    // The log open for appending with the writers' lock taken; `info` is the
    // file's state once locked. The file kept open since the last entry is
    // used while it is still the log: a file that another process removed
    // (now or while we waited for the lock) is opened again, so an entry never
    // lands in an unlinked file. `makeFolder` runs when the folder is missing.
    template <class MakeFolder>
    int lockedLog(LoggerState::OpenLog& log, const std::filesystem::path& hostPath, struct stat& info, MakeFolder makeFolder)
    {
        if (log.fd >= 0 && (log.owner != ::getpid() || log.hostPath.native() != hostPath.native()))
            closeLog(log); // a child's copy: closing it leaves the parent's file and lock alone
        if (log.fd >= 0) {
            while (::flock(log.fd, LOCK_EX) < 0 && errno == EINTR) { }
            if (::fstat(log.fd, &info) == 0 && info.st_nlink > 0)
                return log.fd;
            closeLog(log); // also releases the lock
        }
        bool madeFolder = false;
        for (int attempt = 0; attempt < 8; ++attempt) {
            int fd = foundation::fileio::openForWriting(hostPath, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
            if (fd < 0 && errno == ENOENT && !madeFolder) {
                makeFolder();
                madeFolder = true;
                fd = foundation::fileio::openForWriting(hostPath, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
            }
            if (fd < 0)
                return -1;
            while (::flock(fd, LOCK_EX) < 0 && errno == EINTR) { }
            if (::fstat(fd, &info) == 0 && info.st_nlink > 0) {
                log = { fd, ::getpid(), hostPath };
                return fd;
            }
            ::close(fd);
        }
        return -1;
    }

    std::string docsPathText(const std::optional<std::string>& name) { return std::string(LibraryDirectory) + name.value_or("(null)") + "/"; }

    // "%@/%@.log": the docs path already ends in a slash, hence the double one.
    std::string logFilePathText(const std::optional<std::string>& name) { return docsPathText(name) + "/" + name.value_or("(null)") + ".log"; }

    std::string docsPathFor(const std::optional<std::string>& name)
    {
        std::string path = docsPathText(name);
        auto host = foundation::hostPath(path);
        if (!host.empty())
            ::mkdir(host.c_str(), 0755); // without intermediate directories; errors ignored
        return path;
    }

    std::string logFilePathFor(const std::optional<std::string>& name)
    {
        docsPathFor(name);
        return logFilePathText(name);
    }

} // namespace

void KelvaneLogger::setProjectName(std::string_view name, bool developMode)
{
    auto& s = state();
    std::lock_guard guard(s.lock);
    s.projectName = std::string(name);
    s.developMode = developMode;
}

std::optional<std::string> KelvaneLogger::projectName()
{
    auto& s = state();
    std::lock_guard guard(s.lock);
    return s.projectName;
}

bool KelvaneLogger::developMode()
{
    auto& s = state();
    std::lock_guard guard(s.lock);
    return s.developMode;
}

std::string KelvaneLogger::docsPath() { return docsPathFor(projectName()); }

std::string KelvaneLogger::logFilePath() { return logFilePathFor(projectName()); }

void KelvaneLogger::log(const std::optional<std::string>& message, Severity severity)
{
    log(message ? std::string_view(*message) : std::string_view("(null)"), severity);
}

void KelvaneLogger::log(const char* message, Severity severity)
{
    log(message ? std::string_view(message) : std::string_view("(null)"), severity);
}

void KelvaneLogger::log(std::string_view message, Severity severity)
{
    auto& s = state();
    std::unique_lock guard(s.lock);
    s.runStarted = true;
    if (severity == Development && !s.developMode)
        return;

    std::string entry;
    entry.reserve(message.size() + 32);
    entry += '\n';
    entry += lineLabel(severity);
    entry += message;

    if (!s.projectName) {
        guard.unlock();
        foundation::NSLog("KelvaneLogger:" + entry.substr(1));
        return;
    }
    // The folder is made only when opening finds it missing, not before
    // every entry.
    if (const auto* root = &foundation::deviceRoot(); s.location.root != root || s.location.projectName != s.projectName)
        s.location = { root, s.projectName, foundation::hostPath(logFilePathText(s.projectName)) };
    const std::filesystem::path& hostPath = s.location.hostPath;
    if (hostPath.empty())
        return;
    struct stat info { };
    int fd = lockedLog(s.openLog, hostPath, info, [&] { docsPathFor(s.projectName); });
    if (fd < 0)
        return; // no space or no permission: the entry is lost, the file keeps what it had
    if (!isAsLeft(s.lastEntry, info))
        undoInterruptedAppend(fd, info);
    s.lastEntry.known = false;
    std::string text;
    if (info.st_size == 0)
        text += ' ';
    // The session header goes in front of the run's first written entry.
    if (!s.headerWritten)
        text += "\n=== NEW SESSION ===";
    text += entry;
    if (!endsInItsFirstPage(info.st_size, text.size()))
        noteAppend(fd, info.st_size, text.size());
    if (foundation::fileio::writeAll(fd, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), hostPath)) {
        s.headerWritten = true;
        s.lastEntry = LoggerState::LastEntry { true, info.st_dev, info.st_ino, info.st_size + static_cast<off_t>(text.size()) };
    } else {
        cutBackTo(fd, info.st_size);
        clearAppendNote(fd);
    }
    ::flock(fd, LOCK_UN); // the file stays open for the next entry
}

std::optional<long long> KelvaneLogger::removeLogFileIfAtLeast(std::string_view devicePath, long long limit)
{
    auto& s = state();
    std::lock_guard guard(s.lock);
    std::string hostPath = foundation::hostPath(devicePath).string();
    if (hostPath.empty())
        return std::nullopt;
    int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    while (::flock(fd, LOCK_EX) < 0 && errno == EINTR) { }
    struct stat info { };
    std::optional<long long> size;
    if (::fstat(fd, &info) == 0) {
        size = static_cast<long long>(info.st_size);
        if (*size >= limit)
            ::unlink(hostPath.c_str()); // errors ignored
    }
    ::close(fd);
    return size;
}

void KelvaneLogger::resetForTesting()
{
    auto& s = state();
    std::lock_guard guard(s.lock);
    s.projectName.reset();
    s.developMode = false;
    s.runStarted = false;
    s.headerWritten = false;
    s.lastEntry.known = false;
    closeLog(s.openLog);
    s.location = {};
}

} // namespace kelvane
