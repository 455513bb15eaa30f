#include "Serve.h"

#include "DemoConversations.h"
#include "DemoPictures.h"
#include "DemoRecipients.h"
#include "Dump.h"
#include "ScenarioRunner.h"
#include "ServeAnswers.h"
#include "ServeFiles.h"
#include "ServeThreads.h"

#include <addressbook/DemoContacts.h>
#include <chatkit/ChatKit.h>
#include <foundation/DevicePath.h>
#include <foundation/RunLoop.h>
#include <foundation/RunLoopActivity.h>
#include <phone/Phone.h>
#include <springboard/SBApplicationController.h>

#include <httplib.h>

#include <algorithm>
#include <set>
#include <sys/socket.h>

namespace simulator {

using nlohmann::json;

namespace {

    // The panels show the end of a log, which is where a person looks.
    constexpr size_t LogTail = 16 * 1024;
    constexpr double PanelInterval = 1.0;
    constexpr double PanelsAfterStep = 0.1;
    // The panels show the newest rows of sms.db: a database copied from a
    // phone may hold a hundred thousand, and every page would be sent all
    // of them after every step.
    constexpr size_t PanelMessages = 500;
    // Connections the kernel holds for the server before it accepts them.
    constexpr int ConnectionBacklog = 128;
    // Requests one kept-alive connection may carry before the server closes it.
    constexpr size_t KeepAliveRequests = 10000;

    json vocabularyJSON()
    {
        static constexpr const char* typeNames[] = { "string", "number", "integer", "velocity", "scalar" };
        json steps = json::array();
        for (const auto& step : ScenarioRunner::vocabulary()) {
            json fields = json::array();
            for (const auto& field : step.fields) {
                fields.push_back({
                    { "name", field.name },
                    { "type", typeNames[static_cast<int>(field.type)] },
                    { "required", field.presence == Presence::Required },
                    { "help", field.help },
                });
            }
            steps.push_back({ { "step", step.name }, { "help", step.help }, { "fields", fields } });
        }
        return steps;
    }

    // The demo people the page offers as senders: the favourites with their
    // names, then everyone the seeded conversations came from.
    json demoContactsJSON()
    {
        json contacts = json::array();
        std::set<std::string> seen;
        auto favorites = demoFavorites();
        if (auto* dictionary = favorites.asDictionary()) {
            for (const auto& [number, name] : *dictionary) {
                if (seen.insert(number).second)
                    contacts.push_back({ { "address", number }, { "name", name.stringValue() } });
            }
        }
        for (const auto& message : demoConversations()) {
            if (!message.outgoing && seen.insert(message.address).second)
                contacts.push_back({ { "address", message.address }, { "name", nullptr } });
        }
        // Mail comes from the people of the demo Address Book who have an
        // e-mail address, each from the first one.
        for (const auto& person : addressbook::demoContacts(addressbook::demoContactsFixedCount(), 0)) {
            if (person.emails.empty() || !person.emails.front().value || !seen.insert(*person.emails.front().value).second)
                continue;
            std::string name = person.first.value_or("");
            if (person.last)
                name += (name.empty() ? "" : " ") + *person.last;
            contacts.push_back({ { "address", *person.emails.front().value }, { "name", name.empty() ? json(nullptr) : json(name) } });
        }
        return contacts;
    }

    std::string tailOf(const std::string& text)
    {
        if (text.size() <= LogTail)
            return text;
        size_t start = text.size() - LogTail;
        // Start on a whole line, and never inside a UTF-8 sequence.
        size_t newline = text.find('\n', start);
        if (newline != std::string::npos && newline + 1 < text.size())
            start = newline + 1;
        while (start < text.size() && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
            ++start;
        return text.substr(start);
    }

} // namespace

bool isLoopbackAddress(std::string_view address)
{
    return address == "localhost" || address == "::1" || address.starts_with("127.");
}

namespace {

    // The server's own handling of a connection, offered for one request
    // that is not on a socket.
    class Server : public httplib::Server {
    public:
        bool answer(httplib::Stream& stream)
        {
            bool closed = false;
            return process_request(stream, true, closed, [](httplib::Request&) {});
        }
    };

