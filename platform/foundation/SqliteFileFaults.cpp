#include "SqliteFileFaults.h"

#include "FileFaults.h"

#include <cerrno>
#include <cstring>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace foundation {

namespace {

    // SQLite writes a frame of the write-ahead log as two calls: the frame's
    // header, then its page at the next byte. Each call is a pwrite, with its
    // system call and its update of the file's times, so a log file holds a
    // header back and writes it with its page in one call. Whatever else is
    // asked of the file first writes a header still held, alone.
    constexpr int WalFrameHeaderSize = 24;

    struct HeldHeader {
        bool holding { false };
        sqlite3_int64 offset { 0 };
        unsigned char bytes[WalFrameHeaderSize] {};
        std::vector<unsigned char> frame; // header and page, reused
    };

    // Our file object, followed in the same allocation by the real VFS's.
    struct FaultFile {
        sqlite3_file base;
        sqlite3_file* real;
        std::string* path;
        HeldHeader* held; // log files only
    };

    sqlite3_vfs* s_real = nullptr;
    sqlite3_vfs s_vfs {};
    sqlite3_io_methods s_methods {};

    FaultFile& self(sqlite3_file* file) { return *reinterpret_cast<FaultFile*>(file); }
    sqlite3_file* real(sqlite3_file* file) { return self(file).real; }

    int fullOr(int error, int otherwise) { return error == ENOSPC || error == EDQUOT || error == EFBIG ? SQLITE_FULL : otherwise; }

    int writeChecked(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset)
    {
        if (int error = FileFaults::check(FileOperation::Write, *self(file).path)) {
            if (FileFaults::partialWrite())
                real(file)->pMethods->xWrite(real(file), buffer, amount / 2, offset);
            return fullOr(error, SQLITE_IOERR_WRITE);
        }
        return real(file)->pMethods->xWrite(real(file), buffer, amount, offset);
    }

    // Writes a header held back, if any; its error is the caller's.
    int writeHeld(sqlite3_file* file)
    {
        HeldHeader* held = self(file).held;
        if (!held || !held->holding)
            return SQLITE_OK;
        held->holding = false;
        return writeChecked(file, held->bytes, WalFrameHeaderSize, held->offset);
    }

    int faultClose(sqlite3_file* file)
    {
        int written = writeHeld(file);
        int result = real(file)->pMethods ? real(file)->pMethods->xClose(real(file)) : SQLITE_OK;
        delete self(file).path;
        self(file).path = nullptr;
        delete self(file).held;
        self(file).held = nullptr;
        return written != SQLITE_OK ? written : result;
    }

    int faultRead(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset)
    {
        if (int written = writeHeld(file); written != SQLITE_OK)
            return written;
        if (FileFaults::check(FileOperation::Read, *self(file).path))
            return SQLITE_IOERR_READ;
        return real(file)->pMethods->xRead(real(file), buffer, amount, offset);
    }

    int faultWrite(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset)
    {
        HeldHeader* held = self(file).held;
        if (!held)
            return writeChecked(file, buffer, amount, offset);
        if (held->holding && offset == held->offset + WalFrameHeaderSize && amount > 0) {
            held->holding = false;
            held->frame.resize(WalFrameHeaderSize + static_cast<size_t>(amount));
            std::memcpy(held->frame.data(), held->bytes, WalFrameHeaderSize);
            std::memcpy(held->frame.data() + WalFrameHeaderSize, buffer, static_cast<size_t>(amount));
            return writeChecked(file, held->frame.data(), static_cast<int>(held->frame.size()), held->offset);
        }
        if (int written = writeHeld(file); written != SQLITE_OK)
            return written;
        if (amount == WalFrameHeaderSize) {
            std::memcpy(held->bytes, buffer, WalFrameHeaderSize);
            held->offset = offset;
            held->holding = true;
            return SQLITE_OK;
        }
        return writeChecked(file, buffer, amount, offset);
    }

    int faultTruncate(sqlite3_file* file, sqlite3_int64 size)
    {
        if (int written = writeHeld(file); written != SQLITE_OK)
            return written;
        return real(file)->pMethods->xTruncate(real(file), size);
    }

    int faultSync(sqlite3_file* file, int flags)
    {
        if (int written = writeHeld(file); written != SQLITE_OK)
            return written;
        if (FileFaults::check(FileOperation::Sync, *self(file).path))
            return SQLITE_IOERR_FSYNC;
        return real(file)->pMethods->xSync(real(file), flags);
    }

    int faultFileSize(sqlite3_file* file, sqlite3_int64* size)
    {
        if (int written = writeHeld(file); written != SQLITE_OK)
            return written;
        return real(file)->pMethods->xFileSize(real(file), size);
    }
    int faultLock(sqlite3_file* file, int level) { return real(file)->pMethods->xLock(real(file), level); }
    int faultUnlock(sqlite3_file* file, int level) { return real(file)->pMethods->xUnlock(real(file), level); }
    int faultCheckReservedLock(sqlite3_file* file, int* out) { return real(file)->pMethods->xCheckReservedLock(real(file), out); }
    int faultFileControl(sqlite3_file* file, int op, void* arg)
    {
        if (int written = writeHeld(file); written != SQLITE_OK)
            return written;
        return real(file)->pMethods->xFileControl(real(file), op, arg);
    }
    int faultSectorSize(sqlite3_file* file) { return real(file)->pMethods->xSectorSize(real(file)); }
    int faultDeviceCharacteristics(sqlite3_file* file) { return real(file)->pMethods->xDeviceCharacteristics(real(file)); }
    int faultShmMap(sqlite3_file* file, int page, int size, int extend, void volatile** out)
    {
        return real(file)->pMethods->xShmMap(real(file), page, size, extend, out);
    }
    int faultShmLock(sqlite3_file* file, int offset, int n, int flags) { return real(file)->pMethods->xShmLock(real(file), offset, n, flags); }
    void faultShmBarrier(sqlite3_file* file) { real(file)->pMethods->xShmBarrier(real(file)); }
    int faultShmUnmap(sqlite3_file* file, int deleteFlag) { return real(file)->pMethods->xShmUnmap(real(file), deleteFlag); }
    // While a fault is armed, pages are not mapped, so that every read goes
    // through xRead where the faults are.
    int faultFetch(sqlite3_file* file, sqlite3_int64 offset, int amount, void** out)
    {
        if (FileFaults::armed()) {
            *out = nullptr;
            return SQLITE_OK;
        }
        return real(file)->pMethods->xFetch(real(file), offset, amount, out);
    }
    int faultUnfetch(sqlite3_file* file, sqlite3_int64 offset, void* page) { return real(file)->pMethods->xUnfetch(real(file), offset, page); }

