#include "Database.h"

#include "Configuration.h"
#include "Schema.h"

#include <foundation/DevicePath.h>
#include <foundation/RunLoop.h>

#include <mutex>

namespace chatkit {

namespace {

    // How long after the write that filled the log its checkpoint runs.
    constexpr double CheckpointDelaySeconds = 1.0;

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
        auto path = foundation::hostPath(smsDatabaseDevicePath);
        if (path.empty())
            return std::nullopt;
        return path;
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
    if (!result) {
        if (result.reason() != h.error)
            log(result.reason());
        h.error = result.reason();
        return nullptr;
    }
    h.error.clear();
    h.store = result.releaseValue();
    // Checkpoints wait for a quiet moment on the phone's loop rather than
    // stalling the write (a banner tap's, say) that fills the log.
    h.store->setCheckpointScheduler([](std::function<void()> checkpoint) {
        foundation::RunLoop::main().performAfter(CheckpointDelaySeconds, std::move(checkpoint));
    });
    return h.store;
}

std::string databaseError()
{
    // The reason of the attempt that just failed; trying again here would
    // only wait a second time for a database another process holds.
    {
        std::lock_guard guard(holder().lock);
        if (!holder().store && !holder().error.empty())
            return holder().error;
    }
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