    // A connection held in memory: the request's bytes in, the response's
    // out. Like a client that goes away after the first events of a stream,
    // it stops taking bytes once part of a body has arrived after the headers.
    class MemoryStream : public httplib::Stream {
    public:
        explicit MemoryStream(std::string_view request)
            : m_request(request)
        {
        }

        bool is_readable() const override { return m_read < m_request.size(); }
        bool is_writable() const override
        {
            auto headersEnd = m_response.find("\r\n\r\n");
            return headersEnd == std::string::npos || m_response.size() == headersEnd + 4;
        }
        ssize_t read(char* buffer, size_t size) override
        {
            size_t count = std::min(size, m_request.size() - m_read);
            std::copy_n(m_request.data() + m_read, count, buffer);
            m_read += count;
            return static_cast<ssize_t>(count);
        }
        ssize_t write(const char* bytes, size_t size) override
        {
            m_response.append(bytes, size);
            return static_cast<ssize_t>(size);
        }
        void get_remote_ip_and_port(std::string& ip, int& port) const override
        {
            ip = "127.0.0.1";
            port = 0;
        }
        void get_local_ip_and_port(std::string& ip, int& port) const override
        {
            ip = "127.0.0.1";
            port = 0;
        }
        socket_t socket() const override { return INVALID_SOCKET; }

        std::string takeResponse() { return std::move(m_response); }

    private:
        std::string_view m_request;
        size_t m_read { 0 };
        std::string m_response;
    };

} // namespace

struct PhoneServer::Http {
    explicit Http(ServeAnswers::Compression compression)
        : answers(compression)
    {
    }

    Server server;
    ServeAnswers answers;
    runtime::Ref<foundation::Timer> panelTimer;
};

namespace {

