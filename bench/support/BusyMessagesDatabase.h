// Fills a fresh sms.db with the rows a busy phone holds: four fifths SMS
// spread over the conversations, one fifth iMessage, all read. Benchmarks of
// lookups and of the reply path measure against it. Big databases take a
// while to fill, so each shape is made once and kept in the build folder's
// cache; a benchmark that writes works on its own copy.
#pragma once

#include <chatkit/ChatKit.h>

#include <sqlite3.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <string_view>

namespace benchsupport {

struct BusyMessagesDatabase {
    int64_t messages { 100000 };
    int conversations { 200 };
    // The SMS address of conversation 1…conversations.
    std::function<std::string(int)> smsAddress;
    // The iMessage handle of conversation 1…conversations.
    std::function<std::string(int)> iMessageHandle;
};

inline void fillBusyMessagesDatabase(const std::filesystem::path& path, const BusyMessagesDatabase& shape)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    chatkit::registerReadFunction(db);
    // Filling goes faster with a rollback journal; the phone's own
    // write-ahead log comes back afterwards.
    sqlite3_exec(db, "PRAGMA journal_mode = DELETE; BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* group = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO msg_group (type, newest_message, unread_count, hash) VALUES (0, 0, 0, ?)", -1, &group, nullptr);
    sqlite3_stmt* member = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO group_member (group_id, address) VALUES (?, ?)", -1, &member, nullptr);
    for (int g = 1; g <= shape.conversations; ++g) {
        sqlite3_bind_int(group, 1, g);
        sqlite3_step(group);
        sqlite3_reset(group);
        std::string address = shape.smsAddress(g);
        sqlite3_bind_int(member, 1, g);
        sqlite3_bind_text(member, 2, address.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(member);
        sqlite3_reset(member);
    }
    sqlite3_stmt* sms = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO message (address, date, text, flags, group_id, read, is_madrid) VALUES (?, ?, ?, ?, ?, 1, 0)", -1, &sms, nullptr);
    sqlite3_stmt* im = nullptr;
    sqlite3_prepare_v2(db,
        "INSERT INTO message (date, text, flags, read, is_madrid, madrid_handle, madrid_guid, madrid_flags, madrid_account_guid) "
        "VALUES (?, ?, 0, 1, 1, ?, ?, ?, 'ACCOUNT')",
        -1, &im, nullptr);
    std::mt19937 random(42);
    for (int64_t i = 0; i < shape.messages; ++i) {
        int g = 1 + static_cast<int>(random() % static_cast<unsigned>(shape.conversations));
        std::string text = "Messaggio numero " + std::to_string(i) + ", su qualcosa successo oggi.";
        if (i % 5 == 4) {
            std::string handle = shape.iMessageHandle(g);
            std::string guid = "00000000-0000-4000-8000-" + std::to_string(100000000000 + i);
            sqlite3_bind_int64(im, 1, 351692800 + i);
            sqlite3_bind_text(im, 2, text.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(im, 3, handle.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(im, 4, guid.c_str(), -1, SQLITE_TRANSIENT);
            // Received and sent, alternately.
            sqlite3_bind_int(im, 5, i % 2 ? 12289 : 36869);
            sqlite3_step(im);
            sqlite3_reset(im);
        } else {
            std::string address = shape.smsAddress(g);
            sqlite3_bind_text(sms, 1, address.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int64(sms, 2, 1330000000 + i);
            sqlite3_bind_text(sms, 3, text.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(sms, 4, i % 2 ? 2 : 3);
            sqlite3_bind_int(sms, 5, g);
            sqlite3_step(sms);
            sqlite3_reset(sms);
        }
    }
    sqlite3_finalize(group);
    sqlite3_finalize(member);
    sqlite3_finalize(sms);
    sqlite3_finalize(im);
    sqlite3_exec(db, "COMMIT; PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// The cached database of `shape` (made now when the cache lacks it). It is
// filled under a temporary name and renamed when complete, so a run cut
// short never leaves a half-filled database in the cache. Only readers may
// open it in place.
inline std::filesystem::path cachedBusyMessagesDatabase(const BusyMessagesDatabase& shape, std::string_view name)
{
    std::filesystem::path folder = PLV_BENCH_CACHE_DIR;
    auto path = folder / ("sms-" + std::string(name) + "-" + std::to_string(shape.messages) + ".db");
    if (std::filesystem::exists(path))
        return path;
    std::filesystem::create_directories(folder);
    auto partial = path;
    partial += ".partial";
    std::filesystem::remove(partial);
    if (!chatkit::createDatabase(partial))
        std::abort();
    fillBusyMessagesDatabase(partial, shape);
    std::filesystem::rename(partial, path);
    return path;
}

// A private copy of the cached database at `target`, for benchmarks that write.
inline void copyBusyMessagesDatabase(const BusyMessagesDatabase& shape, std::string_view name, const std::filesystem::path& target)
{
    auto source = cachedBusyMessagesDatabase(shape, name);
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file(source, target, std::filesystem::copy_options::overwrite_existing);
}

} // namespace benchsupport
