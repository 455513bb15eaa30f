// `plv-sim serve`: the phone in a browser. An HTTP server on a loopback
// address hands the page its files, the device's pictures and the phone's
// state, and runs the steps the page sends (the same vocabulary as scenario
// files, through ScenarioRunner). The phone's state is touched only on its
// main run loop: request threads carry each step over and wait for it, and
// after every turn of the loop that changed the screen the new state is
// pushed to the open pages as a server-sent event.
//
// Requests that make no sense are answered, never fatal: a body that is not
// JSON, an unknown step or one with missing or mistyped fields gets 400 and
// the phone is not touched; a step the phone refuses (no such view on
// screen) gets 409; a body over the limit gets 413.
#pragma once

#include "ProductInstall.h"
#include "ServeFeed.h"

#include <foundation/Result.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace phone {
class Phone;
}

namespace simulator {

struct ServeOptions {
    // Loopback only, unless allowRemote says otherwise.
    std::string bindAddress { "127.0.0.1" };
    bool allowRemote { false };
    // 0 takes any free port.
    int port { 8080 };
    // The page's own files (index.html, the scripts and styles).
    std::filesystem::path webRoot;
    size_t maxRequestBody { 64 * 1024 };
    // Every open connection holds a thread of its own (an idle keep-alive
    // page, an event stream, a client halfway through its request); past
    // this many, new connections wait for one to close.
    size_t maxConnectionThreads { 256 };
    // A client that has sent part of a request and then nothing for this
    // long is dropped: on loopback a request arrives at once.
    std::chrono::milliseconds requestReadTimeout { 1000 };
    // Each open page holds a thread for its event stream.
    int maxEventStreams { 64 };
    // A change goes to each page as soon as it comes after a quiet spell;
    // changes close behind it are gathered: the screen's into one per frame
    // the page can draw, the panels' (which grow with the Messages database)
    // into one per panelsPace.
    std::chrono::milliseconds screenPace { 16 };
    std::chrono::milliseconds panelsPace { 250 };
    // On the real clock an `advance` step makes its request wait that long;
    // the page has no business waiting longer than this.
    double maximumAdvance { 60 };
    // Another choice of extensions from the page: installs it, so that the
    // phone reboots with it once the server has stopped, or answers why it
    // could not. Without one the page cannot change the choice.
    std::function<foundation::Result<void>(const ExtensionChoice&)> changeExtensions;
};

bool isLoopbackAddress(std::string_view);

class PhoneServer {
public:
    // On the phone's main thread: checks the options, binds the port and
    // starts answering. The phone's run loop must then be turned (run()).
    static foundation::Result<std::unique_ptr<PhoneServer>> start(phone::Phone&, ServeOptions);
    // A server reached only through answer(): nothing is bound, no thread
    // listens and the pages are not fed between requests. For tests and the
    // fuzzer, on the phone's main thread.
    static std::unique_ptr<PhoneServer> unbound(phone::Phone&, ServeOptions);

    // One HTTP request as its raw bytes, answered on the calling thread as a
    // connection would have it answered (the server's own request parser,
    // routes and error answers), and the raw response. The connection closes
    // after it; an event stream answers its first events only.
    std::string answer(std::string_view request);

    // On the main thread. Stops answering and waits for the requests in
    // flight, turning the run loop meanwhile so none of them waits forever.
    ~PhoneServer();
    PhoneServer(const PhoneServer&) = delete;
    PhoneServer& operator=(const PhoneServer&) = delete;

    int port() const { return m_port; }
    // "http://127.0.0.1:8080/"
    std::string address() const;

    // Turns the phone's main run loop until stop(); on the main thread.
    void run();
    // From any thread, a signal-watching one included.
    void stop();

    const ServeFeed& feed() const { return m_feed; }

private:
    // `onSocket`: whether it will answer connections (start) or only answer() (unbound).
    PhoneServer(phone::Phone&, ServeOptions, bool onSocket);
    struct Http;

    void installRoutes();
    // After each turn of the main run loop.
    void turnEnded();
    void publishScreen();
    void publishPanels();

    phone::Phone& m_phone;
    ServeOptions m_options;
    std::unique_ptr<Http> m_http;
    ServeFeed m_feed;
    std::thread m_listener;
    std::atomic<bool> m_listenerDone { false };
    std::atomic<bool> m_stopping { false };
    std::atomic<bool> m_panelsDirty { true };
    std::atomic<int> m_eventStreams { 0 };
    // Steps run one after another, in the order they arrived.
    std::mutex m_stepMutex;
    int m_port { 0 };
    bool m_inObserver { false };
    // On the main thread: loop work that only published (it changed nothing
    // on the phone), and the loop's other work counted when the screen in
    // the feed was taken.
    uint64_t m_ownWork { 0 };
    std::optional<uint64_t> m_screenTakenAt;
    bool m_panelsTurnAsked { false };
    double m_lastPanels { -1 };
};

} // namespace simulator