    int faultOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags)
    {
        auto& ours = self(file);
        ours.base.pMethods = nullptr;
        ours.real = reinterpret_cast<sqlite3_file*>(&ours + 1);
        ours.path = nullptr;
        ours.held = nullptr;
        std::string path = name ? name : "";
        if (FileFaults::check((flags & SQLITE_OPEN_READWRITE) ? FileOperation::Open : FileOperation::Read, path))
            return SQLITE_CANTOPEN;
        int result = s_real->xOpen(s_real, name, ours.real, flags, outFlags);
        if (result != SQLITE_OK) {
            if (ours.real->pMethods)
                ours.real->pMethods->xClose(ours.real);
            return result;
        }
        ours.path = new std::string(std::move(path));
        if (flags & SQLITE_OPEN_WAL)
            ours.held = new HeldHeader;
        ours.base.pMethods = &s_methods;
        return SQLITE_OK;
    }

    int faultDelete(sqlite3_vfs*, const char* name, int syncDirectory) { return s_real->xDelete(s_real, name, syncDirectory); }
    int faultAccess(sqlite3_vfs*, const char* name, int flags, int* out) { return s_real->xAccess(s_real, name, flags, out); }
    int faultFullPathname(sqlite3_vfs*, const char* name, int size, char* out) { return s_real->xFullPathname(s_real, name, size, out); }
    void* faultDlOpen(sqlite3_vfs*, const char* name) { return s_real->xDlOpen(s_real, name); }
    void faultDlError(sqlite3_vfs*, int size, char* out) { s_real->xDlError(s_real, size, out); }
    void (*faultDlSym(sqlite3_vfs*, void* handle, const char* symbol))(void) { return s_real->xDlSym(s_real, handle, symbol); }
    void faultDlClose(sqlite3_vfs*, void* handle) { s_real->xDlClose(s_real, handle); }
    int faultRandomness(sqlite3_vfs*, int size, char* out) { return s_real->xRandomness(s_real, size, out); }
    int faultSleep(sqlite3_vfs*, int microseconds) { return s_real->xSleep(s_real, microseconds); }
    int faultCurrentTime(sqlite3_vfs*, double* out) { return s_real->xCurrentTime(s_real, out); }
    int faultGetLastError(sqlite3_vfs*, int size, char* out) { return s_real->xGetLastError ? s_real->xGetLastError(s_real, size, out) : 0; }
    int faultCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* out) { return s_real->xCurrentTimeInt64(s_real, out); }

    const char* registerVfs()
    {
        s_real = sqlite3_vfs_find(nullptr);
        if (!s_real)
            return nullptr;
        s_methods = {
            .iVersion = 3,
            .xClose = faultClose,
            .xRead = faultRead,
            .xWrite = faultWrite,
            .xTruncate = faultTruncate,
            .xSync = faultSync,
            .xFileSize = faultFileSize,
            .xLock = faultLock,
            .xUnlock = faultUnlock,
            .xCheckReservedLock = faultCheckReservedLock,
            .xFileControl = faultFileControl,
            .xSectorSize = faultSectorSize,
            .xDeviceCharacteristics = faultDeviceCharacteristics,
            .xShmMap = faultShmMap,
            .xShmLock = faultShmLock,
            .xShmBarrier = faultShmBarrier,
            .xShmUnmap = faultShmUnmap,
            .xFetch = faultFetch,
            .xUnfetch = faultUnfetch,
        };
        s_vfs = {
            .iVersion = 2,
            .szOsFile = static_cast<int>(sizeof(FaultFile)) + s_real->szOsFile,
            .mxPathname = s_real->mxPathname,
            .pNext = nullptr,
            .zName = "plv-faults",
            .pAppData = nullptr,
            .xOpen = faultOpen,
            .xDelete = faultDelete,
            .xAccess = faultAccess,
            .xFullPathname = faultFullPathname,
            .xDlOpen = faultDlOpen,
            .xDlError = faultDlError,
            .xDlSym = faultDlSym,
            .xDlClose = faultDlClose,
            .xRandomness = faultRandomness,
            .xSleep = faultSleep,
            .xCurrentTime = faultCurrentTime,
            .xGetLastError = faultGetLastError,
            .xCurrentTimeInt64 = faultCurrentTimeInt64,
            .xSetSystemCall = nullptr,
            .xGetSystemCall = nullptr,
            .xNextSystemCall = nullptr,
        };
        if (sqlite3_vfs_register(&s_vfs, 0) != SQLITE_OK)
            return nullptr;
        return s_vfs.zName;
    }

} // namespace

const char* faultableSqliteVfs()
{
    static const char* name = registerVfs();
    return name;
}

} // namespace foundation
