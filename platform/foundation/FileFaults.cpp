#include "FileFaults.h"

#include <atomic>
#include <mutex>

namespace foundation {

namespace {

    struct FaultState {
        std::atomic<bool> armed { false };
        std::mutex lock;
        FileFault fault;
        uint32_t seen { 0 };
        uint32_t failed { 0 };
    };

    FaultState& state()
    {
        static auto* s = new FaultState;
        return *s;
    }

} // namespace

void FileFaults::arm(FileFault fault)
{
    auto& s = state();
    std::lock_guard guard(s.lock);
    s.fault = std::move(fault);
    s.seen = 0;
    s.failed = 0;
    s.armed.store(true, std::memory_order_release);
}

void FileFaults::disarm()
{
    auto& s = state();
    std::lock_guard guard(s.lock);
    s.armed.store(false, std::memory_order_release);
    s.fault = {};
}

bool FileFaults::armed() { return state().armed.load(std::memory_order_relaxed); }

uint32_t FileFaults::failuresInjected()
{
    auto& s = state();
    std::lock_guard guard(s.lock);
    return s.failed;
}

int FileFaults::check(FileOperation operation, const std::filesystem::path& path)
{
    auto& s = state();
    if (!s.armed.load(std::memory_order_relaxed))
        return 0;
    std::lock_guard guard(s.lock);
    if (!s.armed.load(std::memory_order_relaxed) || s.fault.operation != operation)
        return 0;
    if (!s.fault.pathPart.empty() && path.native().find(s.fault.pathPart) == std::string::npos)
        return 0;
    ++s.seen;
    if (s.seen < s.fault.nth)
        return 0;
    if (s.fault.times != FileFault::Always && s.seen - s.fault.nth >= s.fault.times)
        return 0;
    ++s.failed;
    return s.fault.error;
}

bool FileFaults::partialWrite()
{
    auto& s = state();
    std::lock_guard guard(s.lock);
    return s.fault.partialWrite;
}

} // namespace foundation