    // Compressing costs the machine that runs the phone and saves nothing on
    // a loopback connection.
    ServeAnswers::Compression compressionFor(const ServeOptions& options, bool onSocket)
    {
        if (!onSocket)
            return ServeAnswers::Compression::AsRequested;
        return isLoopbackAddress(options.bindAddress) ? ServeAnswers::Compression::Never : ServeAnswers::Compression::LargeBodies;
    }

} // namespace

PhoneServer::PhoneServer(phone::Phone& phone, ServeOptions options, bool onSocket)
    : m_phone(phone)
    , m_options(std::move(options))
    , m_http(std::make_unique<Http>(compressionFor(m_options, onSocket)))
{
}

foundation::Result<std::unique_ptr<PhoneServer>> PhoneServer::start(phone::Phone& phone, ServeOptions options)
{
    if (!isLoopbackAddress(options.bindAddress) && !options.allowRemote)
        return foundation::Error("refusing to serve the phone on " + options.bindAddress + ": anyone who reaches it could drive the phone and read its pictures; pass --allow-remote to mean it");
    if (options.port < 0 || options.port > 65535)
        return foundation::Error("the port must be from 0 to 65535, not " + std::to_string(options.port));
    std::error_code ec;
    if (!std::filesystem::is_regular_file(options.webRoot / "index.html", ec))
        return foundation::Error("no web UI in " + options.webRoot.string() + " (index.html is missing)");

    std::unique_ptr<PhoneServer> server(new PhoneServer(phone, std::move(options), true));
    auto& http = server->m_http->server;
    http.set_payload_max_length(server->m_options.maxRequestBody);
    http.set_keep_alive_timeout(2);
    // The library closes a connection after five requests by default: every
    // fifth click of a page would wait for a new connection to be opened
    // (and a thread to take it) before its step could even arrive.
    http.set_keep_alive_max_count(KeepAliveRequests);
    // An answer is written as its headers and then its body; with Nagle's
    // algorithm the body would wait for the client to acknowledge the
    // headers, which a client may delay.
    http.set_tcp_nodelay(true);
    http.set_read_timeout(server->m_options.requestReadTimeout);
    http.new_task_queue = [threads = server->m_options.maxConnectionThreads] { return new ServeThreads(threads); };
    // The library listens with a backlog of five; a burst of pages opening
    // their connections at once would overflow it, and the kernel would drop
    // the rest until the client tries again a second later. The listening
    // socket passes through here before it is bound, so it can be widened
    // once the library has called listen().
    auto listening = std::make_shared<int>(-1);
    http.set_socket_options([listening](socket_t socket) {
        int yes = 1;
        ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        *listening = socket;
    });
    server->installRoutes();

    const auto& address = server->m_options.bindAddress;
    if (server->m_options.port == 0) {
        server->m_port = http.bind_to_any_port(address);
        if (server->m_port <= 0)
            return foundation::Error("cannot listen on " + address);
    } else {
        if (!http.bind_to_port(address, server->m_options.port))
            return foundation::Error("cannot listen on " + address + " port " + std::to_string(server->m_options.port) + " (in use?)");
        server->m_port = server->m_options.port;
    }
    if (*listening >= 0)
        ::listen(*listening, ConnectionBacklog);

    PhoneServer* self = server.get();
    phone.performOnMain([self] {
        self->publishScreen();
        self->publishPanels();
        foundation::RunLoop::main().setTurnObserver([self] { self->turnEnded(); });
        self->m_http->panelTimer = foundation::Timer::repeating(PanelInterval, [self](foundation::Timer&) { self->m_panelsDirty = true; });
    });
    server->m_listener = std::thread([self] {
        self->m_http->server.listen_after_bind();
        self->m_listenerDone = true;
    });
    // A stop that came before the listener runs would be lost, and the
    // listener would never return.
    while (!http.is_running() && !server->m_listenerDone)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return server;
}

std::unique_ptr<PhoneServer> PhoneServer::unbound(phone::Phone& phone, ServeOptions options)
{
    std::unique_ptr<PhoneServer> server(new PhoneServer(phone, std::move(options), false));
    server->m_http->server.set_payload_max_length(server->m_options.maxRequestBody);
    server->installRoutes();
    server->m_listenerDone = true;
    PhoneServer* self = server.get();
    phone.performOnMain([self] {
        self->publishScreen();
        self->publishPanels();
    });
    return server;
}

std::string PhoneServer::answer(std::string_view request)
{
    MemoryStream connection(request);
    m_http->server.answer(connection);
    return connection.takeResponse();
}

PhoneServer::~PhoneServer()
{
    stop();
    // A request thread may be waiting for the main run loop; keep turning it
    // until every request has finished.
    auto& loop = m_phone.runLoop();
    while (!m_listenerDone) {
        loop.runPending();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (m_listener.joinable())
        m_listener.join();
    loop.setTurnObserver(nullptr);
    if (m_http->panelTimer)
        m_http->panelTimer->invalidate();
}

std::string PhoneServer::address() const
{
    std::string host = m_options.bindAddress.find(':') != std::string::npos ? "[" + m_options.bindAddress + "]" : m_options.bindAddress;
    return "http://" + host + ":" + std::to_string(m_port) + "/";
}

void PhoneServer::run()
{
    if (!m_stopping)
        m_phone.runLoop().run();
}

void PhoneServer::stop()
{
    if (m_stopping.exchange(true))
        return;
    m_feed.close();
    m_http->server.stop();
    m_phone.runLoop().stop();
}

// MARK: Publishing

void PhoneServer::turnEnded()
{
    // Taking the snapshot runs nothing on the loop, but a callback that does
    // must not come back in here.
    if (m_inObserver || m_stopping)
        return;
    m_inObserver = true;
    publishScreen();
    // The panels read the whole Messages database and the logs: after steps
    // they are read again at most every PanelsAfterStep, and the last
    // change is never left unread (a later turn is asked for).
    auto& loop = m_phone.runLoop();
    double now = loop.now();
    double sinceLast = now - m_lastPanels;
    if (sinceLast >= PanelInterval || (m_panelsDirty && sinceLast >= PanelsAfterStep)) {
        m_panelsDirty = false;
        publishPanels();
    } else if (m_panelsDirty && !m_panelsTurnAsked) {
        m_panelsTurnAsked = true;
        loop.performAfter(PanelsAfterStep - sinceLast, [this] {
            ++m_ownWork;
            m_panelsTurnAsked = false;
        });
    }
    m_inObserver = false;
}

void PhoneServer::publishScreen()
{
    // Nothing ran on the loop but the server's own publishing since the last
    // snapshot: the screen is the one already in the feed. A step is thus
    // snapshotted once, at the end of its turn or by the step's own publish,
    // whichever comes first, and every page is sent that one text.
    uint64_t work = foundation::runLoopEntriesStarted() - m_ownWork;
    if (m_screenTakenAt == work)
        return;
    m_screenTakenAt = work;
    // The snapshot's text goes in as written: the same bytes as dumping
    // {"snapshot", "springboard"} as one tree, without building its half.
    std::string screen = R"({"snapshot":)" + m_phone.screenSnapshotJSON() + R"(,"springboard":)" + dumpLine(m_phone.springboardState()) + "}";
    m_feed.publish(ServeFeed::Channel::Screen, std::move(screen));
}

void PhoneServer::publishPanels()
{
    m_lastPanels = m_phone.runLoop().now();
    json files = dumpFiles();
    for (auto& [path, text] : files.items()) {
        if (text.is_string() && path.ends_with(".log"))
            text = tailOf(text.get<std::string>());
    }
    // Only the end of the table is shown: reading it backwards keeps a panel
    // update as cheap on a big database as on a small one.
    json panels = {
        { "messages", dumpNewestMessages(PanelMessages) },
        { "messageCount", chatkit::messageCount() },
        { "outbox", dumpOutbox() },
        { "files", files },
    };
    m_feed.publish(ServeFeed::Channel::Panels, dumpLine(panels));
}

// MARK: Routes

void PhoneServer::installRoutes()
{
    auto& http = m_http->server;

    http.set_exception_handler([this](const httplib::Request&, httplib::Response& response, std::exception_ptr error) {
        std::string what = "the server failed";
        try {
            if (error)
                std::rethrow_exception(error);
        } catch (const std::exception& exception) {
            what += std::string(": ") + exception.what();
        } catch (...) {
        }
        m_http->answers.error(response, 500, what);
    });
    // Only the library's own refusals come here without a body: an answer a
    // route gave has its type set, whether its body is set whole or announced
    // by length (ServeAnswers).
    http.set_error_handler([this](const httplib::Request&, httplib::Response& response) {
        if (!response.body.empty() || response.has_header("Content-Type"))
            return;
        if (response.status == 413)
            m_http->answers.error(response, 413, "the request is too large");
        else if (response.status == 404)
            m_http->answers.error(response, 404, "nothing here");
        else
            m_http->answers.error(response, response.status, "the request was refused");
    });

    // A body over the limit is refused as soon as its headers say so, rather
    // than after reading (and throwing away) all of it.
    http.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
        auto length = request.get_header_value("Content-Length");
        if (length.empty() || length.size() > 18 || length.find_first_not_of("0123456789") != std::string::npos || std::stoull(length) <= m_options.maxRequestBody)
            return httplib::Server::HandlerResponse::Unhandled;
        m_http->answers.error(response, 413, "the request is too large");
        response.set_header("Connection", "close");
        return httplib::Server::HandlerResponse::Handled;
    });

