#include "NotificationCenter.h"

#include "RunLoop.h"
#include "SystemLog.h"

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <fmt/format.h>
#include <fstream>
#include <poll.h>
#include <random>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace foundation {

// MARK: Darwin centre, in-process

struct NotificationCenter::State {
    struct Observer {
        std::string name;
        std::shared_ptr<const Callback> callback;
    };
    mutable std::mutex mutex;
    std::map<Token, Observer> observers; // tokens grow, so map order is registration order
    Token nextToken { 1 };
};

NotificationCenter& NotificationCenter::darwin()
{
    // Never destroyed: its reader thread and queued deliveries may outlive static destruction.
    static auto* center = new NotificationCenter;
    return *center;
}

NotificationCenter::NotificationCenter()
    : m_state(std::make_shared<State>())
{
}

NotificationCenter::~NotificationCenter() { disconnect(); }

NotificationCenter::Token NotificationCenter::addObserver(std::string name, Callback callback)
{
    std::lock_guard guard(m_state->mutex);
    Token token = m_state->nextToken++;
    m_state->observers.emplace(token, State::Observer { std::move(name), std::make_shared<const Callback>(std::move(callback)) });
    return token;
}

void NotificationCenter::removeObserver(Token token)
{
    std::shared_ptr<const Callback> released; // destroyed after the lock is released
    std::lock_guard guard(m_state->mutex);
    if (auto it = m_state->observers.find(token); it != m_state->observers.end()) {
        released = std::move(it->second.callback);
        m_state->observers.erase(it);
    }
}

size_t NotificationCenter::observerCount() const
{
    std::lock_guard guard(m_state->mutex);
    return m_state->observers.size();
}

void NotificationCenter::post(std::string_view name)
{
    std::string text(name);
    std::weak_ptr<State> state = m_state;
    RunLoop::main().performOnMain([state, text] { deliver(state, text); });
    sendToPeers(name);
}

void NotificationCenter::deliver(const std::weak_ptr<State>& weakState, const std::string& name)
{
    auto state = weakState.lock();
    if (!state)
        return;
    std::vector<std::pair<Token, std::shared_ptr<const Callback>>> recipients;
    {
        std::lock_guard guard(state->mutex);
        for (const auto& [token, observer] : state->observers) {
            if (observer.name == name)
                recipients.emplace_back(token, observer.callback);
        }
    }
    for (const auto& [token, boundCallback] : recipients) {
        // clang 14 (the fuzz build) lets no lambda capture a structured binding.
        const auto& callback = boundCallback;
        {
            std::lock_guard guard(state->mutex);
            if (!state->observers.contains(token))
                continue; // removed by an earlier observer of this post
        }
        if (*callback)
            callReportingExceptions("notification observer", [&] { (*callback)(name); });
    }
}

// MARK: Darwin centre, across processes

namespace {

    constexpr std::string_view MarkerPrefix = "plvnotify-";
    constexpr std::string_view Magic = "PLVN1 ";

    bool abstractAddress(std::string_view endpoint, sockaddr_un& address, socklen_t& length)
    {
        std::memset(&address, 0, sizeof address);
        address.sun_family = AF_UNIX;
        if (endpoint.size() + 1 > sizeof address.sun_path)
            return false;
        // A leading NUL puts the name in the abstract namespace: no file, gone with the process.
        std::memcpy(address.sun_path + 1, endpoint.data(), endpoint.size());
        length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + endpoint.size());
        return true;
    }

    std::string freshEndpointName()
    {
        std::random_device device;
        uint64_t nonce = (static_cast<uint64_t>(device()) << 32) | device();
        return fmt::format("{}{}-{:016x}", MarkerPrefix, static_cast<long>(::getpid()), nonce);
    }

} // namespace

struct NotificationCenter::Link {
    int socket { -1 };
    int wakeFd { -1 };
    std::thread reader;
    std::filesystem::path folder;
    std::string endpoint;

    ~Link()
    {
        if (reader.joinable()) {
            uint64_t one = 1;
            [[maybe_unused]] auto written = ::write(wakeFd, &one, sizeof one);
            reader.join();
        }
        if (socket >= 0)
            ::close(socket);
        if (wakeFd >= 0)
            ::close(wakeFd);
        if (!folder.empty()) {
            std::error_code error;
            std::filesystem::remove(folder / endpoint, error);
        }
    }
};

namespace {

    void readDatagrams(int socket, int wakeFd, const std::function<void(std::string)>& received)
    {
        std::vector<char> buffer(Magic.size() + NotificationCenter::MaximumNameLength + 1);
        while (true) {
            pollfd fds[2] = { { socket, POLLIN, 0 }, { wakeFd, POLLIN, 0 } };
            int ready = ::poll(fds, 2, -1);
            if (ready < 0) {
                if (errno == EINTR)
                    continue;
                return;
            }
            if (fds[1].revents)
                return;
            if (!(fds[0].revents & POLLIN))
                continue;
            ssize_t size = ::recv(socket, buffer.data(), buffer.size(), MSG_DONTWAIT | MSG_TRUNC);
            if (size < 0)
                continue;
            // Anyone on the machine can write to the socket: take only well-formed names.
            if (static_cast<size_t>(size) > buffer.size() || static_cast<size_t>(size) <= Magic.size())
                continue;
            std::string_view datagram(buffer.data(), static_cast<size_t>(size));
            if (!datagram.starts_with(Magic))
                continue;
            std::string_view name = datagram.substr(Magic.size());
            if (name.find('\0') != std::string_view::npos)
                continue;
            received(std::string(name));
        }
    }

} // namespace

