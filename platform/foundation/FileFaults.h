// Failures on demand for the file layer. Every file the phone writes or reads
// goes through the calls of FileIo.h, and each of those asks `FileFaults`
// first whether it should fail. A test arms a fault ("the 2nd rename of a path
// with preferences.plist in it fails with ENOSPC") and then watches what the
// system does with it; running as root, permissions alone could not make a
// write fail. Unarmed, the check is one relaxed atomic load.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace foundation {

enum class FileOperation : uint8_t {
    Open, // opening or creating a file for writing
    Write,
    Sync,
    Rename, // renames and links that put a file at its final name
    Read, // opening and reading a file to read it
};

struct FileFault {
    // FileFault::on(FileOperation::Rename).withError(ENOSPC).onPath("preferences.plist")
    static FileFault on(FileOperation operation)
    {
        FileFault fault;
        fault.operation = operation;
        return fault;
    }
    FileFault withError(int code) const
    {
        return with([&](FileFault& f) { f.error = code; });
    }
    FileFault onPath(std::string part) const
    {
        return with([&](FileFault& f) { f.pathPart = std::move(part); });
    }
    FileFault fromCall(uint32_t call) const
    {
        return with([&](FileFault& f) { f.nth = call; });
    }
    FileFault forCalls(uint32_t count) const
    {
        return with([&](FileFault& f) { f.times = count; });
    }
    FileFault always() const { return forCalls(Always); }
    FileFault halfWritten() const
    {
        return with([&](FileFault& f) { f.partialWrite = true; });
    }

    FileOperation operation { FileOperation::Write };
    // The matching call that fails first: 1 is the next one after arming.
    uint32_t nth { 1 };
    // How many matching calls fail from the nth on; `Always` keeps failing.
    uint32_t times { 1 };
    static constexpr uint32_t Always = UINT32_MAX;
    int error { 5 /* EIO */ };
    // Only calls on paths that contain this text count (empty: every path),
    // so a fault on the preferences file leaves the log's writes alone.
    std::string pathPart;
    // A failing write first writes half its bytes, as a disk that fills up
    // in the middle of a write does.
    bool partialWrite { false };

private:
    template <class Change>
    FileFault with(Change change) const
    {
        FileFault copy = *this;
        change(copy);
        return copy;
    }
};

class FileFaults {
public:
    // Replaces any fault armed before; matching calls are counted from here.
    static void arm(FileFault);
    static void disarm();
    static bool armed();
    // How many calls the armed fault has failed so far.
    static uint32_t failuresInjected();

    // The errno a call should fail with, or 0 to go ahead. Called by the file
    // layer only.
    static int check(FileOperation, const std::filesystem::path&);
    // For a write the check said to fail: whether it should write half first.
    static bool partialWrite();
};

// Arms a fault for the life of a scope.
class ArmedFileFault {
public:
    explicit ArmedFileFault(FileFault fault) { FileFaults::arm(std::move(fault)); }
    ~ArmedFileFault() { FileFaults::disarm(); }
    ArmedFileFault(const ArmedFileFault&) = delete;
    ArmedFileFault& operator=(const ArmedFileFault&) = delete;
};

} // namespace foundation