    http.Get("/api/state", [this](const httplib::Request&, httplib::Response& response) {
        if (m_panelsDirty && !m_stopping) {
            bool posted = !m_phone.runLoop().isMainThread();
            m_phone.performOnMain([this, posted] {
                if (posted)
                    ++m_ownWork; // work of its own on the loop, reading only
                if (m_panelsDirty.exchange(false))
                    publishPanels();
            });
        }
        auto screen = m_feed.latest(ServeFeed::Channel::Screen);
        auto panels = m_feed.latest(ServeFeed::Channel::Panels);
        response.set_header("Cache-Control", "no-store");
        m_http->answers.body(response, R"({"generation":)" + std::to_string(screen.generation + panels.generation) + R"(,"screen":)" + *screen.json + R"(,"panels":)" + *panels.json + "}", "application/json");
    });

    http.Get("/api/steps", [this](const httplib::Request&, httplib::Response& response) { m_http->answers.json(response, 200, vocabularyJSON()); });

    http.Get("/api/contacts", [this](const httplib::Request&, httplib::Response& response) { m_http->answers.json(response, 200, demoContactsJSON()); });

    http.Get("/api/apps", [this](const httplib::Request&, httplib::Response& response) {
        json apps = json::array();
        m_phone.performOnMain([&] {
            for (const auto& application : springboard::SBApplicationController::sharedInstance()->allApplications())
                apps.push_back({ { "bundle", application->displayIdentifier() }, { "name", application->displayName() } });
        });
        m_http->answers.json(response, 200, apps);
    });