bool NotificationCenter::connect(const std::filesystem::path& hostFolder)
{
    disconnect();
    auto link = std::make_unique<Link>();
    std::error_code error;
    std::filesystem::create_directories(hostFolder, error);
    if (!std::filesystem::is_directory(hostFolder, error)) {
        NSLog(fmt::format("notifications: cannot use folder {}", hostFolder.string()));
        return false;
    }
    link->socket = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    link->wakeFd = ::eventfd(0, EFD_CLOEXEC);
    link->endpoint = freshEndpointName();
    sockaddr_un address;
    socklen_t length = 0;
    if (link->socket < 0 || link->wakeFd < 0 || !abstractAddress(link->endpoint, address, length)
        || ::bind(link->socket, reinterpret_cast<sockaddr*>(&address), length) != 0) {
        NSLog(fmt::format("notifications: cannot open a socket: {}", std::strerror(errno)));
        return false;
    }
    {
        std::ofstream marker(hostFolder / link->endpoint);
        if (!marker) {
            NSLog(fmt::format("notifications: cannot write a marker in {}", hostFolder.string()));
            return false;
        }
        marker << ::getpid() << '\n';
    }
    link->folder = hostFolder;
    std::weak_ptr<State> state = m_state;
    link->reader = std::thread(readDatagrams, link->socket, link->wakeFd, [state](std::string name) {
        RunLoop::main().performOnMain([state, name = std::move(name)] { deliver(state, name); });
    });
    std::lock_guard guard(m_linkMutex);
    m_link = std::move(link);
    return true;
}

void NotificationCenter::disconnect()
{
    std::unique_ptr<Link> link;
    {
        std::lock_guard guard(m_linkMutex);
        link = std::move(m_link);
    }
    // The link's destructor stops and joins the reader outside the lock.
}

bool NotificationCenter::isConnected() const
{
    std::lock_guard guard(m_linkMutex);
    return m_link != nullptr;
}

void NotificationCenter::sendToPeers(std::string_view name)
{
    std::lock_guard guard(m_linkMutex);
    if (!m_link)
        return;
    if (name.size() > MaximumNameLength || name.find('\0') != std::string_view::npos) {
        NSLog(fmt::format("notifications: name too long to cross processes: {}", name.substr(0, 64)));
        return;
    }
    std::string datagram = std::string(Magic) + std::string(name);
    std::error_code error;
    std::vector<std::string> stale;
    for (std::filesystem::directory_iterator it(m_link->folder, error), end; !error && it != end; it.increment(error)) {
        std::string peer = it->path().filename().string();
        if (!peer.starts_with(MarkerPrefix) || peer == m_link->endpoint)
            continue;
        sockaddr_un address;
        socklen_t length = 0;
        if (!abstractAddress(peer, address, length))
            continue;
        ssize_t sent = ::sendto(m_link->socket, datagram.data(), datagram.size(), MSG_DONTWAIT | MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&address), length);
        if (sent >= 0)
            continue;
        if (errno == ECONNREFUSED || errno == ENOENT)
            stale.push_back(peer);
        else if (errno == EAGAIN || errno == EWOULDBLOCK)
            NSLog(fmt::format("notifications: {} not delivered to {}: its queue is full", name, peer));
    }
    for (const auto& peer : stale)
        std::filesystem::remove(m_link->folder / peer, error);
}

// MARK: NSNotificationCenter

void NSNotification::registerMethods(runtime::ClassBuilder<NSNotification>& b)
{
    b.method("name", [](NSNotification& self) -> std::string { return self.m_name; });
    b.method("object", [](NSNotification& self) -> runtime::Id { return self.m_object; });
}

void NSNotificationCenter::registerMethods(runtime::ClassBuilder<NSNotificationCenter>& b)
{
    b.classMethod("defaultCenter", [](runtime::Class&) -> runtime::Id { return defaultCenter(); });
    b.method<&NSNotificationCenter::addObserver>("addObserver:selector:name:object:");
    b.method<&NSNotificationCenter::removeObserver>("removeObserver:");
    b.method<&NSNotificationCenter::removeObserverForName>("removeObserver:name:object:");
    b.method<&NSNotificationCenter::postNotificationName>("postNotificationName:object:");
}

runtime::Ref<NSNotificationCenter> NSNotificationCenter::defaultCenter()
{
    static auto* center = new runtime::Ref<NSNotificationCenter>(runtime::make<NSNotificationCenter>());
    return *center;
}

