#include "MessageStore.h"
#include "MessageStoreParts.h"

#include "Schema.h"

#include <foundation/SqliteFileFaults.h>

#include <sqlite3.h>

namespace chatkit {

using namespace storeparts;

foundation::Result<std::unique_ptr<MessageStore>> MessageStore::open(const std::filesystem::path& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return foundation::Error("no Messages database at " + path.string());

    sqlite3* db = nullptr;
    bool readOnly = false;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, foundation::faultableSqliteVfs()) != SQLITE_OK) {
        sqlite3_close(db);
        db = nullptr;
        readOnly = true;
        if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, foundation::faultableSqliteVfs()) != SQLITE_OK) {
            std::string error = "cannot open " + path.string() + ": " + (db ? sqlite3_errmsg(db) : "out of memory");
            sqlite3_close(db);
            return foundation::Error(error);
        }
    }
    sqlite3_busy_timeout(db, 2000);
    registerReadFunction(db);
    std::unique_ptr<MessageStore> store(new MessageStore(db, path, readOnly));
    if (auto loaded = store->load(); !loaded)
        return loaded.error().prefixed(path.string() + ": ");
    return store;
}

MessageStore::MessageStore(sqlite3* db, std::filesystem::path path, bool readOnly)
    : m_db(db)
    , m_databasePath(std::move(path))
    , m_folder(m_databasePath.parent_path())
    , m_readOnly(readOnly)
    , m_prepared(db)
{
}

MessageStore::~MessageStore()
{
    m_selectOne = Statement();
    m_prepared.clear();
    sqlite3_close(m_db);
}

void MessageStore::setCheckpointScheduler(CheckpointScheduler scheduler)
{
    std::lock_guard guard(m_lock);
    m_scheduleCheckpoint = std::move(scheduler);
    // Replaces SQLite's own hook, the one that checkpoints inside commits.
    sqlite3_wal_hook(m_db, &MessageStore::walCommitted, this);
}

int MessageStore::walCommitted(void* context, sqlite3* db, const char* database, int pages)
{
    // Called inside a commit, with the store's lock held.
    auto* store = static_cast<MessageStore*>(context);
    if (pages >= ForcedCheckpointPages || (pages >= CheckpointPages && !store->m_scheduleCheckpoint)) {
        sqlite3_wal_checkpoint_v2(db, database, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
        store->m_checkpointScheduled = false;
    } else if (pages >= CheckpointPages && !store->m_checkpointScheduled) {
        store->m_checkpointScheduled = true;
        store->m_scheduleCheckpoint([weak = store->weak_from_this()] {
            if (auto kept = weak.lock())
                kept->checkpoint();
        });
    }
    return SQLITE_OK;
}

void MessageStore::checkpoint()
{
    std::lock_guard guard(m_lock);
    m_checkpointScheduled = false;
    sqlite3_wal_checkpoint_v2(m_db, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
}

bool MessageStore::hasMadridColumns() const { return m_hasColumn[IsMadrid] && m_hasColumn[MadridHandle]; }

std::optional<std::filesystem::path> MessageStore::hostPathFor(std::string_view devicePath, std::string_view relativeFolder) const
{
    std::string path(devicePath);
    if (std::string_view(path).starts_with("~/"))
        path = "/var/mobile/" + path.substr(2);
    if (std::string_view(path).starts_with("/private/var/"))
        path = path.substr(8);
    std::string relative;
    std::string folder = std::string(smsFolderDevicePath) + "/";
    if (std::string_view(path).starts_with(folder))
        relative = path.substr(folder.size());
    else if (!path.empty() && path[0] != '/')
        relative = std::string(relativeFolder) + "/" + path;
    else
        return std::nullopt;
    std::filesystem::path result = m_folder;
    for (const auto& component : std::filesystem::path(relative)) {
        if (component == ".." || component == ".")
            return std::nullopt;
        if (!component.empty())
            result /= component;
    }
    if (result == m_folder)
        return std::nullopt;
    return result;
}

StatementCache::Lease MessageStore::prepared(const std::string& sql) { return m_prepared.lease(sql); }

} // namespace chatkit
