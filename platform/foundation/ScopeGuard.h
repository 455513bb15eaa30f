// Runs a piece of cleanup when the scope that made it ends, however it ends:
// an early return, the end of the block, or an exception unwinding through.
// `cancel()` keeps the cleanup from running once the work it would undo has
// succeeded, which is how a function cleans up only on failure.
#pragma once

#include <utility>

namespace foundation {

template <typename Callback>
class [[nodiscard]] ScopeGuard {
public:
    explicit ScopeGuard(Callback callback)
        : m_callback(std::move(callback))
    {
    }

    ~ScopeGuard()
    {
        if (m_armed)
            m_callback();
    }

    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;
    ScopeGuard(ScopeGuard&&) = delete;
    ScopeGuard& operator=(ScopeGuard&&) = delete;

    void cancel() { m_armed = false; }

private:
    Callback m_callback;
    bool m_armed { true };
};

} // namespace foundation