void NSNotificationCenter::addObserver(const runtime::Id& observer, const runtime::Sel& selector, const std::string& name, const runtime::Id& object)
{
    if (!observer || selector.isNull())
        return;
    std::lock_guard guard(m_mutex);
    m_registrations.push_back({ observer, selector, name, object, !object, m_nextId++ });
}

void NSNotificationCenter::removeObserver(const runtime::Id& observer)
{
    removeObserverForName(observer, {}, nullptr);
}

void NSNotificationCenter::removeObserverForName(const runtime::Id& observer, const std::string& name, const runtime::Id& object)
{
    std::vector<Registration> removed; // released outside the lock
    std::lock_guard guard(m_mutex);
    std::erase_if(m_registrations, [&](Registration& registration) {
        auto registered = registration.observer.lock();
        bool gone = !registered;
        bool matches = registered == observer && (name.empty() || registration.name == name)
            && (!object || registration.object.lock() == object);
        if (gone || matches) {
            removed.push_back(std::move(registration));
            return true;
        }
        return false;
    });
}

void NSNotificationCenter::postNotificationName(const std::string& name, const runtime::Id& object)
{
    std::vector<Registration> snapshot;
    {
        std::lock_guard guard(m_mutex);
        snapshot = m_registrations;
    }
    runtime::Ref<NSNotification> notification;
    for (const auto& registration : snapshot) {
        if (!registration.name.empty() && registration.name != name)
            continue;
        if (!registration.anyObject && registration.object.lock() != object)
            continue;
        auto observer = registration.observer.lock();
        if (!observer)
            continue;
        {
            // Skip an observer that an earlier one removed during this post.
            std::lock_guard guard(m_mutex);
            bool stillRegistered = std::any_of(m_registrations.begin(), m_registrations.end(), [&](const Registration& r) { return r.id == registration.id; });
            if (!stillRegistered)
                continue;
        }
        runtime::Sel selector = registration.selector;
        if (selector.argumentCount() == 0) {
            runtime::send<void>(observer, selector);
            continue;
        }
        if (!notification) {
            notification = runtime::make<NSNotification>();
            notification->m_name = name;
            notification->m_object = object;
        }
        runtime::send<void>(observer, selector, runtime::Id(notification));
    }
}

void registerNotificationClasses()
{
    NSNotification::classObject();
    NSNotificationCenter::classObject();
}

} // namespace foundation

// MARK: The C spellings

namespace {

struct CRegistration {
    CFNotificationCenterRef center;
    const void* observer;
    std::string name;
    foundation::NotificationCenter::Token token;
};

std::mutex& cRegistrationsMutex()
{
    static auto* mutex = new std::mutex;
    return *mutex;
}

std::vector<CRegistration>& cRegistrations()
{
    static auto* registrations = new std::vector<CRegistration>;
    return *registrations;
}

template <class Predicate>
void removeCRegistrations(Predicate matches)
{
    std::vector<CRegistration> removed;
    {
        std::lock_guard guard(cRegistrationsMutex());
        std::erase_if(cRegistrations(), [&](const CRegistration& registration) {
            if (!matches(registration))
                return false;
            removed.push_back(registration);
            return true;
        });
    }
    for (const auto& registration : removed)
        registration.center->removeObserver(registration.token);
}

} // namespace

CFNotificationCenterRef CFNotificationCenterGetDarwinNotifyCenter() { return &foundation::NotificationCenter::darwin(); }

void CFNotificationCenterAddObserver(CFNotificationCenterRef center, const void* observer, CFNotificationCallback callback, CFStringRef name, const void*, CFNotificationSuspensionBehavior)
{
    if (!center || !callback || name.empty())
        return;
    auto token = center->addObserver(std::string(name), [center, observer, callback](const std::string& posted) {
        callback(center, const_cast<void*>(observer), posted, nullptr, nullptr);
    });
    std::lock_guard guard(cRegistrationsMutex());
    cRegistrations().push_back({ center, observer, std::string(name), token });
}

void CFNotificationCenterRemoveObserver(CFNotificationCenterRef center, const void* observer, CFStringRef name, const void*)
{
    removeCRegistrations([&](const CRegistration& registration) {
        return registration.center == center && registration.observer == observer && (name.empty() || registration.name == name);
    });
}

void CFNotificationCenterRemoveEveryObserver(CFNotificationCenterRef center, const void* observer)
{
    removeCRegistrations([&](const CRegistration& registration) {
        return registration.center == center && registration.observer == observer;
    });
}

void CFNotificationCenterPostNotification(CFNotificationCenterRef center, CFStringRef name, const void*, CFDictionaryRef, bool)
{
    if (center && !name.empty())
        center->post(name);
}

uint32_t notify_post(const char* name)
{
    if (!name || !*name)
        return NOTIFY_STATUS_INVALID_NAME;
    foundation::NotificationCenter::darwin().post(name);
    return NOTIFY_STATUS_OK;
}
