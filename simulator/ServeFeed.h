// What the web server pushes to the pages that watch the phone: the latest
// screen (the snapshot with SpringBoard's state) and the latest panels
// (messages, outbox, the system's files), each as ready-made JSON text with a
// generation number that grows only when the text changes. The main run loop
// publishes after its turns; the server's threads wait for a generation newer
// than the one they last sent, so an unchanged screen costs nothing on the wire.
// The texts are shared, never copied, between the feed and every stream that
// sends them: the panels grow with the Messages database.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace simulator {

class ServeFeed {
public:
    enum class Channel {
        Screen,
        Panels,
    };

    struct Item {
        uint64_t generation { 0 };
        std::shared_ptr<const std::string> json { std::make_shared<const std::string>() };
    };

    // Answers whether the text differed from the last published one (and so
    // became a new generation).
    bool publish(Channel, std::string json);

    Item latest(Channel) const;
    // The sum of both generations: it grows whenever either channel does.
    uint64_t generation() const;

    // Waits until the sum of generations passes `seen`, the feed closes or
    // the time runs out; answers the sum (still `seen` on a timeout).
    uint64_t waitForNewer(uint64_t seen, std::chrono::milliseconds timeout) const;

    // Releases every waiter; they see `isClosed()`.
    void close();
    bool isClosed() const;

private:
    Item& item(Channel channel) { return channel == Channel::Screen ? m_screen : m_panels; }
    const Item& item(Channel channel) const { return channel == Channel::Screen ? m_screen : m_panels; }

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    Item m_screen;
    Item m_panels;
    bool m_closed { false };
};

} // namespace simulator
