#include "Database.h"

#include "Configuration.h"
#include "Schema.h"

#include <mutex>

#if defined(PLV_CHATKIT_HAS_FOUNDATION) && __has_include(<foundation/DevicePath.h>)
#include <foundation/DevicePath.h>
#define PLV_CHATKIT_DEVICE_PATHS 1
#endif

namespace chatkit {

namespace {

    struct Holder {
        std::mutex lock;
        std::shared_ptr<MessageStore> store;
        std::optional<std::filesystem::path> explicitPath;
        std::string error;
    };

    Holder& holder()
    {
        static auto* h = new Holder;
        return *h;
    }

    std::optional<std::filesystem::path> devicePath()
    {
#ifdef PLV_CHATKIT_DEVICE_PATHS
        return foundation::hostPath(smsDatabaseDevicePath);
#else
        return std::nullopt;
#endif
    }

} // namespace

std::shared_ptr<MessageStore> sharedStore()
{
    auto& h = holder();
    std::lock_guard guard(h.lock);
    if (h.store)
        return h.store;
    auto path = h.explicitPath ? h.explicitPath : devicePath();
    if (!path) {
        h.error = "no device root to find the Messages database in";
        return nullptr;
    }
    auto result = MessageStore::open(*path);
    if (!result.store) {
        if (result.error != h.error)
            log(result.error);
        h.error = result.error;
        return nullptr;
    }
    h.error.clear();
    h.store = std::move(result.store);
    return h.store;
}

std::string databaseError()
{
    sharedStore();
    std::lock_guard guard(holder().lock);
    return holder().error;
}

void useDatabase(std::filesystem::path hostPath)
{
    auto& h = holder();
    std::lock_guard guard(h.lock);
    h.store.reset();
    h.error.clear();
    h.explicitPath = std::move(hostPath);
}

void useDeviceDatabase()
{
    auto& h = holder();
    std::lock_guard guard(h.lock);
    h.store.reset();
    h.error.clear();
    h.explicitPath.reset();
}

void closeDatabase()
{
    auto& h = holder();
    std::lock_guard guard(h.lock);
    h.store.reset();
}

} // namespace chatkit