    http.Get("/api/pictures", [this](const httplib::Request&, httplib::Response& response) {
        json pictures = json::array();
        std::error_code ec;
        std::vector<std::string> names;
        auto folder = foundation::hostPath(PhotoLibraryDevicePath);
        for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
            if (entry.is_regular_file(ec) && isServedPicture(entry.path()))
                names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        for (auto& name : names)
            pictures.push_back({ { "name", name }, { "path", std::string(PhotoLibraryDevicePath) + "/" + name } });
        m_http->answers.json(response, 200, pictures);
    });

    http.Post("/api/step", [this](const httplib::Request& request, httplib::Response& response) {
        if (m_stopping)
            return m_http->answers.error(response, 503, "the phone is shutting down");
        if (jsonNestingDepth(request.body) > MaximumJSONNesting)
            return m_http->answers.error(response, 400, "the step is nested too deeply");
        json step = json::parse(request.body, nullptr, false);
        if (step.is_discarded())
            return m_http->answers.error(response, 400, "the body is not JSON");
        if (auto why = ScenarioRunner::validate(step))
            return m_http->answers.error(response, 400, *why);
        if (step["step"] == "advance" && step["seconds"].get<double>() > m_options.maximumAdvance)
            return m_http->answers.error(response, 400, "\"seconds\" must be at most " + std::to_string(static_cast<int>(m_options.maximumAdvance)) + " here: the phone runs on the real clock");

        StepResult result = StepOutput {};
        {
            std::lock_guard lock(m_stepMutex);
            ScenarioRunner runner(m_phone);
            result = runner.runStep(step);
            // The loop reports its turn only after everything posted during
            // it has run, this request's work included; publish the screen
            // now, so the generation answered holds what the step did. The
            // panels follow within PanelsAfterStep, or at once for a
            // client that asks for the state.
            m_panelsDirty = true;
            bool posted = !m_phone.runLoop().isMainThread();
            m_phone.performOnMain([this, posted] {
                if (posted)
                    ++m_ownWork; // work of its own on the loop, publishing only
                else
                    m_screenTakenAt.reset(); // the step ran in place, uncounted
                publishScreen();
            });
        }
        if (!result)
            return m_http->answers.error(response, 409, result.reason());
        json body = { { "ok", true }, { "generation", m_feed.generation() } };
        if (*result)
            body["output"] = **result;
        m_http->answers.json(response, 200, body);
    });

    http.Get("/api/extensions", [this](const httplib::Request&, httplib::Response& response) {
        json available = json::array();
        for (auto name : ExtensionNames)
            available.push_back(describeExtensionChoice({ std::string(name) }));
        auto chosen = readExtensionChoice().value_or(defaultExtensionChoice());
        json names = json::array();
        for (const auto& name : chosen)
            names.push_back(describeExtensionChoice({ name }));
        m_http->answers.json(response, 200, json { { "available", available }, { "chosen", names } });
    });

    http.Post("/api/extensions", [this](const httplib::Request& request, httplib::Response& response) {
        if (m_stopping)
            return m_http->answers.error(response, 503, "the phone is shutting down");
        if (jsonNestingDepth(request.body) > MaximumJSONNesting)
            return m_http->answers.error(response, 400, "the body is nested too deeply");
        json body = json::parse(request.body, nullptr, false);
        if (body.is_discarded() || !body.is_object() || !body.contains("extensions") || !body["extensions"].is_array())
            return m_http->answers.error(response, 400, "the body must be {\"extensions\": [names]}");
        std::string list;
        for (const auto& name : body["extensions"]) {
            if (!name.is_string())
                return m_http->answers.error(response, 400, "every extension name must be a string");
            list += (list.empty() ? "" : ",") + name.get<std::string>();
        }
        auto choice = parseExtensionChoice(list);
        if (!choice)
            return m_http->answers.error(response, 400, choice.reason());
        if (!m_options.changeExtensions)
            return m_http->answers.error(response, 409, "this server cannot reboot the phone");
        if (auto changed = m_options.changeExtensions(*choice); !changed)
            return m_http->answers.error(response, 500, changed.reason());
        m_http->answers.json(response, 200, json { { "ok", true }, { "rebooting", true }, { "chosen", describeExtensionChoice(*choice) } });
        // The answer goes out first; the page then waits for the phone to come back.
        m_phone.runLoop().performOnMain([this] { m_phone.runLoop().performAfter(0.2, [this] { stop(); }); });
    });

