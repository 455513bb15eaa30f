// SQLite's own file access, passed through the same fault seam as every other
// file of the phone (FileFaults.h): a database opened with this VFS has its
// opens, page writes, flushes and page reads checked first, so a test can give
// sms.db a full disk or a failing device with the same one-line fault it gives
// the preferences file. Unarmed, each call costs one relaxed atomic load on
// top of the platform's own VFS. The layer also writes each frame of a
// write-ahead log, header and page, in one call instead of two.
#pragma once

namespace foundation {

// The name to give sqlite3_open_v2 as its VFS; registered on first use.
const char* faultableSqliteVfs();

} // namespace foundation
