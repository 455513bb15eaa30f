#include "ServeFeed.h"

namespace simulator {

bool ServeFeed::publish(Channel channel, std::string json)
{
    {
        std::lock_guard lock(m_mutex);
        Item& current = item(channel);
        if (current.generation > 0 && *current.json == json)
            return false;
        current.json = std::make_shared<const std::string>(std::move(json));
        ++current.generation;
    }
    m_changed.notify_all();
    return true;
}

ServeFeed::Item ServeFeed::latest(Channel channel) const
{
    std::lock_guard lock(m_mutex);
    return item(channel);
}

uint64_t ServeFeed::generation() const
{
    std::lock_guard lock(m_mutex);
    return m_screen.generation + m_panels.generation;
}

uint64_t ServeFeed::waitForNewer(uint64_t seen, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, timeout, [&] { return m_closed || m_screen.generation + m_panels.generation > seen; });
    return m_screen.generation + m_panels.generation;
}

void ServeFeed::close()
{
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
    }
    m_changed.notify_all();
}

bool ServeFeed::isClosed() const
{
    std::lock_guard lock(m_mutex);
    return m_closed;
}

} // namespace simulator