    http.Get("/api/events", [this](const httplib::Request&, httplib::Response& response) {
        if (m_eventStreams.fetch_add(1) >= m_options.maxEventStreams) {
            m_eventStreams.fetch_sub(1);
            return m_http->answers.error(response, 503, "too many pages are watching the phone; close one");
        }
        response.set_header("Cache-Control", "no-store");
        response.set_header("X-Accel-Buffering", "no");
        // What this page was sent last, and when.
        struct Sent {
            uint64_t screen { 0 };
            uint64_t panels { 0 };
            std::chrono::steady_clock::time_point screenAt {};
            std::chrono::steady_clock::time_point panelsAt {};
        };
        auto sent = std::make_shared<Sent>();
        response.set_chunked_content_provider(
            "text/event-stream", [this, sent](size_t, httplib::DataSink& sink) {
            using std::chrono::steady_clock;
            // A change goes out at once after a quiet spell; changes that
            // follow it closely are gathered, the screen's into one per
            // frame of the page, the panels' (which grow with the Messages
            // database) into one per panelsPace.
            ServeFeed::Item screen, panels;
            bool screenDue = false, panelsDue = false;
            for (bool first = sent->screen == 0 && sent->panels == 0;; first = false) {
                if (m_feed.isClosed())
                    return false;
                screen = m_feed.latest(ServeFeed::Channel::Screen);
                panels = m_feed.latest(ServeFeed::Channel::Panels);
                auto now = steady_clock::now();
                bool screenChanged = screen.generation != sent->screen;
                bool panelsChanged = panels.generation != sent->panels;
                auto screenFrom = sent->screenAt + m_options.screenPace;
                auto panelsFrom = sent->panelsAt + m_options.panelsPace;
                screenDue = screenChanged && (first || now >= screenFrom);
                panelsDue = panelsChanged && (first || now >= panelsFrom);
                if (screenDue || panelsDue)
                    break;
                auto wakeAt = now + std::chrono::seconds(15);
                if (screenChanged)
                    wakeAt = std::min(wakeAt, screenFrom);
                if (panelsChanged)
                    wakeAt = std::min(wakeAt, panelsFrom);
                uint64_t seen = screen.generation + panels.generation;
                auto timeout = std::chrono::duration_cast<std::chrono::milliseconds>(wakeAt - now) + std::chrono::milliseconds(1);
                if (m_feed.waitForNewer(seen, timeout) == seen && !screenChanged && !panelsChanged && !m_feed.isClosed()) {
                    static constexpr std::string_view stillHere = ": still here\n\n";
                    return sink.write(stillHere.data(), stillHere.size());
                }
            }
            std::string events;
            auto now = steady_clock::now();
            if (screenDue) {
                events.reserve(screen.json->size() + 64);
                events += "event: screen\ndata: {\"generation\":" + std::to_string(screen.generation) + ",\"state\":";
                events += *screen.json;
                events += "}\n\n";
                sent->screen = screen.generation;
                sent->screenAt = now;
            }
            if (panelsDue) {
                events.reserve(events.size() + panels.json->size() + 64);
                events += "event: panels\ndata: {\"generation\":" + std::to_string(panels.generation) + ",\"state\":";
                events += *panels.json;
                events += "}\n\n";
                sent->panels = panels.generation;
                sent->panelsAt = now;
            }
            return sink.write(events.data(), events.size()); },
            [this](bool) { m_eventStreams.fetch_sub(1); });
    });

    http.Get(R"(/device/(.+))", [this](const httplib::Request& request, httplib::Response& response) {
        auto file = resolveServedFile(foundation::deviceRoot(), request.matches[1].str());
        if (!file || !isServedPicture(*file) || !m_http->answers.file(response, *file))
            m_http->answers.error(response, 404, "no picture there");
    });

    http.Get(R"(/(.*))", [this](const httplib::Request& request, httplib::Response& response) {
        std::string relative = request.matches[1].str();
        if (relative.empty())
            relative = "index.html";
        auto file = resolveServedFile(m_options.webRoot, relative);
        if (!file || !m_http->answers.file(response, *file))
            m_http->answers.error(response, 404, "nothing here");
    });
}

} // namespace simulator
